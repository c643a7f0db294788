#pragma once

#include "sync/passwordstore.h"
#include "sync/syncsettings.h"

#include <QObject>

#include <memory>

class BackgroundSync;
class SettingsPage;
struct Context;
struct SyncRunResult;

// The sync inside the running program: the account from sync.ini and the password store, the
// background runs, the dialog behind the settings page's button and its status line.
class SyncPart : public QObject
{
    Q_OBJECT
public:
    // Without a store of its own it uses the desktop's secret service.
    SyncPart(Context& ctx, SettingsPage& page, std::unique_ptr<SecretStore> store = nullptr,
             QObject* parent = nullptr);
    ~SyncPart() override;

    PasswordStore& passwords() { return *m_passwords; }
    BackgroundSync& background() { return *m_background; }

    // Reads the account, asks for the password where needed and starts the runs.
    void start();
    // Cuts a run off and ends the runs until the next start(), as before the database file is
    // replaced or the program ends.
    void stop();
    // The dialog "Synchronisation…"; a changed account is synced at once.
    void openDialog();

signals:
    // A run wrote here: what is shown must be read again.
    void dataChanged();

private:
    void configure();
    void setRunOptions(const SyncSettings& settings, const QString& password);
    // The line as shown, the details as its tool tip (the line itself when empty).
    void showStatus(const QString& text, const QString& details = {});
    void runFinished(const SyncRunResult& result);

    Context& m_ctx;
    SettingsPage& m_page;
    PasswordStore* m_passwords;
    BackgroundSync* m_background;
    SyncSettings m_settings;
    bool m_started = false;
};
