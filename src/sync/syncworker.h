#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QThread;

// Runs one piece of work at a time in a thread of its own and hands back in this object's thread
// that it ended. The sync waits for the server in nested event loops; in the window's thread they
// would run the program's handlers in the middle of its own.
class SyncWorker : public QObject
{
    Q_OBJECT
public:
    explicit SyncWorker(QObject* parent = nullptr);
    // Cuts off what still runs.
    ~SyncWorker() override;

    bool isBusy() const { return m_thread != nullptr; }
    // False, doing nothing, while other work runs. `done` is called here once `work` returned;
    // the work hands its result over through what both capture.
    bool start(std::function<void()> work, std::function<void()> done);
    // Ends every event loop the work waits in, so that its requests fail at once, and waits for
    // the thread; `done` is not called.
    void cutOff();

private:
    std::unique_ptr<QThread> m_thread;
};
