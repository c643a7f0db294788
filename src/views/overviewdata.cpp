#include "views/overviewdata.h"

#include "common/grouppalette.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr DateValue kLastSecondOfDay = kSecondsPerDay - 1;

// The id of the named group into id, 0 when there is none; false when the query failed.
bool groupIdOf(Database& db, const QString& sql, int& id)
{
    QueryCursor cursor;
    if (!db.queryTable(sql, cursor))
        return false;
    id = cursor.nextRow() ? static_cast<int>(cursor.number(1)) : 0;
    return true;
}

} // namespace

// All appointments of the shown groups that touch the range. Sorting by start and then id gives
// the order of the per-day query. Picking the shown groups here rather than in SQL spares SQLite a
// lookup per row.
bool OverviewData::loadAppointments(Database& db, const QList<int>& groups, DateValue from,
                                    DateValue to, std::vector<Row>& rows)
{
    std::array<bool, kGroupCount + 1> shown{};
    for (int id : groups)
        shown[static_cast<std::size_t>(id)] = true;
    const bool ok = db.forEachRow(
            u"SELECT date,grup,enddate,id FROM termine WHERE enddate>"_s + QString::number(from) +
                    u" And date<"_s + QString::number(to) + u" ;"_s,
            [&](std::span<const qint64> row) {
                const qint64 group = row[1];
                if (group < 1 || group > kGroupCount || !shown[static_cast<std::size_t>(group)])
                    return;
                rows.push_back({{row[0], static_cast<int>(group), row[2]}, row[3]});
            });
    if (!ok)
        return false;
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.appointment.start != b.appointment.start
                       ? a.appointment.start < b.appointment.start
                       : a.id < b.id;
    });
    return true;
}

// Each row goes to the days d with end > d and start < d + 23:59:59, in row order.
void OverviewData::spreadOverDays(const std::vector<Row>& rows, int dayCount)
{
    const auto daysOf = [this, dayCount](const OverviewAppointment& a) {
        const qint64 first = std::max<qint64>(
                0, ceilDivide(a.start - kLastSecondOfDay + 1 - m_firstDay, kSecondsPerDay));
        const qint64 last =
                std::min<qint64>(dayCount - 1, floorDivide(a.end - 1 - m_firstDay, kSecondsPerDay));
        return std::pair{first, last};
    };
    const auto touches = [this](const OverviewAppointment& a, qint64 day) {
        const DateValue dayStart = m_firstDay + day * kSecondsPerDay;
        return a.end > dayStart && a.start < dayStart + kLastSecondOfDay;
    };

    std::vector<qsizetype> counts(static_cast<std::size_t>(dayCount), 0);
    for (const Row& row : rows) {
        const auto [first, last] = daysOf(row.appointment);
        for (qint64 k = first; k <= last; ++k) {
            if (touches(row.appointment, k))
                ++counts[static_cast<std::size_t>(k)];
        }
    }
    for (int k = 0; k < dayCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        m_dayStarts[i + 1] = m_dayStarts[i] + counts[i];
    }
    m_dayRows.resize(static_cast<std::size_t>(m_dayStarts.back()));
    std::vector<qsizetype> next(m_dayStarts.begin(), m_dayStarts.end() - 1);
    for (const Row& row : rows) {
        const auto [first, last] = daysOf(row.appointment);
        for (qint64 k = first; k <= last; ++k) {
            if (touches(row.appointment, k))
                m_dayRows[static_cast<std::size_t>(next[static_cast<std::size_t>(k)]++)] =
                        row.appointment;
        }
    }
}

QList<int> OverviewData::groupsOfSlots(const std::array<int, 20>& displaySlots)
{
    QList<int> groups;
    for (int id : displaySlots) {
        if (id >= 1 && id <= kGroupCount && !groups.contains(id))
            groups.append(id);
    }
    return groups;
}

QString OverviewData::groupCondition(const QList<int>& groups)
{
    if (groups.isEmpty())
        return {};
    QStringList ids;
    for (int id : groups)
        ids.append(QString::number(id));
    return u"grup IN ("_s + ids.join(u',') + u')';
}

OverviewData OverviewData::load(Database& db, Prompter& prompter,
                                const std::array<int, 20>& displaySlots, DateValue firstDay,
                                int dayCount)
{
    OverviewData data;
    data.m_firstDay = firstDay;
    data.m_dayCount = dayCount;
    data.m_displaySlots = displaySlots;
    data.m_dayStarts.assign(static_cast<std::size_t>(dayCount) + 1, 0);
    data.m_holidays.fill(0, dayCount);

    int birthdayId = 0;
    int holidayId = 0;
    // A picture whose reads fail says so once and draws no further.
    if (!groupIdOf(db, u"Select id FROM grups where grupname = 'Geburtstag' ;"_s, birthdayId) ||
        !groupIdOf(db, u"Select id FROM grups where grupname='Feiertag' ;"_s, holidayId)) {
        showDatabaseError(db, prompter);
        data.m_stop = Stop::BeforeHolidays;
        return data;
    }
    data.m_shownGroups = groupsOfSlots(displaySlots);
    data.m_holidayGroup = data.m_shownGroups.contains(holidayId) ? holidayId : 0;
    data.m_birthdayGroup = data.m_shownGroups.contains(birthdayId) ? birthdayId : 0;

    const DateValue rangeEnd = firstDay + dayCount * kSecondsPerDay;

    if (data.m_holidayGroup != 0) {
        QueryCursor cursor;
        if (!db.queryTable(u"SELECT date FROM feiertage WHERE date>="_s +
                                   QString::number(firstDay) + u" And date<"_s +
                                   QString::number(rangeEnd) + u" ;"_s,
                           cursor)) {
            showDatabaseError(db, prompter);
            data.m_stop = Stop::BeforeHolidays;
            return data;
        }
        while (cursor.nextRow()) {
            const DateValue date = cursor.number(1);
            // 00:00:01 is a holiday's day key; the reminder scan moves it to 00:00:02 once it has
            // announced it, and it is still the same holiday.
            const DateValue intoDay = date - startOfDay(date);
            if (intoDay != 1 && intoDay != 2)
                continue;
            const qint64 index = floorDivide(date - firstDay, kSecondsPerDay);
            if (index >= 0 && index < dayCount)
                ++data.m_holidays[index];
        }
    }

    if (!data.m_shownGroups.isEmpty()) {
        std::vector<Row> rows;
        if (!loadAppointments(db, data.m_shownGroups, firstDay, rangeEnd - 1, rows)) {
            showDatabaseError(db, prompter);
            data.m_stop = Stop::BeforeAppointments;
            return data;
        }
        data.spreadOverDays(rows, dayCount);
    }

    if (data.m_birthdayGroup != 0) {
        QueryCursor cursor;
        if (!db.queryTable(u"SELECT date FROM geburtstage ;"_s, cursor)) {
            showDatabaseError(db, prompter);
            data.m_stop = Stop::BeforeBirthdays;
            return data;
        }
        while (cursor.nextRow())
            ++data.m_birthdays[cursor.number(1)];
    }
    return data;
}

std::span<const OverviewAppointment> OverviewData::appointments(int dayIndex) const
{
    if (dayIndex < 0 || static_cast<std::size_t>(dayIndex) + 1 >= m_dayStarts.size())
        return {};
    const auto from = static_cast<std::size_t>(m_dayStarts[static_cast<std::size_t>(dayIndex)]);
    const auto to = static_cast<std::size_t>(m_dayStarts[static_cast<std::size_t>(dayIndex) + 1]);
    return std::span<const OverviewAppointment>(m_dayRows).subspan(from, to - from);
}

int OverviewData::holidayCount(int dayIndex) const
{
    return dayIndex >= 0 && dayIndex < m_holidays.size() ? m_holidays.at(dayIndex) : 0;
}

int OverviewData::birthdayCount(int month, int day) const
{
    return m_birthdays.value(birthdayKey(month, day), 0);
}

const OverviewData& OverviewDataCache::load(Database& db, Prompter& prompter,
                                            const std::array<int, 20>& displaySlots,
                                            DateValue firstDay, int dayCount)
{
    const Database::ChangeStamp stamp = db.changeStamp();
    const bool current = m_reusable && m_stamp == stamp && m_data->m_firstDay == firstDay &&
                         m_data->m_dayCount == dayCount && m_data->m_displaySlots == displaySlots;
    if (!current) {
        m_data = OverviewData::load(db, prompter, displaySlots, firstDay, dayCount);
        m_stamp = stamp;
        // A failed read is repeated next time, so that its message is not lost in a cache.
        m_reusable = m_data->stop() == OverviewData::Stop::Nothing;
    }
    return *m_data;
}
