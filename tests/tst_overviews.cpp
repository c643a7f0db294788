#include "common/programfont.h"
#include "core/context.h"
#include "views/hoverpreviewwindow.h"
#include "views/mainwindow.h"
#include "views/overviewpage.h"
#include "views/overviews.h"
#include "views/overviewview.h"
#include "views/weekrenderer.h"
#include "views/yearrenderer.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Notes for every box whether the hover preview was on screen when it opened.
class PreviewWatch final : public Prompter
{
public:
    QWidget* preview = nullptr;
    QList<bool> shownAtBox;

    void inform(const QString&, const QString&) override { note(); }
    void warn(const QString&, const QString&) override { note(); }
    bool askYesNo(const QString&, const QString&) override { return note(), false; }
    int choose(const QString&, const QString&, const QStringList&) override { return note(), -1; }
    QString saveFileName(const QString&, const QString&, const QString&) override
    {
        return note(), QString();
    }
    QString openFileName(const QString&, const QString&, const QString&) override
    {
        return note(), QString();
    }

private:
    void note() { shownAtBox << (preview && preview->isVisible()); }
};

} // namespace

// The two overview pages share the shown year, the week and the legend; the buttons of one page
// change what the other one must show.
class TestOverviews : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void otherPageIsRedrawnBeforeItShows_data();
    void otherPageIsRedrawnBeforeItShows();
    void doubleClickOpensTheDrawnDay_data();
    void doubleClickOpensTheDrawnDay();
    void failedHoverReadHidesThePreviewFirst_data();
    void failedHoverReadHidesThePreviewFirst();
    void keysMoveTheFocusedDay_data();
    void keysMoveTheFocusedDay();
    void enterOpensTheFocusedDayThatIsDescribed_data();
    void enterOpensTheFocusedDayThatIsDescribed();
    void focusFrameOnlyWithKeyboardFocus();

private:
    // Presses buttons on one page, the one in front.
    void perform(const QString& action);
    QImage expectedYear();
    QImage expectedWeek();
    // Clicks the day on its picture, legend hidden, and returns the picture.
    OverviewView* pressDay(bool week, QDate day);

    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    // Wednesday, 9 December 2026.
    FixedClock m_clock{makeDate(2026, 12, 9, 10, 0, 0)};
    std::unique_ptr<Context> m_ctx;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Overviews> m_overviews;
};

void TestOverviews::initTestCase()
{
    QApplication::setFont(interfaceFont());
}

void TestOverviews::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_prompter.clear();
    m_ctx = createTestContext(*m_dir, m_prompter, m_clock);
    QVERIFY(m_ctx);
    m_ctx->prefs.legende = 0;
    m_ctx->view.shownYear = 2026;
    m_ctx->view.weekStart = mondayOf(m_clock.now());
    m_window = std::make_unique<MainWindow>(m_ctx->prefs);
    m_overviews = std::make_unique<Overviews>(*m_ctx, *m_window);
    m_overviews->drawYear();
    m_overviews->setYearLabel();
    m_overviews->setWeekLabel();
    m_overviews->drawWeek();
}

void TestOverviews::cleanup()
{
    m_overviews.reset();
    m_window.reset();
    m_ctx.reset();
    m_dir.reset();
}

void TestOverviews::perform(const QString& action)
{
    const bool onWeek = action.startsWith(u"week"_s);
    m_window->tabs()->setCurrentIndex(onWeek ? MainWindow::WeekPageIndex
                                             : MainWindow::YearPageIndex);
    OverviewPage* page = onWeek ? m_window->weekPage() : m_window->yearPage();
    if (action.endsWith(u"Legend"_s)) {
        page->legendButton()->click();
    } else {
        // Four weeks from 7 December 2026 reach 4 January 2027; a year from 2026 reaches 2027.
        for (int i = 0; i < (onWeek ? 4 : 1); ++i)
            page->nextButton()->click();
    }
}

QImage TestOverviews::expectedYear()
{
    const YearRenderer renderer(*m_ctx->db, m_prompter, *m_ctx->images);
    return renderer.render(m_window->yearPage()->view()->image().size(), m_ctx->view.shownYear,
                           m_clock.now(), m_ctx->prefs);
}

QImage TestOverviews::expectedWeek()
{
    const WeekRenderer renderer(*m_ctx->db, m_prompter, *m_ctx->images);
    return renderer.render(m_window->weekPage()->view()->image().size(), m_ctx->view.weekStart,
                           m_clock.now(), m_ctx->prefs);
}

void TestOverviews::otherPageIsRedrawnBeforeItShows_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("yearLabel");
    QTest::addColumn<QString>("weekLabel");
    QTest::newRow("Legende on the week page")
            << u"weekLegend"_s << u"2026"_s << u"07.-13. Dez 2026"_s;
    QTest::newRow("week >> into the next year")
            << u"weekNext"_s << u"2027"_s << u"04.-10. Jan 2027"_s;
    QTest::newRow("Legende on the year page")
            << u"yearLegend"_s << u"2026"_s << u"07.-13. Dez 2026"_s;
    QTest::newRow("year >> moves the week") << u"yearNext"_s << u"2027"_s << u"28.12-03.01 26/27"_s;
}

void TestOverviews::otherPageIsRedrawnBeforeItShows()
{
    QFETCH(QString, action);
    QFETCH(QString, yearLabel);
    QFETCH(QString, weekLabel);
    perform(action);
    const bool fromWeek = action.startsWith(u"week"_s);
    m_window->tabs()->setCurrentIndex(fromWeek ? MainWindow::YearPageIndex
                                               : MainWindow::WeekPageIndex);

    QCOMPARE(m_window->yearPage()->titleLabel()->text(), yearLabel);
    QCOMPARE(m_window->weekPage()->titleLabel()->text(), weekLabel);
    if (fromWeek)
        QCOMPARE(m_window->yearPage()->view()->image(), expectedYear());
    else
        QCOMPARE(m_window->weekPage()->view()->image(), expectedWeek());
    // The legend's grey panel starts at x 563, left of its colour strips.
    const bool legend = action.endsWith(u"Legend"_s);
    OverviewView* shown = fromWeek ? m_window->yearPage()->view() : m_window->weekPage()->view();
    QCOMPARE(shown->image().pixel(563, 300) == 0xFFDDDDDDu, legend);
}

void TestOverviews::doubleClickOpensTheDrawnDay_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QDate>("beforeShown");
    QTest::addColumn<QDate>("afterShown");

    // Without the legend, 1 January is drawn at x 40 to 81, y 30 to 42; with it, x 1 to 42.
    QTest::newRow("Legende on the week page")
            << u"weekLegend"_s << QPoint(60, 35) << QDate(2026, 1, 1) << QDate(2026, 2, 1);
    // 9 December is drawn at x 557 to 598, y 150 to 162, in whichever year is drawn.
    QTest::newRow("week >> into the next year")
            << u"weekNext"_s << QPoint(560, 152) << QDate(2026, 12, 9) << QDate(2027, 12, 9);
    // The Monday row of the week picture lies at y 20 to 45.
    QTest::newRow("year >> moves the week")
            << u"yearNext"_s << QPoint(100, 30) << QDate(2026, 12, 7) << QDate(2026, 12, 28);
    QTest::newRow("Legende on the year page")
            << u"yearLegend"_s << QPoint(100, 30) << QDate(2026, 12, 7) << QDate(2026, 12, 7);
}

void TestOverviews::doubleClickOpensTheDrawnDay()
{
    QFETCH(QString, action);
    QFETCH(QPoint, point);
    QFETCH(QDate, beforeShown);
    QFETCH(QDate, afterShown);
    QSignalSpy opened(m_overviews.get(), &Overviews::dayActivated);
    const bool fromWeek = action.startsWith(u"week"_s);
    OverviewView* view = fromWeek ? m_window->yearPage()->view() : m_window->weekPage()->view();

    perform(action);
    // The other picture has not been shown since: the pointer still means the day drawn there.
    emit view->doubleClicked(point);
    m_window->tabs()->setCurrentIndex(fromWeek ? MainWindow::YearPageIndex
                                               : MainWindow::WeekPageIndex);
    emit view->doubleClicked(point);

    QCOMPARE(opened.size(), 2);
    const auto date = [&](int i) {
        const QList<QVariant>& args = opened.at(i);
        return QDate(args.at(2).toInt(), args.at(1).toInt(), args.at(0).toInt());
    };
    QCOMPARE(date(0), beforeShown);
    QCOMPARE(date(1), afterShown);
}

void TestOverviews::failedHoverReadHidesThePreviewFirst_data()
{
    QTest::addColumn<bool>("week");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("second");
    QTest::newRow("year") << false << QPoint(40, 30) << QPoint(87, 45);
    QTest::newRow("week") << true << QPoint(10, 5) << QPoint(322, 65);
}

void TestOverviews::failedHoverReadHidesThePreviewFirst()
{
    QFETCH(bool, week);
    QFETCH(QPoint, first);
    QFETCH(QPoint, second);

    PreviewWatch watch;
    TestDirectory dir;
    auto ctx = createTestContext(dir, watch, m_clock);
    QVERIFY(ctx);
    ctx->prefs.legende = 0;
    ctx->view.shownYear = 2026;
    ctx->view.weekStart = mondayOf(m_clock.now());
    MainWindow window(ctx->prefs);
    Overviews overviews(*ctx, window);
    watch.preview = overviews.previewWindow();
    window.tabs()->setCurrentIndex(week ? MainWindow::WeekPageIndex : MainWindow::YearPageIndex);
    week ? overviews.drawWeek() : overviews.drawYear();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    OverviewView* view = week ? window.weekPage()->view() : window.yearPage()->view();

    emit view->pointerMoved(first, first);
    QVERIFY(overviews.previewWindow()->isVisible());
    // Another program changed the file under the program's feet.
    QVERIFY(ctx->db->execSql(u"DROP TABLE feiertage"_s));
    emit view->pointerMoved(second, second);
    QCOMPARE(watch.shownAtBox, QList<bool>{false});
    QVERIFY(!overviews.previewWindow()->isVisible());
    QCOMPARE(ctx->quitState, QuitState::DatabaseError);
}

OverviewView* TestOverviews::pressDay(bool week, QDate day)
{
    // Year cells lie 47 px apart from x 40 and 15 px apart from y 30; week rows 60 px apart
    // from y 20.
    OverviewView* view = week ? m_window->weekPage()->view() : m_window->yearPage()->view();
    emit view->pressed(week ? QPoint(100, 30 + 60 * (day.dayOfWeek() - 1))
                            : QPoint(60 + 47 * (day.month() - 1), 36 + 15 * (day.day() - 1)));
    return view;
}

void TestOverviews::keysMoveTheFocusedDay_data()
{
    QTest::addColumn<bool>("week");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<QString>("label"); // the year or week shown after the key
    const QDate wed(2026, 12, 9);
    const QString y = u"2026"_s;
    const QString w = u"07.-13. Dez 2026"_s;
    QTest::newRow("year: down past the month's end")
            << false << QDate(2026, 1, 31) << int(Qt::Key_Down) << QDate(2026, 2, 1) << y;
    QTest::newRow("year: up on 1 January stays")
            << false << QDate(2026, 1, 1) << int(Qt::Key_Up) << QDate(2026, 1, 1) << y;
    QTest::newRow("year: left into a shorter month")
            << false << QDate(2026, 3, 31) << int(Qt::Key_Left) << QDate(2026, 2, 28) << y;
    QTest::newRow("year: right in December stays")
            << false << wed << int(Qt::Key_Right) << wed << y;
    QTest::newRow("year: Page Down")
            << false << wed << int(Qt::Key_PageDown) << QDate(2027, 12, 9) << u"2027"_s;
    QTest::newRow("year: Page Up")
            << false << wed << int(Qt::Key_PageUp) << QDate(2025, 12, 9) << u"2025"_s;
    QTest::newRow("week: right") << true << wed << int(Qt::Key_Right) << QDate(2026, 12, 10) << w;
    QTest::newRow("week: up on Monday stays")
            << true << QDate(2026, 12, 7) << int(Qt::Key_Up) << QDate(2026, 12, 7) << w;
    QTest::newRow("week: down on Sunday stays")
            << true << QDate(2026, 12, 13) << int(Qt::Key_Down) << QDate(2026, 12, 13) << w;
    QTest::newRow("week: Page Down")
            << true << wed << int(Qt::Key_PageDown) << QDate(2026, 12, 16) << u"14.-20. Dez 2026"_s;
    QTest::newRow("week: Page Up")
            << true << wed << int(Qt::Key_PageUp) << QDate(2026, 12, 2) << u"30.11-06.12 2026"_s;
}

void TestOverviews::keysMoveTheFocusedDay()
{
    QFETCH(bool, week);
    QFETCH(QDate, start);
    QFETCH(int, key);
    QFETCH(QDate, expected);
    QFETCH(QString, label);
    m_window->tabs()->setCurrentIndex(week ? MainWindow::WeekPageIndex : MainWindow::YearPageIndex);
    OverviewView* view = pressDay(week, start);
    QTest::keyClick(view, Qt::Key(key));
    QCOMPARE(week ? m_overviews->weekFocus() : m_overviews->yearFocus(), expected);
    OverviewPage* page = week ? m_window->weekPage() : m_window->yearPage();
    QCOMPARE(page->titleLabel()->text(), label);
    QCOMPARE(view->image(), week ? expectedWeek() : expectedYear());
}

void TestOverviews::enterOpensTheFocusedDayThatIsDescribed_data()
{
    QTest::addColumn<bool>("week");
    QTest::addColumn<int>("key");
    QTest::newRow("year, Return") << false << int(Qt::Key_Return);
    QTest::newRow("week, Enter of the keypad") << true << int(Qt::Key_Enter);
}

void TestOverviews::enterOpensTheFocusedDayThatIsDescribed()
{
    QFETCH(bool, week);
    QFETCH(int, key);
    QVERIFY(insertTestAppointment(*m_ctx->db, {.start = makeDate(2026, 12, 10, 10, 0, 0),
                                               .end = makeDate(2026, 12, 10, 11, 30, 0),
                                               .group = 3,
                                               .description = u"Zahnarzt"_s}) > 0);
    QSignalSpy opened(m_overviews.get(), &Overviews::dayActivated);
    OverviewView* view = pressDay(week, QDate(2026, 12, 9));
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(view->accessibleDescription(),
             u"Do, den 10.12.2026:\nVon 10:00 Uhr Bis 11:30 Uhr: Urlaub (Zahnarzt)"_s);
    QTest::keyClick(view, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first(), (QList<QVariant>{10, 12, 2026}));
}

void TestOverviews::focusFrameOnlyWithKeyboardFocus()
{
    m_window->tabs()->setCurrentIndex(MainWindow::YearPageIndex);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    OverviewView* view = m_window->yearPage()->view();
    // Two pixels around the cell of 9 December, today, where the focus starts.
    const auto framed = [view] {
        return view->grab().toImage().pixel(38 + 47 * 11, 28 + 15 * 8) == qRgb(0, 0x88, 0);
    };
    QVERIFY(!framed());
    view->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(framed());
    QCOMPARE(m_overviews->yearFocus(), QDate(2026, 12, 9));
    m_window->yearPage()->nextButton()->setFocus();
    QVERIFY(!framed());
}

QTEST_MAIN(TestOverviews)
#include "tst_overviews.moc"
