#include "app/application.h"

#include "addresses/addressbook.h"
#include "app/bootstrapwindow.h"
#include "app/splashwindow.h"
#include "app/syncwiring.h"
#include "app/terminationwatcher.h"
#include "app/trayclicks.h"
#include "app/trayhost.h"
#include "app/traymenu.h"
#include "appointments/appointmentlistcontroller.h"
#include "appointments/appointmentpage.h"
#include "appointments/daydialog.h"
#include "common/fileaccess.h"
#include "common/instancelock.h"
#include "common/version.h"
#include "groups/grouplist.h"
#include "groups/grouppanel.h"
#include "interchange/interchangeactions.h"
#include "notes/notesactions.h"
#include "notes/notespage.h"
#include "output/outputactions.h"
#include "reminders/remindercontroller.h"
#include "settings/settingsactions.h"
#include "settings/settingspage.h"
#include "store/backup.h"
#include "store/earlierfiles.h"
#include "store/schema.h"
#include "todo/todocontroller.h"
#include "update/updatecheck.h"
#include "update/updateserver.h"
#include "views/mainwindow.h"
#include "views/overviews.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace {
constexpr int kClockIntervalMs = 1000;
constexpr int kReminderIntervalMs = 10000;
constexpr int kQuitWatchIntervalMs = 100;

const QString kQuitWithoutTrayTitle = u"Ruvo beenden"_s;
const QString kQuitWithoutTrayText =
        u"Der Desktop bietet keinen Platz für das Ruvo-Symbol in der Taskleiste.\n"
        "Soll Ruvo beendet werden?\n"
        "Bei „Nein“ läuft Ruvo ohne Fenster weiter und erinnert an Termine; das Symbol erscheint, "
        "sobald der Desktop einen Platz dafür anbietet."_s;

// The update check writes its statuses on the splash picture; true when an update was fetched.
bool checkForUpdate(Context& ctx, SplashWindow& splash)
{
    UpdateCheck check(updateServerAddress(), ctx.filePath(u"current.ver"_s),
                      ctx.filePath(u"program-update.exe"_s), ctx.prompter);
    QObject::connect(&check, &UpdateCheck::statusChanged, &splash, [&splash](UpdateStatus status) {
        splash.showStatus(updateStatusText(status), updateStatusColour(status));
    });
    return check.run();
}
} // namespace

Application::Application(Context& context)
    : m_ctx(context)
    , m_instanceLock(instanceLockPath(context.dataDir))
{}

Application::~Application() = default;

int Application::run()
{
    if (!loadImagePack())
        return 0;

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_ctx.workArea = screen->availableGeometry();
        m_ctx.desktopSize = screen->geometry().size();
    }

    if (!QDir().mkpath(m_ctx.dataDir)) {
        m_ctx.prompter.warn(u"Error"_s, u"Der Datenordner „%1“ konnte nicht angelegt werden."_s.arg(
                                                QDir::toNativeSeparators(m_ctx.dataDir)));
        return 0;
    }

    // Taken before the database is touched, so two starts at the same moment cannot both work
    // on one file.
    if (!takeInstanceLock(m_instanceLock)) {
        m_ctx.prompter.inform(
                u"Instance Running"_s,
                u"Sorry, aber Ruvo ist bereits einmal gestartet, eventuell ist es in der rechten "
                "Ecke der Taskleiste als kleines Icon versteckt.(kann nicht doppelt gestartet "
                "werden)"_s);
        return 0;
    }

    if (!adoptEarlierFiles())
        return 0;
    if (!openDatabase())
        return m_ctx.quitState == QuitState::DatabaseError ? shutdown() : 0;

    readPreferences();

    std::unique_ptr<SplashWindow> splash;
    bool updateDownloaded = false;
    if (m_ctx.prefs.splash) {
        splash = std::make_unique<SplashWindow>(*m_ctx.images);
        splash->unfold(m_ctx.desktopSize);
        if (m_ctx.prefs.update)
            updateDownloaded = checkForUpdate(m_ctx, *splash);
    }

    const DateValue now = m_ctx.clock.now();
    m_ctx.view.shownYear = dateParts(now).year;
    m_ctx.view.weekStart = mondayOf(now);
    buildMainWindow();

    if (splash)
        splash->foldAndClose();
    splash.reset();

    createTrayIcon();
    // The update program replaces this one, which therefore ends before its main loop. Should it
    // not start, the user still gets the program as it is.
    if (updateDownloaded) {
        const QString program = m_ctx.filePath(u"program-update.exe"_s);
        if (UpdateCheck::startUpdateProgram(program, m_ctx.dataDir))
            return 0;
        m_ctx.prompter.warn(
                u"Fehler"_s,
                u"Das Update-Programm „%1“ konnte nicht gestartet werden. Ruvo läuft "
                "in der bisherigen Version weiter."_s.arg(QDir::toNativeSeparators(program)));
    }
    connectControls();
    startTimers();
    m_sync->start();

    // Logout or system shutdown through the session manager: end as by "Beenden". Under an open
    // dialog nobody would answer the box, and the session would kill the program first.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (!QApplication::activeModalWidget())
            m_ctx.prompter.inform(u"runterfahren"_s, u"runterfahren"_s);
        terminate();
    });
    auto* watcher = new TerminationWatcher(this);
    connect(watcher, &TerminationWatcher::terminationRequested, this, &Application::terminate);

    if (!m_tray)
        showMainWindow();

    QApplication::exec();
    return shutdown();
}

bool Application::loadImagePack()
{
    m_ctx.images = ImagePack::load(m_ctx.installedFile(u"imgs.pak"_s));
    if (!m_ctx.images) {
        m_ctx.prompter.warn(u"ERROR"_s, u"couldn't Load Image PAK-file....(hasches gfressn?\?)"_s);
        return false;
    }
    // Every window carries the program's icon; the installed one wins where the theme has it.
    QApplication::setWindowIcon(QIcon::fromTheme(
            u"org.ruvo.Ruvo"_s, QIcon(QPixmap::fromImage(m_ctx.images->trayIcon()))));
    return true;
}

bool Application::adoptEarlierFiles()
{
    QString failed;
    if (EarlierFiles::adopt(m_ctx.folders.earlier, m_ctx.dataDir, &failed) !=
        EarlierFiles::Outcome::Failed)
        return true;
    // Starting on an empty database now would leave the user's data behind for good.
    m_ctx.prompter.warn(u"Fehler"_s,
                        u"Die Daten aus „%1“ konnten nicht in den Datenordner „%2“ übernommen "
                        "werden (%3). Die alten Dateien sind unverändert."_s.arg(
                                QDir::toNativeSeparators(m_ctx.folders.earlier),
                                QDir::toNativeSeparators(m_ctx.dataDir),
                                QDir::toNativeSeparators(failed)));
    return false;
}

bool Application::openDatabase()
{
    QString error;
    m_ctx.db = Database::open(m_ctx.filePath(u"data.zr"_s), &error);
    if (!m_ctx.db) {
        m_ctx.prompter.warn(u"Error"_s, error);
        return false;
    }
    watchDatabase();

    switch (Schema::examine(*m_ctx.db)) {
    case Schema::State::Usable:
        Schema::ensureIndexes(*m_ctx.db);
        return true;
    case Schema::State::Unreadable:
        // The restore question comes before anything else tries to read the file.
        reportDatabaseError(*m_ctx.db, m_ctx.prompter, m_ctx.quitState);
        return false;
    case Schema::State::Empty:
        break;
    }

    const bool create = m_ctx.prompter.askYesNo(
            u"Datenbank"_s,
            u"Es scheint keine bestehende Datenbank zu existieren,\n"
            "entweder es wird eine Leere Datenbank erstellt, oder es wird versucht eine "
            "bestehende Datenbanksicherung rück zu sichern.\n"
            "Möchten Sie eine Neue Datenbank erstellen?"_s);
    if (!create) {
        m_ctx.db.reset();
        m_ctx.quitState = QuitState::DatabaseError;
        return false;
    }
    return createDatabase();
}

bool Application::createDatabase()
{
    BootstrapWindow window;
    window.show();
    const bool built = Schema::bootstrap(*m_ctx.db, [&window](const QString& text) {
        window.setText(text);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    window.close();
    // A full disk rolls the whole build back; every list read from the empty file would fail
    // with a box of its own.
    if (!built)
        reportDatabaseError(*m_ctx.db, m_ctx.prompter, m_ctx.quitState);
    else
        Schema::ensureIndexes(*m_ctx.db);
    return built;
}

void Application::watchDatabase()
{
    // A transaction that cannot be ended would swallow every later change without a word.
    m_ctx.db->setStuckTransactionHandler([this] { requestQuit(QuitState::DatabaseError); });
}

void Application::readPreferences()
{
    m_ctx.desktop = DesktopSettings::read(m_ctx.filePath(DesktopSettings::fileName()));
    const QString path = m_ctx.filePath(u"prefs.ini"_s);
    if (existsButUnreadable(path)) {
        m_ctx.prompter.warn(u"Fehler"_s, unreadableFileText(path));
        return;
    }
    m_ctx.prefs = Preferences::read(path);
    m_preferencesRead = true;
}

void Application::buildMainWindow()
{
    m_window = std::make_unique<MainWindow>(m_ctx.prefs);
    m_notes = new NotesActions(m_ctx, *m_window->notesPage());
    connect(m_notes, &NotesActions::preferencesChanged, this, &Application::writePreferences);
    m_overviews = std::make_unique<Overviews>(m_ctx, *m_window);
    m_window->centreOn(m_ctx.desktopSize);
    fillGroupList(*m_window->settingsPage()->groupList(), *m_ctx.db, m_ctx.prompter, *m_ctx.images);

    m_overviews->drawYear();
    m_overviews->setYearLabel();
    m_overviews->setWeekLabel();
    m_overviews->drawWeek();
    m_todo = std::make_unique<TodoController>(m_ctx, *m_window->todoPanel());
    m_todo->reload();
    m_reminders = std::make_unique<ReminderController>(m_ctx, [this] { m_todo->reload(); });
}

void Application::createTrayIcon()
{
    m_trayMenu = std::make_unique<TrayMenu>();
    connect(m_trayMenu.get(), &TrayMenu::showWindowRequested, this, &Application::showMainWindow);
    connect(m_trayMenu.get(), &TrayMenu::manageAppointmentsRequested, this, [this] {
        const DateParts today = dateParts(m_ctx.clock.now());
        openDayDialog(today.day, today.month, today.year);
    });
    connect(m_trayMenu.get(), &TrayMenu::infoRequested, this, &Application::startInfoProgram);
    connect(m_trayMenu.get(), &TrayMenu::quitRequested, this,
            [this] { requestQuit(QuitState::Exit); });

    // A host that comes later gets the icon then; one that goes takes it along.
    auto* host = new TrayHost(this);
    connect(host, &TrayHost::availabilityChanged, this, [this](bool available) {
        if (available && !m_tray) {
            addTrayIcon();
        } else if (!available && m_tray) {
            m_tray->hide();
            m_tray->deleteLater();
            m_tray = nullptr;
        }
    });
    if (host->isAvailable())
        addTrayIcon();
}

void Application::addTrayIcon()
{
    m_tray = new QSystemTrayIcon(QIcon(QPixmap::fromImage(m_ctx.images->trayIcon())), this);
    m_tray->setToolTip(u"Ruvo"_s);
    m_tray->setContextMenu(m_trayMenu.get());
    auto* clicks = new TrayClicks(m_tray);
    connect(m_tray, &QSystemTrayIcon::activated, clicks, &TrayClicks::activated);
    connect(clicks, &TrayClicks::toggleRequested, this, &Application::toggleMainWindow);
    m_tray->show();
}

void Application::toggleMainWindow()
{
    if (m_windowShown && !m_window->isMinimized()) {
        hideMainWindow();
        return;
    }
    // The window comes back with the settings as last written; if they could not be written,
    // the ones in memory are the user's and stay.
    if (m_preferencesWritten)
        m_ctx.prefs = Preferences::read(m_ctx.filePath(u"prefs.ini"_s));
    m_overviews->setWeekLabel();
    showMainWindow();
}

void Application::connectControls()
{
    connect(m_window.get(), &MainWindow::closeRequested, this, [this] {
        // Without a tray the window is the only way back in until a tray appears: ask.
        if (m_tray || !m_ctx.prompter.askYesNo(kQuitWithoutTrayTitle, kQuitWithoutTrayText))
            hideMainWindow();
        else
            requestQuit(QuitState::Exit);
    });
    connect(m_overviews.get(), &Overviews::dayActivated, this, &Application::openDayDialog);
    m_appointmentList = new AppointmentListController(m_ctx, *m_window->appointmentPage(),
                                                      *m_overviews, *m_window, this);
    m_addressBook = new AddressBook(m_ctx, *m_window, *m_overviews, this);
    SettingsPage* settings = m_window->settingsPage();
    connect(settings->backupButton(), &QPushButton::clicked, this, &Application::saveBackup);
    connect(settings->restoreButton(), &QPushButton::clicked, this, &Application::restoreBackup);
    auto* groups = new GroupPanel(m_ctx, *settings, *m_overviews, this);
    connect(groups, &GroupPanel::groupsChanged, this, [this] { m_appointmentList->refresh(); });
    new SettingsActions(m_ctx, *settings, this);
    new OutputActions(m_ctx, *settings, m_window.get());
    m_sync = new SyncWiring(m_ctx, *settings, nullptr, this);
    connect(m_sync, &SyncWiring::dataChanged, this, &Application::refreshAllViews);

    auto* interchange = new InterchangeActions(m_ctx, this);
    interchange->attach(*m_window);
    connect(interchange, &InterchangeActions::calendarImported, this, [this] {
        m_overviews->redraw();
        m_appointmentList->refresh();
        m_todo->reload();
    });
    connect(interchange, &InterchangeActions::addressesImported, this, [this] {
        m_addressBook->reload();
        m_overviews->redraw(); // the birthdays
    });
}

void Application::startTimers()
{
    connect(&m_clockTimer, &QTimer::timeout, this, &Application::clockTick);
    m_clockTimer.start(kClockIntervalMs);
    connect(&m_reminderTimer, &QTimer::timeout, this, &Application::reminderScan);
    m_reminderTimer.start(kReminderIntervalMs);
    connect(&m_quitWatch, &QTimer::timeout, this, &Application::watchQuitState);
    m_quitWatch.start(kQuitWatchIntervalMs);
    // What is due is told at start-up, not one interval later.
    reminderScan();
}

void Application::watchQuitState()
{
    // A database error deep inside the main loop's work only sets the state; end the loop soon
    // after, but never under an open dialog unless the session is ending.
    if (m_ctx.quitState == QuitState::Running)
        return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (!m_terminating)
            return;
        // One dialog at a time: the handler that opened it may open another on its way out.
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    QApplication::exit(0);
}

void Application::terminate()
{
    m_terminating = true;
    requestQuit(QuitState::Exit);
}

void Application::requestQuit(QuitState state)
{
    if (m_ctx.quitState == QuitState::Running)
        m_ctx.quitState = state;
    if (!QApplication::activeModalWidget())
        QApplication::exit(0);
}

void Application::clockTick()
{
    // Under an open box or dialog the pictures wait, so a failing redraw cannot stack its
    // messages.
    if (!m_windowShown || QApplication::activeModalWidget())
        return;
    m_overviews->clockTick(formatDate(u"%dd.%mm.%yyyy - %hh:%ii", m_ctx.clock.now()));
}

void Application::reminderScan()
{
    // The scan waits while a dialog is open, as the dialog holds the user's attention.
    if (QApplication::activeModalWidget())
        return;
    m_reminders->scan();
}

void Application::showMainWindow()
{
    m_window->centreOn(m_ctx.desktopSize);
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_windowShown = true;
    m_overviews->drawWeek();
}

void Application::hideMainWindow()
{
    m_window->hide();
    writePreferences();
    m_windowShown = false;
}

void Application::writePreferences()
{
    if (m_window) {
        m_window->storeColumnLayouts(m_ctx.prefs);
        m_ctx.prefs.curryear = m_ctx.view.shownYear;
    }
    if (m_preferencesRead)
        m_preferencesWritten = m_ctx.prefs.write(m_ctx.filePath(u"prefs.ini"_s));
    // Notes that were never loaded must not overwrite the file with an empty editor.
    if (m_notes)
        m_notes->saveNotes();
}

void Application::startInfoProgram()
{
    QString parameter = versionText();
    parameter.replace(u' ', u'_');
    if (!QProcess::startDetached(m_ctx.installedFile(u"info.zr"_s), {parameter}))
        m_ctx.prompter.warn(
                u"Info"_s,
                u"Das Info-Programm \u201einfo.zr\u201c konnte nicht gestartet werden."_s);
}

void Application::saveBackup()
{
    Backup::saveBackup(m_ctx.dataDir, m_ctx.prompter, m_ctx.clock.now());
}

void Application::restoreBackup()
{
    // No run may write into the file while it is replaced.
    m_sync->stop();
    const bool restored = Backup::restoreBackup(m_ctx.dataDir, m_ctx.prompter, m_ctx.db);
    if (!m_ctx.db) {
        // Without a connection nothing can be shown; end as after a database error.
        requestQuit(QuitState::DatabaseError);
        return;
    }
    watchDatabase();
    m_sync->start();
    if (restored)
        refreshAllViews();
}

void Application::refreshAllViews()
{
    m_overviews->databaseReplaced();
    m_overviews->drawYear();
    m_overviews->drawWeek();
    m_appointmentList->refresh();
    fillGroupList(*m_window->settingsPage()->groupList(), *m_ctx.db, m_ctx.prompter, *m_ctx.images);
    m_addressBook->reload();
    m_todo->reload();
}

void Application::openDayDialog(int day, int month, int year)
{
    m_overviews->leaveHover();
    const Database::ChangeStamp before = m_ctx.db->changeStamp();
    DayDialog dialog(m_ctx, day, month, year, m_window.get());
    connect(&dialog, &DayDialog::appointmentsChanged, m_overviews.get(), &Overviews::redraw);
    dialog.exec();
    // "Abbrechen" or a close without a change leaves the pictures and the list as they are.
    if (m_ctx.db->changeStamp() == before)
        return;
    m_overviews->drawYear();
    m_overviews->drawWeek();
    m_appointmentList->refresh();
}

int Application::shutdown()
{
    if (m_sync)
        m_sync->stop();
    m_clockTimer.stop();
    m_reminderTimer.stop();
    m_quitWatch.stop();
    if (m_tray)
        m_tray->hide();

    if (m_ctx.quitState == QuitState::DatabaseError) {
        // The damaged file must not stay open while it is replaced.
        m_ctx.db.reset();
        const Backup::RestoreOutcome outcome =
                Backup::askToRestoreRecovery(m_ctx.dataDir, m_ctx.prompter, m_ctx.db);
        if (outcome != Backup::RestoreOutcome::Restored)
            return 0;
    }
    writePreferences();
    Backup::checkAndCopyToRecovery(m_ctx.dataDir, m_ctx.prompter, m_ctx.db);
    return 0;
}
