#pragma once

#include "common/importreport.h"

#include <QByteArray>
#include <QString>

class Database;

// What a file holds, read without touching the database.
struct CalendarImportPlan
{
    // The file is unusable (not iCalendar, truncated, too large); then nothing is imported.
    QString error;
};

// Open rules are expanded up to 31 December of the year after `importYear` (yearly ones to 2037).
CalendarImportPlan readCalendar(const QByteArray& bytes, int importYear);

// Writes the plan in one transaction. Events whose CATEGORIES name no group go to `groupId`.
ImportReport storeCalendar(Database& db, const CalendarImportPlan& plan, int groupId);
