#include "sync/syncrun.h"

#include "sync/davclient.h"
#include "sync/discovery.h"
#include "sync/subscription.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

bool SyncRunResult::wroteLocally() const
{
    const auto wrote = [](const SyncSummary& s) {
        return s.received > 0 || s.removedHere > 0 || !s.conflicts.isEmpty();
    };
    return (calendars && wrote(*calendars)) || (addresses && wrote(*addresses)) ||
           subscriptionsRefreshed > 0;
}

QString SyncRunResult::statusText() const
{
    if (!error.isEmpty())
        return error;
    QString text = calendars ? calendars->text() : QString();
    if (addresses)
        text += u" Adressen: "_s + addresses->text();
    if (subscriptionsRefreshed > 0)
        text += u" Abonnements aktualisiert: "_s + QString::number(subscriptionsRefreshed) + u"."_s;
    return text.trimmed();
}

QString syncAddressProblem(const QString& url)
{
    if (url.isEmpty())
        return u"Es ist keine Server-Adresse eingetragen."_s;
    if (!isAcceptedSyncUrl(QUrl(url, QUrl::StrictMode)))
        return refusedAddressText(url);
    return {};
}

namespace {

void syncAccount(Database& db, const SyncRunOptions& options, SyncRunResult& result)
{
    result.error = syncAddressProblem(options.account.url);
    if (!result.error.isEmpty())
        return;
    const QUrl start(options.account.url, QUrl::StrictMode);

    DavClient client(options.account.user, options.account.password);
    client.setDeadline(options.deadlineMs);
    const DiscoveryResult found = discoverCollections(client, start);
    if (!found.error.isEmpty()) {
        result.error = found.error;
        return;
    }
    if (found.calendars.isEmpty()) {
        result.error = u"Der Server "_s + start.host() + u" bietet keinen Kalender an."_s;
        return;
    }

    CollectionSync sync(db, client, options.importYear);
    sync.setCalendarGroups(options.calendarGroups);
    result.calendars = sync.run(found.calendars);
    if (!result.calendars->error.isEmpty()) {
        result.error = result.calendars->error;
        return;
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
        return;
    }
    if (book) {
        result.addresses = sync.runAddressBook(*book);
        if (!result.addresses->error.isEmpty()) {
            result.error = result.addresses->error;
            return;
        }
    }
}

void refreshDueSubscriptions(Database& db, const SyncRunOptions& options, SyncRunResult& result)
{
    // A subscription's requests carry no name or password: the account's are for its server.
    DavClient client{QString(), QString()};
    client.setDeadline(options.deadlineMs);
    for (const Subscription& s : options.subscriptions) {
        if (!subscriptionDue(db, s.url, QDateTime::currentDateTimeUtc()))
            continue;
        const SubscriptionResult refreshed = refreshSubscription(db, client, s, options.importYear);
        if (!refreshed.error.isEmpty()) {
            if (result.error.isEmpty())
                result.error = refreshed.error;
        } else if (!refreshed.unchanged) {
            ++result.subscriptionsRefreshed;
        }
    }
}

} // namespace

SyncRunResult runSync(Database& db, const SyncRunOptions& options)
{
    SyncRunResult result;
    if (!options.account.url.isEmpty() || options.subscriptions.isEmpty())
        syncAccount(db, options, result);
    // A server that is down keeps no feed from its refresh.
    refreshDueSubscriptions(db, options, result);
    return result;
}
