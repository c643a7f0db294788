#pragma once

#include "common/datevalue.h"

#include "store/database.h"

#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

class Prompter;

// One appointment as the overviews paint it.
struct OverviewAppointment
{
    DateValue start = 0;
    int group = 0;
    DateValue end = 0;
};

// Everything one overview picture shows of a run of whole days, read with a handful of queries
// instead of three per day. Each day then sees exactly the rows its own query would have found:
// appointments with end > day start and start < 23:59:59 of the day (both strict), ordered by start
// and then by id.
class OverviewData
{
public:
    // How far the drawing may go when a query failed: it stops where the day's own query for the
    // missing data would have failed.
    enum class Stop {
        Nothing,
        BeforeHolidays,
        BeforeAppointments,
        BeforeBirthdays,
    };

    // Reads the days from firstDay (a midnight) on. Failed queries are shown as database errors.
    static OverviewData load(Database& db, Prompter& prompter,
                             const std::array<int, 20>& displaySlots, DateValue firstDay,
                             int dayCount);

    // The groups the display slots name (ids 1 to 20, each once, in slot order).
    const QList<int>& shownGroups() const { return m_shownGroups; }
    // The id of "Feiertag" / "Geburtstag" when that group is shown, else 0.
    int holidayGroup() const { return m_holidayGroup; }
    int birthdayGroup() const { return m_birthdayGroup; }
    Stop stop() const { return m_stop; }

    // Day index counts from firstDay.
    std::span<const OverviewAppointment> appointments(int dayIndex) const;
    int holidayCount(int dayIndex) const;
    int birthdayCount(int month, int day) const;

    // The display slots as a set of group ids in slot order; -1 and ids outside 1-20 are skipped.
    static QList<int> groupsOfSlots(const std::array<int, 20>& displaySlots);
    // "grup IN (...)" over the groups; empty when there are none.
    static QString groupCondition(const QList<int>& groups);

private:
    struct Row
    {
        OverviewAppointment appointment;
        qint64 id = 0;
    };
    static bool loadAppointments(Database& db, const QList<int>& groups, DateValue from,
                                 DateValue to, std::vector<Row>& rows);
    void spreadOverDays(const std::vector<Row>& rows, int dayCount);

    friend class OverviewDataCache;

    DateValue m_firstDay = 0;
    int m_dayCount = 0;
    std::array<int, 20> m_displaySlots{};
    QList<int> m_shownGroups;
    int m_holidayGroup = 0;
    int m_birthdayGroup = 0;
    Stop m_stop = Stop::Nothing;
    // The rows of day k are m_dayRows[m_dayStarts[k]] up to m_dayRows[m_dayStarts[k + 1]].
    std::vector<OverviewAppointment> m_dayRows;
    std::vector<qsizetype> m_dayStarts;
    QList<int> m_holidays;
    QHash<DateValue, int> m_birthdays;
};

// Keeps the data of the last picture while the database is unchanged: the clock redraws the
// pictures every few minutes, and only the marks of the present moment move then.
class OverviewDataCache
{
public:
    const OverviewData& load(Database& db, Prompter& prompter,
                             const std::array<int, 20>& displaySlots, DateValue firstDay,
                             int dayCount);

private:
    std::optional<OverviewData> m_data;
    Database::ChangeStamp m_stamp;
    bool m_reusable = false;
};
