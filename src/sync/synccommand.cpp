#include "sync/synccommand.h"

#include "common/instancelock.h"
#include "interchange/commandline.h"
#include "store/database.h"
#include "sync/collectionsync.h"
#include "sync/davclient.h"
#include "sync/discovery.h"

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
    const QUrl start(account.url, QUrl::StrictMode);
    if (account.url.isEmpty() || account.user.isEmpty()) {
        err << u"Für --sync bitte RUVO_SYNC_URL, RUVO_SYNC_USER und RUVO_SYNC_PASSWORD setzen."_s
            << Qt::endl;
        return kExitBadFile;
    }
    if (!isAcceptedSyncUrl(start)) {
        err << u"Die Adresse "_s << account.url
            << u" wird nicht verwendet: nur https, unverschlüsseltes http nur zu diesem Rechner."_s
            << Qt::endl;
        return kExitBadFile;
    }
    QLockFile lock(instanceLockPath(dataDir));
    int refused = kExitDone;
    const std::unique_ptr<Database> db = openDataFolder(dataDir, lock, err, refused);
    if (!db)
        return refused;

    DavClient client(account.user, account.password);
    client.setDeadline(deadlineMs);
    const DiscoveryResult found = discoverCollections(client, start);
    if (!found.error.isEmpty()) {
        err << found.error << Qt::endl;
        return kExitBadFile;
    }
    if (found.calendars.isEmpty()) {
        err << u"Der Server "_s << start.host() << u" bietet keinen Kalender an."_s << Qt::endl;
        return kExitBadFile;
    }
    CollectionSync sync(*db, client, importYear);
    const SyncSummary summary = sync.run(found.calendars);
    if (!summary.error.isEmpty()) {
        err << summary.error << Qt::endl;
        return kExitBadFile;
    }
    out << summary.text() << Qt::endl;
    // Without a window to choose one, the first address book is the one.
    if (!found.addressBooks.isEmpty()) {
        const SyncSummary addresses = sync.runAddressBook(found.addressBooks.front());
        if (!addresses.error.isEmpty()) {
            err << addresses.error << Qt::endl;
            return kExitBadFile;
        }
        out << u"Adressen: "_s << addresses.text() << Qt::endl;
    }
    return kExitDone;
}
