#include "views/overviews.h"

#include "app/context.h"
#include "views/mainwindow.h"
#include "views/overviewview.h"
#include "views/weekpage.h"
#include "views/yearpage.h"

#include <QLabel>

using namespace Qt::StringLiterals;

Overviews::Overviews(Context& ctx, MainWindow& window)
    : m_ctx(ctx)
    , m_window(window)
{
    QImage black(window.pictureWidth(), window.pictureHeight(), QImage::Format_RGB32);
    black.fill(Qt::black);
    window.yearPage()->view()->setImage(black);
    window.weekPage()->view()->setImage(black);
}

Overviews::~Overviews() = default;

void Overviews::drawYear() {}

void Overviews::drawWeek() {}

void Overviews::setYearLabel()
{
    const int year = m_ctx.view.shownYear;
    QString text = QString::number(year);
    if (isLeapYear(year))
        text += u" (Schaltjahr)"_s;
    m_window.yearPage()->yearLabel()->setText(text);
}

void Overviews::setWeekLabel() {}

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

void Overviews::paintBarStrips() {}
