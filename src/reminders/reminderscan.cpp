#include "reminders/reminderscan.h"

#include "reminders/reminderlist.h"
#include "store/database.h"
#include "store/querycursor.h"

using namespace Qt::StringLiterals;

namespace {

QString num(qint64 value)
{
    return QString::number(value);
}

} // namespace

ReminderScan::ReminderScan(Database& db, Prompter& prompter, QuitState& quitState)
    : m_db(db)
    , m_prompter(prompter)
    , m_quitState(quitState)
{}

DateValue ReminderScan::leadSeconds(int lead)
{
    switch (lead) {
    case 1:
        return 7 * kSecondsPerDay;
    case 2:
        return kSecondsPerDay;
    case 3:
        return 3600;
    case 4:
        return 900;
    default:
        return 0;
    }
}

DateValue ReminderScan::repeatSeconds(int repeat)
{
    switch (repeat) {
    case 1:
        return 900;
    case 2:
        return 3600;
    case 3:
        return kSecondsPerDay;
    default:
        return 0;
    }
}

DateValue ReminderScan::birthdayIn(int year, DateValue key)
{
    const DateParts p = dateParts(key);
    const int day = p.month == 2 && p.day == 29 && !isLeapYear(year) ? 28 : p.day;
    return makeDate(year, p.month, day, 0, 0, 1);
}

DateValue ReminderScan::nextBirthday(DateValue key, DateValue now)
{
    const int year = dateParts(now).year;
    const DateValue thisYear = birthdayIn(year, key);
    return startOfDay(thisYear) + kSecondsPerDay > now ? thisYear : birthdayIn(year + 1, key);
}

bool ReminderScan::run(DateValue now, const BirthdayReminder& birthdays, ReminderList& list,
                       bool windowShown)
{
    m_news = false;
    m_scanTime = formatDate(u"%hh:%ii:%ss Uhr", now);
    m_doneTodosDue.clear();
    // What the window shows stays in the list until the window closes: the snooze menu finds its
    // entries there.
    if (!windowShown)
        list.clear();

    // All reminder states of one scan reach the file together.
    Transaction transaction(m_db);
    scanAppointments(now, list);
    scanHolidays(now, list);
    scanBirthdays(now, birthdays, list);
    scanTodos(now, list);
    transaction.commit();
    return m_news;
}

void ReminderScan::add(ReminderList& list, ReminderEntry entry)
{
    if (!m_scanTime.isEmpty()) {
        entry.scanTime = m_scanTime;
        m_scanTime.clear();
    }
    list.append(std::move(entry));
    m_news = true;
}

void ReminderScan::failed()
{
    reportDatabaseError(m_db, m_prompter, m_quitState);
}

void ReminderScan::scanAppointments(DateValue now, ReminderList& list)
{
    const QString sql = u"Select * FROM termine JOIN grups ON grups.id=grup WHERE ((((date<"_s +
                        num(now + kSecondsPerDay) + u" AND msg=2) Or (date<"_s +
                        num(now + 7 * kSecondsPerDay) + u" And msg=1) Or (date<"_s +
                        num(now + 3600) + u" And msg=3) Or (date<"_s + num(now + 900) +
                        u" And msg=4)) And nextmsg=0) Or (nextmsg<"_s + num(now) +
                        u" And nextmsg>0)) ORDER BY date ASC ;"_s;
    QueryCursor cursor;
    if (!m_db.queryTable(sql, cursor)) {
        failed();
        return;
    }
    while (cursor.nextRow() && list.count() < kAppointmentCap) {
        const qint64 id = cursor.number(1);
        const DateValue start = cursor.number(2);
        const DateValue end = cursor.number(5);
        const DateValue interval = repeatSeconds(static_cast<int>(cursor.number(7)));
        const DateValue next = interval > 0 && now + interval < start ? now + interval : -1;
        m_db.execSql(u"UPDATE termine SET nextmsg="_s + num(next) + u" WHERE id="_s + num(id) +
                     u" ;"_s);
        // An appointment that is already over is consumed without being shown.
        if (now >= end)
            continue;
        ReminderEntry entry;
        entry.source = ReminderSource::Appointment;
        entry.id = id;
        entry.start = start;
        entry.end = end;
        entry.kind = cursor.text(12);
        entry.description = cursor.text(4);
        add(list, std::move(entry));
    }
}

void ReminderScan::scanHolidays(DateValue now, ReminderList& list)
{
    const DateValue key = startOfDay(now) + 1;
    QueryCursor cursor;
    if (!m_db.queryTable(u"SELECT * FROM feiertage WHERE date="_s + num(key) + u"  ;"_s, cursor)) {
        failed();
        return;
    }
    while (cursor.nextRow() && list.count() < kHolidayCap) {
        ReminderEntry entry;
        entry.source = ReminderSource::Holiday;
        entry.id = cursor.number(1);
        entry.start = cursor.number(2);
        entry.description = cursor.text(3);
        entry.kind = cursor.text(4);
        // Moved by a second, the holiday is not found again today.
        m_db.execSql(u"UPDATE feiertage SET date="_s + num(key + 1) + u" WHERE id="_s +
                     num(entry.id));
        add(list, std::move(entry));
    }
}

void ReminderScan::scanBirthdays(DateValue now, const BirthdayReminder& birthdays,
                                 ReminderList& list)
{
    const DateValue lead = leadSeconds(birthdays.lead);
    if (lead == 0)
        return;

    // Rows never announced are read only when their day this year is over or lies within the
    // lead (with a day to spare for 29 February); the exact decision is made below.
    const DateValue ahead = now + lead;
    const DateParts t = dateParts(ahead);
    const QString newRows =
            t.year > dateParts(now).year
                    ? u"1"_s
                    : u"date<="_s + num(birthdayKey(t.month, t.day) + kSecondsPerDay);
    const QString sql = u"SELECT * FROM geburtstage WHERE (nextmsg=0 and ("_s + newRows +
                        u")) or nextmsg=-1 or (nextmsg>0 and nextmsg<"_s + num(now) + u") ;"_s;
    QueryCursor cursor;
    if (!m_db.queryTable(sql, cursor)) {
        failed();
        return;
    }
    const DateValue interval = repeatSeconds(birthdays.repeat);
    while (cursor.nextRow()) {
        const qint64 id = cursor.number(1);
        const DateValue key = cursor.number(2);
        const qint64 state = cursor.number(5);
        const DateValue birthday = nextBirthday(key, now);
        const DateValue due = birthday - lead;
        const DateValue dueNextYear = birthdayIn(dateParts(birthday).year + 1, key) - lead;
        const auto write = [&](DateValue value) {
            m_db.execSql(u"UPDATE geburtstage SET nextmsg="_s + num(value) + u" WHERE id="_s +
                         num(id) + u" ;"_s);
        };

        if (now < due) {
            // A reminder snoozed on the day itself comes back after the day is over.
            const DateValue snoozed = state > 0 ? snoozedBirthday(key, state) : 0;
            if (snoozed != 0) {
                if (list.count() >= kBirthdayCap)
                    continue;
                write(due);
                add(list, birthdayEntry(cursor, snoozed));
                continue;
            }
            // Not yet due: a row whose day this year has passed, an old "done" mark or a stale
            // repeat waits for its coming reminder.
            if (state != 0 || dateParts(birthday).year > dateParts(now).year)
                write(due);
            continue;
        }
        if (state == -1) {
            // Marked done inside the lead, possibly for this very birthday: wait for the next.
            write(dueNextYear);
            continue;
        }
        if (list.count() >= kBirthdayCap)
            continue;
        const DateValue next = now + interval;
        write(interval > 0 && next < startOfDay(birthday) + kSecondsPerDay ? next : dueNextYear);
        add(list, birthdayEntry(cursor, birthday));
    }
}

ReminderEntry ReminderScan::birthdayEntry(const QueryCursor& cursor, DateValue birthday)
{
    ReminderEntry entry;
    entry.source = ReminderSource::Birthday;
    entry.id = cursor.number(1);
    entry.start = birthday;
    entry.birthYear = static_cast<int>(cursor.number(3));
    entry.description = cursor.text(4);
    entry.kind = u"Geburtstag"_s;
    return entry;
}

DateValue ReminderScan::snoozedBirthday(DateValue key, DateValue moment)
{
    // The scan never sets a time after the birthday's day; only a snooze on that day reaches
    // into the day after.
    const int year = dateParts(moment).year;
    for (const int y : {year, year - 1}) {
        const DateValue birthday = birthdayIn(y, key);
        const DateValue dayEnd = startOfDay(birthday) + kSecondsPerDay;
        if (dayEnd <= moment && moment < dayEnd + kSecondsPerDay)
            return birthday;
    }
    return 0;
}

bool ReminderScan::rescheduleBirthdays(Database& db, int lead)
{
    const DateValue newLead = leadSeconds(lead);
    // Without a lead nothing is scheduled; the times stay for a lead chosen later.
    if (newLead == 0)
        return true;
    QList<std::pair<qint64, DateValue>> moved;
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT id, date, nextmsg FROM geburtstage WHERE nextmsg>0 ;"_s, cursor))
        return false;
    while (cursor.nextRow()) {
        const DateValue key = cursor.number(2);
        const DateValue moment = cursor.number(3);
        // Only a coming reminder set by a lead moves; a repeat or a snooze keeps its time.
        const DateValue birthday = nextBirthday(key, moment);
        for (int code = 1; code <= 4; ++code) {
            if (moment == birthday - leadSeconds(code)) {
                if (code != lead)
                    moved.append({cursor.number(1), birthday - newLead});
                break;
            }
        }
    }
    Transaction transaction(db);
    for (const auto& [id, moment] : moved) {
        if (!db.execSql(u"UPDATE geburtstage SET nextmsg="_s + num(moment) + u" WHERE id="_s +
                        num(id) + u" ;"_s))
            return false;
    }
    return transaction.commit();
}

void ReminderScan::scanTodos(DateValue now, ReminderList& list)
{
    // Items whose auto-delete moment has passed are read whatever their reminder state, so that
    // one reminded once, snoozed past the moment or ticked goes at that moment too.
    const QString sql = u"SELECT * FROM todo WHERE (((nextmsg=0) or (nextmsg>0 and nextmsg<"_s +
                        num(now) + u")) and checked=0) or (enddate>=1 and enddate<"_s + num(now) +
                        u") ;"_s;
    QueryCursor cursor;
    if (!m_db.queryTable(sql, cursor)) {
        failed();
        return;
    }
    while (cursor.nextRow()) {
        const qint64 id = cursor.number(1);
        const DateValue due = cursor.number(2);
        if (cursor.number(5) != 0) {
            // Done already: nothing to remind of, it only goes.
            m_doneTodosDue.append(id);
            continue;
        }
        if (list.count() >= kTodoCap)
            continue;
        ReminderEntry entry;
        entry.source = ReminderSource::Todo;
        entry.id = id;
        entry.start = due;
        entry.description = cursor.text(3);
        entry.kind = u"ToDo"_s;
        const DateValue interval = repeatSeconds(static_cast<int>(cursor.number(4)));
        DateValue next = -1;
        if (interval > 0)
            next = now + interval < due || due < 1 ? now + interval : due;
        m_db.execSql(u"UPDATE todo SET nextmsg="_s + num(next) + u" WHERE id="_s + num(id) +
                     u" ;"_s);
        if (due >= 1 && now >= due)
            entry.todoToDelete = id;
        add(list, std::move(entry));
    }
}
