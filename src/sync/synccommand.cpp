#include "sync/synccommand.h"

#include "common/instancelock.h"
#include "interchange/commandline.h"
#include "store/database.h"
#include "store/schema.h"
#include "sync/collectionsync.h"
#include "sync/davclient.h"
#include "sync/discovery.h"

#include <QFileInfo>
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
    if (!takeInstanceLock(lock)) {
        err << u"Ruvo läuft bereits und arbeitet mit dem Datenordner "_s << dataDir
            << u". Bitte Ruvo zuerst beenden."_s << Qt::endl;
        return kExitInstanceRuns;
    }
    const QString path = dataDir + u"data.zr"_s;
    if (!QFileInfo(path).isFile()) {
        err << u"Im Datenordner "_s << dataDir
            << u" gibt es noch keine Datenbank. Ruvo bitte einmal starten, um sie anzulegen."_s
            << Qt::endl;
        return kExitNoDatabase;
    }
    QString error;
    std::unique_ptr<Database> db = Database::open(path, &error);
    if (!db || Schema::examine(*db) != Schema::State::Usable) {
        err << u"Die Datenbank "_s << path << u" ist nicht lesbar: "_s
            << (db ? db->errorText() : error) << Qt::endl;
        return kExitNoDatabase;
    }

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
