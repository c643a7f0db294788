#include "sync/syncrun.h"

#include "sync/davclient.h"
#include "sync/discovery.h"

using namespace Qt::StringLiterals;

bool SyncRunResult::wroteLocally() const
{
    const auto wrote = [](const SyncSummary& s) {
        return s.received > 0 || s.removedHere > 0 || !s.conflicts.isEmpty();
    };
    return (calendars && wrote(*calendars)) || (addresses && wrote(*addresses));
}

QString SyncRunResult::statusText() const
{
    if (!error.isEmpty())
        return error;
    QString text = calendars ? calendars->text() : QString();
    if (addresses)
        text += u" Adressen: "_s + addresses->text();
    return text;
}

QString syncAddressProblem(const QString& url)
{
    if (url.isEmpty())
        return u"Es ist keine Server-Adresse eingetragen."_s;
    if (!isAcceptedSyncUrl(QUrl(url, QUrl::StrictMode)))
        return u"Die Adresse "_s + url +
               u" wird nicht verwendet: nur https, unverschlüsseltes http nur zu diesem Rechner."_s;
    return {};
}

SyncRunResult runSync(Database& db, const SyncRunOptions& options)
{
    SyncRunResult result;
    result.error = syncAddressProblem(options.account.url);
    if (!result.error.isEmpty())
        return result;
    const QUrl start(options.account.url, QUrl::StrictMode);

    DavClient client(options.account.user, options.account.password);
    client.setDeadline(options.deadlineMs);
    const DiscoveryResult found = discoverCollections(client, start);
    if (!found.error.isEmpty()) {
        result.error = found.error;
        return result;
    }
    if (found.calendars.isEmpty()) {
        result.error = u"Der Server "_s + start.host() + u" bietet keinen Kalender an."_s;
        return result;
    }

    CollectionSync sync(db, client, options.importYear);
    // MERGE: the engine takes the user's mapping here:
    //     sync.setCalendarGroups(options.calendarGroups);
    result.calendars = sync.run(found.calendars);
    if (!result.calendars->error.isEmpty()) {
        result.error = result.calendars->error;
        return result;
    }

    const DavCollection* book = nullptr;
    for (const DavCollection& b : found.addressBooks) {
        if (options.firstAddressBook || b.url.toString() == options.addressBook) {
            book = &b;
            break;
        }
    }
    if (!book && !options.firstAddressBook && !options.addressBook.isEmpty()) {
        result.error = u"Das Adressbuch "_s + options.addressBook +
                       u" gibt es auf dem Server nicht mehr; bitte unter „Synchronisation…“ "
                       u"ein anderes wählen."_s;
        return result;
    }
    if (book) {
        result.addresses = sync.runAddressBook(*book);
        if (!result.addresses->error.isEmpty()) {
            result.error = result.addresses->error;
            return result;
        }
    }

    // MERGE: the subscriptions that are due, each into its group:
    //     for (const SyncSubscription& s : options.subscriptions)
    //         if (subscriptionDue(db, s.url, QDateTime::currentDateTimeUtc()))
    //             refreshSubscription(db, client, {s.url, s.group}, options.importYear);
    // taking the first failure into result.error.
    return result;
}
