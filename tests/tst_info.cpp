#include "infowindow.h"

#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

class TestInfo : public QObject
{
    Q_OBJECT
private slots:
    void versionFromArguments_data();
    void versionFromArguments();
    void creditsLines();
    void walk_data();
    void walk();
    void stepsOnlyWhenDue();
    void logoLetsTheColourThrough();
};

void TestInfo::versionFromArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("version");
    QTest::newRow("as sent") << QStringList{u"info.zr"_s, u"0.68_Beta"_s} << u"0.68 Beta"_s;
    QTest::newRow("several") << QStringList{u"info.zr"_s, u"_a__b_"_s} << u" a  b "_s;
    QTest::newRow("only the first") << QStringList{u"info.zr"_s, u"1_2"_s, u"3_4"_s} << u"1 2"_s;
    QTest::newRow("quoted blanks stay")
            << QStringList{u"info.zr"_s, u"0.68 Beta_x"_s} << u"0.68 Beta x"_s;
    QTest::newRow("none") << QStringList{u"info.zr"_s} << QString();
}

void TestInfo::versionFromArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, version);
    QCOMPARE(InfoWindow::versionFromArguments(arguments), version);
}

void TestInfo::creditsLines()
{
    const QStringList lines = InfoWindow::creditsText(u"0.68 Beta"_s).split(u'\n');
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines.at(0), QString());
#if defined(Q_OS_LINUX) && defined(Q_PROCESSOR_X86_64)
    QCOMPARE(lines.at(1), u"Ruvo  Version 0.68 Beta (Linux-x86_64)"_s);
#endif
    QVERIFY(lines.at(3).startsWith(u"Idee von "_s));
    QVERIFY(lines.at(4).startsWith(u"Programmiert von "_s));
    QCOMPARE(lines.at(6), u"Vielen Dank an:"_s);
    QCOMPARE(lines.at(7), u"..das deutsche Schulsystem, für die 3 Monate Ferien ;)"_s);
    QVERIFY(lines.at(8).startsWith(u".."_s));
    QCOMPARE(lines.at(9), u"..alle, die sonst noch Ideen einbrachten"_s);
    QCOMPARE(lines.at(10), u"..und alle Betatester"_s);
    for (const int empty : {2, 5, 11})
        QCOMPARE(lines.at(empty), QString());
    QVERIFY(!lines.at(12).isEmpty());
}

void TestInfo::walk_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("start") << 0 << QColor(0, 0, 255);
    QTest::newRow("first") << 1 << QColor(0, 10, 245);
    QTest::newRow("before the turn") << 25 << QColor(0, 250, 5);
    QTest::newRow("green") << 26 << QColor(0, 255, 0);
    QTest::newRow("leaving green") << 27 << QColor(10, 245, 0);
    QTest::newRow("red") << 52 << QColor(255, 0, 0);
    QTest::newRow("leaving red") << 53 << QColor(245, 0, 10);
    QTest::newRow("blue") << 78 << QColor(0, 0, 255);
    QTest::newRow("second cycle") << 79 << QColor(0, 10, 245);
}

void TestInfo::walk()
{
    QFETCH(int, steps);
    QFETCH(QColor, colour);
    ColourWalk walk;
    for (int i = 0; i < steps; ++i)
        walk.step();
    QCOMPARE(walk.colour(), colour);
}

void TestInfo::stepsOnlyWhenDue()
{
    ColourWalk walk;
    // The first pass steps at once, however early it comes.
    QVERIFY(walk.tick(0));
    QCOMPARE(walk.colour(), QColor(0, 10, 245));
    QVERIFY(!walk.tick(100));
    QVERIFY(!walk.tick(150)); // exactly the interval is not more than it
    QVERIFY(walk.tick(151));
    QCOMPARE(walk.colour(), QColor(0, 20, 235));
    QVERIFY(!walk.tick(250));
    QVERIFY(walk.tick(400));
}

void TestInfo::logoLetsTheColourThrough()
{
    InfoWindow window(u"0.68 Beta"_s);
    const QImage& banner = window.banner();
    QCOMPARE(banner.size(), QSize(350, 170));
    // The corners lie outside the logo; its middle is not all background.
    QCOMPARE(QColor(banner.pixel(0, 0)), QColor(0, 0, 255));
    QCOMPARE(QColor(banner.pixel(349, 169)), QColor(0, 0, 255));
    int covered = 0;
    for (int y = 0; y < 170; y += 2) {
        for (int x = 0; x < 350; x += 2)
            covered += QColor(banner.pixel(x, y)) != QColor(0, 0, 255);
    }
    QVERIFY2(covered > 500, qPrintable(QString::number(covered)));

    for (int i = 0; i < 26; ++i)
        window.advance(i * 200);
    QCOMPARE(window.backgroundColour(), QColor(0, 255, 0));
    QCOMPARE(QColor(window.banner().pixel(0, 0)), QColor(0, 255, 0));
    const QLabel* picture = window.findChild<QLabel*>(u"banner"_s);
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().toImage().pixelColor(0, 0), QColor(0, 255, 0));
}

QTEST_MAIN(TestInfo)
#include "tst_info.moc"
