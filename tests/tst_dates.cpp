#include "common/datevalue.h"
#include "common/germannames.h"
#include "common/grouppalette.h"
#include "common/sqltext.h"
#include "common/textcodec.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDates : public QObject
{
    Q_OBJECT
private slots:
    void makeDate_data();
    void makeDate();
    void invalidMoments_data();
    void invalidMoments();
    void dateParts_data();
    void dateParts();
    void formatDate_data();
    void formatDate();
    void readMaskedText_data();
    void readMaskedText();
    void dayKeys();
    void mondayOf_data();
    void mondayOf();
    void isoWeekNumber_data();
    void isoWeekNumber();
    void monthLengths_data();
    void monthLengths();
    void parseNumber_data();
    void parseNumber();
    void nameTables();
    void palette();
    void sqlText_data();
    void sqlText();
    void textCodec_data();
    void textCodec();
};

void TestDates::makeDate_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("epoch") << 1970 << 1 << 1 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("second day") << 1970 << 1 << 2 << 0 << 0 << 0 << qint64(86400);
    QTest::newRow("millennium") << 2000 << 1 << 1 << 0 << 0 << 0 << qint64(946684800);
    QTest::newRow("editor second 1") << 2007 << 3 << 5 << 12 << 0 << 1 << qint64(1173096001);
    QTest::newRow("end of 2037") << 2037 << 12 << 31 << 23 << 59 << 59 << qint64(2145916799);
    // One second past the end of a signed 32-bit count.
    QTest::newRow("past 2038") << 2038 << 1 << 19 << 3 << 14 << 8 << qint64(2147483648);
    QTest::newRow("leap day 2000") << 2000 << 2 << 29 << 0 << 0 << 0 << qint64(951782400);
    QTest::newRow("before epoch") << 1969 << 12 << 31 << 23 << 59 << 59 << qint64(-1);
}

void TestDates::makeDate()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(qint64, expected);
    QCOMPARE(::makeDate(year, month, day, hour, minute, second), expected);
}

void TestDates::invalidMoments_data()
{
    QTest::addColumn<QList<int>>("moment");
    QTest::newRow("month 0") << QList<int>{2007, 0, 1, 0, 0, 0};
    QTest::newRow("month 13") << QList<int>{2007, 13, 1, 0, 0, 0};
    QTest::newRow("day 0") << QList<int>{2007, 1, 0, 0, 0, 0};
    QTest::newRow("31 April") << QList<int>{2007, 4, 31, 0, 0, 0};
    QTest::newRow("29 Feb 2007") << QList<int>{2007, 2, 29, 0, 0, 0};
    QTest::newRow("29 Feb 1900") << QList<int>{1900, 2, 29, 0, 0, 0};
    QTest::newRow("year 0") << QList<int>{0, 1, 1, 0, 0, 0};
    QTest::newRow("negative year") << QList<int>{-5, 1, 1, 0, 0, 0};
    QTest::newRow("hour 24") << QList<int>{2007, 1, 1, 24, 0, 0};
    QTest::newRow("hour -1") << QList<int>{2007, 1, 1, -1, 0, 0};
    QTest::newRow("minute 60") << QList<int>{2007, 1, 1, 0, 60, 0};
    QTest::newRow("second 60") << QList<int>{2007, 1, 1, 0, 0, 60};
}

void TestDates::invalidMoments()
{
    QFETCH(QList<int>, moment);
    QCOMPARE(::makeDate(moment[0], moment[1], moment[2], moment[3], moment[4], moment[5]),
             kInvalidDate);
}

void TestDates::dateParts_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QList<int>>("parts"); // year, month, day, hour, minute, second, weekday
    QTest::newRow("epoch is a Thursday") << qint64(0) << QList<int>{1970, 1, 1, 0, 0, 0, 4};
    QTest::newRow("-1 is the last second of 1969")
            << qint64(-1) << QList<int>{1969, 12, 31, 23, 59, 59, 3};
    QTest::newRow("2000-01-01 is a Saturday")
            << qint64(946684800) << QList<int>{2000, 1, 1, 0, 0, 0, 6};
    QTest::newRow("2007-03-05 12:00:01 Monday")
            << qint64(1173096001) << QList<int>{2007, 3, 5, 12, 0, 1, 1};
    QTest::newRow("2038 and on") << qint64(2147483648) << QList<int>{2038, 1, 19, 3, 14, 8, 2};
    QTest::newRow("2007-09-23 Sunday")
            << ::makeDate(2007, 9, 23, 18, 30, 0) << QList<int>{2007, 9, 23, 18, 30, 0, 0};
}

void TestDates::dateParts()
{
    QFETCH(qint64, value);
    QFETCH(QList<int>, parts);
    const DateParts p = ::dateParts(value);
    QCOMPARE((QList<int>{p.year, p.month, p.day, p.hour, p.minute, p.second, p.weekday}), parts);
}

void TestDates::formatDate_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("expected");
    const qint64 sample = ::makeDate(2007, 9, 20, 19, 56, 7);
    QTest::newRow("clock") << u"%dd.%mm.%yyyy - %hh:%ii"_s << sample << u"20.09.2007 - 19:56"_s;
    QTest::newRow("time") << u"%hh:%ii Uhr"_s << sample << u"19:56 Uhr"_s;
    QTest::newRow("two-digit year") << u"%yy"_s << sample << u"07"_s;
    QTest::newRow("backup name") << u"(%dd-%mm-%yyyy_%hh-%ii-%ss).rec"_s << sample
                                 << u"(20-09-2007_19-56-07).rec"_s;
    QTest::newRow("padding") << u"%dd.%mm. %hh:%ii:%ss"_s << ::makeDate(2008, 1, 2, 3, 4, 5)
                             << u"02.01. 03:04:05"_s;
    QTest::newRow("other characters are copied") << u"%x %% 100%"_s << sample << u"%x %% 100%"_s;
}

void TestDates::formatDate()
{
    QFETCH(QString, mask);
    QFETCH(qint64, value);
    QFETCH(QString, expected);
    QCOMPARE(::formatDate(mask, value), expected);
}

void TestDates::readMaskedText_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("fields"); // year, month, day, hour, minute
    QTest::newRow("date") << u"%dd.%mm.%yyyy"_s << u"05.03.2007"_s
                          << QList<int>{2007, 3, 5, -1, -1};
    QTest::newRow("time") << u"%hh:%ii Uhr"_s << u"09:07 Uhr"_s << QList<int>{-1, -1, -1, 9, 7};
    QTest::newRow("year only") << u"%yyyy"_s << u"2037"_s << QList<int>{2037, -1, -1, -1, -1};
    QTest::newRow("garbage") << u"%dd.%mm.%yyyy"_s << u"xx.yy"_s << QList<int>{-1, -1, -1, -1, -1};
    QTest::newRow("short text") << u"%dd.%mm.%yyyy"_s << u"05.0"_s << QList<int>{-1, -1, 5, -1, -1};
}

void TestDates::readMaskedText()
{
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QFETCH(QList<int>, fields);
    const MaskedFields f = ::readMaskedText(mask, text);
    QCOMPARE((QList<int>{f.year, f.month, f.day, f.hour, f.minute}), fields);
}

void TestDates::dayKeys()
{
    QCOMPARE(holidayKey(2007, 12, 25), ::makeDate(2007, 12, 25, 0, 0, 1));
    QCOMPARE(birthdayKey(3, 5), ::makeDate(2000, 3, 5, 0, 0, 1));
    // 2000 is a leap year, so a birthday on 29 February has a key.
    QCOMPARE(birthdayKey(2, 29), qint64(951782401));
}

void TestDates::mondayOf_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<qint64>("monday");
    const qint64 monday = ::makeDate(2007, 9, 17, 10, 0, 0);
    QTest::newRow("Monday stays") << monday << monday;
    QTest::newRow("Thursday") << ::makeDate(2007, 9, 20, 10, 0, 0) << monday;
    QTest::newRow("Sunday goes back six days") << ::makeDate(2007, 9, 23, 10, 0, 0) << monday;
    QTest::newRow("across the year")
            << ::makeDate(2009, 1, 1, 8, 0, 0) << ::makeDate(2008, 12, 29, 8, 0, 0);
}

void TestDates::mondayOf()
{
    QFETCH(qint64, value);
    QFETCH(qint64, monday);
    QCOMPARE(::mondayOf(value), monday);
}

void TestDates::isoWeekNumber_data()
{
    QTest::addColumn<qint64>("monday");
    QTest::addColumn<int>("week");
    QTest::newRow("2008-12-29") << ::makeDate(2008, 12, 29) << 1;
    QTest::newRow("2004-12-27") << ::makeDate(2004, 12, 27) << 53;
    QTest::newRow("2009-12-28") << ::makeDate(2009, 12, 28) << 53;
    QTest::newRow("2007-01-01") << ::makeDate(2007, 1, 1) << 1;
    QTest::newRow("2010-01-04") << ::makeDate(2010, 1, 4) << 1;
    QTest::newRow("2026-12-07") << ::makeDate(2026, 12, 7, 12, 0, 0) << 50;
}

void TestDates::isoWeekNumber()
{
    QFETCH(qint64, monday);
    QFETCH(int, week);
    QCOMPARE(::isoWeekNumber(monday), week);
}

void TestDates::monthLengths_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("Jan") << 2007 << 1 << 31;
    QTest::newRow("Apr") << 2007 << 4 << 30;
    QTest::newRow("Feb 2007") << 2007 << 2 << 28;
    QTest::newRow("Feb 2008") << 2008 << 2 << 29;
    QTest::newRow("Feb 1900") << 1900 << 2 << 28;
    QTest::newRow("Feb 2000") << 2000 << 2 << 29;
    QTest::newRow("month 13") << 2000 << 13 << 0;
}

void TestDates::monthLengths()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, days);
    QCOMPARE(daysInMonth(year, month), days);
}

void TestDates::parseNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    QTest::newRow("empty") << QString() << qint64(0);
    QTest::newRow("plain") << u"42"_s << qint64(42);
    QTest::newRow("blanks and tabs") << u" \t 42"_s << qint64(42);
    QTest::newRow("negative") << u"-1"_s << qint64(-1);
    QTest::newRow("plus") << u"+5"_s << qint64(5);
    QTest::newRow("stops at junk") << u"12abc"_s << qint64(12);
    QTest::newRow("no digits") << u"abc"_s << qint64(0);
    QTest::newRow("64-bit") << u"2147483648"_s << qint64(2147483648);
    QTest::newRow("saturates high")
            << u"99999999999999999999"_s << std::numeric_limits<qint64>::max();
    QTest::newRow("saturates low")
            << u"-99999999999999999999"_s << std::numeric_limits<qint64>::min();
}

void TestDates::parseNumber()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QCOMPARE(::parseNumber(text), value);
}

void TestDates::nameTables()
{
    QStringList months;
    for (int i = 0; i < 12; ++i)
        months << monthName(i);
    QCOMPARE(months.join(u','), u"Jan,Feb,Mar,Apr,Mai,Jun,Jul,Aug,Sept,Okt,Nov,Dez"_s);
    QStringList days;
    for (int i = 0; i < 7; ++i)
        days << weekdayName(i);
    QCOMPARE(days.join(u','), u"So,Mo,Di,Mit,Do,Fr,Sa"_s);
}

void TestDates::palette()
{
    QCOMPARE(groupColor(1), QRgb(0xFFFF9A9A));
    QCOMPARE(groupColor(12), QRgb(0xFFFFFFFF));
    QCOMPARE(groupColor(20), QRgb(0xFFE8EDBF));
}

void TestDates::sqlText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("quoted");
    QTest::addColumn<QString>("like");
    QTest::newRow("plain") << u"Arzt"_s << u"'Arzt'"_s << u"'%Arzt%' ESCAPE '\\'"_s;
    QTest::newRow("apostrophe") << u"Rock'n'Roll"_s << u"'Rock''n''Roll'"_s
                                << u"'%Rock''n''Roll%' ESCAPE '\\'"_s;
    QTest::newRow("wildcards") << u"50%_off\\"_s << u"'50%_off\\'"_s
                               << u"'%50\\%\\_off\\\\%' ESCAPE '\\'"_s;
    QTest::newRow("empty") << QString() << u"''"_s << u"'%%' ESCAPE '\\'"_s;
}

void TestDates::sqlText()
{
    QFETCH(QString, input);
    QFETCH(QString, quoted);
    QFETCH(QString, like);
    QCOMPARE(sqlQuote(input), quoted);
    QCOMPARE(sqlLikeContains(input), like);
    QCOMPARE(replaceApostrophes(u"it's Tom's"_s), u"it`s Tom`s"_s);
}

void TestDates::textCodec_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << u"abc = 1\r\n"_s << QByteArray("abc = 1\r\n");
    QTest::newRow("umlauts as Windows-1252") << u"Größe"_s
                                             << QByteArray("Gr\xf6\xdf"
                                                           "e");
    QTest::newRow("euro sign as Windows-1252") << u"5 €"_s << QByteArray("5 \x80");
    QTest::newRow("emoji as UTF-8")
            << u"Fest 🎉 ü"_s << QByteArray("Fest \xf0\x9f\x8e\x89 \xc3\xbc");
}

void TestDates::textCodec()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeText(text), bytes);
    QCOMPARE(decodeText(bytes), text);
}

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
