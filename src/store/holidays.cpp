#include "store/holidays.h"

#include "common/sqltext.h"
#include "store/database.h"

using namespace Qt::StringLiterals;

MonthDay easterSunday(int year)
{
    const int a = year % 19;
    const int b = year % 4;
    const int c = year % 7;
    const int d = (19 * a + 24) % 30;
    const int e = (2 * b + 4 * c + 6 * d + 5) % 7;
    if (d + e + 22 <= 31)
        return {3, d + e + 22};
    if (d + e - 9 == 26)
        return {4, 19};
    if (d + e - 9 == 25 && d == 28 && a > 10)
        return {4, 18};
    return {4, d + e - 9};
}

namespace {

// The day with the given weekday on or before the given day.
DateValue weekdayOnOrBefore(DateValue day, int weekday)
{
    while (weekdayOf(day) != weekday)
        day -= kSecondsPerDay;
    return day;
}

} // namespace

QList<Holiday> holidaysOfYear(int year)
{
    const MonthDay e = easterSunday(year);
    const DateValue easter = holidayKey(year, e.month, e.day);
    auto fromEaster = [easter](int days) { return easter + days * kSecondsPerDay; };
    constexpr int wednesday = 3;
    constexpr int saturday = 6;

    return {
            {u"Neujahr"_s, u"DE"_s, holidayKey(year, 1, 1)},
            {u"Hl. Drei Könige"_s, u"BY;BW"_s, holidayKey(year, 1, 6)},
            {u"Ostersonntag"_s, u"DE"_s, easter},
            {u"Ostermontag"_s, u"DE"_s, fromEaster(1)},
            {u"Karfreitag"_s, u"DE"_s, fromEaster(-2)},
            {u"Tag der Arbeit"_s, u"DE"_s, holidayKey(year, 5, 1)},
            {u"Christi Himmelfahrt"_s, u"DE"_s, fromEaster(39)},
            {u"Pfingstmontag"_s, u"DE"_s, fromEaster(50)},
            {u"Fronleichnam"_s, u"BW;BY;HE;NW;RP;SL;(SN);(TH)"_s, fromEaster(60)},
            {u"Augsburger Friedensfest"_s, u"Augsburg"_s, holidayKey(year, 8, 8)},
            {u"Mariä Himmelfahrt"_s, u"(BY);SL"_s, holidayKey(year, 8, 15)},
            {u"Tag der Deutschen Einheit"_s, u"DE"_s, holidayKey(year, 10, 3)},
            {u"Reformationstag"_s, u"BB;MV;SN;ST;TH"_s, holidayKey(year, 10, 31)},
            {u"Allerheiligen"_s, u"BW;BY;NW;RP;SL"_s, holidayKey(year, 11, 1)},
            {u"1. Weihnachtstag"_s, u"DE"_s, holidayKey(year, 12, 25)},
            {u"2. Weihnachtstag"_s, u"DE"_s, holidayKey(year, 12, 26)},
            {u"Buß- und Bettag"_s, u"(BY);SN"_s,
             weekdayOnOrBefore(holidayKey(year, 11, 22), wednesday)},
            {u"Ab morgen früh gilt Sommerzeit! "_s, u"Uhren eine Std vor stellen"_s,
             weekdayOnOrBefore(holidayKey(year, 3, 30), saturday)},
            {u"Ab morgen früh gilt Normalzeit! "_s, u"Uhren eine Std zurück stellen"_s,
             weekdayOnOrBefore(holidayKey(year, 10, 30), saturday)},
    };
}

void insertHolidays(Database& db, int year)
{
    for (const Holiday& h : holidaysOfYear(year)) {
        db.execSql(u"INSERT INTO feiertage (desc, location, date) VALUES ("_s + sqlQuote(h.name) +
                   u", "_s + sqlQuote(h.location) + u", "_s + QString::number(h.day) + u")"_s);
    }
}
