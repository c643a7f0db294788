#pragma once

#include <QString>
#include <QStringView>

#include <QtGlobal>

// A moment of the local wall clock, counted in seconds since 1970-01-01 00:00:00 and taken apart
// as if it were UTC: there is no time zone and no daylight-saving shift in these values.
using DateValue = qint64;

inline constexpr DateValue kSecondsPerDay = 86400;
inline constexpr DateValue kInvalidDate = -1;

struct DateParts
{
    int year = 1970;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4; // 0 = Sunday

    int minuteOfDay() const { return hour * 60 + minute; }
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// The value of that moment, or kInvalidDate for an impossible one (year <= 0, a month or day
// that does not exist, an hour, minute or second out of range).
DateValue makeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
DateParts dateParts(DateValue value);
int weekdayOf(DateValue value);

// The same moment of the day at midnight.
DateValue startOfDay(DateValue value);

// Replaces %yyyy, %yy, %mm, %dd, %hh, %ii and %ss by the zero-padded parts of the value; every
// other character is copied.
QString formatDate(QStringView mask, DateValue value);

// Reads the fields of a text that was written with a mask, from the character positions the mask
// gives them. Fields the mask lacks or that hold no digits stay -1.
struct MaskedFields
{
    int year = -1;
    int month = -1;
    int day = -1;
    int hour = -1;
    int minute = -1;
    int second = -1;
};
MaskedFields readMaskedText(QStringView mask, QStringView text);

// Day keys: a holiday is looked up as its day at 00:00:01, a birthday as its day and month in the
// year 2000 at 00:00:01.
DateValue holidayKey(int year, int month, int day);
DateValue birthdayKey(int month, int day);

// The same time of day on the Monday of the week (Monday to Sunday) that holds the value.
DateValue mondayOf(DateValue value);

// Week number of the week starting on the given Monday: weeks are counted from the week that holds
// the first Thursday of January of the Thursday's year.
int isoWeekNumber(DateValue weekStart);

// Integer division rounding towards minus and plus infinity, for pixel and day arithmetic that
// must not bend at zero.
qint64 floorDivide(qint64 a, qint64 b);
qint64 ceilDivide(qint64 a, qint64 b);

// Integer parse as the query layer does it: leading blanks and tabs skipped, an optional sign,
// then decimal digits up to the first other character; no digits give 0.
qint64 parseNumber(QStringView text);
