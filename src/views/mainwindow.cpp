#include "views/mainwindow.h"

#include "common/preferences.h"
#include "common/version.h"
#include "views/overviewpage.h"

#include <QCloseEvent>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

// A tab control that can tell its page area before it is first shown: the pictures are sized
// from it while the window is still hidden.
class PageTabWidget : public QTabWidget
{
public:
    using QTabWidget::QTabWidget;
    QSize pageSize()
    {
        QStyleOptionTabWidgetFrame option;
        initStyleOption(&option);
        return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).size();
    }
};

} // namespace

QString MainWindow::title()
{
    return u"Ruvo          V"_s + versionText() + u" by zr"_s;
}

MainWindow::MainWindow(const Preferences& prefs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"mainWindow"_s);
    setWindowTitle(title());
    setFixedSize(800, 550);
    // Built out of sight; start-up moves it to the centre.
    move(-820, -650);

    auto* tabs = new PageTabWidget(this);
    m_tabs = tabs;
    m_tabs->setObjectName(u"pages"_s);
    m_tabs->setGeometry(0, 0, 650, 550);
    m_tabs->addTab(new QWidget, u"Jahresübersicht"_s); // replaced below, sized the tab bar
    const QSize page = tabs->pageSize();
    m_tabs->removeTab(0);
    m_w = page.width() - 1;
    m_h = page.height() - 24;

    const bool legend = prefs.legende != 0;
    m_year = new OverviewPage(OverviewPage::Kind::Year, m_w, m_h, legend);
    m_week = new OverviewPage(OverviewPage::Kind::Week, m_w, m_h, legend);
    m_tabs->addTab(m_year, u"Jahresübersicht"_s);
    m_tabs->addTab(m_week, u"Wochenübersicht"_s);
    m_tabs->setCurrentIndex(WeekPageIndex);
}

int MainWindow::currentPage() const
{
    return m_tabs->currentIndex();
}

void MainWindow::addPage(QWidget* page, const QString& title)
{
    m_tabs->addTab(page, title);
}

void MainWindow::centreOn(const QSize& desktop)
{
    move((desktop.width() - 805) / 2, (desktop.height() - 555) / 2);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit closeRequested();
}
