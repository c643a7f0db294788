#include "sync/subscription.h"

#include "common/sqltext.h"
#include "interchange/icalendarimport.h"
#include "interchange/interchangefile.h"
#include "store/database.h"
#include "store/querycursor.h"
#include "sync/davclient.h"
#include "sync/syncstate.h"

#include <QCryptographicHash>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kRefreshSeconds = 24 * 3600;

struct Record
{
    bool known = false;
    QByteArray etag;
    QByteArray lastModified;
    QByteArray hash;
    qint64 refreshed = 0;
};

std::optional<Record> record(Database& db, const QString& url)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT etag, lastmodified, hash, refreshed FROM sync_subscriptions "
                       u"WHERE url="_s +
                               sqlQuote(url) + u" ;"_s,
                       cursor))
        return std::nullopt;
    Record r;
    if (cursor.nextRow())
        r = {true, cursor.text(1).toUtf8(), cursor.text(2).toUtf8(), cursor.text(3).toUtf8(),
             cursor.number(4)};
    return r;
}

bool saveRecord(Database& db, const QString& url, const Record& r)
{
    return db.execSql(u"INSERT OR REPLACE INTO sync_subscriptions (url, etag, lastmodified, hash, "
                      u"refreshed) VALUES ("_s +
                      sqlQuote(url) + u", "_s + sqlQuote(QString::fromUtf8(r.etag)) + u", "_s +
                      sqlQuote(QString::fromUtf8(r.lastModified)) + u", "_s +
                      sqlQuote(QString::fromLatin1(r.hash)) + u", "_s +
                      QString::number(r.refreshed) + u") ;"_s);
}

qint64 rowCount(Database& db, const QString& url)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT COUNT(*) FROM sync_subscription_rows WHERE url="_s + sqlQuote(url) +
                               u" ;"_s,
                       cursor) ||
        !cursor.nextRow())
        return -1;
    return cursor.number(1);
}

bool deleteRows(Database& db, const QString& url)
{
    const QString quoted = sqlQuote(url);
    return db.execSql(u"DELETE FROM termine WHERE id IN (SELECT termin FROM "
                      u"sync_subscription_rows WHERE url="_s +
                      quoted + u") ;"_s) &&
           db.execSql(u"DELETE FROM sync_subscription_rows WHERE url="_s + quoted + u" ;"_s);
}

QUrl fetchedUrl(const QString& text)
{
    QUrl url(text.trimmed());
    const QString scheme = url.scheme().toLower();
    if (scheme == u"webcal"_s || scheme == u"webcals"_s)
        url.setScheme(u"https"_s);
    return url;
}

} // namespace

QString subscriptionAddressProblem(const QString& url)
{
    return isAcceptedSyncUrl(fetchedUrl(url)) ? QString() : refusedAddressText(url);
}

SubscriptionResult refreshSubscription(Database& db, DavClient& client, const Subscription& s,
                                       int importYear)
{
    SubscriptionResult result;
    const auto dbFailed = [&] {
        result.error = u"Die Datenbank hat das Abonnement abgelehnt: "_s + db.errorText();
        return result;
    };
    if (!SyncState::ensureTables(db))
        return dbFailed();
    const std::optional<Record> before = record(db, s.url);
    if (!before)
        return dbFailed();
    // Without rows of its own recorded, a 304 would leave the group empty.
    const bool conditional = before->known && before->refreshed > 0;
    const DavReply reply =
            client.getPublic(fetchedUrl(s.url), conditional ? before->etag : QByteArray(),
                             conditional ? before->lastModified : QByteArray());
    if (!reply.ok()) {
        result.error = reply.message;
        return result;
    }
    Record now = *before;
    now.known = true;
    now.refreshed = QDateTime::currentSecsSinceEpoch();
    const QByteArray hash = QCryptographicHash::hash(reply.body, QCryptographicHash::Sha1).toHex();
    if (reply.status == 304 || (conditional && hash == before->hash)) {
        if (reply.status != 304) {
            now.etag = reply.etag;
            now.lastModified = reply.lastModified;
        }
        const qint64 rows = rowCount(db, s.url);
        if (rows < 0 || !saveRecord(db, s.url, now))
            return dbFailed();
        result.unchanged = true;
        result.rows = int(rows);
        return result;
    }

    CalendarImportPlan plan = readCalendar(reply.body, importYear);
    if (!plan.error.isEmpty()) {
        result.error = u"Das Abonnement %1 liefert keinen verwendbaren Kalender: %2"_s.arg(
                fetchedUrl(s.url).toDisplayString(), plan.error);
        return result;
    }
    // Everything goes to the chosen group, and a subscription holds appointments only.
    plan.todos.clear();
    for (CalendarAppointment& a : plan.appointments)
        a.categories.clear();
    const std::optional<QList<ImportGroup>> groups = importGroups(db);
    if (!groups)
        return dbFailed();
    int group = defaultImportGroup(*groups);
    for (const ImportGroup& g : *groups) {
        if (g.id == s.group)
            group = g.id;
    }

    Transaction transaction(db);
    if (!deleteRows(db, s.url))
        return dbFailed();
    QueryCursor cursor;
    // Row ids only grow, so what the import writes is what lies above the highest one now.
    if (!db.queryTable(u"SELECT COALESCE(MAX(id), 0) FROM termine ;"_s, cursor) ||
        !cursor.nextRow())
        return dbFailed();
    const qint64 highest = cursor.number(1);
    const ImportReport stored = storeCalendar(db, plan, group);
    if (stored.failed) {
        result.error = stored.error;
        return result;
    }
    if (!db.execSql(u"INSERT INTO sync_subscription_rows (url, termin) SELECT "_s +
                    sqlQuote(s.url) + u", id FROM termine WHERE id > "_s +
                    QString::number(highest) + u" ;"_s))
        return dbFailed();
    now.etag = reply.etag;
    now.lastModified = reply.lastModified;
    now.hash = hash;
    if (!saveRecord(db, s.url, now))
        return dbFailed();
    const qint64 rows = rowCount(db, s.url);
    if (rows < 0 || !transaction.commit())
        return dbFailed();
    result.rows = int(rows);
    return result;
}

bool subscriptionDue(Database& db, const QString& url, const QDateTime& now)
{
    if (!SyncState::ensureTables(db))
        return true;
    const std::optional<Record> r = record(db, url);
    if (!r || !r->known || r->refreshed <= 0)
        return true;
    const qint64 since = now.toSecsSinceEpoch() - r->refreshed;
    // A clock set back counts as due rather than as never.
    return since < 0 || since >= kRefreshSeconds;
}

bool dropSubscription(Database& db, const QString& url)
{
    if (!SyncState::ensureTables(db))
        return false;
    Transaction transaction(db);
    return deleteRows(db, url) &&
           db.execSql(u"DELETE FROM sync_subscriptions WHERE url="_s + sqlQuote(url) + u" ;"_s) &&
           transaction.commit();
}
