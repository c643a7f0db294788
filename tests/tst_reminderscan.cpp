#include "reminders/reminderlist.h"
#include "reminders/reminderscan.h"
#include "reminders/snooze.h"
#include "store/database.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kGroup = 8;
constexpr BirthdayReminder kDayLead{2, 0};
constexpr BirthdayReminder kWeekLeadDaily{1, 3};

DateValue at(int y, int m, int d, int h, int i, int s = 0)
{
    return makeDate(y, m, d, h, i, s);
}

QString sourceName(ReminderSource source)
{
    switch (source) {
    case ReminderSource::Appointment:
        return u"appointment"_s;
    case ReminderSource::Holiday:
        return u"holiday"_s;
    case ReminderSource::Birthday:
        return u"birthday"_s;
    case ReminderSource::Todo:
        return u"todo"_s;
    }
    return {};
}

// "source description" of every entry, with "+" for a batch header before it.
QStringList summary(const ReminderList& list)
{
    QStringList out;
    for (const ReminderEntry& e : list.entries())
        out << (e.scanTime.isEmpty() ? QString() : u"+"_s) + sourceName(e.source) + u' ' +
                        e.description;
    return out;
}

} // namespace

class TestReminderScan : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void appointments_data();
    void appointments();
    void appointmentRepeatsUntilItsStart();
    void todoWithoutRepeatOnce();
    void overdueTodoMarkedForDeletion();
    void dailyTodoTakesItsDueDate();
    void holidayOncePerDay();
    void capsShareOneCount();
    void laterBatchAppendsWhileShown();
    void failedStepStillRunsTheOthers();

    void birthdayEveryYear();
    void birthdayStates_data();
    void birthdayStates();
    void birthdayAcrossNewYear();

    void snoozeReturnsAfterDelay_data();
    void snoozeReturnsAfterDelay();
    void birthdaySnoozeHolds_data();
    void birthdaySnoozeHolds();

private:
    qint64 addAppointment(DateValue start, DateValue end, int msg, int remsg,
                          const QString& desc = u"Termin"_s);
    qint64 addTodo(const QString& desc, DateValue due, int remsg, int checked = 0);
    qint64 addBirthday(int month, int day, int year, const QString& name, qint64 nextmsg = 0);
    bool scan(DateValue now, bool shown = false, BirthdayReminder birthdays = kDayLead);
    qint64 nextmsg(const QString& table, qint64 id);

    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    QuitState m_quit = QuitState::Running;
    ReminderList m_list;
};

void TestReminderScan::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    QVERIFY(m_db->execSql(u"UPDATE grups SET grupname='Arbeit' WHERE id=8"_s));
    m_prompter.clear();
    m_quit = QuitState::Running;
    m_list.clear();
}

void TestReminderScan::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

qint64 TestReminderScan::addAppointment(DateValue start, DateValue end, int msg, int remsg,
                                        const QString& desc)
{
    TestAppointment a;
    a.start = start;
    a.end = end;
    a.group = kGroup;
    a.description = desc;
    a.msg = msg;
    a.remsg = remsg;
    return insertTestAppointment(*m_db, a);
}

qint64 TestReminderScan::addTodo(const QString& desc, DateValue due, int remsg, int checked)
{
    m_db->execSql(u"INSERT INTO todo (desc, enddate, remsg, checked, nextmsg) VALUES ('%1', %2, "
                  "%3, %4, 0)"_s.arg(desc)
                          .arg(due)
                          .arg(remsg)
                          .arg(checked));
    return m_db->lastInsertRowId();
}

qint64 TestReminderScan::addBirthday(int month, int day, int year, const QString& name, qint64 next)
{
    m_db->execSql(u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, %2, '%3', %4)"_s
                          .arg(birthdayKey(month, day))
                          .arg(year)
                          .arg(name)
                          .arg(next));
    return m_db->lastInsertRowId();
}

bool TestReminderScan::scan(DateValue now, bool shown, BirthdayReminder birthdays)
{
    ReminderScan scan(*m_db, m_prompter, m_quit);
    return scan.run(now, birthdays, m_list, shown);
}

qint64 TestReminderScan::nextmsg(const QString& table, qint64 id)
{
    return queryNumber(*m_db, u"SELECT nextmsg FROM %1 WHERE id=%2"_s.arg(table).arg(id));
}

void TestReminderScan::appointments_data()
{
    QTest::addColumn<int>("msg");
    QTest::addColumn<int>("remsg");
    QTest::addColumn<int>("startMinutes"); // from now
    QTest::addColumn<int>("endMinutes");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<qint64>("next"); // seconds after now, or 0 / -1 as stored

    QTest::newRow("at start, 10 min ahead, quarter-hourly")
            << 4 << 1 << 10 << 10 << true << qint64(-1);
    QTest::newRow("at start, 20 min ahead") << 4 << 0 << 20 << 20 << false << qint64(0);
    QTest::newRow("hour before, 30 min ahead") << 3 << 0 << 30 << 90 << true << qint64(-1);
    QTest::newRow("day before, 5 h ahead, hourly") << 2 << 2 << 300 << 300 << true << qint64(3600);
    QTest::newRow("day before, 25 h ahead") << 2 << 2 << 1500 << 1500 << false << qint64(0);
    QTest::newRow("week before, 3 days ahead, daily")
            << 1 << 3 << 4320 << 4380 << true << qint64(86400);
    QTest::newRow("no reminder") << 0 << 0 << 5 << 5 << false << qint64(0);
    QTest::newRow("past and over, never reminded") << 2 << 1 << -180 << -120 << false << qint64(-1);
    QTest::newRow("started, not over") << 3 << 0 << -30 << 30 << true << qint64(-1);
}

void TestReminderScan::appointments()
{
    QFETCH(int, msg);
    QFETCH(int, remsg);
    QFETCH(int, startMinutes);
    QFETCH(int, endMinutes);
    QFETCH(bool, shown);
    QFETCH(qint64, next);

    const DateValue now = at(2007, 3, 6, 10, 0, 20);
    const qint64 id = addAppointment(now + startMinutes * 60, now + endMinutes * 60, msg, remsg);
    QCOMPARE(scan(now), shown);
    QCOMPARE(summary(m_list), shown ? QStringList{u"+appointment Termin"_s} : QStringList{});
    QCOMPARE(nextmsg(u"termine"_s, id), next > 0 ? now + next : next);
    if (shown) {
        QCOMPARE(m_list.at(0).kind, u"Arbeit"_s);
        QCOMPARE(m_list.at(0).scanTime, u"10:00:20 Uhr"_s);
    }
}

void TestReminderScan::appointmentRepeatsUntilItsStart()
{
    const DateValue start = at(2007, 3, 6, 12, 0);
    const qint64 id = addAppointment(start, start, 3, 1);
    QVERIFY(scan(at(2007, 3, 6, 11, 0, 30)));
    QCOMPARE(nextmsg(u"termine"_s, id), at(2007, 3, 6, 11, 15, 30));
    QVERIFY(!scan(at(2007, 3, 6, 11, 10)));
    QVERIFY(scan(at(2007, 3, 6, 11, 15, 40)));
    QCOMPARE(nextmsg(u"termine"_s, id), at(2007, 3, 6, 11, 30, 40));
    QVERIFY(scan(at(2007, 3, 6, 11, 45, 50)));
    // 12:00:50 would lie after the start.
    QCOMPARE(nextmsg(u"termine"_s, id), -1);
}

void TestReminderScan::todoWithoutRepeatOnce()
{
    const qint64 id = addTodo(u"Blumen"_s, at(2007, 9, 1, 12, 0), 0);
    addTodo(u"Erledigt"_s, -1, 0, 1);
    QVERIFY(scan(at(2007, 3, 6, 10, 0)));
    QCOMPARE(summary(m_list), QStringList{u"+todo Blumen"_s});
    QCOMPARE(m_list.at(0).todoToDelete, 0);
    QCOMPARE(nextmsg(u"todo"_s, id), -1);
    QVERIFY(!scan(at(2007, 3, 6, 10, 0, 10)));
}

void TestReminderScan::overdueTodoMarkedForDeletion()
{
    const qint64 id = addTodo(u"Alt"_s, at(2007, 3, 5, 12, 0), 0);
    QVERIFY(scan(at(2007, 3, 6, 10, 0)));
    QCOMPARE(summary(m_list), QStringList{u"+todo Alt"_s});
    QCOMPARE(m_list.at(0).todoToDelete, id);
}

void TestReminderScan::dailyTodoTakesItsDueDate()
{
    const DateValue now = at(2007, 3, 6, 10, 0);
    const DateValue due = now + 5 * 3600;
    const qint64 id = addTodo(u"Anruf"_s, due, 3);
    QVERIFY(scan(now));
    QCOMPARE(nextmsg(u"todo"_s, id), due);
    QCOMPARE(m_list.at(0).todoToDelete, 0);
    QVERIFY(!scan(due));
    QVERIFY(scan(due + 10));
    QCOMPARE(m_list.at(0).todoToDelete, id);

    // Without a due date the repeat goes on.
    const qint64 open = addTodo(u"Offen"_s, -1, 1);
    QVERIFY(scan(now));
    QCOMPARE(nextmsg(u"todo"_s, open), now + 900);
}

void TestReminderScan::holidayOncePerDay()
{
    QVERIFY(scan(at(2007, 5, 1, 9, 30)));
    QCOMPARE(summary(m_list), QStringList{u"+holiday Tag der Arbeit"_s});
    QCOMPARE(m_list.at(0).kind, u"DE"_s);
    QCOMPARE(queryNumber(*m_db, u"SELECT date FROM feiertage WHERE desc='Tag der Arbeit' AND "
                                "date>=%1 AND date<%2"_s.arg(at(2007, 5, 1, 0, 0))
                                        .arg(at(2007, 5, 2, 0, 0))),
             at(2007, 5, 1, 0, 0, 2));
    QVERIFY(!scan(at(2007, 5, 1, 9, 30, 10)));
}

void TestReminderScan::capsShareOneCount()
{
    const DateValue now = at(2007, 5, 1, 10, 0);
    QList<qint64> appointments;
    for (int i = 0; i < 10; ++i)
        appointments << addAppointment(now + 600 + i, now + 600 + i, 4, 0, u"T%1"_s.arg(i));
    for (int i = 0; i < 4; ++i)
        addBirthday(5, 1, 1970 + i, u"B%1"_s.arg(i));
    for (int i = 0; i < 6; ++i)
        addTodo(u"D%1"_s.arg(i), -1, 0);

    QVERIFY(scan(now));
    QStringList expected{u"+appointment T0"_s};
    for (int i = 1; i < 8; ++i)
        expected << u"appointment T%1"_s.arg(i);
    expected << u"holiday Tag der Arbeit"_s << u"birthday B0"_s << u"birthday B1"_s;
    for (int i = 0; i < 4; ++i)
        expected << u"todo D%1"_s.arg(i);
    QCOMPARE(summary(m_list), expected);
    // What did not fit keeps its state and comes with the next list.
    QCOMPARE(nextmsg(u"termine"_s, appointments.at(8)), 0);
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM geburtstage WHERE nextmsg=0"_s), 2);
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM todo WHERE nextmsg=0"_s), 2);

    QVERIFY(scan(now + 10));
    QCOMPARE(summary(m_list),
             (QStringList{u"+appointment T8"_s, u"appointment T9"_s, u"birthday B2"_s,
                          u"birthday B3"_s, u"todo D4"_s, u"todo D5"_s}));
}

void TestReminderScan::laterBatchAppendsWhileShown()
{
    const DateValue now = at(2007, 3, 6, 10, 0);
    addTodo(u"Erst"_s, -1, 0);
    QVERIFY(scan(now));
    addTodo(u"Dann"_s, -1, 0);
    QVERIFY(scan(now + 10, true));
    QCOMPARE(summary(m_list), (QStringList{u"+todo Erst"_s, u"+todo Dann"_s}));
    QCOMPARE(m_list.windowHeight(), 55 + 2 * 25 + 2 * 15);
    addTodo(u"Neu"_s, -1, 0);
    // A list nobody sees starts afresh.
    QVERIFY(scan(now + 20, false));
    QCOMPARE(summary(m_list), QStringList{u"+todo Neu"_s});
}

void TestReminderScan::failedStepStillRunsTheOthers()
{
    addTodo(u"Trotzdem"_s, -1, 0);
    QVERIFY(m_db->execSql(u"DROP TABLE feiertage"_s));
    QVERIFY(scan(at(2007, 3, 6, 10, 0)));
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls().at(0).title, u"Datenbankfehler"_s);
    QCOMPARE(m_quit, QuitState::DatabaseError);
    QCOMPARE(summary(m_list), QStringList{u"+todo Trotzdem"_s});
}

void TestReminderScan::birthdayEveryYear()
{
    addBirthday(3, 15, 1980, u"Anna Berg"_s);
    QStringList announced;
    // A scan every two hours from 1 March 2007 up to 9 March 2008; each daily repeat comes up to
    // two hours later than the one before.
    for (DateValue now = at(2007, 3, 1, 0, 0, 10); now < at(2008, 3, 9, 0, 0); now += 2 * 3600) {
        m_list.clear();
        scan(now, false, kWeekLeadDaily);
        for (const ReminderEntry& e : m_list.entries()) {
            if (e.source == ReminderSource::Birthday)
                announced << formatDate(u"%dd.%mm.%yyyy "_s, now) +
                                     ReminderText::lines(e, now).first;
        }
    }
    QStringList expected;
    for (int day = 8; day <= 15; ++day)
        expected << u"%1.03.2007 27. Geburtstag von"_s.arg(day, 2, 10, QChar(u'0'));
    expected << u"08.03.2008 28. Geburtstag von"_s;
    QCOMPARE(announced, expected);
}

void TestReminderScan::birthdayStates_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<int>("lead");
    QTest::addColumn<DateValue>("now");
    QTest::addColumn<bool>("announced");
    QTest::addColumn<DateValue>("next");

    const DateValue march1 = at(2007, 3, 1, 10, 0);
    QTest::newRow("passed before entered waits for next year")
            << 2 << 10 << qint64(0) << 1 << march1 << false << at(2008, 2, 3, 0, 0, 1);
    QTest::newRow("passed this year, day lead")
            << 1 << 5 << qint64(0) << 2 << march1 << false << at(2008, 1, 4, 0, 0, 1);
    QTest::newRow("beyond the lead stays new")
            << 3 << 20 << qint64(0) << 1 << march1 << false << DateValue(0);
    QTest::newRow("today, once") << 3 << 1 << qint64(0) << 2 << march1 << true
                                 << at(2008, 2, 29, 0, 0, 1);
    QTest::newRow("lead keine") << 3 << 1 << qint64(0) << 0 << march1 << false << DateValue(0);
    QTest::newRow("old done mark before the lead")
            << 3 << 20 << qint64(-1) << 1 << march1 << false << at(2007, 3, 13, 0, 0, 1);
    QTest::newRow("old done mark inside the lead")
            << 3 << 5 << qint64(-1) << 1 << march1 << false << at(2008, 2, 27, 0, 0, 1);
    QTest::newRow("29 February outside a leap year")
            << 2 << 29 << qint64(0) << 4 << at(2007, 2, 27, 23, 50) << true
            << at(2008, 2, 28, 23, 45, 1);
}

void TestReminderScan::birthdayStates()
{
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(qint64, stored);
    QFETCH(int, lead);
    QFETCH(DateValue, now);
    QFETCH(bool, announced);
    QFETCH(DateValue, next);

    const qint64 id = addBirthday(month, day, 1970, u"Max Muster"_s, stored);
    scan(now, false, {lead, 0});
    QStringList birthdays;
    for (const ReminderEntry& e : m_list.entries()) {
        if (e.source == ReminderSource::Birthday)
            birthdays << e.description;
    }
    QCOMPARE(birthdays, announced ? QStringList{u"Max Muster"_s} : QStringList{});
    QCOMPARE(nextmsg(u"geburtstage"_s, id), next);
}

void TestReminderScan::birthdayAcrossNewYear()
{
    addBirthday(1, 2, 1990, u"Jan Neu"_s);
    const DateValue now = at(2007, 12, 28, 10, 0);
    QVERIFY(scan(now, false, {1, 0}));
    QCOMPARE(m_list.count(), 1);
    const ReminderLines lines = ReminderText::lines(m_list.at(0), now);
    QCOMPARE(lines.first, u"18. Geburtstag von"_s);
    QCOMPARE(lines.second, u"Jan Neu"_s);
    QCOMPARE(ReminderText::dayWord(m_list.at(0).start, now), u"In 5 Tagen"_s);
    QVERIFY(!scan(now + 10, false, {1, 0}));
}

void TestReminderScan::snoozeReturnsAfterDelay_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("choice");

    for (const QString& table : {u"termine"_s, u"todo"_s, u"geburtstage"_s}) {
        for (int choice = 0; choice < 4; ++choice) {
            QTest::addRow("%s %d", qPrintable(table), choice) << table << choice;
        }
    }
}

void TestReminderScan::snoozeReturnsAfterDelay()
{
    QFETCH(QString, table);
    QFETCH(int, choice);

    const DateValue now = at(2007, 3, 6, 10, 0);
    qint64 id = 0;
    if (table == u"termine"_s)
        id = addAppointment(at(2007, 3, 8, 12, 0), at(2007, 3, 8, 13, 0), 1, 0);
    else if (table == u"todo"_s)
        id = addTodo(u"Später"_s, -1, 0);
    else
        id = addBirthday(3, 10, 1960, u"Eva Stein"_s);
    QVERIFY(scan(now, false, {1, 0}));
    QCOMPARE(m_list.count(), 1);

    const QList<Snooze::Choice> choices = Snooze::choices();
    QCOMPARE(choices.size(), 4);
    const DateValue delay = choices.at(choice).delay;
    const DateValue expectedDelays[] = {300, 900, 3600, 86400};
    QCOMPARE(delay, expectedDelays[choice]);
    QVERIFY(Snooze::snooze(*m_db, m_list.entries(), now, delay));
    QCOMPARE(nextmsg(table, id), now + delay);

    QVERIFY(!scan(now + delay, false, {1, 0}));
    QVERIFY(scan(now + delay + 10, false, {1, 0}));
    QCOMPARE(m_list.count(), 1);
    QCOMPARE(m_list.at(0).id, id);
}

void TestReminderScan::birthdaySnoozeHolds_data()
{
    QTest::addColumn<DateValue>("shown");
    QTest::addColumn<DateValue>("delay");
    // Anna Berg's birthday is on 10 March, announced a day ahead.
    QTest::newRow("tomorrow, on the eve") << at(2007, 3, 9, 18, 0) << DateValue(86400);
    QTest::newRow("tomorrow, on the day") << at(2007, 3, 10, 9, 0) << DateValue(86400);
    QTest::newRow("in an hour, late on the day") << at(2007, 3, 10, 23, 30) << DateValue(3600);
    QTest::newRow("in 5 minutes, at midnight") << at(2007, 3, 10, 23, 59, 58) << DateValue(300);
}

void TestReminderScan::birthdaySnoozeHolds()
{
    QFETCH(DateValue, shown);
    QFETCH(DateValue, delay);

    const qint64 id = addBirthday(3, 10, 1980, u"Anna Berg"_s);
    QVERIFY(scan(shown));
    QCOMPARE(summary(m_list), QStringList{u"+birthday Anna Berg"_s});
    QVERIFY(Snooze::snooze(*m_db, m_list.entries(), shown, delay));

    QVERIFY(!scan(shown + delay - 5));
    QVERIFY(scan(shown + delay + 5));
    QCOMPARE(summary(m_list), QStringList{u"+birthday Anna Berg"_s});
    QCOMPARE(ReminderText::lines(m_list.at(0), shown + delay).first, u"27. Geburtstag von"_s);
    // Then it waits for next year.
    QCOMPARE(nextmsg(u"geburtstage"_s, id), at(2008, 3, 9, 0, 0, 1));
    QVERIFY(!scan(shown + delay + 15));
}

QTEST_MAIN(TestReminderScan)
#include "tst_reminderscan.moc"
