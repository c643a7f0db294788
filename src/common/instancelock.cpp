#include "common/instancelock.h"

#include <QLockFile>

using namespace Qt::StringLiterals;

QString instanceLockPath(const QString& dataDir)
{
    return dataDir + u"ruvo.lock"_s;
}

bool takeInstanceLock(QLockFile& lock)
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    return lock.error() != QLockFile::LockFailedError;
}
