#include "interchange/icalendarexport.h"

#include "appointments/appointmentstore.h"
#include "common/version.h"
#include "interchange/icalsupport.h"
#include "store/database.h"

#include <QHash>
#include <QIODevice>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;
using namespace IcalSupport;

namespace {

struct Row
{
    qint64 id = 0;
    DateValue start = 0;
    DateValue end = 0;
    int group = 0;
    QString description;
    int msg = 0;
    int remsg = 0;
    qint64 belong = 0;
    QString redo;
};

constexpr DateValue kLastMinute = 23 * 3600 + 59 * 60;

// Starts at 00:00 and ends at 23:59 or later: the lists show such a row as all-day.
bool isAllDayShape(const Row& row)
{
    return row.end >= row.start && dateParts(row.start).minuteOfDay() == 0 &&
           dateParts(row.end).minuteOfDay() >= 1439;
}

// Exactly as the day dialog stores an all-day row.
bool isCanonicalAllDay(const Row& row)
{
    return row.end >= row.start && row.start == startOfDay(row.start) + 1 &&
           row.end == startOfDay(row.end) + kLastMinute + 1;
}

struct Rule
{
    icalrecurrencetype_frequency freq = ICAL_NO_RECURRENCE;
    int interval = 1;
};

Rule ruleOf(const QString& redo)
{
    const std::optional<SeriesRule> series = seriesRuleOf(redo);
    if (!series)
        return {};
    switch (series->kind) {
    case SeriesKind::Yearly:
        return {ICAL_YEARLY_RECURRENCE, 1};
    case SeriesKind::Monthly:
        return {ICAL_MONTHLY_RECURRENCE, 1};
    case SeriesKind::Weekly:
        return {ICAL_WEEKLY_RECURRENCE, 1};
    case SeriesKind::EveryNDays:
        break;
    }
    return {ICAL_DAILY_RECURRENCE, series->dayCount};
}

icaldurationtype durationOf(int weeks, int days, int hours, int minutes, bool negative)
{
    icaldurationtype d = icaldurationtype_null_duration();
    d.is_neg = negative ? 1 : 0;
    d.weeks = static_cast<unsigned int>(weeks);
    d.days = static_cast<unsigned int>(days);
    d.hours = static_cast<unsigned int>(hours);
    d.minutes = static_cast<unsigned int>(minutes);
    return d;
}

icalproperty* xProperty(const char* name, const QString& value)
{
    icalproperty* p = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(p, name);
    return p;
}

// Builds the calendar as it goes: each event, with its series' exceptions, goes to the sink as
// soon as it is complete, so no tree of the whole calendar is held.
class CalendarWriter
{
public:
    // Takes each finished component, in the order of the file; false stops the writing.
    using Sink = std::function<bool(icalcomponent* component)>;

    CalendarWriter(QHash<int, QString> groups, Sink sink)
        : m_groups(std::move(groups))
        , m_sink(std::move(sink))
        , m_zone(systemZone())
        , m_calendar(icalcomponent_new_vcalendar())
        , m_stamp(icaltime_current_time_with_zone(icaltimezone_get_utc_timezone()))
    {
        if (m_zone)
            m_tzid = systemZoneId().toUtf8();
        add(m_calendar.get(),
            icalproperty_new_prodid(
                    ("-//Ruvo//Ruvo "_ba + versionText().toUtf8() + "//DE"_ba).constData()));
        add(m_calendar.get(), icalproperty_new_version("2.0"));
        add(m_calendar.get(), icalproperty_new_calscale("GREGORIAN"));
        if (m_zone) {
            icalcomponent* zone = icalcomponent_new_clone(icaltimezone_get_component(m_zone));
            // libical names its zones with a prefix of its own; peers know the plain IANA id.
            if (icalproperty* tzid = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY))
                icalproperty_set_tzid(tzid, m_tzid.constData());
            icalcomponent_add_component(m_calendar.get(), zone);
        }
    }

    // The calendar's properties and its zone, without events or to-dos.
    icalcomponent* head() const { return m_calendar.get(); }
    // False once the sink refused a component.
    bool ok() const { return m_ok; }

    void addSingle(const Row& row)
    {
        const bool allDay = isAllDayShape(row);
        icalcomponent* event =
                newEvent("ruvo-termin-"_ba + QByteArray::number(row.id), row, allDay);
        // What DATE values or a missing DTEND cannot carry, Ruvo reads back from here.
        if ((allDay && !isCanonicalAllDay(row)) || row.end < row.start)
            add(event, xProperty("X-RUVO-EXACT",
                                 QString::number(row.start) + u'/' + QString::number(row.end)));
        m_pending.emplace_back(event);
        flush();
    }

    // One VEVENT with a rule and its exceptions; `rows` in start order.
    void addSeries(const QList<Row>& rows)
    {
        const Row& first = rows.front();
        const bool allDay = std::all_of(rows.begin(), rows.end(), isCanonicalAllDay);
        QMap<DateValue, const Row*> byStart;
        for (const Row& row : rows) {
            if (byStart.contains(row.start))
                addSingle(row); // two members at one moment cannot both be occurrences
            else
                byStart.insert(row.start, &row);
        }
        const QByteArray uid = "ruvo-serie-"_ba + QByteArray::number(first.belong);
        icalcomponent* master = newEvent(uid, first, allDay);
        add(master, xProperty("X-RUVO-REDO", first.redo));
        // All-day members are canonical, so the plain difference carries their span of days.
        const DateValue span = first.end - first.start;
        // Written with the rule and exceptions it still gains below.
        m_pending.emplace_back(master);
        auto endsAsRule = [&](const Row& row) { return row.end == row.start + span; };

        QSet<DateValue> covered{first.start};
        const Rule rule = ruleOf(first.redo);
        if (rule.freq != ICAL_NO_RECURRENCE) {
            const DateValue last = rows.back().start;
            icalrecurrencetype recur;
            icalrecurrencetype_clear(&recur);
            recur.freq = rule.freq;
            recur.interval = static_cast<short>(rule.interval);
            recur.week_start = ICAL_MONDAY_WEEKDAY; // as a parsed rule has it
            recur.until = allDay ? dayOf(last) : appointmentTime(last);
            expand(recur, first, allDay, [&](DateValue start, const icaltimetype& time) {
                const auto it = byStart.constFind(start);
                if (it == byStart.cend()) {
                    add(master, zoned(icalproperty_new_exdate(time), allDay));
                    return;
                }
                covered.insert(start);
                if (!endsAsRule(**it))
                    addOverride(uid, **it, allDay);
            });
            if (!allDay && m_zone) {
                icaltimetype until = recur.until;
                until.zone = m_zone;
                recur.until = icaltime_convert_to_zone(until, icaltimezone_get_utc_timezone());
            }
            add(master, icalproperty_new_rrule(recur));
        }
        for (const Row* row : std::as_const(byStart)) {
            if (covered.contains(row->start))
                continue;
            icaldatetimeperiodtype rdate;
            rdate.time = timeOf(row->start, allDay);
            rdate.period = icalperiodtype_null_period();
            add(master, zoned(icalproperty_new_rdate(rdate), allDay));
            if (!endsAsRule(*row))
                addOverride(uid, *row, allDay);
        }
        if (!endsAsRule(first))
            addOverride(uid, first, allDay);
        flush();
    }

    void addTodo(qint64 id, const QString& description, DateValue due)
    {
        icalcomponent* todo = icalcomponent_new_vtodo();
        add(todo, icalproperty_new_uid(("ruvo-todo-"_ba + QByteArray::number(id)).constData()));
        add(todo, icalproperty_new_dtstamp(m_stamp));
        add(todo, icalproperty_new_summary(peerText(description).constData()));
        if (due != kInvalidDate)
            add(todo, zoned(icalproperty_new_due(plainTime(due)), false));
        m_pending.emplace_back(todo);
        flush();
    }

private:
    // The finished components in the order they were made, as the calendar would hold them.
    void flush()
    {
        for (const ComponentPtr& component : m_pending)
            m_ok = m_ok && m_sink(component.get());
        m_pending.clear();
    }

    static void add(icalcomponent* component, icalproperty* property)
    {
        icalcomponent_add_property(component, property);
    }

    // Ruvo stores apostrophes as grave accents; other programs get them back.
    static QByteArray peerText(QString text) { return text.replace(u'`', u'\'').toUtf8(); }

    static icaltimetype timeOf(DateValue value, bool allDay)
    {
        return allDay ? dayOf(value) : appointmentTime(value);
    }

    icalproperty* zoned(icalproperty* property, bool allDay) const
    {
        if (!allDay && !m_tzid.isEmpty())
            icalproperty_add_parameter(property, icalparameter_new_tzid(m_tzid.constData()));
        return property;
    }

    template<typename Visit>
    static void expand(const icalrecurrencetype& recur, const Row& first, bool allDay, Visit visit)
    {
        icalrecur_iterator* it = icalrecur_iterator_new(recur, timeOf(first.start, allDay));
        if (!it)
            return;
        // The rule ends at the last member; the cap only guards against a misbehaving library.
        for (int n = 0; n < 100000; ++n) {
            const icaltimetype time = icalrecur_iterator_next(it);
            if (icaltime_is_null_time(time))
                break;
            const DateValue fields = fieldsValue(time);
            if (fields == kInvalidDate)
                break;
            visit(allDay ? fields + 1 : tradeSeconds(fields), time);
        }
        icalrecur_iterator_free(it);
    }

    icalcomponent* newEvent(const QByteArray& uid, const Row& row, bool allDay) const
    {
        icalcomponent* event = icalcomponent_new_vevent();
        add(event, icalproperty_new_uid(uid.constData()));
        add(event, icalproperty_new_dtstamp(m_stamp));
        add(event, zoned(icalproperty_new_dtstart(timeOf(row.start, allDay)), allDay));
        if (allDay)
            add(event, icalproperty_new_dtend(dayOf(startOfDay(row.end) + kSecondsPerDay)));
        else if (row.end > row.start)
            add(event, zoned(icalproperty_new_dtend(appointmentTime(row.end)), false));
        const QByteArray summary = peerText(row.description);
        add(event, icalproperty_new_summary(summary.constData()));
        const QString group = m_groups.value(row.group);
        if (!group.isEmpty())
            add(event, icalproperty_new_categories(group.toUtf8().constData()));
        if (icalcomponent* alarm = newAlarm(row, summary))
            icalcomponent_add_component(event, alarm);
        return event;
    }

    void addOverride(const QByteArray& uid, const Row& row, bool allDay)
    {
        icalcomponent* event = newEvent(uid, row, allDay);
        add(event, zoned(icalproperty_new_recurrenceid(timeOf(row.start, allDay)), allDay));
        m_pending.emplace_back(event);
    }

    // The lead as the trigger; the repetition as DURATION and as many REPEATs as fit into the
    // lead, so the reminders run up to the start as Ruvo's do.
    static icalcomponent* newAlarm(const Row& row, const QByteArray& summary)
    {
        static const icaldurationtype leads[] = {
                durationOf(1, 0, 0, 0, true), durationOf(0, 1, 0, 0, true),
                durationOf(0, 0, 1, 0, true), durationOf(0, 0, 0, 0, false)};
        static const int leadSeconds[] = {604800, 86400, 3600, 0};
        static const icaldurationtype repeats[] = {durationOf(0, 0, 0, 15, false),
                                                   durationOf(0, 0, 1, 0, false),
                                                   durationOf(0, 1, 0, 0, false)};
        static const int repeatSeconds[] = {900, 3600, 86400};
        if (row.msg < 1 || row.msg > 4)
            return nullptr;
        icalcomponent* alarm = icalcomponent_new_valarm();
        add(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        add(alarm, icalproperty_new_description(summary.constData()));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = leads[row.msg - 1];
        add(alarm, icalproperty_new_trigger(trigger));
        if (row.remsg >= 1 && row.remsg <= 3) {
            add(alarm, icalproperty_new_duration(repeats[row.remsg - 1]));
            add(alarm, icalproperty_new_repeat(std::max(1, leadSeconds[row.msg - 1] /
                                                                   repeatSeconds[row.remsg - 1])));
        }
        return alarm;
    }

    QHash<int, QString> m_groups;
    Sink m_sink;
    icaltimezone* m_zone;
    QByteArray m_tzid;
    // Only the head: properties and the time zone.
    ComponentPtr m_calendar;
    icaltimetype m_stamp;
    std::vector<ComponentPtr> m_pending;
    bool m_ok = true;
};

Row rowOf(const RecordReader& record)
{
    Row row;
    row.id = record.number(0);
    row.start = record.number(1);
    row.group = static_cast<int>(record.number(2));
    row.description = record.text(3);
    row.end = record.number(4);
    row.msg = static_cast<int>(record.number(5));
    row.remsg = static_cast<int>(record.number(6));
    row.belong = record.number(7);
    row.redo = record.text(8);
    return row;
}

QByteArray serialized(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

// Reads every appointment and open to-do item into a writer made with the sink; false, with the
// reason in `error`, when the database cannot be read.
bool readCalendar(Database& db, std::optional<CalendarWriter>& writer,
                  const CalendarWriter::Sink& sink, QString& error)
{
    initLibrary();
    const auto readFailed = [&] {
        error = u"Die Datenbank konnte nicht gelesen werden: "_s + db.errorText();
        return false;
    };
    QHash<int, QString> groups;
    if (!db.forEachRecord(u"SELECT id, grupname FROM grups ;"_s, [&](const RecordReader& record) {
            groups.insert(static_cast<int>(record.number(0)), record.text(1));
        }))
        return readFailed();
    writer.emplace(std::move(groups), sink);

    const QString columns = u"SELECT id, date, grup, desc, enddate, msg, remsg, belong, redo FROM "
                            u"termine "_s;
    if (!db.forEachRecord(columns + u"WHERE belong = 0 ORDER BY date, enddate, id ;"_s,
                          [&](const RecordReader& record) { writer->addSingle(rowOf(record)); }))
        return readFailed();
    // A series is written once its last member has been read.
    QList<Row> members;
    if (!db.forEachRecord(columns + u"WHERE belong != 0 ORDER BY belong, date, enddate, id ;"_s,
                          [&](const RecordReader& record) {
                              Row row = rowOf(record);
                              if (!members.isEmpty() && members.front().belong != row.belong) {
                                  writer->addSeries(members);
                                  members.clear();
                              }
                              members.append(std::move(row));
                          }))
        return readFailed();
    if (!members.isEmpty())
        writer->addSeries(members);

    if (!db.forEachRecord(u"SELECT id, desc, enddate FROM todo WHERE checked=0 ORDER BY id ;"_s,
                          [&](const RecordReader& record) {
                              writer->addTodo(record.number(0), record.text(1), record.number(2));
                          }))
        return readFailed();
    return true;
}

// A calendar object with the head of the whole file: its properties and its zone.
ComponentPtr newObject(icalcomponent* calendar)
{
    icalcomponent* object = icalcomponent_new_vcalendar();
    for (icalproperty* p = icalcomponent_get_first_property(calendar, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(calendar, ICAL_ANY_PROPERTY))
        icalcomponent_add_property(object, icalproperty_new_clone(p));
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
         c; c = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT))
        icalcomponent_add_component(object, icalcomponent_new_clone(c));
    return ComponentPtr(object);
}

} // namespace

bool exportCalendar(Database& db, QIODevice& device, QString& error)
{
    static constexpr char kCalendarEnd[] = "END:VCALENDAR\r\n";
    bool written = true;
    const auto write = [&](const QByteArray& bytes) {
        written = written && device.write(bytes) == bytes.size();
        return written;
    };
    std::optional<CalendarWriter> writer;
    bool headWritten = false;
    const bool read = readCalendar(
            db, writer,
            [&](icalcomponent* component) {
                // The head as libical writes it, without its last line; the events follow.
                if (!headWritten) {
                    QByteArray head = serialized(writer->head());
                    head.chop(qsizetype(sizeof kCalendarEnd - 1));
                    headWritten = write(head);
                }
                return write(serialized(component));
            },
            error);
    if (!read)
        return false;
    if (!headWritten)
        write(serialized(writer->head()));
    else
        write(kCalendarEnd);
    if (!written) {
        error = u"Die Datei konnte nicht geschrieben werden: "_s + device.errorString();
        return false;
    }
    return true;
}

std::optional<QList<CalendarItem>> exportCalendarItems(Database& db, QString& error)
{
    QList<CalendarItem> items;
    QHash<QByteArray, qsizetype> indexOf;
    std::vector<ComponentPtr> objects;
    std::optional<CalendarWriter> writer;
    const bool read = readCalendar(
            db, writer,
            [&](icalcomponent* component) {
                const icalcomponent_kind kind = icalcomponent_isa(component);
                const QByteArray uid(icalcomponent_get_uid(component));
                auto it = indexOf.constFind(uid);
                if (it == indexOf.cend()) {
                    it = indexOf.insert(uid, items.size());
                    items.append({uid, {}, kind == ICAL_VTODO_COMPONENT});
                    objects.push_back(newObject(writer->head()));
                }
                icalcomponent_add_component(objects[std::size_t(*it)].get(),
                                            icalcomponent_new_clone(component));
                return true;
            },
            error);
    if (!read)
        return std::nullopt;
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i].text = serialized(objects[std::size_t(i)].get());
    return items;
}
