#include "common/instancelock.h"

#include <QLockFile>

using namespace Qt::StringLiterals;

namespace {
// An owner writes its details right after creating the file; this is ample for one starting
// at the same moment.
constexpr int kStartingOwnerMs = 200;
} // namespace

QString instanceLockPath(const QString& dataDir)
{
    return dataDir + u"ruvo.lock"_s;
}

bool takeInstanceLock(QLockFile& lock)
{
    // No age makes a lock stale: a run may last for weeks.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return true;

    // Qt takes over a lock only when the process it names is gone, so a file left empty or
    // garbled by a power cut would refuse every start for good. Its owner also holds a lock on
    // the file itself, which ends with the process however that ends: that decides.
    qint64 pid = 0;
    QString host;
    QString program;
    if (!lock.getLockInfo(&pid, &host, &program)) {
        if (lock.tryLock(kStartingOwnerMs))
            return true;
        if (lock.error() != QLockFile::LockFailedError)
            return true;
    }
    if (!lock.removeStaleLockFile())
        return false;
    return lock.tryLock(0) || lock.error() != QLockFile::LockFailedError;
}
