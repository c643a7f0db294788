#include "views/overviews.h"

#include "common/germannames.h"
#include "common/prompter.h"
#include "core/context.h"
#include "views/hoverpreview.h"
#include "views/hoverpreviewwindow.h"
#include "views/mainwindow.h"
#include "views/overviewdisplay.h"
#include "views/overviewpage.h"
#include "views/overviewview.h"
#include "views/weekrenderer.h"
#include "views/yearrenderer.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

using namespace Qt::StringLiterals;
using namespace HoverGeometry;

namespace {

// The preview stays on top of every window, so a box opened while it shows could lie hidden
// under it and hold the whole program. It goes before any box of a hover.
class PreviewHidingPrompter final : public Prompter
{
public:
    PreviewHidingPrompter(Prompter& prompter, QWidget& preview)
        : m_prompter(prompter)
        , m_preview(preview)
    {}

    void inform(const QString& title, const QString& text) override
    {
        m_preview.hide();
        m_prompter.inform(title, text);
    }
    void warn(const QString& title, const QString& text) override
    {
        m_preview.hide();
        m_prompter.warn(title, text);
    }
    bool askYesNo(const QString& title, const QString& text) override
    {
        m_preview.hide();
        return m_prompter.askYesNo(title, text);
    }
    int choose(const QString& title, const QString& text, const QStringList& choices) override
    {
        m_preview.hide();
        return m_prompter.choose(title, text, choices);
    }
    QString saveFileName(const QString& title, const QString& startPath,
                         const QString& filter) override
    {
        m_preview.hide();
        return m_prompter.saveFileName(title, startPath, filter);
    }
    QString openFileName(const QString& title, const QString& startPath,
                         const QString& filter) override
    {
        m_preview.hide();
        return m_prompter.openFileName(title, startPath, filter);
    }

private:
    Prompter& m_prompter;
    QWidget& m_preview;
};

QDate dateOf(DateValue value)
{
    const DateParts parts = dateParts(value);
    return {parts.year, parts.month, parts.day};
}

// The pixel ratio of the screen under the pointer, where the preview is about to show.
qreal screenRatioAt(QPoint globalPos, const QWidget& fallback)
{
    const QScreen* screen = QGuiApplication::screenAt(globalPos);
    return screen ? screen->devicePixelRatio() : fallback.devicePixelRatioF();
}

} // namespace

Overviews::Overviews(Context& ctx, MainWindow& window)
    : m_ctx(ctx)
    , m_window(window)
    , m_preview(new HoverPreviewWindow(*ctx.images, &window))
{
    // Both pictures start black until they are first drawn.
    m_yearFinished = blackPicture(window.yearPage()->view()->devicePixelRatioF());
    m_weekFinished = blackPicture(window.weekPage()->view()->devicePixelRatioF());
    showYear(m_yearFinished);
    showWeek(m_weekFinished);
    databaseReplaced();
    connectYearPage();
    connectWeekPage();
    connect(m_window.tabs(), &QTabWidget::currentChanged, this, &Overviews::refreshCurrentPage);
}

Overviews::~Overviews() = default;

QSize Overviews::pictureSize() const
{
    return {m_window.pictureWidth(), m_window.pictureHeight()};
}

QImage Overviews::blackPicture(qreal ratio) const
{
    QImage picture(pictureSize() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::black);
    return picture;
}

void Overviews::matchPixelRatio(bool week)
{
    OverviewView* view = week ? m_window.weekPage()->view() : m_window.yearPage()->view();
    QImage& finished = week ? m_weekFinished : m_yearFinished;
    if (finished.devicePixelRatio() == view->devicePixelRatioF())
        return;
    if (week && m_weekDrawn) {
        drawWeek();
    } else if (!week && m_yearDrawn) {
        drawYear();
    } else {
        finished = blackPicture(view->devicePixelRatioF());
        view->setImage(finished);
    }
}

void Overviews::databaseReplaced()
{
    m_yearRenderer = std::make_unique<YearRenderer>(*m_ctx.db, m_ctx.prompter, *m_ctx.images);
    m_weekRenderer = std::make_unique<WeekRenderer>(*m_ctx.db, m_ctx.prompter, *m_ctx.images);
}

void Overviews::connectYearPage()
{
    OverviewPage* page = m_window.yearPage();
    connect(page->previousButton(), &QPushButton::clicked, this, [this] { moveYear(-1); });
    connect(page->nextButton(), &QPushButton::clicked, this, [this] { moveYear(1); });
    connect(page->redrawButton(), &QPushButton::clicked, this, [this] {
        drawYear();
        setYearLabel();
    });
    connect(page->displayButton(), &QPushButton::clicked, this, &Overviews::requestDisplayGroups);
    connect(page->legendButton(), &QPushButton::toggled, this, &Overviews::setLegend);
    connect(page->view(), &OverviewView::pointerMoved, this, &Overviews::hoverYear);
    connect(page->view(), &OverviewView::pointerLeft, this, &Overviews::leaveHover);
    connect(page->view(), &OverviewView::doubleClicked, this, &Overviews::yearDoubleClick);
    connect(page->view(), &OverviewView::pressed, this, &Overviews::yearPress);
    connect(page->view(), &OverviewView::focusEntered, this, &Overviews::yearFocusEntered);
    connect(page->view(), &OverviewView::keyPressed, this, &Overviews::yearKey);
    connect(page->view(), &OverviewView::pixelRatioChanged, this,
            [this] { matchPixelRatio(false); });
}

void Overviews::connectWeekPage()
{
    OverviewPage* page = m_window.weekPage();
    connect(page->previousButton(), &QPushButton::clicked, this, [this] { moveWeek(-1); });
    connect(page->nextButton(), &QPushButton::clicked, this, [this] { moveWeek(1); });
    connect(page->redrawButton(), &QPushButton::clicked, this, [this] {
        drawWeek();
        setWeekLabel();
    });
    connect(page->displayButton(), &QPushButton::clicked, this, &Overviews::requestDisplayGroups);
    connect(page->legendButton(), &QPushButton::toggled, this, &Overviews::setLegend);
    connect(page->view(), &OverviewView::pointerMoved, this, &Overviews::hoverWeek);
    connect(page->view(), &OverviewView::pointerLeft, this, &Overviews::leaveHover);
    connect(page->view(), &OverviewView::doubleClicked, this, &Overviews::weekDoubleClick);
    connect(page->view(), &OverviewView::pressed, this, &Overviews::weekPress);
    connect(page->view(), &OverviewView::focusEntered, this, &Overviews::weekFocusEntered);
    connect(page->view(), &OverviewView::keyPressed, this, &Overviews::weekKey);
    connect(page->view(), &OverviewView::pixelRatioChanged, this,
            [this] { matchPixelRatio(true); });
}

bool Overviews::legendShown() const
{
    return m_ctx.prefs.legende != 0;
}

Overviews::PictureState Overviews::yearState() const
{
    return {m_ctx.view.shownYear, 0, legendShown(), m_ctx.prefs.showedterms};
}

Overviews::PictureState Overviews::weekState() const
{
    return {0, startOfDay(m_ctx.view.weekStart), legendShown(), m_ctx.prefs.showedterms};
}

void Overviews::refreshCurrentPage()
{
    if (m_window.currentPage() == MainWindow::YearPageIndex)
        refreshYear();
    else if (m_window.currentPage() == MainWindow::WeekPageIndex)
        refreshWeek();
}

void Overviews::refreshYear()
{
    if (m_yearDrawn != yearState())
        drawYear();
}

void Overviews::refreshWeek()
{
    if (m_weekDrawn != weekState())
        drawWeek();
}

void Overviews::showYear(const QImage& image)
{
    m_window.yearPage()->view()->setImage(image);
}

void Overviews::showWeek(const QImage& image)
{
    m_window.weekPage()->view()->setImage(image);
}

void Overviews::drawYear()
{
    m_hoverCell.reset();
    OverviewView* view = m_window.yearPage()->view();
    view->setImage(OverviewDisplay::updatingNotice(m_yearFinished));
    view->repaint();
    m_yearFinished = m_yearRenderer->render(pictureSize(), m_ctx.view.shownYear, m_ctx.clock.now(),
                                            m_ctx.prefs, view->devicePixelRatioF());
    m_yearDrawn = yearState();
    showYear(m_yearFinished);
    // Read again for the description only while someone is on the picture.
    if (m_yearFocus.isValid())
        focusYear(m_yearFocus, view->hasFocus());
}

void Overviews::drawWeek()
{
    m_hoverPosition.reset();
    OverviewView* view = m_window.weekPage()->view();
    view->setImage(OverviewDisplay::updatingNotice(m_weekFinished));
    view->repaint();
    m_weekFinished = m_weekRenderer->render(pictureSize(), m_ctx.view.weekStart, m_ctx.clock.now(),
                                            m_ctx.prefs, view->devicePixelRatioF());
    m_weekDrawn = weekState();
    showWeek(m_weekFinished);
    if (m_weekFocus.isValid())
        focusWeek(m_weekFocus, view->hasFocus());
}

void Overviews::redraw()
{
    drawYear();
    drawWeek();
}

void Overviews::setYearLabel()
{
    const int year = m_ctx.view.shownYear;
    QString text = QString::number(year);
    if (isLeapYear(year))
        text += u" (Schaltjahr)"_s;
    m_window.yearPage()->titleLabel()->setText(text);
}

void Overviews::setWeekLabel()
{
    m_window.weekPage()->titleLabel()->setText(
            weekLabelText(m_ctx.view.weekStart, m_ctx.view.shownYear));
}

void Overviews::clockTick(const QString& clockText)
{
    if (m_window.currentPage() == MainWindow::YearPageIndex) {
        QLabel* label = m_window.yearPage()->clockLabel();
        if (label->text() == clockText)
            return;
        label->setText(clockText);
        if (++m_redrawCounter >= 5) {
            m_redrawCounter = 0;
            drawYear();
        }
    } else if (m_window.currentPage() == MainWindow::WeekPageIndex) {
        QLabel* label = m_window.weekPage()->clockLabel();
        if (label->text() == clockText)
            return;
        label->setText(clockText);
        drawWeek();
    }
}

void Overviews::moveYear(int delta)
{
    ViewState& view = m_ctx.view;
    view.shownYear += delta;
    const DateValue now = m_ctx.clock.now();
    view.weekStart = view.shownYear == dateParts(now).year
                             ? mondayOf(now)
                             : mondayOf(makeDate(view.shownYear, 1, 1));
    setWeekLabel();
    drawYear();
    setYearLabel();
}

void Overviews::moveWeek(int delta)
{
    ViewState& view = m_ctx.view;
    view.weekStart += delta * 7 * kSecondsPerDay;
    // The year follows the week; its picture is redrawn when its page is shown again.
    view.shownYear = dateParts(view.weekStart).year;
    setYearLabel();
    setWeekLabel();
    drawWeek();
}

void Overviews::setLegend(bool shown)
{
    m_ctx.prefs.legende = shown ? 1 : 0;
    for (QPushButton* toggle :
         {m_window.yearPage()->legendButton(), m_window.weekPage()->legendButton()}) {
        const QSignalBlocker blocker(toggle);
        toggle->setChecked(shown);
    }
    drawShownPicture();
}

void Overviews::requestDisplayGroups()
{
    leaveHover();
    emit displayGroupsRequested();
}

void Overviews::drawShownPicture()
{
    if (m_window.currentPage() == MainWindow::WeekPageIndex)
        drawWeek();
    else
        drawYear();
}

bool Overviews::hoverAllowed()
{
    // Only for the window in front; behind another window the preview would float alone.
    if (m_window.isActiveWindow())
        return true;
    leaveHover();
    return false;
}

void Overviews::showPreview(const QImage& picture, QPoint globalPos)
{
    m_preview->setPicture(picture);
    m_preview->showAt(globalPos, m_ctx.workArea);
}

void Overviews::hoverYear(QPoint picturePos, QPoint globalPos)
{
    if (!hoverAllowed())
        return;
    // The pointer is on the picture as drawn, whatever the state has become since.
    if (!m_yearDrawn)
        return;
    const int year = m_yearDrawn->year;
    const bool legend = m_yearDrawn->legend;
    const std::optional<YearCell> cell = yearCellAt(picturePos, legend, year);
    if (!cell) {
        leaveHover();
        return;
    }
    if (cell == m_hoverCell) {
        m_preview->showAt(globalPos, m_ctx.workArea);
        return;
    }
    m_hoverCell = cell;
    showYear(OverviewDisplay::yearCellFrame(m_yearFinished, cell->month, cell->day, legend));
    PreviewHidingPrompter prompter(m_ctx.prompter, *m_preview);
    const QuitState before = m_ctx.quitState;
    const QList<PreviewEntry> entries = HoverPreview::loadDay(*m_ctx.db, prompter, m_ctx.quitState,
                                                              year, cell->month, cell->day);
    // After a failed read the program is on its way to the restore question.
    if (m_ctx.quitState != before) {
        leaveHover();
        return;
    }
    const DateValue dayStart = makeDate(year, cell->month, cell->day);
    QList<PreviewLines> lines;
    for (const PreviewEntry& entry : entries)
        lines << HoverPreview::dayLines(entry, dayStart);
    showPreview(HoverPreview::picture(HoverPreview::dayHeader(year, cell->month, cell->day), lines,
                                      *m_ctx.images, screenRatioAt(globalPos, *m_preview)),
                globalPos);
}

void Overviews::hoverWeek(QPoint picturePos, QPoint globalPos)
{
    if (!hoverAllowed())
        return;
    if (!m_weekDrawn)
        return;
    const bool legend = m_weekDrawn->legend;
    const std::optional<WeekPosition> position = weekPositionAt(picturePos, legend);
    if (!position) {
        leaveHover();
        return;
    }
    if (position == m_hoverPosition) {
        m_preview->showAt(globalPos, m_ctx.workArea);
        return;
    }
    if (!m_hoverPosition || m_hoverPosition->day != position->day)
        showWeek(OverviewDisplay::weekRowFrame(m_weekFinished, position->day, legend));
    m_hoverPosition = position;
    const DateValue moment = weekPositionMoment(m_weekDrawn->weekDay, *position);
    PreviewHidingPrompter prompter(m_ctx.prompter, *m_preview);
    const QuitState before = m_ctx.quitState;
    const QList<PreviewEntry> entries = HoverPreview::loadMoment(
            *m_ctx.db, prompter, m_ctx.quitState, moment, m_weekDrawn->groups);
    if (m_ctx.quitState != before) {
        leaveHover();
        return;
    }
    QList<PreviewLines> lines;
    for (const PreviewEntry& entry : entries)
        lines << HoverPreview::momentLines(entry, startOfDay(moment));
    showPreview(HoverPreview::picture(HoverPreview::momentHeader(moment), lines, *m_ctx.images,
                                      screenRatioAt(globalPos, *m_preview)),
                globalPos);
}

void Overviews::leaveHover()
{
    m_preview->hide();
    if (m_hoverCell)
        showYear(m_yearFinished);
    if (m_hoverPosition)
        showWeek(m_weekFinished);
    m_hoverCell.reset();
    m_hoverPosition.reset();
}

void Overviews::yearDoubleClick(QPoint picturePos)
{
    if (!m_yearDrawn)
        return;
    const int year = m_yearDrawn->year;
    if (const auto cell = yearCellAt(picturePos, m_yearDrawn->legend, year)) {
        leaveHover();
        emit dayActivated(cell->day, cell->month, year);
    }
}

void Overviews::weekDoubleClick(QPoint picturePos)
{
    if (!m_weekDrawn)
        return;
    if (const auto position = weekPositionAt(picturePos, m_weekDrawn->legend)) {
        leaveHover();
        const DateParts day =
                dateParts(m_weekDrawn->weekDay + (position->day - 1) * kSecondsPerDay);
        emit dayActivated(day.day, day.month, day.year);
    }
}

QDate Overviews::drawnMonday() const
{
    return m_weekDrawn ? dateOf(m_weekDrawn->weekDay) : QDate();
}

void Overviews::focusYear(QDate day, bool describe)
{
    if (!m_yearDrawn || !day.isValid())
        return;
    // The year moved on through its buttons: the same day there, 29 February as the 28th.
    m_yearFocus = day.addYears(m_yearDrawn->year - day.year());
    OverviewView* view = m_window.yearPage()->view();
    const bool legend = m_yearDrawn->legend;
    view->setFocusFrame({YearRenderer::cellX(m_yearFocus.month(), legend) - 2,
                         YearRenderer::cellY(m_yearFocus.day()) - 2, 46, 17});
    if (describe)
        describeDay(view, m_yearFocus);
}

void Overviews::focusWeek(QDate day, bool describe)
{
    const QDate monday = drawnMonday();
    if (!monday.isValid() || !day.isValid())
        return;
    // Another week is drawn: the same weekday in it.
    m_weekFocus = monday.addDays(day.dayOfWeek() - 1);
    OverviewView* view = m_window.weekPage()->view();
    const int length = WeekRenderer::timelineWidth(m_weekDrawn->legend);
    view->setFocusFrame({WeekRenderer::kTimelineX - 2,
                         WeekRenderer::rowY(m_weekFocus.dayOfWeek()) - 2, length + 4, 30});
    if (describe)
        describeDay(view, m_weekFocus);
}

void Overviews::yearFocusEntered()
{
    if (!m_yearDrawn)
        return;
    const QDate today = dateOf(m_ctx.clock.now());
    if (!m_yearFocus.isValid())
        m_yearFocus = today.year() == m_yearDrawn->year ? today : QDate(m_yearDrawn->year, 1, 1);
    focusYear(m_yearFocus);
}

void Overviews::weekFocusEntered()
{
    const QDate monday = drawnMonday();
    if (!monday.isValid())
        return;
    const QDate today = dateOf(m_ctx.clock.now());
    if (!m_weekFocus.isValid())
        m_weekFocus = monday.daysTo(today) >= 0 && monday.daysTo(today) < 7 ? today : monday;
    focusWeek(m_weekFocus);
}

void Overviews::yearKey(int key)
{
    if (!m_yearFocus.isValid())
        yearFocusEntered();
    if (!m_yearFocus.isValid())
        return;
    QDate next;
    switch (key) {
    case Qt::Key_PageUp:
        m_window.yearPage()->previousButton()->click();
        return;
    case Qt::Key_PageDown:
        m_window.yearPage()->nextButton()->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        leaveHover();
        emit dayActivated(m_yearFocus.day(), m_yearFocus.month(), m_yearFocus.year());
        return;
    // Months are the columns, days the rows; a shorter month takes its last day.
    case Qt::Key_Left:
        next = m_yearFocus.addMonths(-1);
        break;
    case Qt::Key_Right:
        next = m_yearFocus.addMonths(1);
        break;
    case Qt::Key_Up:
        next = m_yearFocus.addDays(-1);
        break;
    case Qt::Key_Down:
        next = m_yearFocus.addDays(1);
        break;
    default:
        return;
    }
    if (next.year() == m_yearDrawn->year)
        focusYear(next);
}

void Overviews::weekKey(int key)
{
    if (!m_weekFocus.isValid())
        weekFocusEntered();
    if (!m_weekFocus.isValid())
        return;
    int step = 0;
    switch (key) {
    case Qt::Key_PageUp:
        m_window.weekPage()->previousButton()->click();
        return;
    case Qt::Key_PageDown:
        m_window.weekPage()->nextButton()->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        leaveHover();
        emit dayActivated(m_weekFocus.day(), m_weekFocus.month(), m_weekFocus.year());
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    default:
        return;
    }
    const QDate next = m_weekFocus.addDays(step);
    const qint64 offset = drawnMonday().daysTo(next);
    if (offset >= 0 && offset < 7)
        focusWeek(next);
}

void Overviews::yearPress(QPoint picturePos)
{
    if (!m_yearDrawn)
        return;
    if (const auto cell = yearCellAt(picturePos, m_yearDrawn->legend, m_yearDrawn->year))
        focusYear(QDate(m_yearDrawn->year, cell->month, cell->day));
}

void Overviews::weekPress(QPoint picturePos)
{
    if (!m_weekDrawn)
        return;
    if (const auto position = weekPositionAt(picturePos, m_weekDrawn->legend))
        focusWeek(drawnMonday().addDays(position->day - 1));
}

void Overviews::describeDay(OverviewView* view, QDate day)
{
    // What the preview would show of the whole day, as text for screen readers.
    PreviewHidingPrompter prompter(m_ctx.prompter, *m_preview);
    const QList<PreviewEntry> entries = HoverPreview::loadDay(*m_ctx.db, prompter, m_ctx.quitState,
                                                              day.year(), day.month(), day.day());
    const DateValue dayStart = makeDate(day.year(), day.month(), day.day());
    QString text = weekdayName(weekdayOf(dayStart)) + u", den "_s +
                   formatDate(u"%dd.%mm.%yyyy", dayStart) + u':';
    for (const PreviewEntry& entry : entries) {
        const PreviewLines lines = HoverPreview::dayLines(entry, dayStart);
        text += u'\n' + lines.first + u' ' + lines.second;
    }
    view->setAccessibleDescription(text);
}
