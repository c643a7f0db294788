#pragma once

#include "common/datevalue.h"
#include "views/listcolumns.h"

#include <QString>

#include <array>

class Database;
class Prompter;
class QTreeWidget;
struct Preferences;

enum class AppointmentColumn { Number, Group, Description, Start, End, Repetition, Reminder };
inline constexpr int kAppointmentColumnMeanings = 7;

// For each meaning, the tree column whose header title is "Nr", "Gruppe", "Beschreibung",
// "Anfang", "Ende", "Wiederholung" or "Benachrichtigung"; -2 when no column has that title. Moving
// a column by its header keeps its title, so the cells follow it.
std::array<int, kAppointmentColumnMeanings> appointmentColumnMap(const QTreeWidget& tree);

// "Keine einmal", "Eine Woche zuvor täglich", ...: the list's text of the two reminder codes.
QString appointmentReminderText(int msg, int remsg);

// Rebuilds the page "Terminübersicht": the coming appointments (a series by its first member),
// filtered by the search text in group name or description and sorted as the preferences say.
// The progress note is shown only when the search text is empty.
void fillAppointmentList(QTreeWidget& tree, Database& db, Prompter& prompter,
                         const Preferences& prefs, DateValue now, const QString& searchText,
                         const ProgressNote& progressNote = {});

enum class AppointmentSortChoice { Key, Direction };

// Stores a new sort key (sortterms) or direction (sorttermsdir) when it differs from the stored
// one and refills the list without a search text. True when it did.
bool changeAppointmentSort(QTreeWidget& tree, Database& db, Prompter& prompter, Preferences& prefs,
                           AppointmentSortChoice choice, int value, DateValue now,
                           const ProgressNote& progressNote = {});
