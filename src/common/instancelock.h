#pragma once

#include <QString>

class QLockFile;

// The lock a running Ruvo holds in its data folder (given with its trailing separator), so that
// neither a second start nor a command-line import changes the file underneath it.
QString instanceLockPath(const QString& dataDir);

// Takes the lock; false only while another running instance holds it. A lock left by a crashed
// run, whatever the file holds (even nothing), is taken over once no process holds it; a folder
// that cannot take the lock file is left to the database, which cannot be written there either.
bool takeInstanceLock(QLockFile& lock);
