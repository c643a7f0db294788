#pragma once

#include "common/datevalue.h"

#include <QList>
#include <QString>

#include <optional>

class Database;
class Prompter;

// What the editor hands over for one appointment. The description already has its apostrophes
// replaced by grave accents.
struct AppointmentValues
{
    DateValue start = 0;
    DateValue end = 0;
    int group = 0;
    QString description;
    int msg = 0;   // reminder lead, 0-4
    int remsg = 0; // reminder repetition, 0-3
};

enum class SeriesKind {
    Yearly = 1,
    Monthly = 2,
    Weekly = 3,
    EveryNDays = 4,
};

struct SeriesMember
{
    DateValue start = 0;
    DateValue end = 0;

    friend bool operator==(const SeriesMember&, const SeriesMember&) = default;
};

// "Jährlich", "Monatlich", "Wöchentlich" or "Alle n Tage".
QString seriesRedoText(SeriesKind kind, int dayCount);

// The kind and day count a stored `redo` text names; nothing for a text seriesRedoText never gives.
struct SeriesRule
{
    SeriesKind kind = SeriesKind::Yearly;
    int dayCount = 0;
};
std::optional<SeriesRule> seriesRuleOf(const QString& redo);

// The members of a series in order, every one built with second 1. Days the calendar lacks (the
// 31st of a short month, 29 February outside leap years) are skipped, and no member starts after
// the day of the period end.
QList<SeriesMember> seriesMembers(SeriesKind kind, DateValue start, DateValue end, int dayCount,
                                  DateValue periodStart, DateValue periodEnd);

// Adds one row after asking about an exact duplicate (same start, end and description). Returns
// the new row's id, or 0 when the user declined or the database failed (the failure is shown).
qint64 insertAppointment(Database& db, Prompter& prompter, const AppointmentValues& values,
                         qint64 seriesKey, const QString& redo);

// Series key 0 rewrites the row alone and takes it out of its series; any other key moves every
// member of that series by the change of this row's start and end, in seconds.
void updateAppointment(Database& db, Prompter& prompter, const AppointmentValues& values,
                       qint64 seriesKey, qint64 id);

// Inserts all members as one transaction; the first member actually inserted heads the series.
// Returns the series key, 0 when nothing was inserted.
qint64 createSeries(Database& db, Prompter& prompter, SeriesKind kind,
                    const AppointmentValues& values, int dayCount, DateValue periodStart,
                    DateValue periodEnd);

// Deletes the row, or on the user's word its whole series, and reports success. False when
// nothing could be deleted (the database error has been shown).
bool deleteAppointment(Database& db, Prompter& prompter, qint64 id);

// Gives every appointment of the group "Geburtstag" the two birthday reminder settings.
void applyBirthdayReminderDefaults(Database& db, Prompter& prompter, int birthdayMsg,
                                   int birthdayRemsg);
