#include "interchange/icalendarimport.h"

#include "appointments/appointmentstore.h"
#include "common/sqltext.h"
#include "common/textcodec.h"
#include "interchange/icalsupport.h"
#include "store/database.h"
#include "store/querycursor.h"
#include "todo/todostore.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QTimeZone>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;
using namespace IcalSupport;

namespace {

constexpr qsizetype kMaxFileBytes = 32 * 1024 * 1024;
// A series in Ruvo has at most a few hundred members; more from one event is no calendar.
constexpr int kMaxOccurrences = 5000;
// Rule steps per event, counting those before 1970 that are skipped.
constexpr int kMaxRuleSteps = 100000;
constexpr qsizetype kMaxRows = 250000;
constexpr DateValue kLastMinute = 23 * 3600 + 59 * 60;
const DateValue kLastValue = makeDate(2037, 12, 31, 23, 59, 59);

// Steps of a rule after 2037 are counted this far, to tell how many were left out.
const DateValue kLastCounted = makeDate(2137, 12, 31, 23, 59, 59);
constexpr int kCountedLater = 1000;

bool inRange(DateValue value)
{
    return value >= 0 && value <= kLastValue;
}

// The steps of a series outside Ruvo's years.
struct OutsideSteps
{
    int before = 0;
    int after = 0;
    // `after` is a lower bound.
    bool more = false;

    bool any() const { return before > 0 || after > 0; }

    QString text() const
    {
        const auto steps = [](int n, bool atLeast) {
            return (atLeast ? u"mehr als "_s : QString()) + QString::number(n) +
                   (n == 1 && !atLeast ? u" Wiederholung"_s : u" Wiederholungen"_s);
        };
        if (after == 0)
            return steps(before, false) + u" vor 1970 weggelassen"_s;
        if (before == 0)
            return steps(after, more) + u" nach 2037 weggelassen"_s;
        return steps(before, false) + u" vor 1970 und "_s + (more ? u"mehr als "_s : QString()) +
               QString::number(after) + u" nach 2037 weggelassen"_s;
    }
};

// An event read into Ruvo's terms.
struct EventData
{
    QString summary;
    QStringList categories;
    int msg = 0;
    int remsg = 0;
    bool allDay = false;
    DateValue start = 0;
    DateValue end = 0;
    bool cancelled = false;
};

// Nearest of the given seconds; ties go to the earlier entry.
int nearest(qint64 seconds, std::initializer_list<qint64> choices)
{
    int best = 0;
    int index = 0;
    qint64 bestDistance = -1;
    for (qint64 choice : choices) {
        const qint64 distance = std::abs(seconds - choice);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = index;
        }
        ++index;
    }
    return best;
}

QByteArray xValue(icalcomponent* component, const char* name)
{
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* xName = icalproperty_get_x_name(p);
        if (xName && qstricmp(xName, name) == 0) {
            const char* value = icalproperty_get_x(p);
            return value ? QByteArray(value) : QByteArray();
        }
    }
    return {};
}

// The recurrence property libical could not read and dropped (it leaves an X-LIC-ERROR that
// names it); empty when there is none.
QByteArray unreadableRecurrence(icalcomponent* c)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        const QByteArray text = icalproperty_get_xlicerror(p);
        for (const char* name : {"RRULE", "RDATE", "EXDATE", "EXRULE", "RECURRENCE-ID"}) {
            if (text.contains(" in "_ba + name + " property"))
                return name;
        }
    }
    return {};
}

// Whether `later`, found after `earlier` in the file, is the newer version of the same event:
// the higher SEQUENCE, then the later DTSTAMP, then the later place in the file.
bool isNewerVersion(icalcomponent* later, icalcomponent* earlier)
{
    const int sequence = icalcomponent_get_sequence(later);
    const int earlierSequence = icalcomponent_get_sequence(earlier);
    if (sequence != earlierSequence)
        return sequence > earlierSequence;
    const icaltimetype stamp = icalcomponent_get_dtstamp(later);
    const icaltimetype earlierStamp = icalcomponent_get_dtstamp(earlier);
    if (icaltime_is_null_time(stamp) || icaltime_is_null_time(earlierStamp))
        return icaltime_is_null_time(earlierStamp);
    return icaltime_compare(stamp, earlierStamp) >= 0;
}

class CalendarReader
{
public:
    CalendarReader(icalcomponent* calendar, int importYear, CalendarImportPlan& plan)
        : m_calendar(calendar)
        , m_plan(plan)
        , m_systemZone(QTimeZone::systemTimeZoneId())
        , m_openLimit(makeDate(std::clamp(importYear + 1, 1970, 2037), 12, 31, 23, 59, 59))
    {}

    void read()
    {
        // Overrides join their master by UID; events without one stand alone.
        struct Group
        {
            QByteArray uid;
            icalcomponent* master = nullptr;
            QList<icalcomponent*> overrides;
        };
        QList<Group> groups;
        QHash<QByteArray, qsizetype> byUid;
        QSet<QByteArray> unreadable;
        for (icalcomponent* c =
                     icalcomponent_get_first_component(m_calendar, ICAL_VEVENT_COMPONENT);
             c; c = icalcomponent_get_next_component(m_calendar, ICAL_VEVENT_COMPONENT)) {
            const char* uidText = icalcomponent_get_uid(c);
            const QByteArray uid = uidText ? QByteArray(uidText) : QByteArray();
            // Read without its rule, it would be one event where the file has a series.
            if (const QByteArray broken = unreadableRecurrence(c); !broken.isEmpty()) {
                problem(eventLabel(c),
                        u"unlesbare Wiederholungsangabe ("_s + QString::fromUtf8(broken) + u')');
                if (!uid.isEmpty())
                    unreadable.insert(uid);
                continue;
            }
            const bool isOverride =
                    icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY) != nullptr;
            qsizetype index = uid.isEmpty() ? -1 : byUid.value(uid, -1);
            if (index < 0) {
                index = groups.size();
                groups.append(Group{uid, nullptr, {}});
                if (!uid.isEmpty())
                    byUid.insert(uid, index);
            }
            icalcomponent*& master = groups[index].master;
            if (isOverride) {
                groups[index].overrides.append(c);
            } else if (!master) {
                master = c;
            } else {
                // One event written twice: the later version counts.
                const bool replaces = isNewerVersion(c, master);
                icalcomponent* older = replaces ? master : c;
                if (replaces)
                    master = c;
                m_plan.notes << eventLabel(master) + u": ersetzt "_s + eventLabel(older) +
                                        u", eine ältere Fassung mit derselben UID"_s;
            }
        }
        for (const Group& group : std::as_const(groups)) {
            if (unreadable.contains(group.uid))
                continue;
            if (group.master) {
                readMaster(group.master, group.overrides);
            } else {
                for (icalcomponent* lone : group.overrides)
                    readSingle(lone, nullptr);
            }
        }
        for (icalcomponent* c = icalcomponent_get_first_component(m_calendar, ICAL_VTODO_COMPONENT);
             c; c = icalcomponent_get_next_component(m_calendar, ICAL_VTODO_COMPONENT)) {
            readTodo(c);
        }
    }

private:
    // The local wall clock of a time as the file gives it (UTC, a TZID or floating), seconds
    // untouched; a DATE gives its midnight.
    std::optional<DateValue> wallClock(icaltimetype time, const QByteArray& tzid, QString& why)
    {
        const DateValue fields = fieldsValue(time);
        if (fields == kInvalidDate || icaltime_is_null_time(time)) {
            why = u"ungültige Zeitangabe"_s;
            return std::nullopt;
        }
        if (time.is_date)
            return fields;
        // Far outside Ruvo's years the exact zone offset no longer matters.
        if (time.year < 1900 || time.year > 2100)
            return fields;
        if (icaltime_is_utc(time))
            return localWallClock(
                    icaltime_as_timet_with_zone(time, icaltimezone_get_utc_timezone()));
        if (tzid.isEmpty())
            return fields;
        const std::optional<icaltimezone*> zone = zoneFor(tzid);
        if (!zone) {
            why = u"unbekannte Zeitzone „"_s + QString::fromUtf8(tzid) + u"“"_s;
            return std::nullopt;
        }
        // Times in this system's own zone are its wall clock already, also in the hour that
        // a clock change skips.
        if (!*zone)
            return fields;
        return localWallClock(icaltime_as_timet_with_zone(time, *zone));
    }

    // nullptr for this system's zone, nothing for an unknown one.
    std::optional<icaltimezone*> zoneFor(const QByteArray& tzid)
    {
        const auto cached = m_zones.constFind(tzid);
        if (cached != m_zones.cend())
            return *cached;
        std::optional<icaltimezone*> zone;
        if (tzid == m_systemZone) {
            zone = nullptr;
        } else if (icaltimezone* own = icalcomponent_get_timezone(m_calendar, tzid.constData())) {
            zone = own;
        } else {
            // A known IANA id, also behind a prefix such as libical's "/freeassociation…/".
            // Only ids Qt knows reach libical, which opens a file by that name.
            for (qsizetype from = 0; from >= 0 && from < tzid.size();) {
                const QByteArray candidate = tzid.mid(from);
                if (!candidate.contains("..") && QTimeZone::isTimeZoneIdAvailable(candidate)) {
                    if (candidate == m_systemZone)
                        zone = nullptr;
                    else if (icaltimezone* builtin =
                                     icaltimezone_get_builtin_timezone(candidate.constData()))
                        zone = builtin;
                    break;
                }
                const qsizetype slash = tzid.indexOf('/', from);
                from = slash < 0 ? -1 : slash + 1;
            }
        }
        m_zones.insert(tzid, zone);
        return zone;
    }

    // The Ruvo value of a start as the property gives it.
    std::optional<DateValue> rowStart(icaltimetype time, const QByteArray& tzid, bool allDay,
                                      QString& why)
    {
        const std::optional<DateValue> wall = wallClock(time, tzid, why);
        if (!wall)
            return std::nullopt;
        return allDay ? startOfDay(*wall) + 1 : tradeSeconds(*wall);
    }

    QString label(const QString& summary, icalcomponent* c) const
    {
        QString text = summary.isEmpty() ? u"Termin ohne Titel"_s : u"„"_s + summary + u"“"_s;
        if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY)) {
            const DateValue day = fieldsValue(icalproperty_get_dtstart(p));
            if (day != kInvalidDate)
                text += u" ("_s + formatDate(u"%dd.%mm.%yyyy", day) + u')';
        }
        return text;
    }

    void problem(const QString& label, const QString& why)
    {
        m_plan.problems << label + u": "_s + why;
    }

    // Reads one VEVENT; an override takes what it lacks from its master.
    std::optional<EventData> readEvent(icalcomponent* c, const EventData* master, QString& why)
    {
        EventData e;
        icalproperty* summary = icalcomponent_get_first_property(c, ICAL_SUMMARY_PROPERTY);
        e.summary = summary ? replaceApostrophes(oneLine(icalproperty_get_summary(summary)))
                            : (master ? master->summary : QString());
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
            const QString value = oneLine(icalproperty_get_categories(p));
            e.categories << value;
            if (value.contains(u','))
                e.categories << value.split(u',', Qt::SkipEmptyParts);
        }
        if (!icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY) && master)
            e.categories = master->categories;
        e.cancelled = icalcomponent_get_status(c) == ICAL_STATUS_CANCELLED;

        icalproperty* dtstart = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
        if (!dtstart) {
            why = u"ohne Anfang (DTSTART)"_s;
            return std::nullopt;
        }
        const icaltimetype startTime = icalproperty_get_dtstart(dtstart);
        e.allDay = startTime.is_date;
        const std::optional<DateValue> start = rowStart(startTime, tzidOf(dtstart), e.allDay, why);
        if (!start)
            return std::nullopt;
        e.start = *start;

        std::optional<DateValue> endWall; // exclusive for all-day events
        if (icalproperty* dtend = icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY)) {
            const icaltimetype endTime = icalproperty_get_dtend(dtend);
            endWall = wallClock(endTime, tzidOf(dtend), why);
            if (!endWall)
                return std::nullopt;
            if (!e.allDay && !endTime.is_date)
                endWall = tradeSeconds(*endWall);
        } else if (icalproperty* duration =
                           icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY)) {
            const icaldurationtype d = icalproperty_get_duration(duration);
            const qint64 seconds = icaldurationtype_as_int(d);
            endWall = (e.allDay ? e.start - 1 : e.start) + seconds;
        } else if (master) {
            endWall =
                    master->allDay == e.allDay ? e.start + (master->end - master->start) : e.start;
            if (e.allDay)
                endWall = startOfDay(*endWall) + kSecondsPerDay;
        }
        if (e.allDay) {
            const DateValue day = e.start - 1;
            const DateValue lastDay = endWall && *endWall > day ? startOfDay(*endWall - 1) : day;
            e.end = lastDay + kLastMinute + 1;
        } else {
            e.end = endWall.value_or(e.start);
        }
        if (e.end < e.start) {
            why = u"endet vor seinem Anfang"_s;
            return std::nullopt;
        }

        if (icalcomponent* alarm = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT))
            readAlarm(alarm, e);
        else if (master) {
            e.msg = master->msg;
            e.remsg = master->remsg;
        }
        return e;
    }

    void readAlarm(icalcomponent* alarm, EventData& e)
    {
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            return;
        const icaltriggertype t = icalproperty_get_trigger(trigger);
        qint64 lead = 0; // seconds before the start
        if (!icaltime_is_null_time(t.time)) {
            QString why;
            const std::optional<DateValue> at = wallClock(t.time, tzidOf(trigger), why);
            if (!at)
                return;
            lead = e.start - *at;
        } else {
            lead = -icaldurationtype_as_int(t.duration);
            icalparameter* related =
                    icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            if (related && icalparameter_get_related(related) == ICAL_RELATED_END)
                lead -= e.end - e.start;
        }
        e.msg = 1 + nearest(std::max<qint64>(lead, 0), {604800, 86400, 3600, 0});
        icalproperty* repeat = icalcomponent_get_first_property(alarm, ICAL_REPEAT_PROPERTY);
        icalproperty* every = icalcomponent_get_first_property(alarm, ICAL_DURATION_PROPERTY);
        if (repeat && every && icalproperty_get_repeat(repeat) > 0) {
            const qint64 seconds = icaldurationtype_as_int(icalproperty_get_duration(every));
            if (seconds > 0)
                e.remsg = 1 + nearest(seconds, {900, 3600, 86400});
        }
    }

    void append(const EventData& e, int series)
    {
        m_plan.appointments.append(
                {e.start, e.end, e.summary, e.categories, e.msg, e.remsg, series});
    }

    void readSingle(icalcomponent* c, const EventData* master)
    {
        QString why;
        std::optional<EventData> e = readEvent(c, master, why);
        if (!e) {
            problem(eventLabel(c), why);
            return;
        }
        if (e->cancelled)
            return;
        if (!inRange(e->start)) {
            problem(eventLabel(c), u"liegt außerhalb der Jahre 1970 bis 2037"_s);
            return;
        }
        append(*e, -1);
    }

    QString eventLabel(icalcomponent* c) const
    {
        icalproperty* summary = icalcomponent_get_first_property(c, ICAL_SUMMARY_PROPERTY);
        return label(summary ? oneLine(icalproperty_get_summary(summary)) : QString(), c);
    }

    void readMaster(icalcomponent* c, const QList<icalcomponent*>& overrides)
    {
        icalproperty* rrule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
        const bool recurring =
                rrule || icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY) != nullptr;
        if (!recurring) {
            QString why;
            std::optional<EventData> e = readEvent(c, nullptr, why);
            if (e) {
                // What DATE values cannot carry, a Ruvo file keeps here.
                const QList<QByteArray> exact = xValue(c, "X-RUVO-EXACT").split('/');
                bool startOk = false;
                bool endOk = false;
                const qint64 start = exact.size() == 2 ? exact[0].toLongLong(&startOk) : 0;
                const qint64 end = exact.size() == 2 ? exact[1].toLongLong(&endOk) : 0;
                if (startOk && endOk && inRange(start) &&
                    startOfDay(start) == startOfDay(e->start)) {
                    e->start = start;
                    e->end = end;
                }
                if (!e->cancelled && !inRange(e->start)) {
                    problem(eventLabel(c), u"liegt außerhalb der Jahre 1970 bis 2037"_s);
                    return;
                }
                if (!e->cancelled)
                    append(*e, -1);
                for (icalcomponent* lone : overrides)
                    readSingle(lone, &*e);
                return;
            }
            problem(eventLabel(c), why);
            return;
        }
        readSeries(c, rrule, overrides);
    }

    void readSeries(icalcomponent* c, icalproperty* rrule, const QList<icalcomponent*>& overrides)
    {
        const QString name = eventLabel(c);
        QString why;
        const std::optional<EventData> master = readEvent(c, nullptr, why);
        if (!master) {
            problem(name, why);
            return;
        }
        if (master->cancelled)
            return;
        icalproperty* dtstart = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
        const icaltimetype first = icalproperty_get_dtstart(dtstart);
        const QByteArray tzid = tzidOf(dtstart);
        const DateValue span = master->end - master->start;

        QMap<DateValue, DateValue> occurrences; // start -> end
        OutsideSteps outside;
        bool masterCounted = false;
        auto addOccurrence = [&](DateValue start) {
            if (inRange(start)) {
                occurrences.insert(start, start + span);
                return;
            }
            // The rule's first step is the start itself.
            if (start == master->start && std::exchange(masterCounted, true))
                return;
            (start < 0 ? outside.before : outside.after) += 1;
        };
        addOccurrence(master->start);

        QString redo = QString::fromUtf8(xValue(c, "X-RUVO-REDO")).trimmed();
        if (rrule) {
            icalrecurrencetype recur = icalproperty_get_rrule(rrule);
            if (recur.freq == ICAL_NO_RECURRENCE || recur.interval < 1) {
                problem(name, u"unlesbare Wiederholungsregel"_s);
                return;
            }
            if (recur.freq == ICAL_SECONDLY_RECURRENCE || recur.freq == ICAL_MINUTELY_RECURRENCE ||
                recur.freq == ICAL_HOURLY_RECURRENCE) {
                problem(name, u"stündliche oder feinere Wiederholungen werden nicht unterstützt"_s);
                return;
            }
            if (redo.isEmpty() || redo.size() > 25)
                redo = redoText(recur);
            if (!expandRule(recur, first, tzid, master->allDay, name, addOccurrence, occurrences,
                            outside))
                return;
        }
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
            const bool isPeriod = icaltime_is_null_time(rdate.time);
            const icaltimetype time = isPeriod ? rdate.period.start : rdate.time;
            const std::optional<DateValue> start = rowStart(time, tzidOf(p), master->allDay, why);
            if (!start) {
                problem(name, why);
                return;
            }
            addOccurrence(*start);
            if (isPeriod && !master->allDay && occurrences.contains(*start)) {
                DateValue end = *start + icaldurationtype_as_int(rdate.period.duration);
                if (!icaltime_is_null_time(rdate.period.end)) {
                    const std::optional<DateValue> wall =
                            wallClock(rdate.period.end, tzidOf(p), why);
                    end = wall ? tradeSeconds(*wall) : *start;
                }
                occurrences.insert(*start, std::max(end, *start));
            }
        }
        if (occurrences.size() > kMaxOccurrences) {
            problem(name, u"mehr als %1 Wiederholungen"_s.arg(kMaxOccurrences));
            return;
        }
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype time = icalproperty_get_exdate(p);
            const std::optional<DateValue> wall = wallClock(time, tzidOf(p), why);
            if (!wall)
                continue;
            if (time.is_date) {
                occurrences.removeIf([&](const auto& it) { return startOfDay(it.key()) == *wall; });
            } else {
                occurrences.remove(master->allDay ? startOfDay(*wall) + 1 : tradeSeconds(*wall));
            }
        }

        QList<EventData> detached;
        for (icalcomponent* o : overrides) {
            icalproperty* rid = icalcomponent_get_first_property(o, ICAL_RECURRENCEID_PROPERTY);
            const std::optional<DateValue> key =
                    rowStart(icalproperty_get_recurrenceid(rid), tzidOf(rid), master->allDay, why);
            if (!key) {
                problem(eventLabel(o), why);
                continue;
            }
            const bool known = occurrences.contains(*key);
            if (icalcomponent_get_status(o) == ICAL_STATUS_CANCELLED) {
                occurrences.remove(*key);
                continue;
            }
            const std::optional<EventData> e = readEvent(o, &*master, why);
            if (!e) {
                occurrences.remove(*key);
                problem(eventLabel(o), why);
                continue;
            }
            // Only the end changed: still one of the series, as Ruvo's monthly members are.
            if (known && e->start == *key && e->summary == master->summary &&
                e->allDay == master->allDay) {
                occurrences.insert(*key, e->end);
                continue;
            }
            occurrences.remove(*key);
            if (!inRange(e->start))
                problem(eventLabel(o), u"liegt außerhalb der Jahre 1970 bis 2037"_s);
            else
                detached.append(*e);
        }

        if (occurrences.isEmpty() && outside.any())
            problem(name, u"liegt außerhalb der Jahre 1970 bis 2037"_s);
        else if (outside.any())
            m_plan.notes << name + u": "_s + outside.text();
        if (!occurrences.isEmpty()) {
            if (redo.isEmpty() || redo.size() > 25) {
                const qint64 days =
                        occurrences.size() < 2
                                ? 1
                                : (*std::next(occurrences.keyBegin()) - *occurrences.keyBegin()) /
                                          kSecondsPerDay;
                redo = everyNDays(std::clamp<qint64>(days, 1, 100));
            }
            const int series = static_cast<int>(m_plan.seriesRedo.size());
            m_plan.seriesRedo << redo;
            EventData member = *master;
            for (auto it = occurrences.cbegin(); it != occurrences.cend(); ++it) {
                member.start = it.key();
                member.end = it.value();
                append(member, series);
            }
        }
        for (const EventData& e : std::as_const(detached))
            append(e, -1);
    }

    static QString everyNDays(qint64 days)
    {
        return seriesRedoText(SeriesKind::EveryNDays, static_cast<int>(days));
    }

    static QString redoText(const icalrecurrencetype& recur)
    {
        switch (recur.freq) {
        case ICAL_YEARLY_RECURRENCE:
            return seriesRedoText(SeriesKind::Yearly, 0);
        case ICAL_MONTHLY_RECURRENCE:
            return seriesRedoText(SeriesKind::Monthly, 0);
        case ICAL_WEEKLY_RECURRENCE:
            return recur.interval == 1 ? seriesRedoText(SeriesKind::Weekly, 0)
                                       : everyNDays(7 * recur.interval);
        default:
            return everyNDays(recur.interval);
        }
    }

    // Adds the rule's occurrences in Ruvo's years and counts those of a bounded rule outside
    // them; false when the event must be left out.
    template<typename Add>
    bool expandRule(icalrecurrencetype recur, const icaltimetype& first, const QByteArray& tzid,
                    bool allDay, const QString& name, Add addOccurrence,
                    const QMap<DateValue, DateValue>& occurrences, OutsideSteps& outside)
    {
        QString why;
        const bool open = recur.count == 0 && icaltime_is_null_time(recur.until);
        DateValue limit = kLastValue;
        if (open && recur.freq != ICAL_YEARLY_RECURRENCE)
            limit = m_openLimit;
        std::optional<DateValue> until;
        if (!icaltime_is_null_time(recur.until)) {
            until = recur.until.is_date ? fieldsValue(recur.until)
                                        : wallClock(recur.until, tzid, why);
            if (!until) {
                problem(name, u"unlesbares Ende der Wiederholung"_s);
                return false;
            }
            if (allDay || recur.until.is_date)
                until = startOfDay(*until) + kSecondsPerDay - 1;
        }
        // Our own bound, in the rule's own frame: libical stops there even for rules that
        // match nothing; the exact end is checked below. The steps of a rule that ends after
        // 2037 are counted for a century more.
        const bool endsLater = until && *until > kLastValue;
        const int count = recur.count;
        if (count == 0) {
            const DateValue bound = endsLater ? kLastCounted : limit + 2 * kSecondsPerDay;
            recur.until = allDay ? dayOf(bound) : plainTime(bound);
        }
        // The rule runs in the start's own frame, floating; a UTC start's steps are UTC moments
        // again before they become wall clock.
        const bool utc = icaltime_is_utc(first);
        icaltimetype start = first;
        start.zone = nullptr;
        icalrecur_iterator* it = icalrecur_iterator_new(recur, start);
        if (!it) {
            problem(name, u"unlesbare Wiederholungsregel"_s);
            return false;
        }
        // The next step's wall clock, nothing at the rule's end.
        const auto next = [&]() -> std::optional<DateValue> {
            icaltimetype time = icalrecur_iterator_next(it);
            if (icaltime_is_null_time(time))
                return std::nullopt;
            if (utc && !time.is_date)
                time.zone = icaltimezone_get_utc_timezone();
            const std::optional<DateValue> wall = wallClock(time, tzid, why);
            if (!wall || (until && *wall > *until))
                return std::nullopt;
            return allDay ? startOfDay(*wall) + 1 : tradeSeconds(*wall);
        };
        bool ok = true;
        int handled = 0;
        bool beyond = false; // stopped after 2037, before the rule's own end
        for (int step = 0;; ++step) {
            if (step >= kMaxRuleSteps || occurrences.size() > kMaxOccurrences) {
                problem(name, u"mehr als %1 Wiederholungen"_s.arg(kMaxOccurrences));
                ok = false;
                break;
            }
            const std::optional<DateValue> value = next();
            if (!value)
                break;
            if (*value > limit) {
                beyond = !open;
                break;
            }
            ++handled;
            addOccurrence(*value);
        }
        if (ok && beyond && count > 0) {
            outside.after += count - handled;
        } else if (ok && beyond) {
            int later = 1;
            while (later <= kCountedLater && next())
                ++later;
            outside.after += std::min(later, kCountedLater);
            outside.more = later > kCountedLater || *until > kLastCounted;
        }
        icalrecur_iterator_free(it);
        return ok;
    }

    void readTodo(icalcomponent* c)
    {
        // Done items are not carried over: Ruvo's list is of things still to do.
        const icalproperty_status status = icalcomponent_get_status(c);
        if (status == ICAL_STATUS_COMPLETED || status == ICAL_STATUS_CANCELLED ||
            icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY))
            return;
        CalendarTodo todo;
        icalproperty* summary = icalcomponent_get_first_property(c, ICAL_SUMMARY_PROPERTY);
        todo.description = summary ? replaceApostrophes(oneLine(icalproperty_get_summary(summary)))
                                   : QString();
        if (icalproperty* due = icalcomponent_get_first_property(c, ICAL_DUE_PROPERTY)) {
            const icaltimetype time = icalproperty_get_due(due);
            QString why;
            const std::optional<DateValue> wall = wallClock(time, tzidOf(due), why);
            const QString name = u"Aufgabe „"_s + todo.description + u"“"_s;
            if (!wall) {
                problem(name, why);
                return;
            }
            // A due day is done by the end of that day.
            todo.due = time.is_date ? *wall + kLastMinute : *wall;
            if (!inRange(todo.due)) {
                problem(name, u"liegt außerhalb der Jahre 1970 bis 2037"_s);
                return;
            }
        }
        m_plan.todos.append(todo);
    }

    icalcomponent* m_calendar;
    CalendarImportPlan& m_plan;
    QByteArray m_systemZone;
    DateValue m_openLimit;
    QHash<QByteArray, std::optional<icaltimezone*>> m_zones;
};

qsizetype linesWithText(QByteArrayView text)
{
    qsizetype count = 0;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            end = text.size();
        if (!text.sliced(at, end - at).trimmed().isEmpty())
            ++count;
        at = end + 1;
    }
    return count;
}

// The offset just past the last END:VCALENDAR line of unfolded text, -1 when it has none.
qsizetype lastCalendarEnd(QByteArrayView text)
{
    constexpr QByteArrayView kEnd = "END:VCALENDAR";
    qsizetype lineEnd = text.size();
    while (lineEnd > 0) {
        const qsizetype lineStart = text.lastIndexOf('\n', lineEnd - 1) + 1;
        const QByteArrayView line = text.sliced(lineStart, lineEnd - lineStart).trimmed();
        if (line.size() == kEnd.size() && qstrnicmp(line.data(), kEnd.data(), kEnd.size()) == 0)
            return lineEnd;
        lineEnd = lineStart > 0 ? lineStart - 1 : 0;
    }
    return -1;
}

QString tripleKey(DateValue start, DateValue end, const QString& description)
{
    return QString::number(start) + u'|' + QString::number(end) + u'|' + description;
}

} // namespace

CalendarImportPlan readCalendar(const QByteArray& bytes, int importYear)
{
    initLibrary();
    CalendarImportPlan plan;
    if (bytes.size() > kMaxFileBytes) {
        plan.error = u"Die Datei ist zu groß (mehr als 32 MiB)."_s;
        return plan;
    }
    // Files are UTF-8 by the standard, but some writers use UTF-16 or an 8-bit code page.
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (bytes.contains('\0') && !utf16) {
        plan.error = u"Die Datei ist keine iCalendar-Datei."_s;
        return plan;
    }
    const std::optional<QByteArray> unmarked = withoutByteOrderMark(bytes);
    const ContentLines lines =
            unfoldedContentLines(unmarked ? QByteArrayView(*unmarked) : QByteArrayView(bytes));
    QByteArrayView text = QByteArrayView(lines.utf8).trimmed();
    if (text.contains('\0') || !text.first(std::min<qsizetype>(text.size(), 15))
                                        .toByteArray()
                                        .toUpper()
                                        .startsWith("BEGIN:VCALENDAR")) {
        plan.error = u"Die Datei ist keine iCalendar-Datei."_s;
        return plan;
    }
    if (const QString note = lines.note(); !note.isEmpty())
        plan.notes << note;
    // Whatever follows the last calendar is no part of it.
    const qsizetype end = lastCalendarEnd(text);
    if (end < 0) {
        plan.error =
                u"Die Datei ist unvollständig: Das Ende des Kalenders (END:VCALENDAR) fehlt."_s;
        return plan;
    }
    if (const qsizetype rest = linesWithText(text.sliced(end)); rest > 0) {
        plan.notes << (rest == 1 ? u"1 Zeile nach dem Ende des Kalenders (END:VCALENDAR) "
                                   u"nicht gelesen"_s
                                 : u"%1 Zeilen nach dem Ende des Kalenders (END:VCALENDAR) "
                                   u"nicht gelesen"_s.arg(rest));
    }
    ComponentPtr root = parseText(text.first(end).toByteArray());
    if (!root) {
        plan.error = u"Die Datei konnte nicht als iCalendar-Datei gelesen werden."_s;
        return plan;
    }
    QList<icalcomponent*> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars << root.get();
    } else {
        for (icalcomponent* c =
                     icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             c; c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars << c;
    }
    if (calendars.isEmpty()) {
        plan.error = u"Die Datei enthält keinen Kalender."_s;
        return plan;
    }
    for (icalcomponent* calendar : std::as_const(calendars)) {
        CalendarReader(calendar, importYear, plan).read();
        if (plan.appointments.size() > kMaxRows)
            break;
    }
    if (plan.appointments.size() > kMaxRows) {
        CalendarImportPlan tooMany;
        tooMany.error = u"Die Datei enthält zu viele Termine (mehr als %1)."_s.arg(kMaxRows);
        return tooMany;
    }
    return plan;
}

ImportReport storeCalendar(Database& db, const CalendarImportPlan& plan, int groupId)
{
    ImportReport report;
    if (!plan.error.isEmpty()) {
        report.failed = true;
        report.error = plan.error;
        return report;
    }
    const auto fail = [&db] {
        ImportReport failed;
        failed.failed = true;
        failed.error = u"Die Datenbank hat den Import abgelehnt: "_s + db.errorText();
        return failed;
    };

    QHash<QString, int> groups;
    QSet<QString> present;
    QSet<QString> presentTodos;
    {
        QueryCursor cursor;
        if (!db.queryTable(u"SELECT id, grupname FROM grups WHERE grupname != '' ORDER BY id ;"_s,
                           cursor))
            return fail();
        while (cursor.nextRow()) {
            if (!groups.contains(cursor.text(2)))
                groups.insert(cursor.text(2), static_cast<int>(cursor.number(1)));
        }
        if (!db.queryTable(u"SELECT date, enddate, desc FROM termine ;"_s, cursor))
            return fail();
        present.reserve(cursor.rowCount() + plan.appointments.size());
        while (cursor.nextRow())
            present.insert(tripleKey(cursor.number(1), cursor.number(2), cursor.text(3)));
        if (!db.queryTable(u"SELECT enddate, desc FROM todo ;"_s, cursor))
            return fail();
        while (cursor.nextRow())
            presentTodos.insert(tripleKey(cursor.number(1), 0, cursor.text(2)));
    }

    Transaction transaction(db);
    QList<qint64> seriesKeys(plan.seriesRedo.size(), 0);
    for (const CalendarAppointment& a : plan.appointments) {
        if (!inRange(a.start) || a.series >= seriesKeys.size()) {
            report.problems << u"„"_s + a.description + u"“: ungültiger Eintrag"_s;
            continue;
        }
        const QString key = tripleKey(a.start, a.end, a.description);
        if (present.contains(key)) {
            ++report.duplicates;
            continue;
        }
        int group = groupId;
        for (const QString& category : a.categories) {
            const auto it = groups.constFind(category.trimmed());
            if (it != groups.cend()) {
                group = *it;
                break;
            }
        }
        const qint64 belong = a.series >= 0 ? seriesKeys[a.series] : 0;
        const QString redo = a.series >= 0 ? plan.seriesRedo[a.series] : QString();
        if (!db.execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, "
                        u"redo, nextmsg) VALUES ("_s +
                        QString::number(a.start) + u", "_s + QString::number(group) + u", "_s +
                        sqlQuote(a.description) + u", "_s + QString::number(a.end) + u", "_s +
                        QString::number(std::clamp(a.msg, 0, 4)) + u", "_s +
                        QString::number(std::clamp(a.remsg, 0, 3)) + u", "_s +
                        QString::number(belong) + u", "_s + sqlQuote(redo) + u", 0);"_s)) {
            return fail();
        }
        // The first member written heads the series and points to itself.
        if (a.series >= 0 && belong == 0) {
            const qint64 id = db.lastInsertRowId();
            seriesKeys[a.series] = id;
            if (!db.execSql(u"UPDATE termine SET belong="_s + QString::number(id) +
                            u" WHERE id="_s + QString::number(id) + u" ;"_s))
                return fail();
        }
        present.insert(key);
        ++report.events;
    }
    for (const CalendarTodo& todo : plan.todos) {
        const QString key = tripleKey(todo.due, 0, todo.description);
        if (presentTodos.contains(key)) {
            ++report.duplicates;
            continue;
        }
        if (!TodoStore::insertTodo(db, {todo.due, todo.description, 0}))
            return fail();
        presentTodos.insert(key);
        ++report.todos;
    }
    if (!transaction.commit())
        return fail();
    report.problems = plan.problems + report.problems;
    report.notes = plan.notes;
    return report;
}
