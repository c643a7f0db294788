#pragma once

#include "common/datevalue.h"
#include "common/importreport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// One appointment row as Ruvo stores it: seconds as the editor writes them, all-day events from
// 00:00:01 of the first day to 23:59:01 of the last, apostrophes as grave accents.
struct CalendarAppointment
{
    DateValue start = 0;
    DateValue end = 0;
    QString description;
    QStringList categories;
    int msg = 0;
    int remsg = 0;
    // Index into CalendarImportPlan::seriesRedo; -1 for a row outside any series.
    int series = -1;
};

struct CalendarTodo
{
    DateValue due = kInvalidDate;
    QString description;
};

// What a file holds, read without touching the database.
struct CalendarImportPlan
{
    // The file is unusable (not iCalendar, truncated, too large); then nothing is imported.
    QString error;
    // The members of a series follow each other in start order.
    QList<CalendarAppointment> appointments;
    QStringList seriesRedo;
    QList<CalendarTodo> todos;
    // One German line per event or item that is left out.
    QStringList problems;
    // Lines for the report on what was read otherwise than the file says or was passed over.
    QStringList notes;
};

// Open rules are expanded up to 31 December of the year after `importYear` (yearly ones to 2037).
CalendarImportPlan readCalendar(const QByteArray& bytes, int importYear);

// Writes the plan in one transaction. Events whose CATEGORIES name no group go to `groupId`.
ImportReport storeCalendar(Database& db, const CalendarImportPlan& plan, int groupId);
