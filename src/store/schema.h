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

// Builds a new database: tables, the twenty group slots and the holidays, all in one transaction
// so a crash cannot leave a half-built file. The callback receives each progress text.
bool bootstrap(Database& db, const std::function<void(const QString&)>& progress = {});

} // namespace Schema
