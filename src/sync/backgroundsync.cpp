#include "sync/backgroundsync.h"

#include "sync/syncworker.h"

using namespace Qt::StringLiterals;

namespace {
// The main connection may hold the file for a while; the sync waits for it instead of failing.
constexpr int kWorkerBusyTimeoutMs = 15000;
} // namespace

BackgroundSync::BackgroundSync(std::function<Database*()> database, QObject* parent)
    : QObject(parent)
    , m_database(std::move(database))
    , m_worker(new SyncWorker(this))
{
    m_afterChange.setSingleShot(true);
    connect(&m_period, &QTimer::timeout, this, &BackgroundSync::runNow);
    connect(&m_afterChange, &QTimer::timeout, this, &BackgroundSync::runNow);
    connect(&m_watch, &QTimer::timeout, this, &BackgroundSync::watch);
}

BackgroundSync::~BackgroundSync()
{
    stop();
}

Database::ChangeStamp BackgroundSync::stamp() const
{
    Database* db = m_database();
    return db ? db->changeStamp() : Database::ChangeStamp{};
}

void BackgroundSync::setIntervals(const Intervals& intervals)
{
    m_intervals = intervals;
}

void BackgroundSync::setOptions(std::optional<SyncRunOptions> options)
{
    m_options = std::move(options);
}

void BackgroundSync::start()
{
    m_seen = stamp();
    m_period.start(m_intervals.periodMs);
    m_watch.start(m_intervals.watchMs);
    runNow();
}

bool BackgroundSync::isRunning() const
{
    return m_worker->isBusy();
}

void BackgroundSync::stop()
{
    m_period.stop();
    m_afterChange.stop();
    m_watch.stop();
    m_worker->cutOff();
}

void BackgroundSync::watch()
{
    const Database::ChangeStamp now = stamp();
    if (now == m_seen)
        return;
    // While a run goes, the file changes by its own writes; only this connection's own
    // statements are the user's then.
    const bool local = !isRunning() || now.statements != m_seen.statements;
    m_seen = now;
    if (!local)
        return;
    if (isRunning())
        m_again = true;
    else
        m_afterChange.start(m_intervals.afterChangeMs);
}

void BackgroundSync::runNow()
{
    Database* main = m_database();
    if (!m_options || !main)
        return;
    if (isRunning()) {
        m_again = true;
        return;
    }
    m_afterChange.stop();
    m_again = false;
    auto result = std::make_shared<SyncRunResult>();
    const SyncRunOptions options = *m_options;
    const QString path = main->path();
    m_worker->start(
            [result, options, path] {
                QString error;
                const std::unique_ptr<Database> db = Database::open(path, &error);
                if (!db) {
                    result->error =
                            u"Die Datenbank konnte für die Synchronisation nicht geöffnet werden: "_s +
                            error;
                    return;
                }
                db->setBusyTimeout(kWorkerBusyTimeoutMs);
                *result = runSync(*db, options);
            },
            [this, result] { finish(*result); });
    emit runStarted();
}

void BackgroundSync::finish(const SyncRunResult& result)
{
    // What the run wrote is no local change; what this connection wrote meanwhile was caught by
    // watch().
    const Database::ChangeStamp now = stamp();
    if (now.statements != m_seen.statements)
        m_again = true;
    m_seen = now;
    emit runFinished(result);
    if (result.wroteLocally())
        emit dataChanged();
    if (m_again) {
        m_again = false;
        m_afterChange.start(m_intervals.afterChangeMs);
    }
}
