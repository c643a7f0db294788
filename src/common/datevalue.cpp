#include "common/datevalue.h"

#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian), after H. Hinnant's algorithm.
qint64 daysFromCivil(qint64 y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(qint64 z, int& year, int& month, int& day)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void appendPadded(QString& out, int value, int width)
{
    out += QString::number(value).rightJustified(width, u'0');
}

} // namespace

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> lengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

DateValue makeDate(int year, int month, int day, int hour, int minute, int second)
{
    if (year <= 0 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return kInvalidDate;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return kInvalidDate;
    return daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

DateParts dateParts(DateValue value)
{
    DateParts p;
    const qint64 days = floorDivide(value, kSecondsPerDay);
    const qint64 secs = value - days * kSecondsPerDay;
    civilFromDays(days, p.year, p.month, p.day);
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs % 3600 / 60);
    p.second = static_cast<int>(secs % 60);
    // 1970-01-01 was a Thursday.
    p.weekday = static_cast<int>(((days + 4) % 7 + 7) % 7);
    return p;
}

int weekdayOf(DateValue value)
{
    return dateParts(value).weekday;
}

DateValue startOfDay(DateValue value)
{
    return floorDivide(value, kSecondsPerDay) * kSecondsPerDay;
}

QString formatDate(QStringView mask, DateValue value)
{
    const DateParts p = dateParts(value);
    QString out;
    out.reserve(mask.size() + 8);
    for (qsizetype i = 0; i < mask.size();) {
        const QStringView rest = mask.mid(i);
        if (rest.startsWith(u"%yyyy")) {
            appendPadded(out, p.year, 4);
            i += 5;
        } else if (rest.startsWith(u"%yy")) {
            appendPadded(out, p.year % 100, 2);
            i += 3;
        } else if (rest.startsWith(u"%mm")) {
            appendPadded(out, p.month, 2);
            i += 3;
        } else if (rest.startsWith(u"%dd")) {
            appendPadded(out, p.day, 2);
            i += 3;
        } else if (rest.startsWith(u"%hh")) {
            appendPadded(out, p.hour, 2);
            i += 3;
        } else if (rest.startsWith(u"%ii")) {
            appendPadded(out, p.minute, 2);
            i += 3;
        } else if (rest.startsWith(u"%ss")) {
            appendPadded(out, p.second, 2);
            i += 3;
        } else {
            out += mask[i];
            ++i;
        }
    }
    return out;
}

MaskedFields readMaskedText(QStringView mask, QStringView text)
{
    struct Token
    {
        QStringView name;
        int width;
        int MaskedFields::*field;
    };
    static const std::array<Token, 7> tokens{{
            {u"%yyyy", 4, &MaskedFields::year},
            {u"%yy", 2, &MaskedFields::year},
            {u"%mm", 2, &MaskedFields::month},
            {u"%dd", 2, &MaskedFields::day},
            {u"%hh", 2, &MaskedFields::hour},
            {u"%ii", 2, &MaskedFields::minute},
            {u"%ss", 2, &MaskedFields::second},
    }};

    MaskedFields fields;
    qsizetype textPos = 0;
    for (qsizetype i = 0; i < mask.size();) {
        const Token* found = nullptr;
        for (const Token& t : tokens) {
            if (mask.mid(i).startsWith(t.name)) {
                found = &t;
                break;
            }
        }
        if (!found) {
            ++i;
            ++textPos;
            continue;
        }
        const QStringView digits = text.mid(textPos, found->width);
        bool ok = false;
        const int number = digits.toInt(&ok);
        if (ok && digits.size() == found->width)
            fields.*(found->field) = number;
        i += found->name.size();
        textPos += found->width;
    }
    return fields;
}

DateValue holidayKey(int year, int month, int day)
{
    return makeDate(year, month, day, 0, 0, 1);
}

DateValue birthdayKey(int month, int day)
{
    return makeDate(2000, month, day, 0, 0, 1);
}

DateValue mondayOf(DateValue value)
{
    const int weekday = weekdayOf(value);
    const int back = weekday == 0 ? 6 : weekday - 1;
    return value - back * kSecondsPerDay;
}

int isoWeekNumber(DateValue weekStart)
{
    const DateValue thursday = weekStart + 3 * kSecondsPerDay;
    const int year = dateParts(thursday).year;
    DateValue first = makeDate(year, 1, 1);
    while (weekdayOf(first) != 4)
        first += kSecondsPerDay;
    const qint64 days = floorDivide(startOfDay(thursday) - first, kSecondsPerDay);
    return static_cast<int>(days / 7 + 1);
}

qint64 floorDivide(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

qint64 ceilDivide(qint64 a, qint64 b)
{
    return -floorDivide(-a, b);
}

qint64 parseNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate as a negative number so that the smallest value still fits; saturate on overflow.
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (value < (lowest + digit) / 10) {
            value = lowest;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == lowest ? std::numeric_limits<qint64>::max() : -value;
}
