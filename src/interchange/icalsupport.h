#pragma once

#include "common/datevalue.h"

#include <QByteArray>
#include <QString>

#include <libical/ical.h>

#include <memory>

// What the calendar export and import share on top of libical.
namespace IcalSupport {

// Sets libical up once per process: its errors are reported, never fatal, so no input can abort
// the program.
void initLibrary();

struct ComponentDeleter
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

// The component tree of iCalendar text without NUL bytes; nullptr when nothing could be read.
// Unlike icalparser_parse_string() it takes linear time, also for very long lines.
ComponentPtr parseText(const QByteArray& text);

// The editor stores second 1 on every appointment, other programs expect whole minutes. Seconds 0
// and 1 trade places on the way out and back in: peers show clean minutes, a peer's whole minute
// arrives as the editor would store it, and every stored value survives a round trip.
int tradedSecond(int second);

// The wall-clock value as a floating DATE-TIME, seconds traded.
icaltimetype appointmentTime(DateValue value);
// The day of the value as a DATE.
icaltimetype dayOf(DateValue value);
// The wall-clock value as a floating DATE-TIME, seconds kept (to-do items store whole minutes).
icaltimetype plainTime(DateValue value);

// The date and time fields taken as a wall-clock value, no zone applied; kInvalidDate when they
// describe no moment (a DATE gives midnight).
DateValue fieldsValue(const icaltimetype& time);
// The value with seconds 0 and 1 traded.
DateValue tradeSeconds(DateValue value);

// The local wall-clock value of a UTC moment, in the zone of this system.
DateValue localWallClock(qint64 utcSeconds);

// The IANA id of the system's zone ("Europe/Berlin"), empty when Qt cannot name it.
QString systemZoneId();
// libical's definition of the system's zone, nullptr when libical does not know it (then the
// export writes floating times).
icaltimezone* systemZone();

// The value of a property's TZID parameter, empty when it has none.
QByteArray tzidOf(icalproperty* property);

// Leading and trailing blanks removed, line breaks turned into blanks: texts are one line here.
QString oneLine(const char* text);

} // namespace IcalSupport
