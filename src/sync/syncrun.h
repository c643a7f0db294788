#pragma once

#include "sync/collectionsync.h"
#include "sync/synccommand.h"
#include "sync/syncsettings.h"

#include <optional>

class Database;

// What one run syncs and with whom.
struct SyncRunOptions
{
    SyncAccount account;
    // Calendar address -> group; calendars not named here go by the engine's default.
    QHash<QString, int> calendarGroups;
    // The address book to sync the addresses with; empty for none unless firstAddressBook.
    QString addressBook;
    // Without a window to choose one, the first address book is the one.
    bool firstAddressBook = false;
    QList<Subscription> subscriptions;
    int importYear = 0;
    int deadlineMs = 30000;
};

struct SyncRunResult
{
    QString error; // one sentence; empty when everything went through
    // Each once it ran, whether or not it went through.
    std::optional<SyncSummary> calendars;
    std::optional<SyncSummary> addresses;
    // Subscriptions whose rows were written anew.
    int subscriptionsRefreshed = 0;

    // Whether anything here changed, so that what is shown must be read again.
    bool wroteLocally() const;
    // One line for the status of the settings page.
    QString statusText() const;
};

// Why the address is not used for syncing, in one sentence; empty when it is fine.
QString syncAddressProblem(const QString& url);

// One sync of the account with the database: the calendars, then the address book, then the
// subscriptions that are due (without an account, only those). Stops at the first failure of
// the account; what the server confirmed up to then stays recorded. A failing subscription does
// not keep the others from their refresh; the first failure is the run's error. Waits for the
// server with nested event loops, so it belongs in a thread of its own wherever a window must keep
// answering.
SyncRunResult runSync(Database& db, const SyncRunOptions& options);
