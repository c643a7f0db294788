#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

class DavClient;

// A calendar or address book on the server.
struct DavCollection
{
    QUrl url; // ends with "/"
    QString displayName;
    QString ctag;
    QString syncToken;
    bool addressBook = false;
    // For calendars: which kinds of objects it takes ("VEVENT", "VTODO"); empty means all.
    QStringList components;

    bool takes(const char* component) const;
};

struct DiscoveryResult
{
    QString error; // one sentence; empty on success
    QUrl principal;
    QList<DavCollection> calendars;
    QList<DavCollection> addressBooks;
};

// Finds the user's calendars and address books from the address the user gave: that address
// itself, else its well-known addresses, then the principal and its home sets.
DiscoveryResult discoverCollections(DavClient& client, const QUrl& start);

// Reads the collection's ctag and sync-token again; false with the reason on failure.
bool refreshCollection(DavClient& client, DavCollection& collection, QString& error);
