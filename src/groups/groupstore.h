#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class Database;
class Prompter;
struct Preferences;

// One of the twenty rows of `grups`; an empty name marks a free slot.
struct GroupSlot
{
    int id = 0;
    QString name;
    bool yearly = false; // `jahrl`
    bool allDay = false; // `ganztag`
};

// "Geburtstag" and "Feiertag" are looked up by name everywhere, so the panel guards them.
bool isSpecialGroupName(const QString& name);

enum class GroupAction { Edit, Delete };
// Shows the refusal for the special groups; true when the named group may be edited or deleted.
bool allowGroupAction(Prompter& prompter, const QString& name, GroupAction action);

// Reads one slot. Nothing when the query failed (the error has been shown) or the row is missing.
std::optional<GroupSlot> readGroupSlot(Database& db, Prompter& prompter, int id);

// Exchange the slot with its neighbour above (id - 1) or below (id + 1): names, presets and
// appointments, all or nothing. Afterwards every group is displayed again. False when nothing
// moved: the first or last slot, an unreadable slot or a failed statement (the error has been
// shown and the database is as before).
bool moveGroupUp(Database& db, Prompter& prompter, Preferences& prefs, int id);
bool moveGroupDown(Database& db, Prompter& prompter, Preferences& prefs, int id);

// The question before a deletion, listing the descriptions of the group's appointments. Beyond
// maxListedLines the list ends with the number of the ones left out, so the box fits the screen.
QString deleteGroupQuestion(const QStringList& descriptions, int maxListedLines);

// Asks, then frees the slot and deletes all its appointments in one step; every group is displayed
// again. False when the user said No or the database failed (shown; nothing changed).
bool deleteGroup(Database& db, Prompter& prompter, Preferences& prefs, int id, int maxListedLines);

// Stores the editor's values. A special name is refused with a message and nothing is written.
// False when refused or when the update failed (shown); the editor then stays open.
bool saveGroup(Database& db, Prompter& prompter, const GroupSlot& slot);
