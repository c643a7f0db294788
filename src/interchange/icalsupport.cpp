#include "interchange/icalsupport.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cstring>
#include <mutex>

using namespace Qt::StringLiterals;

namespace IcalSupport {

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        icalerror_set_errors_are_fatal(0);
        for (icalerrorenum kind :
             {ICAL_BADARG_ERROR, ICAL_NEWFAILED_ERROR, ICAL_ALLOCATION_ERROR,
              ICAL_MALFORMEDDATA_ERROR, ICAL_PARSE_ERROR, ICAL_INTERNAL_ERROR, ICAL_FILE_ERROR,
              ICAL_USAGE_ERROR, ICAL_UNIMPLEMENTED_ERROR, ICAL_UNKNOWN_ERROR})
            icalerror_set_error_state(kind, ICAL_ERROR_NONFATAL);
    });
}

namespace {

struct TextSource
{
    const char* position;
    const char* end;
};

// libical's parser asks for a line in pieces that fit its small buffer. Its own string source
// scans for the line's end afresh for every piece, quadratic in the length of a line; this one
// looks no further than the piece.
char* nextPiece(char* out, size_t size, void* data)
{
    auto* source = static_cast<TextSource*>(data);
    if (source->position >= source->end || size < 2)
        return nullptr;
    const size_t room = std::min<size_t>(size - 1, size_t(source->end - source->position));
    const auto* newline = static_cast<const char*>(std::memchr(source->position, '\n', room));
    const size_t length = newline ? size_t(newline - source->position) + 1 : room;
    std::memcpy(out, source->position, length);
    out[length] = '\0';
    source->position += length;
    return out;
}

} // namespace

ComponentPtr parseText(const QByteArray& text)
{
    TextSource source{text.constData(), text.constData() + text.size()};
    icalparser* parser = icalparser_new();
    if (!parser)
        return nullptr;
    icalparser_set_gen_data(parser, &source);
    ComponentPtr root(icalparser_parse(parser, nextPiece));
    icalparser_free(parser);
    return root;
}

int tradedSecond(int second)
{
    return second == 0 ? 1 : second == 1 ? 0 : second;
}

namespace {
icaltimetype timeOf(DateValue value, bool trade)
{
    const DateParts p = dateParts(value);
    icaltimetype t = icaltime_null_time();
    t.year = p.year;
    t.month = p.month;
    t.day = p.day;
    t.hour = p.hour;
    t.minute = p.minute;
    t.second = trade ? tradedSecond(p.second) : p.second;
    return t;
}
} // namespace

icaltimetype appointmentTime(DateValue value)
{
    return timeOf(value, true);
}

icaltimetype plainTime(DateValue value)
{
    return timeOf(value, false);
}

icaltimetype dayOf(DateValue value)
{
    const DateParts p = dateParts(value);
    // icaltime_null_date() leaves the time fields at -1, which upsets rule expansion.
    icaltimetype t = icaltime_null_time();
    t.is_date = 1;
    t.year = p.year;
    t.month = p.month;
    t.day = p.day;
    return t;
}

DateValue fieldsValue(const icaltimetype& t)
{
    if (t.is_date)
        return makeDate(t.year, t.month, t.day);
    return makeDate(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

DateValue tradeSeconds(DateValue value)
{
    const int second = dateParts(value).second;
    return value - second + tradedSecond(second);
}

DateValue localWallClock(qint64 utcSeconds)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::LocalTime);
    return utcSeconds + local.offsetFromUtc();
}

QString systemZoneId()
{
    return QString::fromUtf8(QTimeZone::systemTimeZoneId());
}

icaltimezone* systemZone()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (id.isEmpty())
        return nullptr;
    icaltimezone* zone = icaltimezone_get_builtin_timezone(id.constData());
    // UTC has no VTIMEZONE of its own; its wall clock reads fine as floating time.
    if (zone == icaltimezone_get_utc_timezone())
        return nullptr;
    return zone;
}

QByteArray tzidOf(icalproperty* property)
{
    icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char* tzid = parameter ? icalparameter_get_tzid(parameter) : nullptr;
    return tzid ? QByteArray(tzid) : QByteArray();
}

QString oneLine(const char* text)
{
    QString result = QString::fromUtf8(text ? text : "");
    result.replace(u"\r\n"_s, u" "_s);
    result.replace(u'\n', u' ');
    result.replace(u'\r', u' ');
    return result.trimmed();
}

} // namespace IcalSupport
