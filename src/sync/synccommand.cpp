#include "sync/synccommand.h"

#include "common/instancelock.h"
#include "interchange/commandline.h"
#include "store/database.h"
#include "sync/syncrun.h"

#include <QLockFile>
#include <QTextStream>

using namespace Qt::StringLiterals;

SyncAccount syncAccountFromEnvironment()
{
    return {qEnvironmentVariable("RUVO_SYNC_URL"), qEnvironmentVariable("RUVO_SYNC_USER"),
            qEnvironmentVariable("RUVO_SYNC_PASSWORD")};
}

int runSyncCommand(const QString& dataDir, const SyncAccount& account, int importYear,
                   QTextStream& out, QTextStream& err, int deadlineMs)
{
    if (account.url.isEmpty() || account.user.isEmpty()) {
        err << u"Für --sync bitte RUVO_SYNC_URL, RUVO_SYNC_USER und RUVO_SYNC_PASSWORD setzen."_s
            << Qt::endl;
        return kExitBadFile;
    }
    // Refused before the folder is locked, as a running program need not wait for that.
    if (const QString problem = syncAddressProblem(account.url); !problem.isEmpty()) {
        err << problem << Qt::endl;
        return kExitBadFile;
    }
    QLockFile lock(instanceLockPath(dataDir));
    int refused = kExitDone;
    const std::unique_ptr<Database> db = openDataFolder(dataDir, lock, err, refused);
    if (!db)
        return refused;

    SyncRunOptions options;
    options.account = account;
    options.firstAddressBook = true;
    options.importYear = importYear;
    options.deadlineMs = deadlineMs;
    const SyncRunResult result = runSync(*db, options);
    if (result.calendars && result.calendars->error.isEmpty())
        out << result.calendars->text() << Qt::endl;
    if (!result.error.isEmpty()) {
        err << result.error << Qt::endl;
        return kExitBadFile;
    }
    if (result.addresses)
        out << u"Adressen: "_s << result.addresses->text() << Qt::endl;
    return kExitDone;
}
