#include "core/context.h"
#include "reminders/remindercontroller.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrenderer.h"
#include "reminders/reminderwindow.h"

#include "support/pictures.h"
#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

DateValue at(int y, int m, int d, int h, int i, int s = 0)
{
    return makeDate(y, m, d, h, i, s);
}

ReminderEntry appointment(DateValue start, DateValue end, const QString& group = u"Arbeit"_s,
                          const QString& desc = u"Termin"_s)
{
    ReminderEntry e;
    e.source = ReminderSource::Appointment;
    e.start = start;
    e.end = end;
    e.kind = group;
    e.description = desc;
    return e;
}

bool hasColour(const QImage& image, const QRect& area, QRgb colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
        }
    }
    return false;
}

constexpr QRgb kWhite = 0xFFFFFFFF;

} // namespace

class TestReminderWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void entryForms_data();
    void entryForms();
    void dayWords_data();
    void dayWords();
    void oneEntryPicture_data();
    void oneEntryPicture();
    void tallPictureKeepsBackgroundSize_data();
    void tallPictureKeepsBackgroundSize();
    void entryUnderPoint();

    void scanShowsWindowAtBottomRight();
    void secondBatchGrowsByForty();
    void overdueTodoIsDeletedWhenShown();
    void everyTodoGoesAtItsMoment_data();
    void everyTodoGoesAtItsMoment();
    void shownListSurvivesLaterScans_data();
    void shownListSurvivesLaterScans();
    void leftClickDismissesForGood();
    void snoozingOneEntryKeepsTheOthers();
    void snoozingAllSlidesOut();

private:
    qint64 addTodo(const QString& desc, DateValue due);
    QRect workArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{at(2007, 3, 6, 10, 0, 0)};
    std::unique_ptr<Context> m_ctx;
    int m_todoReloads = 0;
};

void TestReminderWindow::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_prompter.clear();
    m_clock.set(at(2007, 3, 6, 10, 0, 0));
    m_ctx = createTestContext(*m_dir, m_prompter, m_clock);
    QVERIFY(m_ctx);
    QVERIFY(m_ctx->db->execSql(u"UPDATE grups SET grupname='Arbeit' WHERE id=8"_s));
    m_todoReloads = 0;
}

void TestReminderWindow::cleanup()
{
    m_ctx.reset();
    m_dir.reset();
}

qint64 TestReminderWindow::addTodo(const QString& desc, DateValue due)
{
    m_ctx->db->execSql(
            u"INSERT INTO todo (desc, enddate, remsg, nextmsg) VALUES ('%1', %2, 0, 0)"_s.arg(desc)
                    .arg(due));
    return m_ctx->db->lastInsertRowId();
}

void TestReminderWindow::entryForms_data()
{
    QTest::addColumn<ReminderEntry>("entry");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");

    const DateValue tomorrow9 = at(2007, 3, 7, 9, 0, 1);
    QTest::newRow("tomorrow 09:00, no duration")
            << appointment(tomorrow9, tomorrow9) << u"Morgen (07.03.) um 09:00 Uhr"_s
            << u"Arbeit (Termin)"_s;
    QTest::newRow("day after tomorrow")
            << appointment(at(2007, 3, 8, 15, 30), at(2007, 3, 8, 15, 30))
            << u"In 2 Tagen (08.03.) um 15:30 Uhr"_s << u"Arbeit (Termin)"_s;
    QTest::newRow("short, timed") << appointment(at(2007, 3, 6, 14, 0), at(2007, 3, 6, 16, 30))
                                  << u"Heute (06.03.) von 14:00 Uhr Bis 16:30 Uhr:"_s
                                  << u"Arbeit (Termin)"_s;
    QTest::newRow("one whole day")
            << appointment(at(2007, 3, 7, 0, 0, 1), at(2007, 3, 7, 23, 59, 1))
            << u"Morgen (07.03.) Ganztags:"_s << u"Arbeit (Termin)"_s;
    QTest::newRow("exactly 24 hours is still short")
            << appointment(at(2007, 3, 7, 10, 0), at(2007, 3, 8, 10, 0))
            << u"Morgen (07.03.) von 10:00 Uhr Bis 10:00 Uhr:"_s << u"Arbeit (Termin)"_s;
    QTest::newRow("several whole days")
            << appointment(at(2007, 3, 7, 0, 0, 1), at(2007, 3, 9, 23, 59, 1))
            << u"Morgen (07.03.) Bis 09.03. Ganztags:"_s << u"Arbeit (Termin)"_s;
    QTest::newRow("several days, timed")
            << appointment(at(2007, 3, 7, 18, 0), at(2007, 3, 9, 10, 0))
            << u"Morgen (07.03.) um 18:00 Uhr Bis 09.03. um 10:00 Uhr:"_s << u"Arbeit (Termin)"_s;
    QTest::newRow("long names cut")
            << appointment(tomorrow9, tomorrow9, u"Geschäftstermine Ausland"_s,
                           u"Jahreshauptversammlung des Kleingartenvereins"_s)
            << u"Morgen (07.03.) um 09:00 Uhr"_s
            << u"Geschäftster (Jahreshauptversammlung des Kleingarte)"_s;

    ReminderEntry todo;
    todo.source = ReminderSource::Todo;
    todo.kind = u"ToDo"_s;
    todo.description = u"Brot kaufen"_s;
    todo.start = -1;
    QTest::newRow("to-do without due date") << todo << u"Brot kaufen"_s << u"(ToDo zu erledigen)"_s;
    todo.start = at(2007, 3, 8, 18, 0);
    QTest::newRow("to-do with due date")
            << todo << u"Brot kaufen"_s
            << u"(ToDo zu erledigen bis In 2 Tagen (08.03) 18:00 Uhr)"_s;

    ReminderEntry birthday;
    birthday.source = ReminderSource::Birthday;
    birthday.kind = u"Geburtstag"_s;
    birthday.description = u"Anna Berg"_s;
    birthday.birthYear = 1980;
    birthday.start = at(2007, 3, 7, 0, 0, 1);
    QTest::newRow("birthday") << birthday << u"27. Geburtstag von"_s << u"Anna Berg"_s;

    ReminderEntry holiday;
    holiday.source = ReminderSource::Holiday;
    holiday.kind = u"BY;BW"_s;
    holiday.description = u"Hl. Drei Könige"_s;
    holiday.start = at(2007, 3, 6, 0, 0, 1);
    QTest::newRow("holiday") << holiday << u"Hl. Drei Könige"_s << u"(BY;BW)"_s;
}

void TestReminderWindow::entryForms()
{
    QFETCH(ReminderEntry, entry);
    QFETCH(QString, first);
    QFETCH(QString, second);
    const ReminderLines lines = ReminderText::lines(entry, m_clock.now());
    QCOMPARE(lines.first, first);
    QCOMPARE(lines.second, second);
}

void TestReminderWindow::dayWords_data()
{
    QTest::addColumn<DateValue>("start");
    QTest::addColumn<QString>("word");
    QTest::newRow("earlier today") << at(2007, 3, 6, 0, 0) << u"Heute"_s;
    QTest::newRow("yesterday") << at(2007, 3, 5, 23, 0) << u"Heute"_s;
    QTest::newRow("tomorrow late") << at(2007, 3, 7, 23, 59) << u"Morgen"_s;
    QTest::newRow("in two days") << at(2007, 3, 8, 0, 0) << u"In 2 Tagen"_s;
    QTest::newRow("across month end") << at(2007, 4, 1, 8, 0) << u"In 26 Tagen"_s;
}

void TestReminderWindow::dayWords()
{
    QFETCH(DateValue, start);
    QFETCH(QString, word);
    QCOMPARE(ReminderText::dayWord(start, m_clock.now()), word);
}

void TestReminderWindow::oneEntryPicture_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("2x") << 2.0;
}

void TestReminderWindow::oneEntryPicture()
{
    QFETCH(qreal, ratio);
    ReminderList list;
    ReminderEntry e = appointment(at(2007, 3, 7, 9, 0), at(2007, 3, 7, 9, 0));
    e.scanTime = u"10:00:00 Uhr"_s;
    list.append(e);
    QCOMPARE(list.windowHeight(), 95);
    const QImage picture = ReminderRenderer::render(list, m_clock.now(), *m_ctx->images, ratio);
    const QImage image = logicalPixels(picture, ratio);
    QCOMPARE(image.size(), QSize(270, 95));
    // The window goes by logical pixels.
    ReminderWindow window;
    window.replacePicture(picture, {0, 0, 800, 600});
    QCOMPARE(window.geometry(), QRect(530, 505, 270, 95));
    // The background is stretched into 35..234 x 0..94.
    QCOMPARE(image.pixel(34, 80), kWhite);
    QVERIFY(image.pixel(36, 80) != kWhite);
    QVERIFY(image.pixel(233, 80) != kWhite);
    QCOMPARE(image.pixel(235, 80), kWhite);
    QVERIFY(image.pixel(120, 94) != kWhite);
    // Batch header rules: 2..96 and, whatever the time's width, up to 262, on row 35.
    QCOMPARE(image.pixel(2, 35) & 0xFFFFFF, 0x707070u);
    QCOMPARE(image.pixel(96, 35) & 0xFFFFFF, 0x707070u);
    QVERIFY((image.pixel(97, 35) & 0xFFFFFF) != 0x707070u);
    QCOMPARE(image.pixel(262, 35) & 0xFFFFFF, 0x707070u);
    QCOMPARE(image.pixel(263, 35), kWhite);
    QVERIFY(hasColour(image, {30, 5, 200, 16}, 0x00AA00));
    QVERIFY(hasColour(image, {102, 28, 100, 12}, 0x303030));
    QVERIFY(hasColour(image, {5, 43, 200, 10}, 0x000000));
    QVERIFY(hasColour(image, {15, 53, 200, 11}, 0xAA0000));
}

void TestReminderWindow::tallPictureKeepsBackgroundSize_data()
{
    oneEntryPicture_data();
}

void TestReminderWindow::tallPictureKeepsBackgroundSize()
{
    QFETCH(qreal, ratio);
    ReminderList list;
    for (int i = 0; i < 3; ++i) {
        ReminderEntry e = appointment(at(2007, 3, 7, 9, 0), at(2007, 3, 7, 9, 0));
        if (i == 0)
            e.scanTime = u"10:00:00 Uhr"_s;
        list.append(e);
    }
    const QImage image = logicalPixels(
            ReminderRenderer::render(list, m_clock.now(), *m_ctx->images, ratio), ratio);
    QCOMPARE(image.height(), 145);
    // 120 rows high, from row (145 - 120) / 2 = 12 on; column 200 has no text.
    QCOMPARE(image.pixel(200, 11), kWhite);
    QVERIFY(image.pixel(200, 12) != kWhite);
    QVERIFY(image.pixel(200, 131) != kWhite);
    QCOMPARE(image.pixel(200, 132), kWhite);
}

void TestReminderWindow::entryUnderPoint()
{
    ReminderList list;
    ReminderEntry e = appointment(at(2007, 3, 7, 9, 0), at(2007, 3, 7, 9, 0));
    e.scanTime = u"10:00:00 Uhr"_s;
    list.append(e);
    e.scanTime.clear();
    list.append(e);
    e.scanTime = u"10:00:10 Uhr"_s;
    list.append(e);
    QCOMPARE(ReminderRenderer::entryAt(list, {50, 10}), -1);  // title
    QCOMPARE(ReminderRenderer::entryAt(list, {50, 35}), -1);  // first header
    QCOMPARE(ReminderRenderer::entryAt(list, {50, 45}), 0);   // 43..67
    QCOMPARE(ReminderRenderer::entryAt(list, {50, 70}), 1);   // 68..92
    QCOMPARE(ReminderRenderer::entryAt(list, {50, 100}), -1); // second header
    QCOMPARE(ReminderRenderer::entryAt(list, {50, 110}), 2);  // 108..132
}

void TestReminderWindow::scanShowsWindowAtBottomRight()
{
    const DateValue start = m_clock.now() + 14 * 60;
    TestAppointment a;
    a.start = a.end = start;
    a.group = 8;
    a.msg = 4;
    insertTestAppointment(*m_ctx->db, a);
    ReminderController controller(*m_ctx, {});
    controller.scan();
    ReminderWindow* window = controller.window();
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowOpacity(), 220.0 / 255.0);
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    const QRect expected(workArea().right() - 269, workArea().bottom() - 94, 270, 95);
    QTRY_COMPARE(window->geometry(), expected);
    QCOMPARE(window->picture().size(), QSize(270, 95));
}

void TestReminderWindow::secondBatchGrowsByForty()
{
    addTodo(u"Erst"_s, -1);
    ReminderController controller(*m_ctx, {});
    controller.scan();
    QTRY_COMPARE(controller.window()->height(), 95);
    addTodo(u"Dann"_s, -1);
    m_clock.advance(10);
    controller.scan();
    QTRY_COMPARE(controller.window()->height(), 135);
    QCOMPARE(controller.window()->geometry().bottom(), workArea().bottom());
    QCOMPARE(controller.list().batchCount(), 2);
}

void TestReminderWindow::overdueTodoIsDeletedWhenShown()
{
    addTodo(u"Vorbei"_s, at(2007, 3, 5, 12, 0));
    addTodo(u"Bleibt"_s, at(2007, 3, 9, 12, 0));
    ReminderController controller(*m_ctx, [this] { ++m_todoReloads; });
    controller.scan();
    QCOMPARE(controller.list().count(), 2);
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc FROM todo"_s), QStringList{u"Bleibt"_s});
    QCOMPARE(m_todoReloads, 1);
}

void TestReminderWindow::everyTodoGoesAtItsMoment_data()
{
    QTest::addColumn<int>("remsg");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<DateValue>("snooze"); // 0 for none
    QTest::newRow("einmal") << 0 << false << DateValue(0);
    QTest::newRow("viertelstündlich") << 1 << false << DateValue(0);
    QTest::newRow("täglich") << 3 << false << DateValue(0);
    QTest::newRow("snoozed past its moment") << 3 << false << DateValue(86400);
    QTest::newRow("ticked") << 0 << true << DateValue(0);
}

void TestReminderWindow::everyTodoGoesAtItsMoment()
{
    QFETCH(int, remsg);
    QFETCH(bool, ticked);
    QFETCH(DateValue, snooze);

    const DateValue due = m_clock.now() + 5 * 3600;
    m_ctx->db->execSql(u"INSERT INTO todo (desc, enddate, remsg, checked, nextmsg) VALUES "
                       "('Weg', %1, %2, %3, 0)"_s.arg(due)
                               .arg(remsg)
                               .arg(ticked ? 1 : 0));
    ReminderController controller(*m_ctx, [this] { ++m_todoReloads; });
    controller.scan();
    QCOMPARE(controller.list().count(), ticked ? 0 : 1);
    if (snooze != 0)
        controller.snooze(0, snooze);
    controller.dismiss();
    QTRY_VERIFY(!controller.window()->isVisible());

    m_clock.set(due + 10);
    controller.scan();
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM todo"_s), 0);
    QCOMPARE(m_todoReloads, 1);
    QCOMPARE(controller.isShown(), !ticked);
}

void TestReminderWindow::shownListSurvivesLaterScans_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("one") << 1;
    QTest::newRow("eleven") << 11;
    QTest::newRow("twelve") << 12;
}

void TestReminderWindow::shownListSurvivesLaterScans()
{
    QFETCH(int, count);
    QList<qint64> ids;
    for (int i = 0; i < count; ++i)
        ids << addTodo(u"T%1"_s.arg(i), -1);
    ReminderController controller(*m_ctx, {});
    controller.scan();
    QCOMPARE(controller.list().count(), count);
    m_clock.advance(10);
    controller.scan();
    QVERIFY(controller.isShown());
    QCOMPARE(controller.list().count(), count);
    controller.snooze(count - 1, 900);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT nextmsg FROM todo WHERE id=%1"_s.arg(ids.last())),
             m_clock.now() + 900);
}

void TestReminderWindow::leftClickDismissesForGood()
{
    addTodo(u"Einmal"_s, -1);
    ReminderController controller(*m_ctx, {});
    controller.scan();
    ReminderWindow* window = controller.window();
    QTRY_COMPARE(window->height(), 95);
    QTest::mouseClick(window, Qt::LeftButton, {}, {100, 50});
    QVERIFY(controller.list().isEmpty());
    QTRY_VERIFY(!window->isVisible());
    m_clock.advance(10);
    controller.scan();
    QVERIFY(!window->isVisible());
}

void TestReminderWindow::snoozingOneEntryKeepsTheOthers()
{
    const qint64 first = addTodo(u"Eins"_s, -1);
    const qint64 second = addTodo(u"Zwei"_s, -1);
    ReminderController controller(*m_ctx, {});
    controller.scan();
    QTRY_COMPARE(controller.window()->height(), 55 + 50 + 15);
    controller.snooze(0, 900);
    QCOMPARE(controller.list().count(), 1);
    QCOMPARE(controller.list().at(0).description, u"Zwei"_s);
    // The batch header stays with what is left.
    QCOMPARE(controller.window()->height(), 95);
    QVERIFY(controller.window()->isVisible());
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT nextmsg FROM todo WHERE id=%1"_s.arg(first)),
             m_clock.now() + 900);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT nextmsg FROM todo WHERE id=%1"_s.arg(second)), -1);
}

void TestReminderWindow::snoozingAllSlidesOut()
{
    addTodo(u"Eins"_s, -1);
    addTodo(u"Zwei"_s, -1);
    ReminderController controller(*m_ctx, {});
    controller.scan();
    controller.snooze(-1, 3600);
    QVERIFY(controller.list().isEmpty());
    QTRY_VERIFY(!controller.window()->isVisible());
    QCOMPARE(queryNumber(*m_ctx->db,
                         u"SELECT COUNT(*) FROM todo WHERE nextmsg=%1"_s.arg(m_clock.now() + 3600)),
             2);
}

QTEST_MAIN(TestReminderWindow)
#include "tst_reminderwindow.moc"
