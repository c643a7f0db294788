#pragma once

#include "app/parts.h"
#include "core/context.h"

#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <memory>

class OrganiserWindow;
class Overviews;
class QSystemTrayIcon;
class SplashWindow;
class SyncPart;
class TrayMenu;

// The program's run: start-up, the event loop with tray icon and timers, and shutdown.
class Application : public QObject
{
    Q_OBJECT
public:
    explicit Application(Context& context);
    ~Application() override;

    // Runs the program to its end and returns the exit code.
    int run();

    OrganiserWindow* mainWindow() const { return m_window.get(); }

    // Asks the event loop to end after the current handler, with the given state.
    void requestQuit(QuitState state);

    void showMainWindow();
    void hideMainWindow();
    // The tray icon's click: hides a shown window, shows a hidden or minimised one.
    void toggleMainWindow();

    // Preferences, notes and the column layouts, written whole.
    void writePreferences();

private:
    bool loadImagePack();
    bool adoptEarlierFiles();
    bool openDatabase();
    bool createDatabase();
    void watchDatabase();
    void readPreferences();
    void buildMainWindow();
    void createTrayIcon();
    void addTrayIcon();
    void buildParts();
    void startTimers();
    void watchQuitState();
    void terminate();
    void clockTick();
    void startInfoProgram();
    int shutdown();

    Context& m_ctx;
    QLockFile m_instanceLock;
    std::unique_ptr<OrganiserWindow> m_window;
    std::unique_ptr<Overviews> m_overviews;
    Changes m_changes;
    // Owns the parts, which go before the window and the pictures they work on.
    QObject m_partOwner;
    AppointmentsPart* m_appointments = nullptr;
    RemindersPart* m_reminders = nullptr;
    NotesPart* m_notes = nullptr;
    SyncPart* m_sync = nullptr;
    std::unique_ptr<TrayMenu> m_trayMenu;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer m_clockTimer;
    QTimer m_quitWatch;
    bool m_windowShown = false;
    // Preferences reach the file only once they were read from it (or it did not exist yet):
    // defaults written over an unread file would wipe the user's settings.
    bool m_preferencesRead = false;
    bool m_preferencesWritten = false;
    // A termination request ends open dialogs as "Abbrechen" would, then the regular exit runs.
    bool m_terminating = false;
};
