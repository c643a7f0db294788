#pragma once

#include "common/datevalue.h"

#include <QList>
#include <QString>

class Database;

struct Holiday
{
    QString name;
    QString location;
    DateValue day; // the day at 00:00:01
};

struct MonthDay
{
    int month;
    int day;
};

// Easter Sunday by Gauss's formula with the constants of 1900-2099.
MonthDay easterSunday(int year);

// The 19 holiday and clock-change rows of a year, in the order they are stored.
QList<Holiday> holidaysOfYear(int year);

void insertHolidays(Database& db, int year);
