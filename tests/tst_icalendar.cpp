#include "addresses/addressinterchange.h"
#include "appointments/appointmentstore.h"
#include "interchange/icalendarexport.h"
#include "interchange/icalendarimport.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray calendar(const QByteArray& body)
{
    QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Hand//Test//EN\r\n" + body +
                      "END:VCALENDAR\r\n";
    return text.replace("\n", "\r\n").replace("\r\r\n", "\r\n");
}

QString stamp(DateValue value)
{
    return formatDate(u"%dd.%mm.%yyyy %hh:%ii:%ss", value);
}

// "start|end|description|msg|remsg|series" per planned row, series counted from 0.
QStringList planRows(const CalendarImportPlan& plan)
{
    QStringList rows;
    for (const CalendarAppointment& a : plan.appointments) {
        rows << stamp(a.start) + u'|' + stamp(a.end) + u'|' + a.description + u'|' +
                        QString::number(a.msg) + u'|' + QString::number(a.remsg) + u'|' +
                        (a.series < 0 ? u"-"_s : plan.seriesRedo[a.series]);
    }
    return rows;
}

// Which rows share a series, as sets of their starts.
QList<QStringList> seriesPartition(Database& db)
{
    QMap<QString, QStringList> byKey;
    for (const QString& row :
         queryRows(db, u"SELECT belong, date FROM termine WHERE belong != 0 ORDER BY date"_s)) {
        const QStringList parts = row.split(u'|');
        byKey[parts[0]] << parts[1];
    }
    QList<QStringList> sets = byKey.values();
    std::sort(sets.begin(), sets.end());
    return sets;
}

const QString kRowsQuery = u"SELECT date, enddate, desc, grup, msg, remsg, redo FROM termine "
                           u"ORDER BY date, enddate, desc"_s;

} // namespace

class TestICalendar : public QObject
{
    Q_OBJECT
private slots:
    void readsEvents_data();
    void readsEvents();
    void seriesFromOtherZones_data();
    void seriesFromOtherZones();
    void readsLongLines_data();
    void readsLongLines();
    void reportsWhatIsLeftOut_data();
    void reportsWhatIsLeftOut();
    void eightBitLinesAreNoted_data();
    void eightBitLinesAreNoted();
    void readsForeignEncodings_data();
    void readsForeignEncodings();
    void badFilesChangeNothing_data();
    void badFilesChangeNothing();
    void refusedWriteLeavesNothing();
    void roundTripRestoresTheRows();
};

void TestICalendar::readsEvents_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("problems");

    QTest::newRow("weekly BYDAY COUNT EXDATE")
            << QByteArray("BEGIN:VEVENT\nUID:w1\nDTSTART;TZID=Europe/Berlin:20070305T100000\n"
                          "DTEND;TZID=Europe/Berlin:20070305T110000\nSUMMARY:Kurs\n"
                          "RRULE:FREQ=WEEKLY;BYDAY=MO,WE;COUNT=6\n"
                          "EXDATE;TZID=Europe/Berlin:20070312T100000\nEND:VEVENT\n")
            << QStringList{u"05.03.2007 10:00:01|05.03.2007 11:00:01|Kurs|0|0|Wöchentlich"_s,
                           u"07.03.2007 10:00:01|07.03.2007 11:00:01|Kurs|0|0|Wöchentlich"_s,
                           u"14.03.2007 10:00:01|14.03.2007 11:00:01|Kurs|0|0|Wöchentlich"_s,
                           u"19.03.2007 10:00:01|19.03.2007 11:00:01|Kurs|0|0|Wöchentlich"_s,
                           u"21.03.2007 10:00:01|21.03.2007 11:00:01|Kurs|0|0|Wöchentlich"_s}
            << 0;
    QTest::newRow("overrides: moved, longer, cancelled")
            << QByteArray("BEGIN:VEVENT\nUID:o1\nDTSTART:20070305T100000\nDTEND:20070305T110000\n"
                          "SUMMARY:Chor\nRRULE:FREQ=WEEKLY;COUNT=4\nEND:VEVENT\n"
                          "BEGIN:VEVENT\nUID:o1\nRECURRENCE-ID:20070312T100000\n"
                          "DTSTART:20070312T120000\nDTEND:20070312T130000\nSUMMARY:Chor\n"
                          "END:VEVENT\n"
                          "BEGIN:VEVENT\nUID:o1\nRECURRENCE-ID:20070319T100000\n"
                          "DTSTART:20070319T100000\nDTEND:20070319T120000\nSUMMARY:Chor\n"
                          "END:VEVENT\n"
                          "BEGIN:VEVENT\nUID:o1\nRECURRENCE-ID:20070326T100000\n"
                          "DTSTART:20070326T100000\nSTATUS:CANCELLED\nEND:VEVENT\n")
            << QStringList{u"05.03.2007 10:00:01|05.03.2007 11:00:01|Chor|0|0|Wöchentlich"_s,
                           u"19.03.2007 10:00:01|19.03.2007 12:00:01|Chor|0|0|Wöchentlich"_s,
                           u"12.03.2007 12:00:01|12.03.2007 13:00:01|Chor|0|0|-"_s}
            << 0;
    QTest::newRow("New York and UTC to Berlin")
            << QByteArray("BEGIN:VEVENT\nUID:z1\nDTSTART;TZID=America/New_York:20070710T090000\n"
                          "DTEND;TZID=America/New_York:20070710T100000\nSUMMARY:Call\n"
                          "END:VEVENT\nBEGIN:VEVENT\nUID:z2\nDTSTART:20071225T080000Z\n"
                          "DURATION:PT30M\nSUMMARY:Peter's Brunch\nEND:VEVENT\n")
            << QStringList{u"10.07.2007 15:00:01|10.07.2007 16:00:01|Call|0|0|-"_s,
                           u"25.12.2007 09:00:01|25.12.2007 09:30:01|Peter`s Brunch|0|0|-"_s}
            << 0;
    QTest::newRow("DATE events")
            << QByteArray("BEGIN:VEVENT\nUID:d1\nDTSTART;VALUE=DATE:20070824\nSUMMARY:Fest\n"
                          "END:VEVENT\nBEGIN:VEVENT\nUID:d2\nDTSTART;VALUE=DATE:20070801\n"
                          "DTEND;VALUE=DATE:20070804\nSUMMARY:Urlaub\nEND:VEVENT\n")
            << QStringList{u"24.08.2007 00:00:01|24.08.2007 23:59:01|Fest|0|0|-"_s,
                           u"01.08.2007 00:00:01|03.08.2007 23:59:01|Urlaub|0|0|-"_s}
            << 0;
    QTest::newRow("alarms to nearest lead")
            << QByteArray("BEGIN:VEVENT\nUID:a1\nDTSTART:20070601T080000\nSUMMARY:A\n"
                          "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:A\nTRIGGER:-PT15M\n"
                          "END:VALARM\nEND:VEVENT\n"
                          "BEGIN:VEVENT\nUID:a2\nDTSTART:20070602T080000\nSUMMARY:B\n"
                          "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:B\nTRIGGER:-P2D\n"
                          "END:VALARM\nEND:VEVENT\n"
                          "BEGIN:VEVENT\nUID:a3\nDTSTART:20070603T080000\nSUMMARY:C\n"
                          "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:C\nTRIGGER:-PT1H\n"
                          "DURATION:PT15M\nREPEAT:4\nEND:VALARM\nEND:VEVENT\n")
            << QStringList{u"01.06.2007 08:00:01|01.06.2007 08:00:01|A|4|0|-"_s,
                           u"02.06.2007 08:00:01|02.06.2007 08:00:01|B|2|0|-"_s,
                           u"03.06.2007 08:00:01|03.06.2007 08:00:01|C|3|1|-"_s}
            << 0;
    // Open rules run to the end of the year after the import year (2007 here).
    QTest::newRow("open rule every two weeks")
            << QByteArray("BEGIN:VEVENT\nUID:r1\nDTSTART:20081201T190000\nSUMMARY:Skat\n"
                          "RRULE:FREQ=WEEKLY;INTERVAL=2\nEND:VEVENT\n")
            << QStringList{u"01.12.2008 19:00:01|01.12.2008 19:00:01|Skat|0|0|Alle 14 Tage"_s,
                           u"15.12.2008 19:00:01|15.12.2008 19:00:01|Skat|0|0|Alle 14 Tage"_s,
                           u"29.12.2008 19:00:01|29.12.2008 19:00:01|Skat|0|0|Alle 14 Tage"_s}
            << 0;
    QTest::newRow("unsupported and out of range")
            << QByteArray("BEGIN:VEVENT\nUID:p1\nDTSTART:20070601T080000\nSUMMARY:Puls\n"
                          "RRULE:FREQ=HOURLY;COUNT=5\nEND:VEVENT\nBEGIN:VEVENT\nUID:p2\n"
                          "SUMMARY:Ohne Zeit\nEND:VEVENT\nBEGIN:VEVENT\nUID:p3\n"
                          "DTSTART:19600101T080000\nSUMMARY:Alt\nEND:VEVENT\n")
            << QStringList{} << 3;
}

void TestICalendar::readsEvents()
{
    QFETCH(QByteArray, body);
    const CalendarImportPlan plan = readCalendar(calendar(body), 2007);
    QCOMPARE(plan.error, QString());
    QFETCH(QStringList, rows);
    QFETCH(int, problems);
    QCOMPARE(planRows(plan), rows);
    QCOMPARE(plan.problems.size(), problems);
}

namespace {

// America/New_York as its own writers send it: daylight time from the second Sunday in March to
// the first Sunday in November.
const QByteArray kNewYorkZone = "BEGIN:VTIMEZONE\nTZID:America/New_York\nBEGIN:DAYLIGHT\n"
                                "TZOFFSETFROM:-0500\nTZOFFSETTO:-0400\nTZNAME:EDT\n"
                                "DTSTART:20070311T020000\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\n"
                                "END:DAYLIGHT\nBEGIN:STANDARD\nTZOFFSETFROM:-0400\n"
                                "TZOFFSETTO:-0500\nTZNAME:EST\nDTSTART:20071104T020000\n"
                                "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nEND:STANDARD\n"
                                "END:VTIMEZONE\n";

QByteArray weekly(const QByteArray& start, const QByteArray& rule)
{
    return "BEGIN:VEVENT\nUID:tz\n" + start + "\nDURATION:PT1H\nSUMMARY:Serie\nRRULE:FREQ=WEEKLY;" +
           rule + "\nEND:VEVENT\n";
}

} // namespace

void TestICalendar::seriesFromOtherZones_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QList<DateValue>>("starts");

    QTest::newRow("UTC in winter")
            << weekly("DTSTART:20270104T080000Z", "COUNT=3")
            << QList<DateValue>{makeDate(2027, 1, 4, 9, 0, 1), makeDate(2027, 1, 11, 9, 0, 1),
                                makeDate(2027, 1, 18, 9, 0, 1)};
    // Berlin moves its clocks on 28 March and 31 October 2027.
    const QList<DateValue> spring{makeDate(2027, 3, 22, 9, 0, 1), makeDate(2027, 3, 29, 10, 0, 1),
                                  makeDate(2027, 4, 5, 10, 0, 1)};
    QTest::newRow("UTC into summer") << weekly("DTSTART:20270322T080000Z", "COUNT=3") << spring;
    QTest::newRow("UTC until in UTC")
            << weekly("DTSTART:20270322T080000Z", "UNTIL=20270405T080000Z") << spring;
    QTest::newRow("UTC into winter")
            << weekly("DTSTART:20271025T070000Z", "COUNT=2")
            << QList<DateValue>{makeDate(2027, 10, 25, 9, 0, 1), makeDate(2027, 11, 1, 8, 0, 1)};
    // New York moves on 14 March, two weeks before Berlin.
    const QList<DateValue> newYork{makeDate(2027, 3, 8, 15, 0, 1), makeDate(2027, 3, 15, 14, 0, 1),
                                   makeDate(2027, 3, 22, 14, 0, 1),
                                   makeDate(2027, 3, 29, 15, 0, 1)};
    QTest::newRow("New York with VTIMEZONE")
            << kNewYorkZone + weekly("DTSTART;TZID=America/New_York:20270308T090000", "COUNT=4")
            << newYork;
    QTest::newRow("New York without VTIMEZONE")
            << weekly("DTSTART;TZID=America/New_York:20270308T090000", "COUNT=4") << newYork;
    QByteArray outlook = kNewYorkZone;
    outlook.replace("TZID:America/New_York", "TZID:Eastern Standard Time");
    QTest::newRow("zone named by its writer")
            << outlook + weekly("DTSTART;TZID=\"Eastern Standard Time\":20270308T090000", "COUNT=4")
            << newYork;
    QTest::newRow("prefixed id") << weekly("DTSTART;TZID=/freeassociation.sourceforge.net/Tzfile/"
                                           "America/New_York:20270308T090000",
                                           "COUNT=4")
                                 << newYork;
    QTest::newRow("TZID UTC") << weekly("DTSTART;TZID=UTC:20270322T080000", "COUNT=3") << spring;
    QTest::newRow("New York, a member left out in UTC")
            << weekly("DTSTART;TZID=America/New_York:20270308T090000",
                      "COUNT=4\nEXDATE:20270315T130000Z")
            << QList<DateValue>{newYork[0], newYork[2], newYork[3]};
    QTest::newRow("New York until")
            << kNewYorkZone + weekly("DTSTART;TZID=America/New_York:20270308T090000",
                                     "UNTIL=20270329T130000Z")
            << newYork;
}

void TestICalendar::seriesFromOtherZones()
{
    QFETCH(QByteArray, body);
    QFETCH(QList<DateValue>, starts);
    const CalendarImportPlan plan = readCalendar(calendar(body), 2027);
    QCOMPARE(plan.problems, QStringList());
    QStringList expected;
    for (DateValue start : starts)
        expected << stamp(start) + u'|' + stamp(start + 3600) + u"|Serie|0|0|Wöchentlich"_s;
    QCOMPARE(planRows(plan), expected);
}

void TestICalendar::readsLongLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("summary");

    // A few MiB: a reader that rescans the rest of the line for each piece takes seconds here.
    const QString text = u"Grüße aus Köln "_s.repeated(200000);
    const QByteArray utf8 = text.toUtf8();
    QTest::newRow("one line") << QByteArray("SUMMARY:" + utf8) << text;
    // Folds every 75 octets fall inside the two-byte umlauts too.
    QByteArray folded = "SUMMARY:";
    for (qsizetype at = 0; at < utf8.size(); at += 75)
        folded += (at ? "\r\n " : "") + utf8.mid(at, 75);
    QTest::newRow("folded") << folded << text;
    QTest::newRow("line feeds only") << QByteArray(folded).replace("\r\n ", "\n\t") << text;
}

void TestICalendar::readsLongLines()
{
    QFETCH(QByteArray, line);
    const QByteArray file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:l\r\n"
                            "DTSTART:20070601T080000\r\n" +
                            line + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    const CalendarImportPlan plan = readCalendar(file, 2007);
    QCOMPARE(plan.error, QString());
    QCOMPARE(plan.appointments.size(), 1);
    QFETCH(QString, summary);
    QVERIFY(plan.appointments.first().description == summary.trimmed());
}

void TestICalendar::reportsWhatIsLeftOut_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("events");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QStringList>("notes");

    const auto series = [](const QByteArray& start, const QByteArray& rule) {
        return calendar("BEGIN:VEVENT\nUID:s\nDTSTART:" + start + "\nSUMMARY:Serie\nRRULE:" + rule +
                        "\nEND:VEVENT\n");
    };
    QTest::newRow("COUNT past 2037")
            << series("20360107T080000", "FREQ=WEEKLY;COUNT=1000") << 104 << QStringList()
            << QStringList{u"„Serie“ (07.01.2036): 896 Wiederholungen nach 2037 weggelassen"_s};
    QTest::newRow("UNTIL past 2037")
            << series("20371207T080000", "FREQ=WEEKLY;UNTIL=20380201T000000Z") << 4 << QStringList()
            << QStringList{u"„Serie“ (07.12.2037): 4 Wiederholungen nach 2037 weggelassen"_s};
    QTest::newRow("UNTIL 9999")
            << series("20300501T080000", "FREQ=WEEKLY;UNTIL=99991231T000000Z") << 401
            << QStringList()
            << QStringList{u"„Serie“ (01.05.2030): mehr als 1000 Wiederholungen nach 2037 "
                           u"weggelassen"_s};
    QTest::newRow("both ends")
            << series("19680301", "FREQ=YEARLY;UNTIL=20390101") << 68 << QStringList()
            << QStringList{u"„Serie“ (01.03.1968): 2 Wiederholungen vor 1970 und 1 nach 2037 "
                           u"weggelassen"_s};
    QTest::newRow("open rule: nothing to count")
            << series("20360107T080000", "FREQ=YEARLY") << 2 << QStringList() << QStringList();
    QTest::newRow("unreadable RRULE")
            << calendar("BEGIN:VEVENT\nUID:k\nDTSTART:20270104T080000\nSUMMARY:Kurs\n"
                        "RRULE:FREQ=DAILY\\;COUNT=10\nEND:VEVENT\nBEGIN:VEVENT\nUID:k\n"
                        "RECURRENCE-ID:20270105T080000\nDTSTART:20270105T090000\nSUMMARY:Kurs\n"
                        "END:VEVENT\n")
            << 0 << QStringList{u"„Kurs“ (04.01.2027): unlesbare Wiederholungsangabe (RRULE)"_s}
            << QStringList();
    const QByteArray older = "BEGIN:VEVENT\nUID:u\nSEQUENCE:1\nDTSTAMP:20270301T100000Z\n"
                             "DTSTART:20270401T080000\nSUMMARY:Alt\nEND:VEVENT\n";
    const QByteArray newer = "BEGIN:VEVENT\nUID:u\nSEQUENCE:2\nDTSTAMP:20270201T100000Z\n"
                             "DTSTART:20270402T080000\nSUMMARY:Neu\nEND:VEVENT\n";
    const QStringList replaced{u"„Neu“ (02.04.2027): ersetzt „Alt“ (01.04.2027), eine ältere "
                               u"Fassung mit derselben UID"_s};
    QTest::newRow("one UID: higher SEQUENCE first")
            << calendar(newer + older) << 1 << QStringList() << replaced;
    QTest::newRow("one UID: higher SEQUENCE last")
            << calendar(older + newer) << 1 << QStringList() << replaced;
    QTest::newRow("one UID: later DTSTAMP") << calendar(QByteArray(newer)
                                                                .replace("SEQUENCE:2", "SEQUENCE:1")
                                                                .replace("20270201T", "20270401T") +
                                                        older)
                                            << 1 << QStringList() << replaced;
    QTest::newRow("lines after END:VCALENDAR")
            << calendar(older) + "\r\nBEGIN:VEVENT\r\nSUMMARY:halb\r\n"
            << 1 << QStringList()
            << QStringList{u"2 Zeilen nach dem Ende des Kalenders (END:VCALENDAR) nicht gelesen"_s};
}

void TestICalendar::reportsWhatIsLeftOut()
{
    QFETCH(QByteArray, file);
    TestDirectory dir;
    auto db = createBootstrappedDatabase(dir.filePath(u"data.zr"_s));
    const ImportReport report = storeCalendar(*db, readCalendar(file, 2027), 5);
    QCOMPARE(report.error, QString());
    QTEST(report.events, "events");
    QTEST(report.problems, "problems");
    QTEST(report.notes, "notes");
}

void TestICalendar::eightBitLinesAreNoted_data()
{
    QTest::addColumn<bool>("isCalendar");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("notes");

    const QByteArray event = "BEGIN:VEVENT\nUID:e\nDTSTART:20270601T080000\nSUMMARY:%1\n"
                             "LOCATION:%2\nEND:VEVENT\n";
    const auto calendarWith = [&](const QByteArray& summary, const QByteArray& location) {
        return calendar(QByteArray(event).replace("%1", summary).replace("%2", location));
    };
    QTest::newRow("calendar, one line")
            << true
            << calendarWith("Gr\xc3\xbc\xc3\x9f"
                            "e",
                            "K\xf6ln")
            << u"Grüße"_s
            << QStringList{u"Zeile 8 ist kein gültiges UTF-8; als Windows-1252 gelesen"_s};
    QTest::newRow("calendar, two lines")
            << true
            << calendarWith("Gr\xfc\xdf"
                            "e",
                            "K\xf6ln")
            << u"Grüße"_s
            << QStringList{u"2 Zeilen sind kein gültiges UTF-8 (die erste ist Zeile 7); als "
                           u"Windows-1252 gelesen"_s};
    QTest::newRow("calendar, UTF-8") << true
                                     << calendarWith("Gr\xc3\xbc\xc3\x9f"
                                                     "e",
                                                     "K\xc3\xb6ln")
                                     << u"Grüße"_s << QStringList();
    QTest::newRow("vCard")
            << false
            << QByteArray(
                       "BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\xfcller;Hans;;;\r\nFN:Hans M\xfcller\r\n"
                       "GENDER:M\r\nEND:VCARD\r\n")
            << u"Müller"_s
            << QStringList{u"2 Zeilen sind kein gültiges UTF-8 (die erste ist Zeile 3); als "
                           u"Windows-1252 gelesen"_s};
}

void TestICalendar::eightBitLinesAreNoted()
{
    QFETCH(bool, isCalendar);
    QFETCH(QByteArray, file);
    TestDirectory dir;
    auto db = createBootstrappedDatabase(dir.filePath(u"data.zr"_s));
    const ImportReport report = isCalendar ? storeCalendar(*db, readCalendar(file, 2027), 5)
                                           : storeAddresses(*db, readAddressFile(file), {});
    QCOMPARE(report.error, QString());
    QCOMPARE(report.events + report.addresses, 1);
    QTEST(report.notes, "notes");
    QFETCH(QString, text);
    QCOMPARE(queryNumber(*db, u"SELECT (SELECT COUNT(*) FROM termine WHERE desc = '%1') + (SELECT "
                              u"COUNT(*) FROM adressbuch WHERE nname = '%1')"_s.arg(text)),
             1);
}

void TestICalendar::readsForeignEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray file = calendar("BEGIN:VEVENT\nUID:e1\nDTSTART:20070601T080000\n"
                                     "SUMMARY:Grüße\nEND:VEVENT\n");
    const QString text = QString::fromUtf8(file);
    auto utf16 = [&text](QSysInfo::Endian order) {
        QByteArray bytes =
                order == QSysInfo::LittleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (const QChar c : text) {
            const char hi = char(c.unicode() >> 8);
            const char lo = char(c.unicode() & 0xFF);
            bytes.append(order == QSysInfo::LittleEndian ? lo : hi);
            bytes.append(order == QSysInfo::LittleEndian ? hi : lo);
        }
        return bytes;
    };
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF" + file);
    QTest::newRow("Windows-1252") << text.toLatin1();
    QTest::newRow("UTF-16LE") << utf16(QSysInfo::LittleEndian);
    QTest::newRow("UTF-16BE") << utf16(QSysInfo::BigEndian);
}

void TestICalendar::readsForeignEncodings()
{
    QFETCH(QByteArray, bytes);
    const CalendarImportPlan plan = readCalendar(bytes, 2007);
    QCOMPARE(plan.error, QString());
    QCOMPARE(planRows(plan), QStringList{u"01.06.2007 08:00:01|01.06.2007 08:00:01|Grüße|0|0|-"_s});
}

void TestICalendar::badFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray event = "BEGIN:VEVENT\r\nUID:x\r\nDTSTART:20070601T080000\r\n"
                             "SUMMARY:X\r\nEND:VEVENT\r\n";
    QTest::newRow("not iCalendar") << QByteArray("Name;Vorname\r\nMeier;Hans\r\n");
    QTest::newRow("truncated") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + event);
    QTest::newRow("too large") << calendar(event + QByteArray(33 * 1024 * 1024, ' ') + "\r\n");
    QTest::newRow("binary") << QByteArray("BEGIN:VCALENDAR\r\n\0\0\0END:VCALENDAR\r\n", 35);
}

void TestICalendar::badFilesChangeNothing()
{
    QFETCH(QByteArray, bytes);
    TestDirectory dir;
    auto db = createBootstrappedDatabase(dir.filePath(u"data.zr"_s));
    insertTestAppointment(*db, {makeDate(2007, 1, 1, 9, 0, 1), makeDate(2007, 1, 1, 10, 0, 1)});
    const QStringList before = queryRows(*db, kRowsQuery);

    const CalendarImportPlan plan = readCalendar(bytes, 2007);
    QVERIFY(!plan.error.isEmpty());
    const ImportReport report = storeCalendar(*db, plan, 5);
    QVERIFY(report.failed);
    QCOMPARE(report.error, plan.error);
    QCOMPARE(queryRows(*db, kRowsQuery), before);
}

void TestICalendar::refusedWriteLeavesNothing()
{
    TestDirectory dir;
    auto db = createBootstrappedDatabase(dir.filePath(u"data.zr"_s));
    QVERIFY(db->execSql(u"CREATE TRIGGER refuse BEFORE INSERT ON termine WHEN NEW.desc='C' "
                        "BEGIN SELECT RAISE(ABORT, 'voll'); END"_s));
    const CalendarImportPlan plan =
            readCalendar(calendar("BEGIN:VTODO\nUID:t\nSUMMARY:T\nEND:VTODO\n"
                                  "BEGIN:VEVENT\nUID:a\nDTSTART:20070601T080000\nSUMMARY:A\n"
                                  "RRULE:FREQ=DAILY;COUNT=3\nEND:VEVENT\nBEGIN:VEVENT\nUID:c\n"
                                  "DTSTART:20070701T080000\nSUMMARY:C\nEND:VEVENT\n"),
                         2007);
    QCOMPARE(plan.appointments.size(), 4);
    const ImportReport report = storeCalendar(*db, plan, 5);
    QVERIFY(report.failed);
    QVERIFY(report.error.contains(u"voll"_s));
    QCOMPARE(queryNumber(*db, u"SELECT COUNT(*) FROM termine"_s), 0);
    QCOMPARE(queryNumber(*db, u"SELECT COUNT(*) FROM todo"_s), 0);
}

void TestICalendar::roundTripRestoresTheRows()
{
    TestDirectory dir;
    auto db = createBootstrappedDatabase(dir.filePath(u"data.zr"_s));
    ScriptedPrompter prompter;
    auto series = [&](SeriesKind kind, DateValue start, DateValue end, int group, int n,
                      DateValue from, DateValue to) {
        return createSeries(*db, prompter, kind,
                            {start, end, group, u"Serie `%1` äö"_s.arg(n), 2, 1}, n, from, to);
    };
    const qint64 yearly = series(SeriesKind::Yearly, makeDate(2007, 3, 5, 12, 0, 1),
                                 makeDate(2007, 3, 5, 14, 0, 1), 20, 1, makeDate(2007, 1, 1),
                                 makeDate(2012, 12, 31));
    const qint64 monthly = series(SeriesKind::Monthly, makeDate(2008, 1, 15, 9, 0, 1),
                                  makeDate(2008, 1, 15, 10, 0, 1), 6, 2, makeDate(2008, 1, 1),
                                  makeDate(2008, 12, 31));
    const qint64 weekly = series(SeriesKind::Weekly, makeDate(2007, 6, 4, 0, 0, 1),
                                 makeDate(2007, 6, 4, 23, 59, 1), 3, 3, makeDate(2007, 6, 1),
                                 makeDate(2007, 8, 31));
    const qint64 everyThree = series(SeriesKind::EveryNDays, makeDate(2007, 9, 1, 18, 30, 1),
                                     makeDate(2007, 9, 1, 19, 0, 1), 4, 3, makeDate(2007, 9, 1),
                                     makeDate(2007, 9, 30));
    QVERIFY(yearly && monthly && weekly && everyThree);
    // The monthly series moved by 16 days as a whole: members on the 31st and the 1st.
    QVERIFY(db->execSql(u"UPDATE termine SET date=date+1382400, enddate=enddate+1382400 WHERE "
                        "belong=%1"_s.arg(monthly)));
    // One member lasts longer, one of each series is deleted, one is changed alone.
    QVERIFY(db->execSql(u"UPDATE termine SET enddate=enddate+3600 WHERE id=%1"_s.arg(monthly + 4)));
    for (qint64 key : {yearly, monthly, weekly, everyThree}) {
        QVERIFY(db->execSql(u"DELETE FROM termine WHERE id=%1"_s.arg(key + 2)));
        QVERIFY(db->execSql(u"UPDATE termine SET date=date+3600, desc='allein', belong=0, "
                            "redo='' WHERE id=%1"_s.arg(key + 3)));
    }
    const QList<TestAppointment> singles{
            {makeDate(2007, 5, 1, 12, 0, 1), makeDate(2007, 5, 1, 13, 0, 1), 5, u"Peter`s Feier"_s,
             1, 3},
            {makeDate(2007, 5, 2, 12, 0, 1), makeDate(2007, 5, 2, 12, 0, 1), 6, u"Übergabe äöüß"_s,
             2, 2},
            {makeDate(2007, 5, 3, 8, 15, 1), makeDate(2007, 5, 3, 9, 0, 1), 7, u"Party 🎉"_s, 3, 1},
            {makeDate(2007, 5, 4, 8, 0, 1), makeDate(2007, 5, 4, 9, 0, 1), 5, u"Start"_s, 4, 0},
            {makeDate(2007, 5, 5, 0, 0, 1), makeDate(2007, 5, 5, 23, 59, 1), 3, u"Ganztags"_s},
            {makeDate(2007, 7, 9, 0, 0, 1), makeDate(2007, 7, 20, 23, 59, 1), 3, u"Reise"_s},
            {makeDate(2007, 7, 21, 0, 0, 0), makeDate(2007, 7, 21, 23, 59, 59), 4, u"Voll"_s},
            {makeDate(2007, 3, 25, 2, 30, 0), makeDate(2007, 3, 25, 3, 10, 7), 1,
             u"Zeitumstellung"_s},
    };
    for (const TestAppointment& a : singles)
        QVERIFY(insertTestAppointment(*db, a) > 0);
    QVERIFY(db->execSql(u"INSERT INTO todo (desc, enddate, remsg, checked, nextmsg) VALUES "
                        "('Milch`s', 1183300200, 0, 0, 0), ('Ohne Termin', -1, 0, 0, 0), "
                        "('Erledigt', -1, 0, 1, 0)"_s));

    QBuffer first;
    first.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY(exportCalendar(*db, first, error));
    QBuffer second;
    second.open(QIODevice::WriteOnly);
    QVERIFY(exportCalendar(*db, second, error));
    const QRegularExpression uid(u"^UID:.*$"_s, QRegularExpression::MultilineOption);
    auto uids = [&](const QByteArray& bytes) {
        QStringList found;
        for (auto it = uid.globalMatch(QString::fromUtf8(bytes)); it.hasNext();)
            found << it.next().captured();
        return found;
    };
    QCOMPARE(uids(first.data()), uids(second.data()));
    QVERIFY(first.data().contains("DTSTART;TZID=Europe/Berlin:20070501T120000\r\n"));
    QVERIFY(first.data().contains("SUMMARY:Peter's Feier\r\n"));

    TestDirectory otherDir;
    auto other = createBootstrappedDatabase(otherDir.filePath(u"data.zr"_s));
    const CalendarImportPlan plan = readCalendar(first.data(), 2007);
    QCOMPARE(plan.problems, QStringList());
    const ImportReport report = storeCalendar(*other, plan, 1);
    QVERIFY(!report.failed);
    QCOMPARE(report.events, queryNumber(*db, u"SELECT COUNT(*) FROM termine"_s));
    QCOMPARE(report.todos, 2);
    QCOMPARE(queryRows(*other, kRowsQuery), queryRows(*db, kRowsQuery));
    QCOMPARE(seriesPartition(*other), seriesPartition(*db));
    QCOMPARE(queryNumber(*other, u"SELECT COUNT(*) FROM termine t WHERE belong != 0 AND belong != "
                                 "(SELECT id FROM termine u WHERE u.belong = t.belong ORDER BY "
                                 "date LIMIT 1)"_s),
             0);
    const QString todos = u"SELECT desc, enddate FROM todo WHERE checked=0 ORDER BY desc"_s;
    QCOMPARE(queryRows(*other, todos), queryRows(*db, todos));

    const ImportReport again = storeCalendar(*other, plan, 1);
    QCOMPARE(again.events + again.todos, 0);
    QCOMPARE(again.duplicates, report.events + report.todos);
}

QTEST_GUILESS_MAIN(TestICalendar)
#include "tst_icalendar.moc"
