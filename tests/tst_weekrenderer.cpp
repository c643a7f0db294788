#include "common/imagepack.h"
#include "common/preferences.h"
#include "store/database.h"
#include "views/overviewcanvas.h"
#include "views/overviewdisplay.h"
#include "views/weekrenderer.h"

#include "support/pictures.h"
#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr QSize kPage(645, 500);
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kOrange = 0xFFFF8800;
// Rows 6 and 19 of a day row (one in each lane) have the strip factor 160: at the default bar
// colour 0.5 that is 80.
constexpr int kUpperRow = 6;
constexpr int kLowerRow = 19;
constexpr QRgb kBackground = 0xFF505050;

// The top of day row 1 (Monday) to 7: 60 px apart from y 20.
int rowTop(int day)
{
    return 20 + 60 * (day - 1);
}

// Column c of the time line lies at x 10 + c.
int at(int column)
{
    return 10 + column;
}

// Every test runs at the ratio of an ordinary screen and at that of a HiDPI one.
qreal ratio()
{
    QFETCH_GLOBAL(qreal, ratio);
    return ratio;
}

} // namespace

class TestWeekRenderer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void weekLabel_data();
    void weekLabel();
    void lanesAlternateInQueryOrder();
    void bars_data();
    void bars();
    void holidayTintsUpperLane();
    void birthdayRingAroundTitle_data();
    void birthdayRingAroundTitle();
    void pastAndPresent_data();
    void pastAndPresent();
    void emptyDisplaySlotsDrawNothingAndSayNothing();
    void failedQueryStopsTheDrawing();
    void hoverFrame_data();
    void hoverFrame();

private:
    void addAppointment(DateValue start, DateValue end, int group);
    QImage render(DateValue weekStart, DateValue now);
    // '-' background, '.' tinted, 'M' opaque bar end of the group; one character per time-line
    // column from firstColumn, at image row y.
    QString pattern(const QImage& image, int group, int y, int imageRowInBar, int firstColumn,
                    int count) const;

    std::optional<ImagePack> m_images;
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    Preferences m_prefs;
};

void TestWeekRenderer::initTestCase_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("2x") << 2.0;
}

void TestWeekRenderer::initTestCase()
{
    m_images = ImagePack::load(builtImagePackPath());
    QVERIFY(m_images);
}

void TestWeekRenderer::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_prefs = Preferences();
    m_prompter.clear();
}

void TestWeekRenderer::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestWeekRenderer::addAppointment(DateValue start, DateValue end, int group)
{
    QVERIFY(insertTestAppointment(*m_db, {.start = start, .end = end, .group = group}) > 0);
}

QImage TestWeekRenderer::render(DateValue weekStart, DateValue now)
{
    WeekRenderer renderer(*m_db, m_prompter, *m_images);
    return logicalPixels(renderer.render(kPage, weekStart, now, m_prefs, ratio()), ratio());
}

QString TestWeekRenderer::pattern(const QImage& image, int group, int y, int imageRowInBar,
                                  int firstColumn, int count) const
{
    const QImage& tint = m_images->overview(group - 1);
    const QRgb mark =
            reinterpret_cast<const QRgb*>(tint.constScanLine(imageRowInBar))[0] | 0xFF000000;
    QString out;
    for (int c = firstColumn; c < firstColumn + count; ++c) {
        const QRgb pixel = image.pixel(at(c), y);
        out += pixel == kBackground ? u'-' : pixel == mark ? u'M' : u'.';
    }
    return out;
}

void TestWeekRenderer::weekLabel_data()
{
    QTest::addColumn<DateValue>("weekStart");
    QTest::addColumn<int>("shownYear");
    QTest::addColumn<QString>("expected");
    QTest::newRow("turn of 2008/09")
            << makeDate(2008, 12, 29, 9, 30, 0) << 2008 << u"29.12-04.01 08/09"_s;
    QTest::newRow("one month") << makeDate(2008, 9, 1) << 2008 << u"01.-07. Sep 2008"_s;
    QTest::newRow("two months") << makeDate(2009, 3, 30) << 2009 << u"30.03-05.04 2009"_s;
    QTest::newRow("ends on 31 December")
            << makeDate(2006, 12, 25) << 2006 << u"25.-31. Dez 06/07"_s;
    QTest::newRow("starts on 31 December")
            << makeDate(2007, 12, 31) << 2007 << u"31.12-06.01 07/08"_s;
    QTest::newRow("turn of the century")
            << makeDate(1999, 12, 27) << 1999 << u"27.12-02.01 99/00"_s;
}

void TestWeekRenderer::weekLabel()
{
    QFETCH(DateValue, weekStart);
    QFETCH(int, shownYear);
    QFETCH(QString, expected);
    QCOMPARE(weekLabelText(weekStart, shownYear), expected);
}

void TestWeekRenderer::lanesAlternateInQueryOrder()
{
    // Inserted out of order: the lanes follow the start times, not the ids.
    addAppointment(makeDate(2009, 3, 9, 14, 0, 1), makeDate(2009, 3, 9, 18, 0, 1), 4);
    addAppointment(makeDate(2009, 3, 9, 8, 0, 1), makeDate(2009, 3, 9, 9, 0, 1), 6);
    addAppointment(makeDate(2009, 3, 9, 10, 0, 1), makeDate(2009, 3, 9, 11, 0, 1), 7);
    const QImage image = render(makeDate(2009, 3, 9), makeDate(2008, 1, 1));
    const int y = rowTop(1);
    // 08:00 is column 624 * 480 / 1440 = 208, 10:00 is 260, 14:00 is 364 (legend hidden).
    const int first = at(220);
    const int second = at(270);
    const int third = at(400);
    QVERIFY(image.pixel(first, y + kUpperRow) != kBackground);
    QCOMPARE(image.pixel(first, y + kLowerRow), kBackground);
    QCOMPARE(image.pixel(second, y + kUpperRow), kBackground);
    QVERIFY(image.pixel(second, y + kLowerRow) != kBackground);
    QVERIFY(image.pixel(third, y + kUpperRow) != kBackground);
    QCOMPARE(image.pixel(third, y + kLowerRow), kBackground);
    // The black line between the lanes.
    QCOMPARE(image.pixel(at(100), y + 12), qRgb(0, 0, 0));
}

void TestWeekRenderer::bars_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<DateValue>("start");
    QTest::addColumn<DateValue>("end");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<QString>("expected");

    // 12:00 is column 624 * 720 / 1440 = 312. One minute is less than a column: the bar gets
    // 10 columns, its ends at 312 and 321.
    QTest::newRow("one minute gets 10 columns")
            << false << makeDate(2009, 3, 10, 12, 0, 1) << makeDate(2009, 3, 10, 12, 1, 1) << 311
            << u"-M........M-"_s;
    // 08:00 is 208; one hour is 624 / 24 = 26 columns: ends at 208 and 208 + 26 - 2 = 232.
    QTest::newRow("one hour") << false << makeDate(2009, 3, 10, 8, 0, 1)
                              << makeDate(2009, 3, 10, 9, 0, 1) << 207
                              << u"-M"_s + QString(23, u'.') + u"M-"_s;
    // With the legend the time line is 545 long: 12:00 is column 272.
    QTest::newRow("legend: one minute")
            << true << makeDate(2009, 3, 10, 12, 0, 1) << makeDate(2009, 3, 10, 12, 1, 1) << 271
            << u"-M........M-"_s;
    // From the previous day to 02:30: 624 * 150 / 1440 = 65 columns from the left edge, the
    // end mark at 64.
    QTest::newRow("ends in the day") << false << makeDate(2009, 3, 9, 22, 0, 1)
                                     << makeDate(2009, 3, 10, 2, 30, 1) << 61 << u"...M-"_s;
}

void TestWeekRenderer::bars()
{
    QFETCH(bool, legend);
    QFETCH(DateValue, start);
    QFETCH(DateValue, end);
    QFETCH(int, firstColumn);
    QFETCH(QString, expected);
    m_prefs.legende = legend ? 1 : 0;
    addAppointment(start, end, 3);
    const QImage image = render(makeDate(2009, 3, 9), makeDate(2008, 1, 1));
    // Tuesday, upper lane.
    QCOMPARE(pattern(image, 3, rowTop(2) + kUpperRow, kUpperRow, firstColumn,
                     static_cast<int>(expected.size())),
             expected);
}

void TestWeekRenderer::holidayTintsUpperLane()
{
    // Easter Monday 2009 was 13 April.
    const QImage image = render(makeDate(2009, 4, 13), makeDate(2008, 1, 1));
    QVERIFY(image.pixel(at(100), rowTop(1) + kUpperRow) != kBackground);
    QCOMPARE(image.pixel(at(100), rowTop(1) + kLowerRow), kBackground);
    QCOMPARE(image.pixel(at(100), rowTop(2) + kUpperRow), kBackground);
}

void TestWeekRenderer::birthdayRingAroundTitle_data()
{
    QTest::addColumn<bool>("birthdaysShown");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("ring");
    QTest::newRow("on the birthday") << true << 3 << true;
    QTest::newRow("another day") << true << 2 << false;
    QTest::newRow("group Geburtstag not shown") << false << 3 << false;
}

void TestWeekRenderer::birthdayRingAroundTitle()
{
    QFETCH(bool, birthdaysShown);
    QFETCH(int, day);
    QFETCH(bool, ring);
    QVERIFY(m_db->execSql(
            u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, 1980, 'A B', 0)"_s
                    .arg(birthdayKey(3, 11))));
    if (!birthdaysShown)
        m_prefs.showedterms[19] = -1;
    const QImage image = render(makeDate(2009, 3, 9), makeDate(2008, 1, 1));
    // Centred at (110, top - 8) with radius 95 or 96: the left end passes column x 15 or 14.
    bool red = false;
    for (int y = rowTop(day) - 12; y < rowTop(day) - 4; ++y)
        red = red || image.pixel(15, y) == kRed || image.pixel(14, y) == kRed;
    QCOMPARE(red, ring);
}

void TestWeekRenderer::pastAndPresent_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<int>("nowColumn");
    QTest::addColumn<int>("length");
    // Wednesday 15:30: now-x = (L - 1) * 930 / 1440.
    QTest::newRow("legend hidden") << false << 402 << 624;
    QTest::newRow("legend shown") << true << 351 << 545;
}

void TestWeekRenderer::pastAndPresent()
{
    QFETCH(bool, legend);
    QFETCH(int, nowColumn);
    QFETCH(int, length);
    m_prefs.legende = legend ? 1 : 0;
    const QImage image = render(makeDate(2009, 3, 9), makeDate(2009, 3, 11, 15, 30, 0));

    // Monday and Tuesday are over: greyed over the whole line.
    for (int day = 1; day <= 2; ++day) {
        QVERIFY(image.pixel(at(100), rowTop(day) + kUpperRow) != kBackground);
        QVERIFY(image.pixel(at(length - 2), rowTop(day) + kLowerRow) != kBackground);
    }
    // Thursday is still to come.
    QCOMPARE(image.pixel(at(100), rowTop(4) + kUpperRow), kBackground);

    // Wednesday: greyed up to the present, red frames around the line, the orange mark at
    // column now-x - 1 reaching 4 px above and below the row.
    const int y = rowTop(3);
    QVERIFY(image.pixel(at(nowColumn - 10), y + kUpperRow) != kBackground);
    QCOMPARE(image.pixel(at(nowColumn + 10), y + kUpperRow), kBackground);
    QCOMPARE(image.pixel(at(0), y + 10), kRed);
    QCOMPARE(image.pixel(at(length - 1), y + 10), kRed);
    QCOMPARE(image.pixel(at(-1), y + 10), kRed);
    QCOMPARE(image.pixel(at(length), y + 10), kRed);
    QCOMPARE(image.pixel(at(length + 1), y + 10), kWhite);
    QCOMPARE(image.pixel(at(nowColumn - 1), y - 4), kOrange);
    QCOMPARE(image.pixel(at(nowColumn), y + 29), kOrange);
    QVERIFY(image.pixel(at(nowColumn + 1), y - 4) != kOrange);
}

void TestWeekRenderer::emptyDisplaySlotsDrawNothingAndSayNothing()
{
    addAppointment(makeDate(2009, 4, 14, 8, 0, 1), makeDate(2009, 4, 14, 20, 0, 1), 3);
    QVERIFY(m_db->execSql(
            u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, 1980, 'A B', 0)"_s
                    .arg(birthdayKey(4, 15))));
    m_prefs.showedterms.fill(-1);
    const QImage image = render(makeDate(2009, 4, 13), makeDate(2008, 1, 1));
    QCOMPARE(image.pixel(at(100), rowTop(1) + kUpperRow), kBackground); // Easter Monday
    QCOMPARE(image.pixel(at(400), rowTop(2) + kUpperRow), kBackground);
    for (int y = rowTop(3) - 12; y < rowTop(3) - 4; ++y)
        QVERIFY(image.pixel(15, y) != kRed);
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestWeekRenderer::failedQueryStopsTheDrawing()
{
    QVERIFY(m_db->execSql(u"DROP TABLE termine"_s));
    const QImage image = render(makeDate(2009, 3, 9), makeDate(2008, 1, 1));
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls().first().title, u"Datenbankfehler"_s);
    // Monday got its line before the appointments were asked for; nothing follows.
    QCOMPARE(image.pixel(at(100), rowTop(1) + kUpperRow), kBackground);
    QCOMPARE(image.pixel(at(100), rowTop(2) + kUpperRow), kWhite);
}

void TestWeekRenderer::hoverFrame_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<int>("length");
    QTest::newRow("legend hidden") << false << 624;
    QTest::newRow("legend shown") << true << 545;
}

void TestWeekRenderer::hoverFrame()
{
    QFETCH(bool, legend);
    QFETCH(int, length);
    const QImage finished = OverviewCanvas::blank(kPage, ratio());
    // Wednesday: top 60 * 3 - 40 = 140.
    const QImage display =
            logicalPixels(OverviewDisplay::weekRowFrame(finished, 3, legend), ratio());
    const QRgb inner = qRgb(0x99, 0x99, 0xFF);
    const QRgb outer = qRgb(0x33, 0x33, 0xFF);
    QCOMPARE(display.pixel(9, 150), inner);
    QCOMPARE(display.pixel(10 + length, 150), inner);
    QCOMPARE(display.pixel(300, 139), inner);
    QCOMPARE(display.pixel(300, 166), inner);
    QCOMPARE(display.pixel(8, 150), outer);
    QCOMPARE(display.pixel(11 + length, 150), outer);
    QCOMPARE(display.pixel(300, 167), outer);
    QCOMPARE(display.pixel(12 + length, 150), kWhite);
    QCOMPARE(display.pixel(300, 150), kWhite);
}

QTEST_MAIN(TestWeekRenderer)
#include "tst_weekrenderer.moc"
