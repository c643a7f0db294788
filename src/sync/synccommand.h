#pragma once

#include <QString>

class QTextStream;

// The account of one run.
struct SyncAccount
{
    QString url;
    QString user;
    QString password;
};

// The account from RUVO_SYNC_URL, RUVO_SYNC_USER and RUVO_SYNC_PASSWORD.
SyncAccount syncAccountFromEnvironment();

// `ruvo --sync`: every calendar and the first address book of the account synced with the data
// folder (with its trailing separator), without a window. Returns the exit codes of the other
// commands: 0 done, 1 the sync failed, 2 no usable database, 3 a running Ruvo holds the folder. The
// summary goes to `out`, the reason of a failure to `err`.
int runSyncCommand(const QString& dataDir, const SyncAccount& account, int importYear,
                   QTextStream& out, QTextStream& err, int deadlineMs = 30000);
