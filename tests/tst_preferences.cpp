#include "common/preferences.h"

#include "support/testdatabase.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    void defaultsWithoutFile();
    void fileHasEveryKeyInOrder();
    void roundTrip();
    void collapsedColumnWidthIsWrittenAsFour();
    void badValuesReadAsDefaults_data();
    void badValuesReadAsDefaults();
    void keysMatchWithoutRegardToCaseAndBlanks();
    void titlesKeepUmlautsInEitherEncoding();
    void writeReplacesTheFile();
};

void TestPreferences::defaultsWithoutFile()
{
    const Preferences p = Preferences::read(u"/nonexistent/prefs.ini"_s);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(p.showedterms[std::size_t(i)], i + 1);
    QCOMPARE(p.r, 0.5f);
    QCOMPARE(p.g, 0.5f);
    QCOMPARE(p.b, 0.5f);
    QCOMPARE(p.addressColumnTitles.front(), u"Nachname"_s);
    QCOMPARE(p.addressColumnTitles.back(), u"Notiz"_s);
    QCOMPARE(p.addressColumnWidths.front(), 80);
    QCOMPARE(p.appointmentColumnTitles[6], u"Benachrichtigung"_s);
    QCOMPARE(p.appointmentColumnWidths[3], 90);
    QCOMPARE(p.notizbackcolor, 0);
    QCOMPARE(p.notizfrontcolor, 170);
    QCOMPARE(p.update + p.autostart + p.splash, 3);
    QCOMPARE(p.allgmsgtime, 2);
    QCOMPARE(p.allgremsg, 2);
    QCOMPARE(p.gebmsgtime, 2);
    QCOMPARE(p.gebremsg, 0);
    QCOMPARE(p.curryear, 2007);
}

void TestPreferences::fileHasEveryKeyInOrder()
{
    const QByteArray bytes = Preferences().serialize();
    QVERIFY(bytes.endsWith("\r\n"));
    QList<QByteArray> lines = bytes.split('\n');
    QVERIFY(lines.takeLast().isEmpty());
    QStringList keys;
    for (const QByteArray& line : lines) {
        QVERIFY(line.endsWith('\r'));
        QVERIFY(line.contains(" = "));
        keys << QString::fromLatin1(line.left(line.indexOf(" = ")));
    }
    QStringList expected{u"curryear"_s};
    for (int i = 0; i < 20; ++i)
        expected << u"showedterms%1"_s.arg(i);
    expected << u"allgmsgtime"_s << u"allgremsg"_s << u"gebmsgtime"_s << u"gebremsg"_s
             << u"legende"_s << u"r"_s << u"g"_s << u"b"_s << u"sortaddress"_s
             << u"notizbackcolor"_s << u"notizfrontcolor"_s << u"asciiimage"_s << u"update"_s
             << u"autostart"_s << u"splash"_s << u"sortaddressdir"_s;
    for (int i = 0; i < 17; ++i)
        expected << u"listiconheadname%1"_s.arg(i) << u"listiconheadwidth%1"_s.arg(i);
    expected << u"sortterms"_s << u"sorttermsdir"_s;
    for (int i = 0; i < 7; ++i)
        expected << u"listicontermsheadname%1"_s.arg(i) << u"listicontermsheadwidth%1"_s.arg(i);
    QCOMPARE(keys, expected);
    QVERIFY(bytes.contains("\r\nr = 0.500000\r\n"));
    QVERIFY(bytes.contains("\r\nlisticonheadname4 = Stra\xdf"
                           "e/HausNr\r\n"));
}

void TestPreferences::roundTrip()
{
    Preferences p;
    p.curryear = 2012;
    p.showedterms.fill(-1);
    p.showedterms[0] = 5;
    p.allgmsgtime = 4;
    p.allgremsg = 0;
    p.gebmsgtime = 1;
    p.gebremsg = 3;
    p.legende = 1;
    p.r = 0.1f;
    p.g = 1.0f;
    p.b = 0.37f;
    p.sortaddress = 7;
    p.sortaddressdir = 1;
    p.notizbackcolor = 0xFFFFFF;
    p.notizfrontcolor = 0x123456;
    p.asciiimage = 99;
    p.update = 0;
    p.autostart = 0;
    p.splash = 0;
    std::swap(p.addressColumnTitles[0], p.addressColumnTitles[16]);
    p.addressColumnWidths[5] = 250;
    p.sortterms = 3;
    p.sorttermsdir = 1;
    std::swap(p.appointmentColumnTitles[3], p.appointmentColumnTitles[0]);
    p.appointmentColumnWidths[6] = 4;

    const Preferences q = Preferences::parse(p.serialize());
    QCOMPARE(q.serialize(), p.serialize());
    QCOMPARE(q.showedterms[0], 5);
    QCOMPARE(q.showedterms[1], -1);
    QCOMPARE(q.addressColumnTitles[0], u"Notiz"_s);
    QCOMPARE(q.appointmentColumnTitles[0], u"Anfang"_s);
    QVERIFY(qAbs(q.b - 0.37f) < 1e-6f);
}

void TestPreferences::collapsedColumnWidthIsWrittenAsFour()
{
    Preferences p;
    p.addressColumnWidths[2] = 0;
    p.appointmentColumnWidths[1] = 0;
    const QByteArray bytes = p.serialize();
    QVERIFY(bytes.contains("\r\nlisticonheadwidth2 = 4\r\n"));
    QVERIFY(bytes.contains("\r\nlisticontermsheadwidth1 = 4\r\n"));
    QCOMPARE(Preferences::parse(bytes).addressColumnWidths[2], 4);
}

void TestPreferences::badValuesReadAsDefaults_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("junk lines") << QByteArray("\x01\x02garbage\r\n= 5\r\n====\r\n\r\nlegende\r\n");
    QTest::newRow("missing values") << QByteArray("curryear =\r\nr = \r\nshowedterms3 =\r\n");
    QTest::newRow("huge numbers") << QByteArray(
            "curryear = 99999999999999999999\r\nlisticonheadwidth0 = 9999999999\r\n"
            "r = 1e300\r\nshowedterms3 = 300\r\n");
    QTest::newRow("out of range codes")
            << QByteArray("allgmsgtime = 9\r\nallgremsg = -1\r\nsortterms = 4\r\nlegende = 2\r\n");
    QTest::newRow("not numbers") << QByteArray("curryear = zwei\r\ng = blau\r\nsplash = ja\r\n");
    QTest::newRow("binary noise") << QByteArray("\xff\xfe\x00\x00\x80\x81 = \x90", 10);
}

void TestPreferences::badValuesReadAsDefaults()
{
    QFETCH(QByteArray, file);
    QCOMPARE(Preferences::parse(file).serialize(), Preferences().serialize());
}

void TestPreferences::keysMatchWithoutRegardToCaseAndBlanks()
{
    const Preferences p = Preferences::parse("CurrYear = 2010\r\n  LEGENDE\t=\t1  \r\nR=0.25\n");
    QCOMPARE(p.curryear, 2010);
    QCOMPARE(p.legende, 1);
    QCOMPARE(p.r, 0.25f);
}

void TestPreferences::titlesKeepUmlautsInEitherEncoding()
{
    QCOMPARE(Preferences::parse("listiconheadname0 = Stra\xdf"
                                "e\r\n")
                     .addressColumnTitles[0],
             u"Straße"_s);
    QCOMPARE(Preferences::parse("listiconheadname0 = Stra\xc3\x9f"
                                "e\r\n")
                     .addressColumnTitles[0],
             u"Straße"_s);
    Preferences p;
    p.addressColumnTitles[0] = u"Name ✓"_s;
    QCOMPARE(Preferences::parse(p.serialize()).addressColumnTitles[0], u"Name ✓"_s);
}

void TestPreferences::writeReplacesTheFile()
{
    TestDirectory dir;
    const QString path = dir.filePath(u"prefs.ini"_s);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'x'));
    old.close();
    Preferences p;
    p.legende = 1;
    QVERIFY(p.write(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), p.serialize());
    QCOMPARE(Preferences::read(path).legende, 1);
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
