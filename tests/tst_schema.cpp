#include "common/datevalue.h"
#include "common/sqltext.h"
#include "store/holidays.h"
#include "store/schema.h"

#include "support/testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void easterSunday_data();
    void easterSunday();
    void holidayDays_data();
    void holidayDays();
    void schemaIsExactlyTheSixTables();
    void oldFileGainsIndexes();
    void groupSlots();
    void holidayTableCoversEveryYear();
    void holidayRowsOfOneYearInOrder();
    void progressTexts();
    void bootstrapIsOneTransaction();

private:
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
};

void TestSchema::initTestCase()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
}

void TestSchema::cleanupTestCase()
{
    m_db.reset();
    m_dir.reset();
}

void TestSchema::easterSunday_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("1954, the 18 April rule") << 1954 << 4 << 18;
    QTest::newRow("1970") << 1970 << 3 << 29;
    QTest::newRow("1981, the 19 April rule") << 1981 << 4 << 19;
    QTest::newRow("2000") << 2000 << 4 << 23;
    QTest::newRow("2008") << 2008 << 3 << 23;
    QTest::newRow("2011") << 2011 << 4 << 24;
    QTest::newRow("2024") << 2024 << 3 << 31;
    QTest::newRow("2037") << 2037 << 4 << 5;
}

void TestSchema::easterSunday()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    const MonthDay easter = ::easterSunday(year);
    QCOMPARE(easter.month, month);
    QCOMPARE(easter.day, day);
}

void TestSchema::holidayDays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("Easter 2000") << u"Ostersonntag"_s << 2000 << 4 << 23;
    QTest::newRow("Easter 2008") << u"Ostersonntag"_s << 2008 << 3 << 23;
    QTest::newRow("Easter 1981") << u"Ostersonntag"_s << 1981 << 4 << 19;
    QTest::newRow("Good Friday 2008") << u"Karfreitag"_s << 2008 << 3 << 21;
    QTest::newRow("Easter Monday 2011") << u"Ostermontag"_s << 2011 << 4 << 25;
    QTest::newRow("Ascension 2008") << u"Christi Himmelfahrt"_s << 2008 << 5 << 1;
    QTest::newRow("Whit Monday 2024") << u"Pfingstmontag"_s << 2024 << 5 << 20;
    QTest::newRow("Corpus Christi 2007") << u"Fronleichnam"_s << 2007 << 6 << 7;
    QTest::newRow("Buss- und Bettag 2007") << u"Buß- und Bettag"_s << 2007 << 11 << 21;
    QTest::newRow("Buss- und Bettag 2017 on the 22nd") << u"Buß- und Bettag"_s << 2017 << 11 << 22;
    QTest::newRow("summer time eve 2007")
            << u"Ab morgen früh gilt Sommerzeit! "_s << 2007 << 3 << 24;
    QTest::newRow("normal time eve 2007")
            << u"Ab morgen früh gilt Normalzeit! "_s << 2007 << 10 << 27;
    QTest::newRow("summer time eve 2037")
            << u"Ab morgen früh gilt Sommerzeit! "_s << 2037 << 3 << 28;
    QTest::newRow("New Year 1970") << u"Neujahr"_s << 1970 << 1 << 1;
    QTest::newRow("Unity Day 2037") << u"Tag der Deutschen Einheit"_s << 2037 << 10 << 3;
}

void TestSchema::holidayDays()
{
    QFETCH(QString, name);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    const qint64 key = makeDate(year, month, day, 0, 0, 1);
    const QStringList rows =
            queryRows(*m_db, u"SELECT date FROM feiertage WHERE desc="_s + sqlQuote(name) +
                                     u" AND date >= "_s + QString::number(makeDate(year, 1, 1)) +
                                     u" AND date < "_s + QString::number(makeDate(year + 1, 1, 1)));
    QCOMPARE(rows, QStringList{QString::number(key)});
}

void TestSchema::schemaIsExactlyTheSixTables()
{
    QStringList expected = Schema::createStatements();
    QCOMPARE(expected.size(), 6);
    QCOMPARE(queryRows(*m_db, u"SELECT sql FROM sqlite_master WHERE name != 'sqlite_sequence' "
                              "ORDER BY rowid"_s),
             expected);
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM sqlite_master WHERE type != 'table'"_s),
             qint64(0));
}

void TestSchema::oldFileGainsIndexes()
{
    // Twice: a file that has them already is left as it is.
    QVERIFY(Schema::ensureIndexes(*m_db));
    QVERIFY(Schema::ensureIndexes(*m_db));
    QCOMPARE(queryRows(*m_db, u"SELECT name FROM sqlite_master WHERE type = 'index' AND sql "
                              "IS NOT NULL ORDER BY name"_s),
             (QStringList{u"geburtstage_desc"_s, u"termine_belong"_s, u"termine_date"_s,
                          u"termine_nextmsg"_s, u"termine_span"_s}));
    const QString plan = queryRows(*m_db, u"EXPLAIN QUERY PLAN SELECT id FROM termine WHERE "
                                          "belong=7"_s)
                                 .join(u' ');
    QVERIFY2(plan.contains(u"termine_belong"_s), qPrintable(plan));
    // The tables themselves are untouched.
    QCOMPARE(queryRows(*m_db, u"SELECT sql FROM sqlite_master WHERE type = 'table' AND name != "
                              "'sqlite_sequence' ORDER BY rowid"_s),
             Schema::createStatements());
}

void TestSchema::groupSlots()
{
    QStringList expected;
    const QStringList names{u""_s,
                            u"Feiertag"_s,
                            u"Urlaub"_s,
                            u"Schulaufgabe"_s,
                            u"Geschäftlich"_s,
                            u"Termin Allg."_s,
                            u"Arzt"_s};
    for (int id = 1; id <= 20; ++id) {
        const QString name = id <= 7 ? names[id - 1] : (id == 20 ? u"Geburtstag"_s : QString());
        const QString jahrl = id == 1 ? u"1"_s : QString();
        const QString ganztag = id <= 4 ? u"1"_s : QString();
        expected << QStringList{QString::number(id), name, jahrl, ganztag}.join(u'|');
    }
    QCOMPARE(queryRows(*m_db, u"SELECT * FROM grups ORDER BY id"_s), expected);
    // Unset presets are NULL, not 0.
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM grups WHERE jahrl IS NULL"_s), qint64(19));
}

void TestSchema::holidayTableCoversEveryYear()
{
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM feiertage"_s), qint64(1292));
    QCOMPARE(queryNumber(*m_db, u"SELECT MIN(date) FROM feiertage"_s), holidayKey(1970, 1, 1));
    QCOMPARE(queryNumber(*m_db, u"SELECT MAX(date) FROM feiertage"_s), holidayKey(2037, 12, 26));
    // Every row lies one second past midnight.
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM feiertage WHERE date % 86400 != 1"_s),
             qint64(0));
}

void TestSchema::holidayRowsOfOneYearInOrder()
{
    const QStringList rows = queryRows(
            *m_db,
            u"SELECT desc, location FROM feiertage WHERE id BETWEEN 20 AND 38 ORDER BY id"_s);
    const QStringList expected{
            u"Neujahr|DE"_s,
            u"Hl. Drei Könige|BY;BW"_s,
            u"Ostersonntag|DE"_s,
            u"Ostermontag|DE"_s,
            u"Karfreitag|DE"_s,
            u"Tag der Arbeit|DE"_s,
            u"Christi Himmelfahrt|DE"_s,
            u"Pfingstmontag|DE"_s,
            u"Fronleichnam|BW;BY;HE;NW;RP;SL;(SN);(TH)"_s,
            u"Augsburger Friedensfest|Augsburg"_s,
            u"Mariä Himmelfahrt|(BY);SL"_s,
            u"Tag der Deutschen Einheit|DE"_s,
            u"Reformationstag|BB;MV;SN;ST;TH"_s,
            u"Allerheiligen|BW;BY;NW;RP;SL"_s,
            u"1. Weihnachtstag|DE"_s,
            u"2. Weihnachtstag|DE"_s,
            u"Buß- und Bettag|(BY);SN"_s,
            u"Ab morgen früh gilt Sommerzeit! |Uhren eine Std vor stellen"_s,
            u"Ab morgen früh gilt Normalzeit! |Uhren eine Std zurück stellen"_s,
    };
    QCOMPARE(rows, expected);
}

void TestSchema::progressTexts()
{
    TestDirectory dir;
    auto db = Database::open(dir.filePath(u"data.zr"_s));
    QStringList texts;
    QVERIFY(Schema::bootstrap(*db, [&texts](const QString& t) { texts << t; }));
    QCOMPARE(texts.size(), 6 + 1 + 68);
    QCOMPARE(texts.first(), u"Tabellen werden angelegt..(1 von 6)"_s);
    QCOMPARE(texts[5], u"Tabellen werden angelegt..(6 von 6)"_s);
    QCOMPARE(texts[6], u"Gruppen werden generiert..."_s);
    QVERIFY(texts[7].startsWith(u"Feiertage im Jahr 1970 berechnen\n"_s));
    QVERIFY(texts[7].contains(u"Carl Friedrich Gauss"_s));
    QVERIFY(texts.last().startsWith(u"Feiertage im Jahr 2037 berechnen\n"_s));
}

void TestSchema::bootstrapIsOneTransaction()
{
    // A second connection looking in half-way must see an untouched file: a crash at that
    // moment would leave no half-built database behind.
    TestDirectory dir;
    const QString path = dir.filePath(u"data.zr"_s);
    auto db = Database::open(path);
    qint64 tablesSeenHalfway = -1;
    int calls = 0;
    QVERIFY(Schema::bootstrap(*db, [&](const QString&) {
        if (++calls == 40) {
            auto observer = Database::open(path);
            tablesSeenHalfway = queryNumber(*observer, u"SELECT COUNT(*) FROM sqlite_master"_s);
        }
    }));
    QCOMPARE(tablesSeenHalfway, qint64(0));
    auto observer = Database::open(path);
    QCOMPARE(queryNumber(*observer, u"SELECT COUNT(*) FROM feiertage"_s), qint64(1292));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
