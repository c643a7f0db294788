#include "sync/syncstate.h"

#include "common/sqltext.h"
#include "store/database.h"
#include "store/querycursor.h"

using namespace Qt::StringLiterals;

namespace SyncState {

bool ensureTables(Database& db)
{
    return db.execSql(u"CREATE TABLE IF NOT EXISTS sync_items (collection TEXT NOT NULL, "
                      u"href TEXT NOT NULL, etag TEXT, uid TEXT, localkey TEXT, fingerprint TEXT, "
                      u"PRIMARY KEY (collection, href)) ;"_s) &&
           db.execSql(u"CREATE TABLE IF NOT EXISTS sync_collections (collection TEXT PRIMARY KEY, "
                      u"synctoken TEXT, ctag TEXT) ;"_s) &&
           db.execSql(u"CREATE TABLE IF NOT EXISTS sync_subscriptions (url TEXT PRIMARY KEY, "
                      u"etag TEXT, lastmodified TEXT, hash TEXT, refreshed INTEGER) ;"_s) &&
           db.execSql(u"CREATE TABLE IF NOT EXISTS sync_subscription_rows (url TEXT NOT NULL, "
                      u"termin INTEGER NOT NULL, PRIMARY KEY (url, termin)) ;"_s);
}

std::optional<QList<SyncedItem>> items(Database& db, const QString& collection)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT href, etag, uid, localkey, fingerprint FROM sync_items WHERE "
                       u"collection="_s +
                               sqlQuote(collection) + u" ORDER BY href ;"_s,
                       cursor))
        return std::nullopt;
    QList<SyncedItem> result;
    while (cursor.nextRow()) {
        result.append({collection, cursor.text(1), cursor.text(2).toUtf8(), cursor.text(3),
                       cursor.text(4), cursor.text(5).toUtf8()});
    }
    return result;
}

bool save(Database& db, const SyncedItem& item)
{
    return db.execSql(u"INSERT OR REPLACE INTO sync_items (collection, href, etag, uid, localkey, "
                      u"fingerprint) VALUES ("_s +
                      sqlQuote(item.collection) + u", "_s + sqlQuote(item.href) + u", "_s +
                      sqlQuote(QString::fromUtf8(item.etag)) + u", "_s + sqlQuote(item.uid) +
                      u", "_s + sqlQuote(item.localKey) + u", "_s +
                      sqlQuote(QString::fromLatin1(item.fingerprint)) + u") ;"_s);
}

bool forget(Database& db, const QString& collection, const QString& href)
{
    return db.execSql(u"DELETE FROM sync_items WHERE collection="_s + sqlQuote(collection) +
                      u" AND href="_s + sqlQuote(href) + u" ;"_s);
}

std::optional<Marks> marks(Database& db, const QString& collection)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT synctoken, ctag FROM sync_collections WHERE collection="_s +
                               sqlQuote(collection) + u" ;"_s,
                       cursor))
        return std::nullopt;
    Marks result;
    if (cursor.nextRow())
        result = {cursor.text(1), cursor.text(2)};
    return result;
}

bool setMarks(Database& db, const QString& collection, const Marks& marks)
{
    return db.execSql(u"INSERT OR REPLACE INTO sync_collections (collection, synctoken, ctag) "
                      u"VALUES ("_s +
                      sqlQuote(collection) + u", "_s + sqlQuote(marks.syncToken) + u", "_s +
                      sqlQuote(marks.ctag) + u") ;"_s);
}

} // namespace SyncState
