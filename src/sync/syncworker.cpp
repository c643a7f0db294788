#include "sync/syncworker.h"

#include <QThread>

SyncWorker::SyncWorker(QObject* parent)
    : QObject(parent)
{}

SyncWorker::~SyncWorker()
{
    cutOff();
}

bool SyncWorker::start(std::function<void()> work, std::function<void()> done)
{
    if (m_thread)
        return false;
    m_thread.reset(QThread::create(std::move(work)));
    // Queued into this thread, as the signal comes from the worker's.
    connect(
            m_thread.get(), &QThread::finished, this,
            [this, done = std::move(done)] {
                // The thread object goes after this handler, not inside its own signal.
                m_thread.release()->deleteLater();
                done();
            },
            Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void SyncWorker::cutOff()
{
    if (!m_thread)
        return;
    m_thread->disconnect(this);
    // exit() ends the nested loops too, and every later one returns at once: each request fails
    // and the sync stops there, with what the server confirmed recorded.
    m_thread->exit(1);
    m_thread->wait();
    m_thread.reset();
}
