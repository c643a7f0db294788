#include "common/clock.h"
#include "common/imagepack.h"
#include "common/preferences.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "views/barstrips.h"
#include "views/overviewcanvas.h"
#include "views/overviewdisplay.h"
#include "views/yearrenderer.h"

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
// Row 11 of a day cell lies below the cell's texts; its strip factor is 57, so the default bar
// colour 0.5 paints it round(28.5) = 29.
constexpr int kRow = 11;
constexpr QRgb kCellBackground = 0xFF1D1D1D;
constexpr int kUrlaub = 3;

// The year picture's cell of a day, legend hidden: months start at x 40 and lie 47 px apart, days
// start at y 30 and lie 15 px apart.
QPoint cell(int month, int day, bool legend = false)
{
    return {(legend ? 1 : 40) + 47 * (month - 1), 30 + 15 * (day - 1)};
}

// Every test runs at the ratio of an ordinary screen and at that of a HiDPI one.
qreal ratio()
{
    QFETCH_GLOBAL(qreal, ratio);
    return ratio;
}

} // namespace

class TestYearRenderer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void barStrips_data();
    void barStrips();
    void textColors_data();
    void textColors();
    void appointmentBars_data();
    void appointmentBars();
    void legendMovesMonths_data();
    void legendMovesMonths();
    void holidays_data();
    void holidays();
    void birthdayRings_data();
    void birthdayRings();
    void pastDays_data();
    void pastDays();
    void todayMarks_data();
    void todayMarks();
    void emptyDisplaySlotsDrawNothingAndSayNothing();
    void failedQueryIsReportedOnce();
    void failingPictureShowsOneMessage_data();
    void failingPictureShowsOneMessage();
    void hoverFrame_data();
    void hoverFrame();
    void updatingNotice();
    void redrawSeesEveryChange();
    void finerScreenGetsFinerPicture();

private:
    void addAppointment(DateValue start, DateValue end, int group = kUrlaub);
    QImage render(int year, DateValue now);
    // '-' cell background, '.' tinted, 'M' opaque bar end of Urlaub, 'W' white; one character
    // per column from firstColumn of the cell, at row kRow.
    QString pattern(const QImage& image, QPoint cellOrigin, int firstColumn, int count) const;

    std::optional<ImagePack> m_images;
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    Preferences m_prefs;
};

void TestYearRenderer::initTestCase_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("2x") << 2.0;
}

void TestYearRenderer::initTestCase()
{
    m_images = ImagePack::load(builtImagePackPath());
    QVERIFY(m_images);
}

void TestYearRenderer::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_prefs = Preferences();
    m_prompter.clear();
}

void TestYearRenderer::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestYearRenderer::addAppointment(DateValue start, DateValue end, int group)
{
    QVERIFY(insertTestAppointment(*m_db, {.start = start, .end = end, .group = group}) > 0);
}

QImage TestYearRenderer::render(int year, DateValue now)
{
    YearRenderer renderer(*m_db, m_prompter, *m_images);
    return logicalPixels(renderer.render(kPage, year, now, m_prefs, ratio()), ratio());
}

void TestYearRenderer::redrawSeesEveryChange()
{
    // One renderer keeps what it read while nothing changed; any change must show at once.
    const YearRenderer renderer(*m_db, m_prompter, *m_images);
    const DateValue now = makeDate(2008, 6, 15, 12, 0, 0);
    const auto draw = [&] {
        return logicalPixels(renderer.render(kPage, 2009, now, m_prefs, ratio()), ratio());
    };
    const QString none = u"------"_s;
    QCOMPARE(pattern(draw(), cell(3, 10), 10, 6), none);

    addAppointment(makeDate(2009, 3, 10, 6, 0, 1), makeDate(2009, 3, 10, 12, 0, 1));
    const QString bar = pattern(draw(), cell(3, 10), 10, 6);
    QVERIFY2(bar != none, qPrintable(bar));

    // A change written by another connection counts as well.
    auto other = Database::open(m_dir->filePath(u"data.zr"_s));
    QVERIFY(other->execSql(u"DELETE FROM termine"_s));
    QCOMPARE(pattern(draw(), cell(3, 10), 10, 6), none);

    // So does the choice of groups.
    addAppointment(makeDate(2009, 3, 10, 6, 0, 1), makeDate(2009, 3, 10, 12, 0, 1));
    QCOMPARE(pattern(draw(), cell(3, 10), 10, 6), bar);
    m_prefs.showedterms.fill(-1);
    QCOMPARE(pattern(draw(), cell(3, 10), 10, 6), none);
}

QString TestYearRenderer::pattern(const QImage& image, QPoint cellOrigin, int firstColumn,
                                  int count) const
{
    const QImage& tint = m_images->overview(kUrlaub - 1);
    const QRgb mark = reinterpret_cast<const QRgb*>(tint.constScanLine(kRow))[0] | 0xFF000000;
    QString out;
    for (int c = firstColumn; c < firstColumn + count; ++c) {
        const QRgb pixel = image.pixel(cellOrigin.x() + c, cellOrigin.y() + kRow);
        out += pixel == kCellBackground ? u'-'
               : pixel == mark          ? u'M'
               : pixel == kWhite        ? u'W'
                                        : u'.';
    }
    return out;
}

void TestYearRenderer::barStrips_data()
{
    QTest::addColumn<bool>("week");
    QTest::addColumn<float>("r");
    QTest::addColumn<float>("g");
    QTest::addColumn<float>("b");
    QTest::addColumn<int>("row");
    QTest::addColumn<QRgb>("expected");

    QTest::newRow("year, brightest row at 1.0 is white")
            << false << 1.0f << 1.0f << 1.0f << 6 << qRgb(255, 255, 255);
    QTest::newRow("year, brightest row at 0.1")
            << false << 0.1f << 0.1f << 0.1f << 6 << qRgb(26, 26, 26);
    QTest::newRow("year, top row at 0.5 rounds 28.5 up")
            << false << 0.5f << 0.5f << 0.5f << 0 << qRgb(29, 29, 29);
    QTest::newRow("year, mixed colour") << false << 1.0f << 0.5f << 0.1f << 2 << qRgb(216, 108, 22);
    QTest::newRow("year, bottom row") << false << 1.0f << 1.0f << 1.0f << 12 << qRgb(56, 56, 56);
    QTest::newRow("week, top row black") << true << 1.0f << 1.0f << 1.0f << 0 << qRgb(0, 0, 0);
    QTest::newRow("week, bottom row black") << true << 1.0f << 1.0f << 1.0f << 25 << qRgb(0, 0, 0);
    QTest::newRow("week, second row") << true << 1.0f << 1.0f << 1.0f << 1 << qRgb(56, 56, 56);
    QTest::newRow("week, brightest rows white")
            << true << 1.0f << 1.0f << 1.0f << 12 << qRgb(255, 255, 255);
    QTest::newRow("week, row 16 at 0.5")
            << true << 0.5f << 0.5f << 0.5f << 16 << qRgb(120, 120, 120);
}

void TestYearRenderer::barStrips()
{
    QFETCH(bool, week);
    QFETCH(float, r);
    QFETCH(float, g);
    QFETCH(float, b);
    QFETCH(int, row);
    QFETCH(QRgb, expected);
    const QImage strip = week ? weekBarStrip(r, g, b) : yearBarStrip(r, g, b);
    QCOMPARE(strip.size(), week ? QSize(1, 26) : QSize(1, 13));
    QCOMPARE(strip.pixel(0, row), expected);
}

void TestYearRenderer::textColors_data()
{
    QTest::addColumn<float>("r");
    QTest::addColumn<float>("g");
    QTest::addColumn<float>("b");
    QTest::addColumn<QRgb>("name");
    QTest::addColumn<QRgb>("sunday");
    QTest::addColumn<QRgb>("number");

    QTest::newRow("bright bars") << 0.6f << 0.6f << 0.6f << qRgb(0, 0, 0) << qRgb(255, 0, 0)
                                 << qRgb(0x33, 0x33, 0x33);
    // Base colour (50, 50, 5): blue counts in tenths.
    QTest::newRow("dark bars") << 0.5f << 0.5f << 0.5f << qRgb(205, 205, 250) << qRgb(50, 205, 250)
                               << qRgb(241, 241, 198);
    // One component below 0.6 is enough; base (100, 59, 10).
    QTest::newRow("one dark component") << 1.0f << 0.59f << 1.0f << qRgb(155, 196, 245)
                                        << qRgb(100, 196, 245) << qRgb(167, 248, 201);
}

void TestYearRenderer::textColors()
{
    QFETCH(float, r);
    QFETCH(float, g);
    QFETCH(float, b);
    QFETCH(QRgb, name);
    QFETCH(QRgb, sunday);
    QFETCH(QRgb, number);
    const BarTextColors colors = barTextColors(r, g, b);
    QCOMPARE(colors.name, name);
    QCOMPARE(colors.sunday, sunday);
    QCOMPARE(colors.number, number);
}

void TestYearRenderer::appointmentBars_data()
{
    QTest::addColumn<DateValue>("start");
    QTest::addColumn<DateValue>("end");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<QString>("expected");

    // 12:00 is column 42 * 720 / 1440 = 21; ten minutes are less than a column, so the bar
    // takes its minimum: ends at 21 and 27, five tinted columns between.
    QTest::newRow("ten minutes get the minimum bar")
            << makeDate(2009, 3, 10, 12, 0, 1) << makeDate(2009, 3, 10, 12, 10, 1) << 10 << 20
            << u"-M.....M-"_s;
    QTest::newRow("a point in time gets the minimum bar")
            << makeDate(2009, 3, 10, 6, 0, 1) << makeDate(2009, 3, 10, 6, 0, 1) << 10 << 9
            << u"-M.....M-"_s;
    // 22:00 is column 38; the bar is cut at the right edge and its end mark sits in column 42,
    // just outside the 42-pixel cell.
    QTest::newRow("22:00 to 02:00, first day reaches the right edge")
            << makeDate(2009, 3, 11, 22, 0, 1) << makeDate(2009, 3, 12, 2, 0, 1) << 11 << 37
            << u"-M...MW"_s;
    QTest::newRow("22:00 to 02:00, second day starts at the left edge")
            << makeDate(2009, 3, 11, 22, 0, 1) << makeDate(2009, 3, 12, 2, 0, 1) << 12 << 0
            << u"M.....M-"_s;
    QTest::newRow("a long appointment is cut at the right edge")
            << makeDate(2009, 3, 10, 20, 0, 1) << makeDate(2009, 3, 15, 8, 0, 1) << 10 << 34
            << u"-M......MW"_s;
    QTest::newRow("a day in the middle is covered whole, without marks")
            << makeDate(2009, 3, 9, 18, 0, 1) << makeDate(2009, 3, 11, 20, 0, 1) << 10 << 0
            << QString(42, u'.') + u'W';
    QTest::newRow("starting at exactly midnight is still drawn")
            << makeDate(2009, 3, 10, 0, 0, 0) << makeDate(2009, 3, 10, 2, 0, 0) << 10 << 0
            << u"M.....M-"_s;
    QTest::newRow("ending at exactly midnight leaves the next day empty")
            << makeDate(2009, 3, 9, 20, 0, 0) << makeDate(2009, 3, 10, 0, 0, 0) << 10 << 0
            << QString(42, u'-');
}

void TestYearRenderer::appointmentBars()
{
    QFETCH(DateValue, start);
    QFETCH(DateValue, end);
    QFETCH(int, day);
    QFETCH(int, firstColumn);
    QFETCH(QString, expected);
    addAppointment(start, end);
    // A year ahead of the shown one: nothing is past and there is no today.
    const QImage image = render(2009, makeDate(2008, 6, 15, 12, 0, 0));
    QCOMPARE(pattern(image, cell(3, day), firstColumn, static_cast<int>(expected.size())),
             expected);
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestYearRenderer::legendMovesMonths_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRgb>("expected");

    const QRgb bg = kCellBackground;
    // Row 11 of 2 January (1 January is a holiday and tinted).
    const int y = 30 + 15 + kRow;
    QTest::newRow("hidden: left of January") << false << QPoint(39, y) << kWhite;
    QTest::newRow("hidden: January starts at 40") << false << QPoint(40, y) << bg;
    QTest::newRow("hidden: January ends at 81") << false << QPoint(81, y) << bg;
    QTest::newRow("hidden: gap before February") << false << QPoint(82, y) << kWhite;
    QTest::newRow("hidden: February starts at 87") << false << QPoint(87, y) << bg;
    QTest::newRow("hidden: nothing at the right edge") << false << QPoint(600, 495) << kWhite;
    QTest::newRow("shown: left edge white") << true << QPoint(0, y) << kWhite;
    QTest::newRow("shown: January starts at 1") << true << QPoint(1, y) << bg;
    QTest::newRow("shown: January ends at 42") << true << QPoint(42, y) << bg;
    QTest::newRow("shown: gap before February") << true << QPoint(43, y) << kWhite;
    QTest::newRow("shown: legend border") << true << QPoint(562, 300) << qRgb(0, 0, 0);
    QTest::newRow("shown: legend ground") << true << QPoint(600, 495) << qRgb(0xDD, 0xDD, 0xDD);
}

void TestYearRenderer::legendMovesMonths()
{
    QFETCH(bool, legend);
    QFETCH(QPoint, point);
    QFETCH(QRgb, expected);
    m_prefs.legende = legend ? 1 : 0;
    const QImage image = render(2009, makeDate(2008, 6, 15, 12, 0, 0));
    QCOMPARE(image.size(), kPage);
    QCOMPARE(image.pixel(point), expected);
}

void TestYearRenderer::holidays_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("announced");
    QTest::addColumn<bool>("holidaysShown");
    QTest::addColumn<bool>("tinted");
    QTest::newRow("Tag der Arbeit") << 1 << false << true << true;
    QTest::newRow("an ordinary day") << 4 << false << true << false;
    QTest::newRow("already announced by a reminder") << 1 << true << true << true;
    QTest::newRow("group Feiertag not shown") << 1 << false << false << false;
}

void TestYearRenderer::holidays()
{
    QFETCH(int, day);
    QFETCH(bool, announced);
    QFETCH(bool, holidaysShown);
    QFETCH(bool, tinted);
    if (announced) {
        QVERIFY(m_db->execSql(
                u"UPDATE feiertage SET date=date+1 WHERE date=%1"_s.arg(holidayKey(2009, 5, 1))));
    }
    if (!holidaysShown)
        m_prefs.showedterms[1] = -1; // Feiertag is group 2
    const QImage image = render(2009, makeDate(2008, 6, 15, 12, 0, 0));
    const QRgb pixel = image.pixel(cell(5, day) + QPoint(20, kRow));
    QCOMPARE(pixel != kCellBackground, tinted);
}

void TestYearRenderer::birthdayRings_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("birthdaysShown");
    QTest::addColumn<bool>("ring");
    QTest::newRow("on the birthday") << 3 << 10 << 2009 << true << true;
    QTest::newRow("in another year too") << 3 << 10 << 1999 << true << true;
    QTest::newRow("the day after") << 3 << 11 << 2009 << true << false;
    QTest::newRow("group Geburtstag not shown") << 3 << 10 << 2009 << false << false;
    QTest::newRow("29 February in a leap year") << 2 << 29 << 2008 << true << true;
}

void TestYearRenderer::birthdayRings()
{
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, year);
    QFETCH(bool, birthdaysShown);
    QFETCH(bool, ring);
    for (const auto& [m, d] : {std::pair{3, 10}, std::pair{2, 29}}) {
        QVERIFY(m_db->execSql(
                u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, 1980, 'A B', 0)"_s
                        .arg(birthdayKey(m, d))));
    }
    if (!birthdaysShown)
        m_prefs.showedterms[19] = -1; // Geburtstag is group 20
    const QImage image = render(year, makeDate(1800, 6, 15, 12, 0, 0));
    // The outer ring reaches 24 px left of the cell's centre column x + 21, into the white gap
    // between the months.
    const QPoint origin = cell(month, day);
    bool red = false;
    for (int y = origin.y(); y < origin.y() + 13; ++y)
        red = red || image.pixel(origin.x() - 3, y) == kRed;
    QCOMPARE(red, ring);
}

void TestYearRenderer::pastDays_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("greyed");
    QTest::newRow("yesterday") << 2009 << 3 << 10 << true;
    QTest::newRow("an earlier month") << 2009 << 2 << 28 << true;
    QTest::newRow("tomorrow") << 2009 << 3 << 12 << false;
    QTest::newRow("later this year") << 2009 << 12 << 31 << false;
    QTest::newRow("last year, last day") << 2008 << 12 << 31 << true;
    QTest::newRow("next year, first Monday") << 2010 << 1 << 4 << false;
}

void TestYearRenderer::pastDays()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(bool, greyed);
    const QImage image = render(year, makeDate(2009, 3, 11, 15, 30, 0));
    QCOMPARE(image.pixel(cell(month, day) + QPoint(20, kRow)) != kCellBackground, greyed);
}

void TestYearRenderer::todayMarks_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("orangeColumn");
    // The orange mark stands at 41 * minute of the day / 1440, at least at column 1.
    QTest::newRow("15:30") << 15 << 30 << 26;
    QTest::newRow("midnight") << 0 << 0 << 1;
    QTest::newRow("23:59") << 23 << 59 << 40;
}

void TestYearRenderer::todayMarks()
{
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, orangeColumn);
    const QImage image = render(2009, makeDate(2009, 3, 11, hour, minute, 0));
    const QPoint c = cell(3, 11);
    const int x = c.x();
    const int y = c.y();
    // Inner red frame on the cell's edge, outer one a pixel around it; the orange mark goes
    // over them.
    const QRgb rightEdge = orangeColumn + 1 == 41 ? kOrange : kRed;
    QCOMPARE(image.pixel(x, y + 6), kRed);
    QCOMPARE(image.pixel(x + 41, y + 6), rightEdge);
    QCOMPARE(image.pixel(x + 30, y + 12), kRed);
    QCOMPARE(image.pixel(x - 1, y + 6), kRed);
    QCOMPARE(image.pixel(x + 42, y + 6), kRed);
    QCOMPARE(image.pixel(x + 30, y - 1), kRed);
    // The orange mark is two columns wide and reaches 3 px above and below the cell, into the
    // white gaps between the days.
    QCOMPARE(image.pixel(x + orangeColumn, y - 2), kOrange);
    QCOMPARE(image.pixel(x + orangeColumn + 1, y + 14), kOrange);
    QCOMPARE(image.pixel(x + orangeColumn + 2, y - 2), kWhite);
    QCOMPARE(image.pixel(x + orangeColumn - 1, y - 2), kWhite);
    // Time gone today is tinted up to the mark; the rest of the day keeps its background.
    if (orangeColumn > 2)
        QVERIFY(image.pixel(x + orangeColumn - 1, y + kRow) != kCellBackground);
    if (orangeColumn < 38)
        QCOMPARE(image.pixel(x + orangeColumn + 4, y + kRow), kCellBackground);
}

void TestYearRenderer::emptyDisplaySlotsDrawNothingAndSayNothing()
{
    addAppointment(makeDate(2009, 3, 10, 12, 0, 1), makeDate(2009, 3, 10, 15, 0, 1));
    QVERIFY(m_db->execSql(
            u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, 1980, 'A B', 0)"_s
                    .arg(birthdayKey(3, 10))));
    m_prefs.showedterms.fill(-1);
    const QImage image = render(2009, makeDate(2008, 6, 15, 12, 0, 0));
    QCOMPARE(pattern(image, cell(3, 10), 0, 43), QString(42, u'-') + u'W');
    QCOMPARE(image.pixel(cell(5, 1) + QPoint(20, kRow)), kCellBackground);
    for (int y = 165; y < 178; ++y)
        QCOMPARE(image.pixel(cell(3, 10).x() - 3, y), kWhite);
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestYearRenderer::failedQueryIsReportedOnce()
{
    QVERIFY(m_db->execSql(u"DROP TABLE feiertage"_s));
    const QImage image = render(2009, makeDate(2008, 6, 15, 12, 0, 0));
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls().first().title, u"Datenbankfehler"_s);
    QVERIFY(m_prompter.calls().first().text.contains(u"feiertage"_s));
    // Each month stops where the first day's holiday lookup failed.
    QCOMPARE(image.pixel(cell(1, 1) + QPoint(20, kRow)), kCellBackground);
    QCOMPARE(image.pixel(cell(1, 2) + QPoint(20, kRow)), kWhite);
    QCOMPARE(image.pixel(cell(12, 1) + QPoint(20, kRow)), kCellBackground);
}

void TestYearRenderer::failingPictureShowsOneMessage_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("text");
    QTest::newRow("groups gone") << u"DROP TABLE grups"_s << u"no such table: grups"_s;
    QTest::newRow("appointments gone") << u"DROP TABLE termine"_s << u"no such table: termine"_s;
}

void TestYearRenderer::failingPictureShowsOneMessage()
{
    QFETCH(QString, damage);
    QFETCH(QString, text);
    m_prefs.legende = 1;
    QVERIFY(m_db->execSql(damage));
    render(2009, makeDate(2008, 6, 15, 12, 0, 0));
    QCOMPARE(m_prompter.transcript(), QStringList{u"Datenbankfehler / "_s + text});
}

void TestYearRenderer::hoverFrame_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<int>("left");
    // 10 March: left 47 * 3 - 7 = 134 (legend hidden) or 47 * 3 - 46 = 95, top 15 * 10 + 15.
    QTest::newRow("legend hidden") << false << 134;
    QTest::newRow("legend shown") << true << 95;
}

void TestYearRenderer::hoverFrame()
{
    QFETCH(bool, legend);
    QFETCH(int, left);
    const int top = 165;
    const QImage finished = OverviewCanvas::blank(kPage, ratio());
    const QImage display =
            logicalPixels(OverviewDisplay::yearCellFrame(finished, 3, 10, legend), ratio());
    const QRgb inner = qRgb(0x99, 0x99, 0xFF);
    const QRgb outer = qRgb(0x33, 0x33, 0xFF);
    QCOMPARE(display.pixel(left - 1, top + 6), inner);
    QCOMPARE(display.pixel(left + 42, top + 6), inner);
    QCOMPARE(display.pixel(left + 20, top - 1), inner);
    QCOMPARE(display.pixel(left + 20, top + 13), inner);
    QCOMPARE(display.pixel(left - 2, top + 6), outer);
    QCOMPARE(display.pixel(left + 43, top + 6), outer);
    QCOMPARE(display.pixel(left + 20, top + 14), outer);
    QCOMPARE(display.pixel(left, top + 6), kWhite);
    QCOMPARE(display.pixel(left + 44, top + 6), kWhite);
    QCOMPARE(finished.pixel(left - 1, top + 6), kWhite);
}

void TestYearRenderer::updatingNotice()
{
    const QImage finished = OverviewCanvas::blank(kPage, ratio());
    const QImage display = logicalPixels(OverviewDisplay::updatingNotice(finished), ratio());
    QCOMPARE(display.size(), kPage);
    // The text starts at (645 / 2 - 70, 500 / 2 - 10) = (252, 240).
    int dark = 0;
    for (int y = 240; y < 262; ++y) {
        for (int x = 252; x < 420; ++x)
            dark += qGray(display.pixel(x, y)) < 128 ? 1 : 0;
        QCOMPARE(display.pixel(250, y), kWhite);
    }
    QVERIFY(dark > 100);
    for (int x = 0; x < kPage.width(); ++x)
        QCOMPARE(display.pixel(x, 238), kWhite);
    QCOMPARE(finished.pixel(260, 250), kWhite);
}

void TestYearRenderer::finerScreenGetsFinerPicture()
{
    const YearRenderer renderer(*m_db, m_prompter, *m_images);
    // Today 11 March at 15:30: the orange mark, two logical pixels wide, stands at column 26.
    const QImage image =
            renderer.render(kPage, 2009, makeDate(2009, 3, 11, 15, 30, 0), m_prefs, ratio());
    const int r = static_cast<int>(ratio());
    QCOMPARE(image.size(), kPage * r);
    const QPoint mark = cell(3, 11) + QPoint(26, -2);
    int orange = 0;
    for (int x = (mark.x() - 5) * r; x < (mark.x() + 5) * r; ++x)
        orange += image.pixel(x, mark.y() * r) == kOrange ? 1 : 0;
    QCOMPARE(orange, 2 * r);
    // The month titles are drawn with the finer pixels, not blown up: some square of r x r
    // device pixels inside a letter is not of one colour.
    int mixed = 0;
    for (int y = 5 * r; y < 20 * r; y += r) {
        for (int x = 40 * r; x < 80 * r; x += r)
            mixed += image.pixel(x, y) != image.pixel(x + r - 1, y + r - 1) ? 1 : 0;
    }
    QCOMPARE(mixed > 0, r > 1);
}

QTEST_MAIN(TestYearRenderer)
#include "tst_yearrenderer.moc"
