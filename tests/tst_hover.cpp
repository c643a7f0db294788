#include "common/imagepack.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "views/hovergeometry.h"
#include "views/hoverpreview.h"
#include "views/hoverpreviewwindow.h"

#include "support/pictures.h"
#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;
using HoverGeometry::WeekPosition;
using HoverGeometry::YearCell;

Q_DECLARE_METATYPE(std::optional<YearCell>)
Q_DECLARE_METATYPE(std::optional<WeekPosition>)

namespace {

std::array<int, 20> allGroups()
{
    std::array<int, 20> groups{};
    for (int i = 0; i < 20; ++i)
        groups[static_cast<std::size_t>(i)] = i + 1;
    return groups;
}

QStringList firstLines(const QList<PreviewEntry>& entries, DateValue dayStart, bool week)
{
    QStringList out;
    for (const PreviewEntry& e : entries)
        out << (week ? HoverPreview::momentLines(e, dayStart) : HoverPreview::dayLines(e, dayStart))
                        .first;
    return out;
}

} // namespace

class TestHover : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void yearCell_data();
    void yearCell();
    void everyDrawnPixelSelectsItsCell_data();
    void everyDrawnPixelSelectsItsCell();
    void weekPosition_data();
    void weekPosition();
    void weekMoment_data();
    void weekMoment();
    void previewPosition_data();
    void previewPosition();

    void dayLines_data();
    void dayLines();
    void momentLines_data();
    void momentLines();
    void secondLinesAreCut();
    void birthdayAgeCountsInTheHoveredYear_data();
    void birthdayAgeCountsInTheHoveredYear();
    void headers();

    void dayListsEveryGroupAndTheMarksOfTheDay();
    void momentListsOnlyShownGroups();
    void pointAppointmentStaysListedForTwentyMinutes_data();
    void pointAppointmentStaysListedForTwentyMinutes();
    void noShownGroupStillListsHolidaysAndAsksNothing();
    void atMostElevenEntries();
    void failedQueryTakesTheErrorPath();
    void pictureHeights_data();
    void pictureHeights();

    void windowShowsPictureBesidePointer();
    void progressNote();

private:
    void addAppointment(DateValue start, DateValue end, int group, const QString& desc);

    std::optional<ImagePack> m_images;
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    QuitState m_quit = QuitState::Running;
};

void TestHover::initTestCase()
{
    m_images = ImagePack::load(builtImagePackPath());
    QVERIFY(m_images);
}

void TestHover::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_prompter.clear();
    m_quit = QuitState::Running;
}

void TestHover::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestHover::addAppointment(DateValue start, DateValue end, int group, const QString& desc)
{
    QVERIFY(insertTestAppointment(
                    *m_db, {.start = start, .end = end, .group = group, .description = desc}) > 0);
}

void TestHover::yearCell_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("year");
    QTest::addColumn<std::optional<YearCell>>("expected");

    const std::optional<YearCell> none;
    // Legend hidden: the 1 January cell is drawn at x 40 to 81 and y 30 to 42; the gap up to the
    // next column (x 86) and row (y 44) belongs to it too.
    QTest::newRow("hidden: top-left pixel of 1 January")
            << false << QPoint(40, 30) << 2009 << std::optional(YearCell{1, 1});
    QTest::newRow("hidden: x 39 is left of January") << false << QPoint(39, 30) << 2009 << none;
    QTest::newRow("hidden: y 29 is above day 1") << false << QPoint(40, 29) << 2009 << none;
    QTest::newRow("hidden: bottom-right pixel of 1 January")
            << false << QPoint(81, 42) << 2009 << std::optional(YearCell{1, 1});
    QTest::newRow("hidden: gap after 1 January")
            << false << QPoint(86, 44) << 2009 << std::optional(YearCell{1, 1});
    QTest::newRow("hidden: top-left pixel of 2 February")
            << false << QPoint(87, 45) << 2009 << std::optional(YearCell{2, 2});
    QTest::newRow("hidden: bottom-right pixel of 31 December")
            << false << QPoint(598, 492) << 2009 << std::optional(YearCell{12, 31});
    QTest::newRow("hidden: right of December") << false << QPoint(604, 30) << 2009 << none;
    QTest::newRow("hidden: 29 February 2009") << false << QPoint(90, 451) << 2009 << none;
    QTest::newRow("hidden: 29 February 2008")
            << false << QPoint(90, 451) << 2008 << std::optional(YearCell{2, 29});
    QTest::newRow("hidden: 31 April") << false << QPoint(190, 481) << 2009 << none;
    // Legend shown: January is drawn at x 1 to 42, February from x 48.
    QTest::newRow("shown: x 0 is left of January") << true << QPoint(0, 30) << 2009 << none;
    QTest::newRow("shown: left pixel of 1 January")
            << true << QPoint(1, 30) << 2009 << std::optional(YearCell{1, 1});
    QTest::newRow("shown: x 47 still January")
            << true << QPoint(47, 31) << 2009 << std::optional(YearCell{1, 1});
    QTest::newRow("shown: x 48 is February")
            << true << QPoint(48, 31) << 2009 << std::optional(YearCell{2, 1});
}

void TestHover::everyDrawnPixelSelectsItsCell_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    // Top-left pixels of drawn 42 x 13 cells: columns 47 apart from x 40 (x 1 with the legend),
    // rows 15 apart from y 30.
    QTest::newRow("hidden: 1 January") << false << QPoint(40, 30) << 1 << 1;
    QTest::newRow("hidden: 29 February") << false << QPoint(87, 450) << 2 << 29;
    QTest::newRow("hidden: 15 July") << false << QPoint(322, 240) << 7 << 15;
    QTest::newRow("hidden: 31 December") << false << QPoint(557, 480) << 12 << 31;
    QTest::newRow("shown: 1 January") << true << QPoint(1, 30) << 1 << 1;
    QTest::newRow("shown: 2 February") << true << QPoint(48, 45) << 2 << 2;
    QTest::newRow("shown: 31 December") << true << QPoint(518, 480) << 12 << 31;
}

void TestHover::everyDrawnPixelSelectsItsCell()
{
    QFETCH(bool, legend);
    QFETCH(QPoint, topLeft);
    QFETCH(int, month);
    QFETCH(int, day);
    for (int dy = 0; dy < 13; ++dy) {
        for (int dx = 0; dx < 42; ++dx) {
            const QPoint p = topLeft + QPoint(dx, dy);
            const std::optional<YearCell> cell = HoverGeometry::yearCellAt(p, legend, 2008);
            QVERIFY2(cell && cell->month == month && cell->day == day,
                     qPrintable(u"pixel %1,%2"_s.arg(p.x()).arg(p.y())));
        }
    }
}

void TestHover::yearCell()
{
    QFETCH(bool, legend);
    QFETCH(QPoint, point);
    QFETCH(int, year);
    QFETCH(std::optional<YearCell>, expected);
    const std::optional<YearCell> cell = HoverGeometry::yearCellAt(point, legend, year);
    QCOMPARE(cell.has_value(), expected.has_value());
    if (expected) {
        QCOMPARE(cell->month, expected->month);
        QCOMPARE(cell->day, expected->day);
    }
}

void TestHover::weekPosition_data()
{
    QTest::addColumn<bool>("legend");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<std::optional<WeekPosition>>("expected");

    const std::optional<WeekPosition> none;
    // Legend hidden: L = 624, so 144 ten-minute steps over 624 px; rows are 60 px from y 5.
    QTest::newRow("hidden: start of Monday")
            << false << QPoint(10, 5) << std::optional(WeekPosition{1, 0});
    QTest::newRow("hidden: left of the line") << false << QPoint(9, 5) << none;
    QTest::newRow("hidden: y 4 is above Monday") << false << QPoint(10, 4) << none;
    QTest::newRow("hidden: noon on Tuesday")
            << false << QPoint(322, 65) << std::optional(WeekPosition{2, 720});
    QTest::newRow("hidden: 10:30 on Thursday")
            << false << QPoint(283, 200) << std::optional(WeekPosition{4, 630});
    QTest::newRow("hidden: end of the line is 24:00")
            << false << QPoint(634, 64) << std::optional(WeekPosition{1, 1440});
    QTest::newRow("hidden: beyond 24:00") << false << QPoint(639, 64) << none;
    QTest::newRow("hidden: Sunday")
            << false << QPoint(10, 424) << std::optional(WeekPosition{7, 0});
    QTest::newRow("hidden: below Sunday") << false << QPoint(10, 425) << none;
    // Legend shown: L = 545; x 283 is (273 * 144 / 545) = 72.1 steps.
    QTest::newRow("shown: noon on Thursday")
            << true << QPoint(283, 200) << std::optional(WeekPosition{4, 720});
    QTest::newRow("shown: beyond the line") << true << QPoint(560, 200) << none;
}

void TestHover::weekPosition()
{
    QFETCH(bool, legend);
    QFETCH(QPoint, point);
    QFETCH(std::optional<WeekPosition>, expected);
    const std::optional<WeekPosition> position = HoverGeometry::weekPositionAt(point, legend);
    QCOMPARE(position.has_value(), expected.has_value());
    if (expected) {
        QCOMPARE(position->day, expected->day);
        QCOMPARE(position->minute, expected->minute);
    }
}

void TestHover::weekMoment_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("minute");
    QTest::addColumn<DateValue>("expected");
    QTest::newRow("Wednesday 10:30") << 3 << 630 << makeDate(2009, 3, 11, 10, 30, 1);
    QTest::newRow("Monday midnight") << 1 << 0 << makeDate(2009, 3, 9, 0, 0, 1);
    QTest::newRow("Sunday 24:00 is Monday midnight") << 7 << 1440 << makeDate(2009, 3, 16, 0, 0, 1);
}

void TestHover::weekMoment()
{
    QFETCH(int, day);
    QFETCH(int, minute);
    QFETCH(DateValue, expected);
    // Only the date of the week start counts, not its time.
    QCOMPARE(HoverGeometry::weekPositionMoment(makeDate(2009, 3, 9, 17, 45, 3),
                                               WeekPosition{day, minute}),
             expected);
}

void TestHover::previewPosition_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("room right and below")
            << QPoint(100, 100) << QSize(250, 70) << screen << QPoint(110, 120);
    QTest::newRow("just fits on the right")
            << QPoint(1020, 100) << QSize(250, 70) << screen << QPoint(1030, 120);
    QTest::newRow("right edge: opens to the left")
            << QPoint(1021, 100) << QSize(250, 70) << screen << QPoint(761, 120);
    QTest::newRow("bottom edge: opens above")
            << QPoint(100, 1000) << QSize(250, 70) << screen << QPoint(110, 930);
    QTest::newRow("second screen") << QPoint(3000, 500) << QSize(250, 95)
                                   << QRect(1280, 0, 1920, 1080) << QPoint(2740, 520);
}

void TestHover::previewPosition()
{
    QFETCH(QPoint, pointer);
    QFETCH(QSize, size);
    QFETCH(QRect, workArea);
    QFETCH(QPoint, expected);
    const QPoint position = HoverGeometry::previewPosition(pointer, size, workArea);
    QCOMPARE(position, expected);
    // Never under the pointer.
    QVERIFY(!QRect(position, size).contains(pointer));
}

void TestHover::dayLines_data()
{
    QTest::addColumn<DateValue>("start");
    QTest::addColumn<DateValue>("end");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("black");
    // Hovered day: 10 March 2009.
    QTest::newRow("timed") << makeDate(2009, 3, 10, 12, 0, 1) << makeDate(2009, 3, 10, 14, 30, 1)
                           << u"Von 12:00 Uhr Bis 14:30 Uhr:"_s << false;
    QTest::newRow("all day") << makeDate(2009, 3, 10, 0, 0, 1) << makeDate(2009, 3, 10, 23, 59, 1)
                             << u"Ganztags:"_s << false;
    QTest::newRow("point in time")
            << makeDate(2009, 3, 10, 10, 0, 1) << makeDate(2009, 3, 10, 10, 0, 1)
            << u" (10.03.) um 10:00 Uhr"_s << true;
    QTest::newRow("whole days from today")
            << makeDate(2009, 3, 10, 0, 0, 1) << makeDate(2009, 3, 12, 23, 59, 1)
            << u"Von 10.03. Bis 12.03. :"_s << false;
    QTest::newRow("several days from today, timed")
            << makeDate(2009, 3, 10, 8, 0, 1) << makeDate(2009, 3, 12, 17, 0, 1)
            << u"10.03 (08:00 Uhr) Bis 12.03 (17:00 Uhr):"_s << false;
    QTest::newRow("begun earlier")
            << makeDate(2009, 3, 9, 8, 0, 1) << makeDate(2009, 3, 11, 17, 0, 1)
            << u"Von 09.03 Bis 11.03:"_s << false;
    QTest::newRow("exactly one day long is no multi-day")
            << makeDate(2009, 3, 10, 8, 0, 1) << makeDate(2009, 3, 11, 8, 0, 1)
            << u"Von 08:00 Uhr Bis 08:00 Uhr:"_s << false;
}

void TestHover::dayLines()
{
    QFETCH(DateValue, start);
    QFETCH(DateValue, end);
    QFETCH(QString, expected);
    QFETCH(bool, black);
    PreviewEntry entry;
    entry.start = start;
    entry.end = end;
    const PreviewLines lines = HoverPreview::dayLines(entry, makeDate(2009, 3, 10));
    QCOMPARE(lines.first, expected);
    QCOMPARE(lines.firstInBlack, black);
}

void TestHover::momentLines_data()
{
    QTest::addColumn<DateValue>("start");
    QTest::addColumn<DateValue>("end");
    QTest::addColumn<QString>("expected");
    QTest::newRow("timed") << makeDate(2009, 3, 10, 12, 0, 1) << makeDate(2009, 3, 10, 14, 30, 1)
                           << u"12:00 Uhr Bis 14:30 Uhr:"_s;
    QTest::newRow("all day") << makeDate(2009, 3, 10, 0, 0, 1) << makeDate(2009, 3, 10, 23, 59, 1)
                             << u"Ganztags:"_s;
    QTest::newRow("point in time")
            << makeDate(2009, 3, 10, 10, 0, 1) << makeDate(2009, 3, 10, 10, 0, 1)
            << u" (10.03.) um 10:00 Uhr"_s;
    QTest::newRow("whole days") << makeDate(2009, 3, 9, 0, 0, 1) << makeDate(2009, 3, 12, 23, 59, 1)
                                << u"09.03. Bis 12.03. :"_s;
}

void TestHover::momentLines()
{
    QFETCH(DateValue, start);
    QFETCH(DateValue, end);
    QFETCH(QString, expected);
    PreviewEntry entry;
    entry.start = start;
    entry.end = end;
    QCOMPARE(HoverPreview::momentLines(entry, makeDate(2009, 3, 10)).first, expected);
}

void TestHover::secondLinesAreCut()
{
    PreviewEntry appointment;
    appointment.start = makeDate(2009, 3, 10, 12, 0, 1);
    appointment.end = appointment.start;
    appointment.detail = u"Geschäftliches"_s;
    appointment.text = u"Besprechung mit der Geschäftsleitung über Q3"_s;
    QCOMPARE(HoverPreview::dayLines(appointment, makeDate(2009, 3, 10)).second,
             u"Geschäftlich (Besprechung mit der Geschäftsleitung )"_s);

    PreviewEntry holiday;
    holiday.kind = PreviewEntry::Kind::Holiday;
    holiday.text = u"Fronleichnam"_s;
    holiday.detail = u"BW;BY;HE"_s;
    const PreviewLines lines = HoverPreview::momentLines(holiday, makeDate(2009, 6, 11));
    QCOMPARE(lines.first, u"Fronleichnam"_s);
    QCOMPARE(lines.second, u"(BW;BY;HE)"_s);
}

void TestHover::birthdayAgeCountsInTheHoveredYear_data()
{
    QTest::addColumn<DateValue>("day");
    QTest::addColumn<QString>("expected");
    QTest::newRow("in the year") << makeDate(2009, 3, 10) << u"29. Geburtstag von"_s;
    // A week overview that started in December shows January of the next year.
    QTest::newRow("across the turn of the year") << makeDate(2010, 1, 2) << u"30. Geburtstag von"_s;
}

void TestHover::birthdayAgeCountsInTheHoveredYear()
{
    QFETCH(DateValue, day);
    QFETCH(QString, expected);
    PreviewEntry birthday;
    birthday.kind = PreviewEntry::Kind::Birthday;
    birthday.birthYear = 1980;
    birthday.text = u"Anna Muster"_s;
    const PreviewLines lines = HoverPreview::momentLines(birthday, day);
    QCOMPARE(lines.first, expected);
    QCOMPARE(lines.second, u"Anna Muster"_s);
}

void TestHover::headers()
{
    QCOMPARE(HoverPreview::dayHeader(2009, 3, 5), u"05.03.2009:"_s);
    QCOMPARE(HoverPreview::momentHeader(makeDate(2009, 3, 5, 9, 5, 1)), u"05.03.2009 09:05Uhr:"_s);
}

void TestHover::dayListsEveryGroupAndTheMarksOfTheDay()
{
    // 1 May 2009 is a holiday. The year preview takes no display slots: every group is listed.
    addAppointment(makeDate(2009, 5, 1, 15, 0, 1), makeDate(2009, 5, 1, 16, 0, 1), 7, u"spät"_s);
    addAppointment(makeDate(2009, 5, 1, 9, 0, 1), makeDate(2009, 5, 1, 10, 0, 1), 3, u"früh"_s);
    addAppointment(makeDate(2009, 5, 2, 9, 0, 1), makeDate(2009, 5, 2, 10, 0, 1), 3, u"morgen"_s);
    QVERIFY(m_db->execSql(u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, 1970, "
                          "'Max Muster', 0)"_s.arg(birthdayKey(5, 1))));
    // Already announced by the reminder scan: still the same holiday.
    QVERIFY(m_db->execSql(
            u"UPDATE feiertage SET date=date+1 WHERE date=%1"_s.arg(holidayKey(2009, 5, 1))));

    const QList<PreviewEntry> entries =
            HoverPreview::loadDay(*m_db, m_prompter, m_quit, 2009, 5, 1);
    QCOMPARE(entries.size(), 4);
    QStringList seconds;
    for (const PreviewEntry& e : entries)
        seconds << HoverPreview::dayLines(e, makeDate(2009, 5, 1)).second;
    QCOMPARE(seconds,
             QStringList({u"Urlaub (früh)"_s, u"Arzt (spät)"_s, u"(DE)"_s, u"Max Muster"_s}));
    QCOMPARE(firstLines(entries, makeDate(2009, 5, 1), false),
             QStringList({u"Von 09:00 Uhr Bis 10:00 Uhr:"_s, u"Von 15:00 Uhr Bis 16:00 Uhr:"_s,
                          u"Tag der Arbeit"_s, u"39. Geburtstag von"_s}));
    QCOMPARE(m_prompter.calls().size(), 0);
    QCOMPARE(m_quit, QuitState::Running);
}

void TestHover::momentListsOnlyShownGroups()
{
    addAppointment(makeDate(2009, 3, 10, 9, 0, 1), makeDate(2009, 3, 10, 12, 0, 1), 3, u"a"_s);
    addAppointment(makeDate(2009, 3, 10, 10, 0, 1), makeDate(2009, 3, 10, 11, 0, 1), 7, u"b"_s);
    std::array<int, 20> groups = allGroups();
    groups[6] = -1; // hide Arzt
    const QList<PreviewEntry> entries = HoverPreview::loadMoment(
            *m_db, m_prompter, m_quit, makeDate(2009, 3, 10, 10, 30, 1), groups);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().detail, u"Urlaub"_s);

    const QList<PreviewEntry> all = HoverPreview::loadDay(*m_db, m_prompter, m_quit, 2009, 3, 10);
    QCOMPARE(all.size(), 2);
}

void TestHover::pointAppointmentStaysListedForTwentyMinutes_data()
{
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("count");
    QTest::newRow("09:50") << 590 << 0;
    QTest::newRow("10:00") << 600 << 1;
    QTest::newRow("10:10") << 610 << 1;
    QTest::newRow("10:20") << 620 << 1;
    QTest::newRow("10:30") << 630 << 0;
}

void TestHover::pointAppointmentStaysListedForTwentyMinutes()
{
    QFETCH(int, minute);
    QFETCH(int, count);
    addAppointment(makeDate(2009, 3, 10, 10, 0, 1), makeDate(2009, 3, 10, 10, 0, 1), 3, u"x"_s);
    const DateValue moment =
            HoverGeometry::weekPositionMoment(makeDate(2009, 3, 9), WeekPosition{2, minute});
    const QList<PreviewEntry> entries =
            HoverPreview::loadMoment(*m_db, m_prompter, m_quit, moment, allGroups());
    QCOMPARE(entries.size(), count);
}

void TestHover::noShownGroupStillListsHolidaysAndAsksNothing()
{
    addAppointment(makeDate(2009, 5, 1, 9, 0, 1), makeDate(2009, 5, 1, 12, 0, 1), 3, u"x"_s);
    std::array<int, 20> none;
    none.fill(-1);
    const QList<PreviewEntry> entries = HoverPreview::loadMoment(
            *m_db, m_prompter, m_quit, makeDate(2009, 5, 1, 10, 0, 1), none);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().kind, PreviewEntry::Kind::Holiday);
    QCOMPARE(m_prompter.transcript(), QStringList());
    QCOMPARE(m_quit, QuitState::Running);
}

void TestHover::atMostElevenEntries()
{
    for (int i = 0; i < 13; ++i) {
        addAppointment(makeDate(2009, 5, 1, 8 + i % 12, 0, 1), makeDate(2009, 5, 1, 21, 0, 1), 3,
                       u"Nr %1"_s.arg(i));
    }
    const QList<PreviewEntry> entries =
            HoverPreview::loadDay(*m_db, m_prompter, m_quit, 2009, 5, 1);
    QCOMPARE(entries.size(), 11);
    // The holiday of the day does not fit any more.
    for (const PreviewEntry& e : entries)
        QCOMPARE(e.kind, PreviewEntry::Kind::Appointment);
}

void TestHover::failedQueryTakesTheErrorPath()
{
    addAppointment(makeDate(2009, 3, 10, 9, 0, 1), makeDate(2009, 3, 10, 12, 0, 1), 3, u"a"_s);
    QVERIFY(m_db->execSql(u"DROP TABLE feiertage"_s));
    const QList<PreviewEntry> entries =
            HoverPreview::loadDay(*m_db, m_prompter, m_quit, 2009, 3, 10);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls().first().title, u"Datenbankfehler"_s);
    QCOMPARE(m_quit, QuitState::DatabaseError);
}

void TestHover::pictureHeights_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("height");
    QTest::addColumn<qreal>("ratio");
    // Heights in logical pixels, whatever the screen's pixel ratio.
    for (const qreal ratio : {1.0, 2.0}) {
        const QByteArray at = ratio == 1.0 ? "" : " at 2x";
        QTest::newRow("none: header only" + at) << 0 << 45 << ratio;
        QTest::newRow("one" + at) << 1 << 70 << ratio;
        QTest::newRow("three" + at) << 3 << 120 << ratio;
        QTest::newRow("eleven" + at) << 11 << 320 << ratio;
    }
}

void TestHover::pictureHeights()
{
    QFETCH(int, entries);
    QFETCH(int, height);
    QFETCH(qreal, ratio);
    QList<PreviewLines> lines;
    for (int i = 0; i < entries; ++i)
        lines << PreviewLines{u"Ganztags:"_s, u"Urlaub (x)"_s, false};
    const QImage picture =
            logicalPixels(HoverPreview::picture(u"01.05.2009:"_s, lines, *m_images, ratio), ratio);
    QCOMPARE(picture.size(), QSize(250, height));
    // White left of the background, which starts at x 25.
    QCOMPARE(picture.pixel(20, height - 2), qRgb(255, 255, 255));
    QVERIFY(picture.pixel(30, height / 2 + 3) != qRgb(255, 255, 255));
    // Something is written in the header line.
    int dark = 0;
    for (int y = 1; y < 18; ++y) {
        for (int x = 3; x < 100; ++x)
            dark += qGray(picture.pixel(x, y)) < 128 ? 1 : 0;
    }
    QVERIFY(dark > 20);
}

void TestHover::windowShowsPictureBesidePointer()
{
    HoverPreviewWindow window(*m_images);
    QVERIFY(window.isHidden());
    QCOMPARE(window.size(), QSize(250, 100));
    QCOMPARE(window.windowOpacity(), 240.0 / 255.0);
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));

    window.setPicture(HoverPreview::picture(u"x"_s, {}, *m_images, 2.0));
    QCOMPARE(window.size(), QSize(250, 45));
    window.setPicture(HoverPreview::picture(u"x"_s, {}, *m_images));
    QCOMPARE(window.size(), QSize(250, 45));
    window.showAt(QPoint(1200, 1000), QRect(0, 0, 1280, 1024));
    QVERIFY(window.isVisible());
    QCOMPARE(window.pos(), QPoint(940, 955));
}

void TestHover::progressNote()
{
    HoverPreviewWindow window(*m_images);
    window.showProgressNote(QPoint(100, 50));
    QVERIFY(window.isVisible());
    QCOMPARE(window.pos(), QPoint(400, 215));
    QCOMPARE(window.size(), QSize(250, 120));
    QCOMPARE(window.picture().size(), QSize(200, 120));
    window.hideNote();
    QVERIFY(window.isHidden());
}

QTEST_MAIN(TestHover)
#include "tst_hover.moc"
