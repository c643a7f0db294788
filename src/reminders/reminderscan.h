#pragma once

#include "common/datevalue.h"
#include "store/databaseerror.h"

#include <QList>
#include <QString>

class Database;
class Prompter;
class QueryCursor;
class ReminderList;
struct ReminderEntry;

// The reminder settings that hold for all birthdays: the lead (as `msg`) and the repetition
// (as `remsg`).
struct BirthdayReminder
{
    int lead = 2;
    int repeat = 0;
};

// Finds what the user must be told about now: appointments whose reminder time has come, today's
// holidays, birthdays whose lead has begun and open to-do items. Appends them to the list, writes
// each announced row's next reminder time, and tells whether anything new was added.
class ReminderScan
{
public:
    // The running count of the list may reach these through the four steps.
    static constexpr int kAppointmentCap = 8;
    static constexpr int kHolidayCap = 9;
    static constexpr int kBirthdayCap = 11;
    static constexpr int kTodoCap = 15;

    ReminderScan(Database& db, Prompter& prompter, QuitState& quitState);

    // windowShown: whether the list is on screen; if not, it starts afresh.
    bool run(DateValue now, const BirthdayReminder& birthdays, ReminderList& list,
             bool windowShown);

    // Ticked to-do items whose auto-delete moment has passed, found by the last run; they are
    // not shown, only deleted.
    const QList<qint64>& doneTodosDue() const { return m_doneTodosDue; }

    // The seconds before the start that a lead code (1 to 4) reminds; 0 for code 0.
    static DateValue leadSeconds(int lead);
    // The seconds to the next reminder of a repetition code (1 to 3); 0 for code 0.
    static DateValue repeatSeconds(int repeat);
    // The birthday with the given day key in the given year, at 00:00:01; 29 February falls on
    // the 28th outside leap years.
    static DateValue birthdayIn(int year, DateValue key);
    // The first birthday with that key whose day is not over at now.
    static DateValue nextBirthday(DateValue key, DateValue now);

    // The birthday whose day ended at most a day before the moment, else 0: a reminder time
    // there can only come from a snooze on that day.
    static DateValue snoozedBirthday(DateValue key, DateValue moment);

    // Moves every birthday's coming reminder to its time under the given lead code. Repeats and
    // snoozes keep their times.
    static bool rescheduleBirthdays(Database& db, int lead);

private:
    static ReminderEntry birthdayEntry(const QueryCursor& cursor, DateValue birthday);
    void scanAppointments(DateValue now, ReminderList& list);
    void scanHolidays(DateValue now, ReminderList& list);
    void scanBirthdays(DateValue now, const BirthdayReminder& birthdays, ReminderList& list);
    void scanTodos(DateValue now, ReminderList& list);
    void add(ReminderList& list, ReminderEntry entry);
    void failed();

    Database& m_db;
    Prompter& m_prompter;
    QuitState& m_quitState;
    QString m_scanTime;
    bool m_news = false;
    QList<qint64> m_doneTodosDue;
};
