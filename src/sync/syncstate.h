#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class Database;

// What the last sync agreed on for one object of a server collection.
struct SyncedItem
{
    QString collection; // the collection's address
    QString href;       // the object's path on the server
    QByteArray etag;
    QString uid;
    // The local rows: "t:<id>" an appointment, "s:<belong>" a series, "todo:<id>", "a:<id>" an
    // address; empty for an object Ruvo cannot hold, which is then left alone.
    QString localKey;
    // A hash of the local rows as the export wrote them when both sides last agreed; empty when
    // the local side must be sent again.
    QByteArray fingerprint;
};

// The sync state lives in tables of its own beside Ruvo's, created when first needed; so do the
// subscriptions' records and which appointment rows each of them wrote.
namespace SyncState {

bool ensureTables(Database& db);

std::optional<QList<SyncedItem>> items(Database& db, const QString& collection);
bool save(Database& db, const SyncedItem& item);
bool forget(Database& db, const QString& collection, const QString& href);

// The collection's sync-token and ctag as of the last complete sync; empty when unknown.
struct Marks
{
    QString syncToken;
    QString ctag;
};
std::optional<Marks> marks(Database& db, const QString& collection);
bool setMarks(Database& db, const QString& collection, const Marks& marks);

} // namespace SyncState
