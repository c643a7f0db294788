#pragma once

#include "core/context.h"

#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <memory>

class AddressBook;
class AppointmentListController;
class MainWindow;
class NotesActions;
class Overviews;
class QSystemTrayIcon;
class ReminderController;
class SplashWindow;
class SyncWiring;
class TodoController;
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

    MainWindow* mainWindow() const { return m_window.get(); }

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
    void connectControls();
    void startTimers();
    void watchQuitState();
    void terminate();
    void clockTick();
    void reminderScan();
    void startInfoProgram();
    void saveBackup();
    void restoreBackup();
    void refreshAllViews();
    void openDayDialog(int day, int month, int year);
    int shutdown();

    Context& m_ctx;
    QLockFile m_instanceLock;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Overviews> m_overviews;
    std::unique_ptr<TodoController> m_todo;
    std::unique_ptr<ReminderController> m_reminders;
    std::unique_ptr<TrayMenu> m_trayMenu;
    SyncWiring* m_sync = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    AppointmentListController* m_appointmentList = nullptr;
    AddressBook* m_addressBook = nullptr;
    QTimer m_clockTimer;
    QTimer m_reminderTimer;
    QTimer m_quitWatch;
    NotesActions* m_notes = nullptr;
    bool m_windowShown = false;
    // Preferences reach the file only once they were read from it (or it did not exist yet):
    // defaults written over an unread file would wipe the user's settings.
    bool m_preferencesRead = false;
    bool m_preferencesWritten = false;
    // A termination request ends open dialogs as "Abbrechen" would, then the regular exit runs.
    bool m_terminating = false;
};
