#pragma once

#include <QDateTime>
#include <QString>

class Database;
class DavClient;

// A read-only calendar on the web (holidays, school, sports) whose events Ruvo keeps in one group.
struct Subscription
{
    QString url;
    int group = 0;
    friend bool operator==(const Subscription&, const Subscription&) = default;
};

struct SubscriptionResult
{
    int rows = 0;           // the appointment rows the subscription holds now
    bool unchanged = false; // the calendar was as before, nothing was written
    QString error;          // one sentence; empty on success
};

// Fetches the calendar (webcal:// is read as https://; https, or http only to this machine, as
// for the account) and replaces the rows this subscription wrote before with the new ones, in
// one transaction; on any failure nothing changes and `error` says why in one German sentence.
// The account's name and password never go with the request.
SubscriptionResult refreshSubscription(Database& db, DavClient& client, const Subscription& s,
                                       int importYear);
// Why the address cannot be subscribed to, in one German sentence; empty when it is fine.
QString subscriptionAddressProblem(const QString& url);
// True when the subscription was not refreshed successfully within the last day.
bool subscriptionDue(Database& db, const QString& url, const QDateTime& now);
// Removes the rows of a subscription the user deleted.
bool dropSubscription(Database& db, const QString& url);
