#pragma once

#include "common/datevalue.h"

#include <QImage>
#include <QList>
#include <QString>

#include <array>

class Database;
class ImagePack;
class Prompter;
enum class QuitState;

// One line pair of the preview: an appointment, a birthday or a holiday.
struct PreviewEntry
{
    enum class Kind { Appointment, Birthday, Holiday };
    Kind kind = Kind::Appointment;
    DateValue start = 0;
    DateValue end = 0; // 0 for birthdays and holidays
    int birthYear = 0; // birthdays
    QString text;      // desc of the row
    QString detail;    // grupname of an appointment, location of a holiday
};

// The two text lines of an entry as the preview writes them.
struct PreviewLines
{
    QString first;
    QString second;
    bool firstInBlack = false; // appointments without duration
};

// The small picture that lists what lies under the pointer on an overview.
class HoverPreview
{
public:
    static constexpr int kMaxEntries = 11;
    static constexpr int kWidth = 250;

    // Everything on that day, whatever the display slots say: appointments, then holidays, then
    // birthdays. A failed query goes the database error path; what was found so far is kept.
    static QList<PreviewEntry> loadDay(Database& db, Prompter& prompter, QuitState& quitState,
                                       int year, int month, int day);
    // What runs at the moment in the shown groups, point appointments of the 20 minutes before
    // it, and the holidays and birthdays of its day.
    static QList<PreviewEntry> loadMoment(Database& db, Prompter& prompter, QuitState& quitState,
                                          DateValue moment,
                                          const std::array<int, 20>& displaySlots);

    // "03.05.2009:" and "03.05.2009 10:20Uhr:".
    static QString dayHeader(int year, int month, int day);
    static QString momentHeader(DateValue moment);

    // The texts of an entry on the year page (dayStart: the hovered day) and on the week page
    // (dayStart: the day of the moment). Ages count in the year of that day.
    static PreviewLines dayLines(const PreviewEntry& entry, DateValue dayStart);
    static PreviewLines momentLines(const PreviewEntry& entry, DateValue dayStart);

    static int pictureHeight(int entryCount) { return 25 * (entryCount - 1) + 70; }
    // kWidth x pictureHeight(lines.size()) logical pixels, at the device pixel ratio.
    static QImage picture(const QString& header, const QList<PreviewLines>& lines,
                          const ImagePack& images, qreal ratio = 1.0);

    // The note shown while a list is reread, headed by the list's name ("Terminliste",
    // "Adressbuch"): 200 x 120.
    static QImage progressNote(const ImagePack& images,
                               const QString& listName = QStringLiteral("Terminliste"),
                               qreal ratio = 1.0);
};
