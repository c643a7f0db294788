#include "appointments/appointmentstore.h"
#include "common/datevalue.h"
#include "store/database.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kDuplicateQuestion =
        u"Warnung / Ein Termin in genau dem selben Zeitraum mit der gleichen Beschreibung besteht "
        u"bereits, trotzdem speichern?"_s;
const QString kSeriesDeleteQuestion =
        u"Frage / Der Termin wird wiederholt, Wiederholungen auch Löschen?"_s;
const QString kDeleted = u"Done / Erfolgreich gelöscht!"_s;

DateValue at(int y, int m, int d, int h, int i)
{
    return makeDate(y, m, d, h, i, 1);
}

AppointmentValues values(DateValue start, DateValue end, const QString& desc, int group = 5,
                         int msg = 2, int remsg = 1)
{
    return {start, end, group, desc, msg, remsg};
}

QString stamp(DateValue v)
{
    return formatDate(u"%dd.%mm.%yyyy %hh:%ii:%ss", v);
}

// "start - end" of every row, in start order.
QStringList storedSpans(Database& db)
{
    QStringList out;
    for (const QString& row :
         queryRows(db, u"SELECT date, enddate FROM termine ORDER BY date, id"_s)) {
        const QStringList f = row.split(u'|');
        out << stamp(f[0].toLongLong()) + u" - "_s + stamp(f[1].toLongLong());
    }
    return out;
}

} // namespace

class TestAppointmentStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void insertWritesTheRow();
    void insertKeepsTextLiterally_data();
    void insertKeepsTextLiterally();
    void duplicateQuestion_data();
    void duplicateQuestion();

    void updateDetachesOneMember();
    void updateShiftsWholeSeries_data();
    void updateShiftsWholeSeries();

    void yearlyDefaultPeriod();
    void yearlyOnLeapDayOnlyInLeapYears();
    void yearlyAcrossNewYearKeepsEndAfterStart();
    void monthlyFirstAndLastMonth_data();
    void monthlyFirstAndLastMonth();
    void monthlyOnThe31stSkipsShortMonths();
    void monthlyKeepsDaySpan();
    void monthlyMemberEnd_data();
    void monthlyMemberEnd();
    void weeklyWholeYear();
    void weeklyStopsAtPeriodEndDay();
    void everyNDays();
    void emptyPeriodInsertsNothing();
    void declinedFirstMemberNextOneHeadsSeries();
    void declinedMemberIsMissing();
    void failureMidSeriesLeavesNoRows();

    void deleteSingle();
    void deleteSeries_data();
    void deleteSeries();
    void failedDeleteIsNotReportedAsSuccess();

    void birthdayReminderDefaults();

private:
    qint64 count(const QString& where = QString());

    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
};

void TestAppointmentStore::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_prompter.clear();
}

void TestAppointmentStore::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

qint64 TestAppointmentStore::count(const QString& where)
{
    return queryNumber(*m_db, u"SELECT COUNT(*) FROM termine "_s + where);
}

void TestAppointmentStore::insertWritesTheRow()
{
    // 5 March 2007 12:00:01 and 14:00:01 as Unix seconds.
    const qint64 id =
            insertAppointment(*m_db, m_prompter,
                              values(1173096001, 1173103201, u"Zahnarzt"_s, 7, 3, 2), 0, QString());
    QCOMPARE(id, qint64(1));
    QCOMPARE(queryRows(*m_db, u"SELECT * FROM termine"_s),
             QStringList{u"1|1173096001|7|Zahnarzt|1173103201|3|2|0||0"_s});
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAppointmentStore::insertKeepsTextLiterally_data()
{
    QTest::addColumn<QString>("desc");
    QTest::newRow("grave accent") << u"Peter`s Feier"_s;
    QTest::newRow("quotes survive too") << u"Peter's \"Feier\""_s;
    QTest::newRow("wildcards") << u"100% _sicher_"_s;
    QTest::newRow("umlauts and emoji") << u"Größe Übung 🎉"_s;
}

void TestAppointmentStore::insertKeepsTextLiterally()
{
    QFETCH(QString, desc);
    QVERIFY(insertAppointment(*m_db, m_prompter,
                              values(at(2007, 5, 1, 8, 0), at(2007, 5, 1, 9, 0), desc), 0,
                              u"Wöchentlich"_s) > 0);
    QCOMPARE(queryRows(*m_db, u"SELECT desc, redo FROM termine"_s),
             QStringList{desc + u"|Wöchentlich"_s});
    // The duplicate check compares the text exactly as well.
    QCOMPARE(insertAppointment(*m_db, m_prompter,
                               values(at(2007, 5, 1, 8, 0), at(2007, 5, 1, 9, 0), desc), 0, {}),
             qint64(0));
    QCOMPARE(m_prompter.transcript(), QStringList{kDuplicateQuestion});
}

void TestAppointmentStore::duplicateQuestion_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("startMinute");
    QTest::addColumn<int>("endMinute");
    QTest::addColumn<QString>("desc");
    QTest::addColumn<bool>("asked");

    QTest::newRow("same everything") << 5 << 0 << 30 << u"Treffen"_s << true;
    QTest::newRow("other group still asks") << 7 << 0 << 30 << u"Treffen"_s << true;
    QTest::newRow("other start") << 5 << 1 << 30 << u"Treffen"_s << false;
    QTest::newRow("other end") << 5 << 0 << 31 << u"Treffen"_s << false;
    QTest::newRow("other description") << 5 << 0 << 30 << u"treffen"_s << false;
}

void TestAppointmentStore::duplicateQuestion()
{
    QFETCH(int, group);
    QFETCH(int, startMinute);
    QFETCH(int, endMinute);
    QFETCH(QString, desc);
    QFETCH(bool, asked);

    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 6, 1, 10, 0), at(2007, 6, 1, 10, 30), u"Treffen"_s, 5), 0,
                      {});
    const AppointmentValues second =
            values(at(2007, 6, 1, 10, startMinute), at(2007, 6, 1, 10, endMinute), desc, group);

    // Declined: nothing new.
    const qint64 declined = insertAppointment(*m_db, m_prompter, second, 0, {});
    QCOMPARE(m_prompter.transcript(), asked ? QStringList{kDuplicateQuestion} : QStringList());
    QCOMPARE(declined, asked ? qint64(0) : qint64(2));
    QCOMPARE(count(), asked ? qint64(1) : qint64(2));

    if (asked) {
        m_prompter.answer(true);
        QCOMPARE(insertAppointment(*m_db, m_prompter, second, 0, {}), qint64(2));
        QCOMPARE(count(), qint64(2));
    }
}

void TestAppointmentStore::updateDetachesOneMember()
{
    const qint64 key = createSeries(*m_db, m_prompter, SeriesKind::Weekly,
                                    values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"Chor"_s),
                                    1, at(2007, 1, 3, 18, 0), at(2007, 1, 24, 0, 0));
    QCOMPARE(key, qint64(1));
    QCOMPARE(count(), qint64(4));
    m_db->execSql(u"UPDATE termine SET nextmsg=-1"_s);

    updateAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 18, 8, 15), at(2007, 1, 18, 9, 45), u"Probe`s"_s, 6, 4, 0),
                      0, 3);
    QCOMPARE(queryRows(*m_db, u"SELECT * FROM termine WHERE id=3"_s),
             QStringList{u"3|"_s + QString::number(at(2007, 1, 18, 8, 15)) + u"|6|Probe`s|"_s +
                         QString::number(at(2007, 1, 18, 9, 45)) + u"|4|0|0||0"_s});
    // The others keep everything, their reminder state included.
    QCOMPARE(queryRows(*m_db, u"SELECT id, desc, belong, redo, nextmsg FROM termine WHERE id!=3 "
                              u"ORDER BY id"_s),
             (QStringList{u"1|Chor|1|Wöchentlich|-1"_s, u"2|Chor|1|Wöchentlich|-1"_s,
                          u"4|Chor|1|Wöchentlich|-1"_s}));
}

void TestAppointmentStore::updateShiftsWholeSeries_data()
{
    QTest::addColumn<DateValue>("newStart");
    QTest::addColumn<DateValue>("newEnd");
    QTest::addColumn<QStringList>("spans");

    // The edited member is the second one (10 January, 18:00-19:00).
    QTest::newRow("later start, longer end")
            << at(2007, 1, 10, 19, 0) << at(2007, 1, 10, 21, 30)
            << QStringList{u"03.01.2007 19:00:01 - 03.01.2007 21:30:01"_s,
                           u"10.01.2007 19:00:01 - 10.01.2007 21:30:01"_s,
                           u"17.01.2007 19:00:01 - 17.01.2007 21:30:01"_s};
    QTest::newRow("a day earlier") << at(2007, 1, 9, 18, 0) << at(2007, 1, 9, 19, 0)
                                   << QStringList{u"02.01.2007 18:00:01 - 02.01.2007 19:00:01"_s,
                                                  u"09.01.2007 18:00:01 - 09.01.2007 19:00:01"_s,
                                                  u"16.01.2007 18:00:01 - 16.01.2007 19:00:01"_s};
}

void TestAppointmentStore::updateShiftsWholeSeries()
{
    QFETCH(DateValue, newStart);
    QFETCH(DateValue, newEnd);
    QFETCH(QStringList, spans);

    const qint64 key = createSeries(*m_db, m_prompter, SeriesKind::Weekly,
                                    values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"Chor"_s),
                                    1, at(2007, 1, 3, 18, 0), at(2007, 1, 17, 0, 0));
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 4, 9, 0), at(2007, 1, 4, 10, 0), u"Fremd"_s), 0, {});
    m_db->execSql(u"UPDATE termine SET nextmsg=-1"_s);

    updateAppointment(*m_db, m_prompter, values(newStart, newEnd, u"Chorprobe"_s, 6, 1, 3), key, 2);

    QStringList members;
    for (const QString& row :
         queryRows(*m_db, u"SELECT date, enddate FROM termine WHERE belong=1 ORDER BY id"_s)) {
        const QStringList f = row.split(u'|');
        members << stamp(f[0].toLongLong()) + u" - "_s + stamp(f[1].toLongLong());
    }
    QCOMPARE(members, spans);
    QCOMPARE(queryRows(*m_db, u"SELECT DISTINCT grup, desc, msg, remsg, belong, redo, nextmsg "
                              u"FROM termine WHERE belong=1"_s),
             QStringList{u"6|Chorprobe|1|3|1|Wöchentlich|0"_s});
    // The unrelated row is untouched.
    QCOMPARE(queryRows(*m_db, u"SELECT desc, nextmsg FROM termine WHERE belong=0"_s),
             QStringList{u"Fremd|-1"_s});
}

void TestAppointmentStore::yearlyDefaultPeriod()
{
    // Entered on 5 March 2007, period from the appointment to the last day of 2037.
    const qint64 key = createSeries(*m_db, m_prompter, SeriesKind::Yearly,
                                    values(1173096001, 1173103201, u"Hochzeitstag"_s), 1,
                                    1173096001, makeDate(2037, 12, 31, 23, 59, 59));
    QCOMPARE(count(), qint64(31));
    const qint64 firstId = queryNumber(*m_db, u"SELECT id FROM termine WHERE date=1173096001"_s);
    QCOMPARE(key, firstId);
    QCOMPARE(count(u"WHERE belong="_s + QString::number(firstId) + u" AND redo='Jährlich'"_s),
             qint64(31));
    const QStringList spans = storedSpans(*m_db);
    QCOMPARE(spans.first(), u"05.03.2007 12:00:01 - 05.03.2007 14:00:01"_s);
    QCOMPARE(spans.at(1), u"05.03.2008 12:00:01 - 05.03.2008 14:00:01"_s);
    QCOMPARE(spans.last(), u"05.03.2037 12:00:01 - 05.03.2037 14:00:01"_s);
    QCOMPARE(queryNumber(*m_db, u"SELECT MAX(date) FROM termine"_s), qint64(2119867201));
}

void TestAppointmentStore::yearlyOnLeapDayOnlyInLeapYears()
{
    createSeries(*m_db, m_prompter, SeriesKind::Yearly,
                 values(1204272001, 1204272001 + 3600, u"Schalttag"_s), 1, 1204272001,
                 makeDate(2037, 12, 31, 23, 59, 59));
    QCOMPARE(count(), qint64(8)); // 2008, 2012, ..., 2036
    QCOMPARE(count(u"WHERE date=-1 OR enddate=-1"_s), qint64(0));
    QCOMPARE(queryNumber(*m_db, u"SELECT MAX(date) FROM termine"_s), qint64(2087884801));
}

void TestAppointmentStore::yearlyAcrossNewYearKeepsEndAfterStart()
{
    createSeries(*m_db, m_prompter, SeriesKind::Yearly,
                 values(at(2007, 12, 31, 20, 0), at(2008, 1, 1, 2, 0), u"Silvester"_s), 1,
                 at(2007, 12, 31, 20, 0), makeDate(2009, 12, 31, 23, 59, 59));
    QCOMPARE(storedSpans(*m_db), (QStringList{u"31.12.2007 20:00:01 - 01.01.2008 02:00:01"_s,
                                              u"31.12.2008 20:00:01 - 01.01.2009 02:00:01"_s,
                                              u"31.12.2009 20:00:01 - 01.01.2010 02:00:01"_s}));
}

void TestAppointmentStore::monthlyFirstAndLastMonth_data()
{
    QTest::addColumn<DateValue>("periodStart");
    QTest::addColumn<DateValue>("periodEnd");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("rows");

    // The appointment lies on the 10th.
    QTest::newRow("period from the 15th starts next month")
            << at(2007, 3, 15, 0, 0) << at(2007, 11, 10, 0, 0) << u"10.04.2007"_s << u"10.11.2007"_s
            << 8;
    QTest::newRow("period from the 5th starts this month")
            << at(2007, 3, 5, 0, 0) << at(2007, 11, 10, 0, 0) << u"10.03.2007"_s << u"10.11.2007"_s
            << 9;
    QTest::newRow("period to the 5th ends the month before")
            << at(2007, 3, 5, 0, 0) << at(2007, 11, 5, 0, 0) << u"10.03.2007"_s << u"10.10.2007"_s
            << 8;
    QTest::newRow("period on the same day is one member")
            << at(2007, 6, 10, 0, 0) << at(2007, 6, 10, 0, 0) << u"10.06.2007"_s << u"10.06.2007"_s
            << 1;
}

void TestAppointmentStore::monthlyFirstAndLastMonth()
{
    QFETCH(DateValue, periodStart);
    QFETCH(DateValue, periodEnd);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(int, rows);

    createSeries(*m_db, m_prompter, SeriesKind::Monthly,
                 values(at(2007, 3, 10, 17, 0), at(2007, 3, 10, 18, 0), u"Stammtisch"_s), 1,
                 periodStart, periodEnd);
    const QStringList spans = storedSpans(*m_db);
    QCOMPARE(spans.size(), rows);
    QCOMPARE(spans.first(), first + u" 17:00:01 - "_s + first + u" 18:00:01"_s);
    QCOMPARE(spans.last(), last + u" 17:00:01 - "_s + last + u" 18:00:01"_s);
    QCOMPARE(count(u"WHERE redo='Monatlich' AND belong=1"_s), qint64(rows));
}

void TestAppointmentStore::monthlyOnThe31stSkipsShortMonths()
{
    createSeries(*m_db, m_prompter, SeriesKind::Monthly,
                 values(1170235801, 1170237601, u"Abrechnung"_s), 1, 1167609601, 1199059201);
    QCOMPARE(storedSpans(*m_db), (QStringList{u"31.01.2007 09:30:01 - 31.01.2007 10:00:01"_s,
                                              u"31.03.2007 09:30:01 - 31.03.2007 10:00:01"_s,
                                              u"31.05.2007 09:30:01 - 31.05.2007 10:00:01"_s,
                                              u"31.07.2007 09:30:01 - 31.07.2007 10:00:01"_s,
                                              u"31.08.2007 09:30:01 - 31.08.2007 10:00:01"_s,
                                              u"31.10.2007 09:30:01 - 31.10.2007 10:00:01"_s,
                                              u"31.12.2007 09:30:01 - 31.12.2007 10:00:01"_s}));
    QCOMPARE(queryNumber(*m_db, u"SELECT MAX(date) FROM termine"_s), qint64(1199093401));
}

void TestAppointmentStore::monthlyKeepsDaySpan()
{
    createSeries(*m_db, m_prompter, SeriesKind::Monthly,
                 values(at(2007, 4, 20, 22, 0), at(2007, 4, 21, 6, 0), u"Nachtdienst"_s), 1,
                 at(2007, 4, 20, 22, 0), at(2007, 6, 30, 0, 0));
    QCOMPARE(storedSpans(*m_db), (QStringList{u"20.04.2007 22:00:01 - 21.04.2007 06:00:01"_s,
                                              u"20.05.2007 22:00:01 - 21.05.2007 06:00:01"_s,
                                              u"20.06.2007 22:00:01 - 21.06.2007 06:00:01"_s}));
}

void TestAppointmentStore::monthlyMemberEnd_data()
{
    QTest::addColumn<DateValue>("start");
    QTest::addColumn<DateValue>("end");
    QTest::addColumn<QStringList>("spans");

    // Period from the start to 30 June: members in April, May and June.
    QTest::newRow("over days, later end time: ends on its own day")
            << at(2007, 4, 10, 10, 0) << at(2007, 4, 12, 12, 0)
            << QStringList{u"10.04.2007 10:00:01 - 10.04.2007 12:00:01"_s,
                           u"10.05.2007 10:00:01 - 10.05.2007 12:00:01"_s,
                           u"10.06.2007 10:00:01 - 10.06.2007 12:00:01"_s};
    QTest::newRow("over days, earlier end time: keeps the three days")
            << at(2007, 4, 10, 22, 0) << at(2007, 4, 13, 6, 0)
            << QStringList{u"10.04.2007 22:00:01 - 13.04.2007 06:00:01"_s,
                           u"10.05.2007 22:00:01 - 13.05.2007 06:00:01"_s,
                           u"10.06.2007 22:00:01 - 13.06.2007 06:00:01"_s};
    QTest::newRow("same time a day later: keeps the day")
            << at(2007, 4, 10, 10, 0) << at(2007, 4, 11, 10, 0)
            << QStringList{u"10.04.2007 10:00:01 - 11.04.2007 10:00:01"_s,
                           u"10.05.2007 10:00:01 - 11.05.2007 10:00:01"_s,
                           u"10.06.2007 10:00:01 - 11.06.2007 10:00:01"_s};
    QTest::newRow("one day") << at(2007, 4, 10, 10, 0) << at(2007, 4, 10, 10, 30)
                             << QStringList{u"10.04.2007 10:00:01 - 10.04.2007 10:30:01"_s,
                                            u"10.05.2007 10:00:01 - 10.05.2007 10:30:01"_s,
                                            u"10.06.2007 10:00:01 - 10.06.2007 10:30:01"_s};
}

void TestAppointmentStore::monthlyMemberEnd()
{
    QFETCH(DateValue, start);
    QFETCH(DateValue, end);
    QFETCH(QStringList, spans);
    createSeries(*m_db, m_prompter, SeriesKind::Monthly, values(start, end, u"Turnus"_s), 1, start,
                 at(2007, 6, 30, 0, 0));
    QCOMPARE(storedSpans(*m_db), spans);
}

void TestAppointmentStore::weeklyWholeYear()
{
    // 1 January 2007 was a Monday; 52 weeks later is 31 December 2007.
    createSeries(*m_db, m_prompter, SeriesKind::Weekly,
                 values(at(2007, 1, 1, 9, 0), at(2007, 1, 1, 10, 0), u"Jour fixe"_s), 1,
                 at(2007, 1, 1, 9, 0), 1199059201);
    const QStringList spans = storedSpans(*m_db);
    QCOMPARE(spans.size(), 53);
    QCOMPARE(spans.first(), u"01.01.2007 09:00:01 - 01.01.2007 10:00:01"_s);
    QCOMPARE(spans.at(1), u"08.01.2007 09:00:01 - 08.01.2007 10:00:01"_s);
    QCOMPARE(spans.last(), u"31.12.2007 09:00:01 - 31.12.2007 10:00:01"_s);
    QCOMPARE(count(u"WHERE redo='Wöchentlich' AND belong=1"_s), qint64(53));
}

void TestAppointmentStore::weeklyStopsAtPeriodEndDay()
{
    // Wednesdays: the last one of 2007 is 26 December; nothing may land in January 2008.
    createSeries(*m_db, m_prompter, SeriesKind::Weekly,
                 values(1167825601, 1167825601 + 5400, u"Training"_s), 1, 1167609601, 1199059201);
    QCOMPARE(count(), qint64(52));
    QCOMPARE(queryNumber(*m_db, u"SELECT MIN(date) FROM termine"_s), qint64(1167825601));
    QCOMPARE(queryNumber(*m_db, u"SELECT MAX(date) FROM termine"_s), qint64(1198670401));
}

void TestAppointmentStore::everyNDays()
{
    // Every 10 days from a Friday; the period start lies four days later, so the series starts
    // on the first occurrence after it.
    createSeries(*m_db, m_prompter, SeriesKind::EveryNDays,
                 values(at(2007, 2, 2, 7, 0), at(2007, 2, 2, 7, 30), u"Gießen"_s), 10,
                 at(2007, 2, 6, 7, 0), at(2007, 3, 4, 0, 0));
    QCOMPARE(storedSpans(*m_db), (QStringList{u"12.02.2007 07:00:01 - 12.02.2007 07:30:01"_s,
                                              u"22.02.2007 07:00:01 - 22.02.2007 07:30:01"_s,
                                              u"04.03.2007 07:00:01 - 04.03.2007 07:30:01"_s}));
    QCOMPARE(count(u"WHERE redo='Alle 10 Tage' AND belong=1"_s), qint64(3));
}

void TestAppointmentStore::emptyPeriodInsertsNothing()
{
    // A Wednesday appointment with a period from Thursday to Sunday has no occurrence.
    QCOMPARE(createSeries(*m_db, m_prompter, SeriesKind::Weekly,
                          values(at(2007, 1, 3, 8, 0), at(2007, 1, 3, 9, 0), u"x"_s), 1,
                          at(2007, 1, 4, 8, 0), at(2007, 1, 7, 0, 0)),
             qint64(0));
    QCOMPARE(count(), qint64(0));
}

void TestAppointmentStore::declinedFirstMemberNextOneHeadsSeries()
{
    const AppointmentValues v = values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"Chor"_s);
    insertAppointment(*m_db, m_prompter, v, 0, {});
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 8, 1, 8, 0), at(2007, 8, 1, 9, 0), u"Unbeteiligt"_s), 0, {});
    m_prompter.answer(false);

    const qint64 key = createSeries(*m_db, m_prompter, SeriesKind::Weekly, v, 1, v.start,
                                    at(2007, 1, 24, 0, 0));
    QCOMPARE(m_prompter.transcript(), QStringList{kDuplicateQuestion});
    QCOMPARE(key, qint64(3));
    QCOMPARE(queryRows(*m_db, u"SELECT id, belong, redo FROM termine ORDER BY id"_s),
             (QStringList{u"1|0|"_s, u"2|0|"_s, u"3|3|Wöchentlich"_s, u"4|3|Wöchentlich"_s,
                          u"5|3|Wöchentlich"_s}));
}

void TestAppointmentStore::declinedMemberIsMissing()
{
    const AppointmentValues v = values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"Chor"_s);
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 10, 18, 0), at(2007, 1, 10, 19, 0), u"Chor"_s), 0, {});
    m_prompter.answer(false);
    createSeries(*m_db, m_prompter, SeriesKind::Weekly, v, 1, v.start, at(2007, 1, 17, 0, 0));
    QCOMPARE(queryRows(*m_db, u"SELECT id, belong FROM termine ORDER BY date, id"_s),
             (QStringList{u"2|2"_s, u"1|0"_s, u"3|2"_s}));
}

void TestAppointmentStore::failureMidSeriesLeavesNoRows()
{
    QVERIFY(m_db->execSql(u"CREATE TRIGGER refuse BEFORE INSERT ON termine WHEN NEW.date > "_s +
                          QString::number(at(2007, 1, 15, 0, 0)) +
                          u" BEGIN SELECT RAISE(ABORT, 'Platte voll'); END"_s));
    const AppointmentValues v = values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"Chor"_s);
    QCOMPARE(createSeries(*m_db, m_prompter, SeriesKind::Weekly, v, 1, v.start,
                          at(2007, 2, 28, 0, 0)),
             qint64(0));
    QCOMPARE(count(), qint64(0));
    QCOMPARE(m_prompter.transcript(), QStringList{u"Datenbankfehler / Platte voll"_s});
    // The connection is usable afterwards, outside any transaction.
    QVERIFY(insertAppointment(*m_db, m_prompter, v, 0, {}) > 0);
    QCOMPARE(count(), qint64(1));
}

void TestAppointmentStore::deleteSingle()
{
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"a"_s), 0, {});
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 4, 18, 0), at(2007, 1, 4, 19, 0), u"b"_s), 0, {});
    QVERIFY(deleteAppointment(*m_db, m_prompter, 1));
    QCOMPARE(m_prompter.transcript(), QStringList{kDeleted});
    QCOMPARE(queryRows(*m_db, u"SELECT desc FROM termine"_s), QStringList{u"b"_s});
}

void TestAppointmentStore::deleteSeries_data()
{
    QTest::addColumn<bool>("wholeSeries");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("yes removes the first member too") << true << QStringList{u"5|0"_s};
    QTest::newRow("no removes the one row")
            << false << QStringList{u"1|1"_s, u"2|1"_s, u"4|1"_s, u"5|0"_s};
}

void TestAppointmentStore::deleteSeries()
{
    QFETCH(bool, wholeSeries);
    QFETCH(QStringList, remaining);

    const AppointmentValues v = values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"Chor"_s);
    createSeries(*m_db, m_prompter, SeriesKind::Weekly, v, 1, v.start, at(2007, 1, 24, 0, 0));
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 4, 18, 0), at(2007, 1, 4, 19, 0), u"b"_s), 0, {});
    m_prompter.answer(wholeSeries);
    QVERIFY(deleteAppointment(*m_db, m_prompter, 3));
    QCOMPARE(m_prompter.transcript(), (QStringList{kSeriesDeleteQuestion, kDeleted}));
    QCOMPARE(queryRows(*m_db, u"SELECT id, belong FROM termine ORDER BY id"_s), remaining);
}

void TestAppointmentStore::failedDeleteIsNotReportedAsSuccess()
{
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 3, 18, 0), at(2007, 1, 3, 19, 0), u"a"_s), 0, {});
    QVERIFY(m_db->execSql(u"CREATE TRIGGER keep BEFORE DELETE ON termine BEGIN "
                          u"SELECT RAISE(ABORT, 'gesperrt'); END"_s));
    QVERIFY(!deleteAppointment(*m_db, m_prompter, 1));
    QCOMPARE(m_prompter.transcript(), QStringList{u"Datenbankfehler / gesperrt"_s});
    QCOMPARE(count(), qint64(1));
}

void TestAppointmentStore::birthdayReminderDefaults()
{
    // Group 20 is "Geburtstag" after the first run.
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 3, 0, 0), at(2007, 1, 3, 23, 59), u"Anna"_s, 20, 0, 0), 0,
                      {});
    insertAppointment(*m_db, m_prompter,
                      values(at(2007, 1, 4, 0, 0), at(2007, 1, 4, 23, 59), u"Arzt"_s, 7, 0, 0), 0,
                      {});
    applyBirthdayReminderDefaults(*m_db, m_prompter, 1, 3);
    QCOMPARE(queryRows(*m_db, u"SELECT desc, msg, remsg FROM termine ORDER BY id"_s),
             (QStringList{u"Anna|1|3"_s, u"Arzt|0|0"_s}));

    // Without the group nothing changes, not even rows without a group.
    m_db->execSql(u"UPDATE grups SET grupname='' WHERE id=20"_s);
    m_db->execSql(u"UPDATE termine SET grup=0 WHERE id=2"_s);
    applyBirthdayReminderDefaults(*m_db, m_prompter, 4, 2);
    QCOMPARE(queryRows(*m_db, u"SELECT desc, msg, remsg FROM termine ORDER BY id"_s),
             (QStringList{u"Anna|1|3"_s, u"Arzt|0|0"_s}));
    QCOMPARE(m_prompter.transcript(), QStringList());
}

QTEST_GUILESS_MAIN(TestAppointmentStore)
#include "tst_appointmentstore.moc"
