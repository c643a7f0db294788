#pragma once

#include "sync/subscription.h"

#include <QHash>
#include <QList>
#include <QString>

// The sync account and what the user chose for it, kept in sync.ini of the data folder beside
// prefs.ini, which stays as older copies read it. The password is never kept here.
struct SyncSettings
{
    QString url;
    QString user;
    // Calendar address (as QUrl::toString() gives it) -> group number.
    QHash<QString, int> calendarGroups;
    // The address book synced with the addresses; empty for none.
    QString addressBook;
    QList<Subscription> subscriptions;

    // Without a server and a user there is nothing to sync with.
    bool hasAccount() const { return !url.isEmpty() && !user.isEmpty(); }
    // The name under which the password is kept in the desktop's secret store.
    QString passwordKey() const { return user + QLatin1Char('@') + url; }

    static QString fileName();
    // A missing or unreadable file gives no account.
    static SyncSettings read(const QString& path);
    // Replaces the file at once; false when it could not be written.
    bool write(const QString& path) const;

    friend bool operator==(const SyncSettings&, const SyncSettings&) = default;
};
