#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Database;

namespace Schema {

inline constexpr int kFirstHolidayYear = 1970;
inline constexpr int kLastHolidayYear = 2037;

// The six CREATE TABLE statements, in the order they run.
QStringList createStatements();

// What an opened file holds, decided by SQLite rather than by the file's size: a first run cut
// short leaves a journal that rolls the file back to no tables.
enum class State {
    Empty,      // no tables: a first run
    Usable,     // the reads the program starts from work, and every table has its columns
    Unreadable, // not a database, damaged, or tables or columns missing
};
State examine(Database& db);

// The three reads of the exit check: every table the program starts from answers. Cheap enough
// for every start.
bool passesReadTest(Database& db);

// Adds the indexes the lists, the overviews and the reminder scan search by, to a new file or an
// old one alike. Only indexes: the tables stay as every earlier version wrote them. False when
// they could not be made (a read-only file); the program works without them, only slower.
bool ensureIndexes(Database& db);

// Builds a new database: tables, the twenty group slots and the holidays, all in one transaction
// so a crash cannot leave a half-built file. The callback receives each progress text.
bool bootstrap(Database& db, const std::function<void(const QString&)>& progress = {});

} // namespace Schema
