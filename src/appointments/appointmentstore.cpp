#include "appointments/appointmentstore.h"

#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString num(qint64 value)
{
    return QString::number(value);
}

// The first moment after the day that holds the value.
DateValue endOfDayBound(DateValue value)
{
    return startOfDay(value) + kSecondsPerDay;
}

// Moves the pair by whole steps to the first start on or after the period start.
SeriesMember alignToPeriod(DateValue start, DateValue end, DateValue step, DateValue periodStart)
{
    qint64 steps = floorDivide(periodStart - start, step);
    if (start + steps * step < periodStart)
        ++steps;
    return {start + steps * step, end + steps * step};
}

QList<SeriesMember> yearlyMembers(DateValue start, DateValue end, DateValue periodStart,
                                  DateValue periodEnd)
{
    const DateParts s = dateParts(start);
    const DateParts e = dateParts(end);
    // An appointment across New Year keeps its end in the following year.
    const int endYearOffset = e.year - s.year;
    QList<SeriesMember> members;
    for (int y = dateParts(periodStart).year; y <= dateParts(periodEnd).year; ++y) {
        const DateValue ms = makeDate(y, s.month, s.day, s.hour, s.minute, 1);
        const DateValue me = makeDate(y + endYearOffset, e.month, e.day, e.hour, e.minute, 1);
        if (ms == kInvalidDate || me == kInvalidDate)
            continue;
        members.append({ms, me});
    }
    return members;
}

QList<SeriesMember> monthlyMembers(DateValue start, DateValue end, DateValue periodStart,
                                   DateValue periodEnd)
{
    const DateParts s = dateParts(start);
    const DateParts e = dateParts(end);
    const DateParts ps = dateParts(periodStart);
    const DateParts pe = dateParts(periodEnd);
    const int first = s.day >= ps.day ? ps.month : ps.month + 1;
    const int last = pe.day >= s.day ? pe.month : pe.month - 1;
    // Every member ends on its own day at the entered end time. Where that time is not after the
    // start time (an appointment over midnight), the member keeps the entered span of days
    // instead, so it never ends before it begins.
    const DateValue daySpan =
            e.minuteOfDay() > s.minuteOfDay() ? 0 : startOfDay(end) - startOfDay(start);
    const DateValue bound = endOfDayBound(periodEnd);
    QList<SeriesMember> members;
    for (int m = std::max(first, 1); m <= std::min(last, 12); ++m) {
        const DateValue ms = makeDate(s.year, m, s.day, s.hour, s.minute, 1);
        const DateValue me = makeDate(s.year, m, s.day, e.hour, e.minute, 1);
        if (ms == kInvalidDate || me == kInvalidDate || ms >= bound)
            continue;
        members.append({ms, me + daySpan});
    }
    return members;
}

QList<SeriesMember> steppedMembers(DateValue start, DateValue end, DateValue step,
                                   DateValue periodStart, DateValue periodEnd)
{
    const DateParts s = dateParts(start);
    const DateParts e = dateParts(end);
    const DateValue firstStart = makeDate(s.year, s.month, s.day, s.hour, s.minute, 1);
    const DateValue firstEnd = makeDate(e.year, e.month, e.day, e.hour, e.minute, 1);
    const DateValue bound = endOfDayBound(periodEnd);
    QList<SeriesMember> members;
    if (firstStart == kInvalidDate || firstEnd == kInvalidDate)
        return members;
    for (SeriesMember m = alignToPeriod(firstStart, firstEnd, step, periodStart); m.start < bound;
         m = {m.start + step, m.end + step}) {
        members.append(m);
    }
    return members;
}

// Id of the new row; 0 when the user declined; -1 when the database failed (already shown).
qint64 insertRow(Database& db, Prompter& prompter, const AppointmentValues& v, qint64 seriesKey,
                 const QString& redo)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM termine WHERE date="_s + num(v.start) + u" AND enddate="_s +
                               num(v.end) + u" AND desc="_s + sqlQuote(v.description) + u";"_s,
                       cursor)) {
        showDatabaseError(db, prompter);
        return -1;
    }
    if (cursor.rowCount() > 0 &&
        !prompter.askYesNo(u"Warnung"_s,
                           u"Ein Termin in genau dem selben Zeitraum mit der gleichen "
                           u"Beschreibung besteht bereits, trotzdem speichern?"_s)) {
        return 0;
    }
    cursor.freeTable();
    if (!db.execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, redo, "
                    u"nextmsg) VALUES ("_s +
                    num(v.start) + u", "_s + num(v.group) + u", "_s + sqlQuote(v.description) +
                    u", "_s + num(v.end) + u", "_s + num(v.msg) + u", "_s + num(v.remsg) + u", "_s +
                    num(seriesKey) + u", "_s + sqlQuote(redo) + u", 0);"_s)) {
        showDatabaseError(db, prompter);
        return -1;
    }
    return db.lastInsertRowId();
}

} // namespace

QString seriesRedoText(SeriesKind kind, int dayCount)
{
    switch (kind) {
    case SeriesKind::Yearly:
        return u"Jährlich"_s;
    case SeriesKind::Monthly:
        return u"Monatlich"_s;
    case SeriesKind::Weekly:
        return u"Wöchentlich"_s;
    case SeriesKind::EveryNDays:
        break;
    }
    return u"Alle "_s + QString::number(dayCount) + u" Tage"_s;
}

std::optional<SeriesRule> seriesRuleOf(const QString& redo)
{
    if (redo == u"Jährlich"_s)
        return SeriesRule{SeriesKind::Yearly, 0};
    if (redo == u"Monatlich"_s)
        return SeriesRule{SeriesKind::Monthly, 0};
    if (redo == u"Wöchentlich"_s)
        return SeriesRule{SeriesKind::Weekly, 0};
    static const QRegularExpression everyN(u"^Alle (\\d{1,4}) Tage$"_s);
    const QRegularExpressionMatch match = everyN.match(redo);
    if (match.hasMatch() && match.captured(1).toInt() > 0)
        return SeriesRule{SeriesKind::EveryNDays, match.captured(1).toInt()};
    return std::nullopt;
}

QList<SeriesMember> seriesMembers(SeriesKind kind, DateValue start, DateValue end, int dayCount,
                                  DateValue periodStart, DateValue periodEnd)
{
    switch (kind) {
    case SeriesKind::Yearly:
        return yearlyMembers(start, end, periodStart, periodEnd);
    case SeriesKind::Monthly:
        return monthlyMembers(start, end, periodStart, periodEnd);
    case SeriesKind::Weekly:
        return steppedMembers(start, end, 7 * kSecondsPerDay, periodStart, periodEnd);
    case SeriesKind::EveryNDays:
        break;
    }
    const int n = std::clamp(dayCount, 1, 100);
    return steppedMembers(start, end, n * kSecondsPerDay, periodStart, periodEnd);
}

qint64 insertAppointment(Database& db, Prompter& prompter, const AppointmentValues& values,
                         qint64 seriesKey, const QString& redo)
{
    return std::max<qint64>(insertRow(db, prompter, values, seriesKey, redo), 0);
}

void updateAppointment(Database& db, Prompter& prompter, const AppointmentValues& v,
                       qint64 seriesKey, qint64 id)
{
    if (seriesKey == 0) {
        if (!db.execSql(u"UPDATE termine SET date="_s + num(v.start) + u", grup="_s + num(v.group) +
                        u", desc="_s + sqlQuote(v.description) + u", enddate="_s + num(v.end) +
                        u", msg="_s + num(v.msg) + u", remsg="_s + num(v.remsg) +
                        u", belong=0, redo='', nextmsg=0 WHERE id="_s + num(id) + u" ;"_s)) {
            showDatabaseError(db, prompter);
        }
        return;
    }

    qint64 startShift = 0;
    qint64 endShift = 0;
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT date,enddate FROM termine WHERE id="_s + num(id) + u";"_s,
                       cursor)) {
        showDatabaseError(db, prompter);
    } else if (cursor.nextRow()) {
        startShift = v.start - cursor.number(1);
        endShift = v.end - cursor.number(2);
    }
    if (!db.execSql(u"UPDATE termine SET date=date+"_s + num(startShift) + u",  grup="_s +
                    num(v.group) + u", desc="_s + sqlQuote(v.description) +
                    u", enddate=enddate+"_s + num(endShift) + u", msg="_s + num(v.msg) +
                    u", remsg="_s + num(v.remsg) + u", nextmsg=0 WHERE belong="_s + num(seriesKey) +
                    u" ;"_s)) {
        showDatabaseError(db, prompter);
    }
}

qint64 createSeries(Database& db, Prompter& prompter, SeriesKind kind,
                    const AppointmentValues& values, int dayCount, DateValue periodStart,
                    DateValue periodEnd)
{
    const QList<SeriesMember> members =
            seriesMembers(kind, values.start, values.end, dayCount, periodStart, periodEnd);
    const QString redo = seriesRedoText(kind, dayCount);

    Transaction transaction(db);
    qint64 key = 0;
    for (const SeriesMember& member : members) {
        AppointmentValues row = values;
        row.start = member.start;
        row.end = member.end;
        const qint64 id = insertRow(db, prompter, row, key, redo);
        if (id < 0)
            return 0; // the transaction rolls back: no half series
        if (id == 0 || key != 0)
            continue;
        key = id;
        if (!db.execSql(u"UPDATE termine SET belong="_s + num(key) + u" WHERE id="_s + num(key) +
                        u" ;"_s)) {
            showDatabaseError(db, prompter);
            return 0;
        }
    }
    if (!transaction.commit()) {
        showDatabaseError(db, prompter);
        return 0;
    }
    return key;
}

bool deleteAppointment(Database& db, Prompter& prompter, qint64 id)
{
    qint64 key = 0;
    {
        QueryCursor cursor;
        if (!db.queryTable(u"SELECT belong FROM termine WHERE id="_s + num(id) + u" ;"_s, cursor))
            showDatabaseError(db, prompter);
        else if (cursor.nextRow())
            key = cursor.number(1);
    }

    QString sql = u"DELETE FROM termine WHERE id="_s + num(id) + u" ;"_s;
    if (key != 0 &&
        prompter.askYesNo(u"Frage"_s,
                          u"Der Termin wird wiederholt, Wiederholungen auch Löschen?"_s)) {
        sql = u"DELETE FROM termine WHERE belong="_s + num(key) + u" ;"_s;
    }
    if (!db.execSql(sql)) {
        showDatabaseError(db, prompter);
        return false;
    }
    prompter.inform(u"Done"_s, u"Erfolgreich gelöscht!"_s);
    return true;
}

void applyBirthdayReminderDefaults(Database& db, Prompter& prompter, int birthdayMsg,
                                   int birthdayRemsg)
{
    qint64 groupId = 0;
    {
        QueryCursor cursor;
        if (!db.queryTable(u"SELECT id FROM grups WHERE grupname='Geburtstag';"_s, cursor))
            showDatabaseError(db, prompter);
        else if (cursor.nextRow())
            groupId = cursor.number(1);
    }
    // Without the group there is nothing to change; group 0 would hit unrelated rows.
    if (groupId == 0)
        return;
    if (!db.execSql(u"UPDATE termine SET msg="_s + num(birthdayMsg) + u", remsg="_s +
                    num(birthdayRemsg) + u" WHERE grup="_s + num(groupId) + u" ;"_s)) {
        showDatabaseError(db, prompter);
    }
}
