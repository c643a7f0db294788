#pragma once

#include "store/database.h"
#include "sync/syncrun.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class SyncWorker;

// Syncs in the background: at start, periodically and a little after a local change, one run at
// a time in a worker thread with a database connection of its own to the same file.
class BackgroundSync : public QObject
{
    Q_OBJECT
public:
    struct Intervals
    {
        int periodMs = 15 * 60 * 1000;
        int afterChangeMs = 5000;
        // How often the main connection is asked whether something was written.
        int watchMs = 1000;
    };

    // `database` gives the program's own connection, watched for local changes; it may be
    // replaced (a restored backup) or be gone.
    explicit BackgroundSync(std::function<Database*()> database, QObject* parent = nullptr);
    ~BackgroundSync() override;

    void setIntervals(const Intervals& intervals);
    // What to sync and with whom, password included; nothing while no account is set or the
    // password is not known, which stops the runs.
    void setOptions(std::optional<SyncRunOptions> options);

    // The run at start and the timers.
    void start();
    // A run now, unless one is going (then one follows it) or there is nothing to sync with.
    void runNow();
    bool isRunning() const;
    // Cuts a run off and stops the timers, as at the end of the program.
    void stop();

signals:
    void runStarted();
    void runFinished(const SyncRunResult& result);
    // A run wrote here: what is shown must be read again.
    void dataChanged();

private:
    void watch();
    void finish(const SyncRunResult& result);
    Database::ChangeStamp stamp() const;

    std::function<Database*()> m_database;
    Intervals m_intervals;
    std::optional<SyncRunOptions> m_options;
    SyncWorker* m_worker;
    QTimer m_period;
    QTimer m_afterChange;
    QTimer m_watch;
    Database::ChangeStamp m_seen;
    // A local change or a request came while a run was going.
    bool m_again = false;
};
