#include "app/application.h"

#include "app/bootstrapwindow.h"
#include "app/organiserwindow.h"
#include "app/splashwindow.h"
#include "app/syncpart.h"
#include "app/terminationwatcher.h"
#include "app/trayclicks.h"
#include "app/trayhost.h"
#include "app/traymenu.h"
#include "common/fileaccess.h"
#include "common/instancelock.h"
#include "common/version.h"
#include "store/backup.h"
#include "store/earlierfiles.h"
#include "store/schema.h"
#include "update/updatecheck.h"
#include "update/updateserver.h"
#include "views/overviews.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace {
constexpr int kClockIntervalMs = 1000;
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
    buildParts();
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
    m_window = std::make_unique<OrganiserWindow>(m_ctx.prefs);
    m_overviews = std::make_unique<Overviews>(m_ctx, *m_window);
    m_window->centreOn(m_ctx.desktopSize);
    m_overviews->drawYear();
    m_overviews->setYearLabel();
    m_overviews->setWeekLabel();
    m_overviews->drawWeek();
}

void Application::createTrayIcon()
{
    m_trayMenu = std::make_unique<TrayMenu>();
    connect(m_trayMenu.get(), &TrayMenu::showWindowRequested, this, &Application::showMainWindow);
    connect(m_trayMenu.get(), &TrayMenu::manageAppointmentsRequested, this, [this] {
        const DateParts today = dateParts(m_ctx.clock.now());
        if (m_appointments)
            m_appointments->openDayDialog(today.day, today.month, today.year);
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

void Application::buildParts()
{
    connect(m_window.get(), &OrganiserWindow::closeRequested, this, [this] {
        // Without a tray the window is the only way back in until a tray appears: ask.
        if (m_tray || !m_ctx.prompter.askYesNo(kQuitWithoutTrayTitle, kQuitWithoutTrayText))
            hideMainWindow();
        else
            requestQuit(QuitState::Exit);
    });
    // The pictures show appointments, to-do dates and birthdays.
    for (auto changed : {&Changes::appointmentsChanged, &Changes::addressesChanged})
        connect(&m_changes, changed, m_overviews.get(), &Overviews::redraw);
    connect(&m_changes, &Changes::databaseReplaced, this, [this] {
        m_overviews->databaseReplaced();
        m_overviews->redraw();
    });

    const PartContext parts{m_ctx, *m_window, *m_overviews, m_changes};
    m_notes = new NotesPart(parts, &m_partOwner);
    connect(m_notes, &NotesPart::preferencesChanged, this, &Application::writePreferences);
    new GroupsPart(parts, &m_partOwner);
    new TodoPart(parts, &m_partOwner);
    m_reminders = new RemindersPart(parts, &m_partOwner);
    m_appointments = new AppointmentsPart(parts, &m_partOwner);
    new AddressesPart(parts, &m_partOwner);
    auto* settings = new SettingsPart(parts, &m_partOwner);
    connect(settings, &SettingsPart::databaseLost, this,
            [this] { requestQuit(QuitState::DatabaseError); });
    connect(&m_changes, &Changes::databaseReopened, this, &Application::watchDatabase);
    new InterchangePart(parts, &m_partOwner);

    m_sync = new SyncPart(m_ctx, *m_window->settingsPage(), nullptr, &m_partOwner);
    connect(m_sync, &SyncPart::dataChanged, &m_changes, [this] {
        emit m_changes.appointmentsChanged();
        emit m_changes.todosChanged();
        emit m_changes.addressesChanged();
    });
    // No run may write into the file while a restore replaces it.
    connect(&m_changes, &Changes::databaseClosing, m_sync, &SyncPart::stop);
    connect(&m_changes, &Changes::databaseReopened, m_sync, &SyncPart::start);
}

void Application::startTimers()
{
    connect(&m_clockTimer, &QTimer::timeout, this, &Application::clockTick);
    m_clockTimer.start(kClockIntervalMs);
    connect(&m_quitWatch, &QTimer::timeout, this, &Application::watchQuitState);
    m_quitWatch.start(kQuitWatchIntervalMs);
    m_reminders->start();
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
        m_notes->save();
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

int Application::shutdown()
{
    if (m_sync)
        m_sync->stop();
    m_clockTimer.stop();
    if (m_reminders)
        m_reminders->stop();
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
