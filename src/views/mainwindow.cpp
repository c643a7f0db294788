#include "views/mainwindow.h"

#include "addresses/addresspage.h"
#include "appointments/appointmentpage.h"
#include "common/preferences.h"
#include "common/version.h"
#include "notes/notespage.h"
#include "settings/settingspage.h"
#include "todo/todopanel.h"
#include "views/listcolumns.h"
#include "views/overviewpage.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeView>
#include <QTreeWidget>

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

    m_todo = new TodoPanel(this);

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
    m_addresses = new AddressPage(prefs);
    m_appointments = new AppointmentPage(prefs);
    m_notes = new NotesPage(m_w, m_h, prefs);
    m_settings = new SettingsPage(prefs);
    m_tabs->addTab(m_year, u"Jahresübersicht"_s);
    m_tabs->addTab(m_week, u"Wochenübersicht"_s);
    m_tabs->addTab(m_addresses, u"Adressbuch"_s);
    m_tabs->addTab(m_appointments, u"Terminübersicht"_s);
    m_tabs->addTab(m_notes, u"Notizen"_s);
    m_tabs->addTab(m_settings, u"Einstellungen"_s);
    m_tabs->setCurrentIndex(WeekPageIndex);
    nameControls();
}

void MainWindow::nameControls()
{
    // Screen readers say these names for controls that have no text of their own.
    m_todo->list()->setAccessibleName(u"ToDo"_s);
    m_addresses->list()->setAccessibleName(u"Adressbuch"_s);
    m_addresses->searchField()->setAccessibleName(u"Adressbuch: Suchen"_s);
    m_appointments->list()->setAccessibleName(u"Terminübersicht"_s);
    m_appointments->searchField()->setAccessibleName(u"Terminübersicht: Suchen"_s);
    m_notes->editor()->setAccessibleName(u"Notizen"_s);
    m_settings->groupList()->setAccessibleName(u"Gruppen"_s);
    m_settings->redSlider()->setAccessibleName(u"Balkenfarbe: Red"_s);
    m_settings->greenSlider()->setAccessibleName(u"Balkenfarbe: Green"_s);
    m_settings->blueSlider()->setAccessibleName(u"Balkenfarbe: Blue"_s);
}

int MainWindow::currentPage() const
{
    return m_tabs->currentIndex();
}

void MainWindow::storeColumnLayouts(Preferences& prefs) const
{
    readColumnsInDisplayOrder(*m_addresses->list(), prefs.addressColumnTitles,
                              prefs.addressColumnWidths);
    readColumnsInDisplayOrder(*m_appointments->list(), prefs.appointmentColumnTitles,
                              prefs.appointmentColumnWidths);
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
