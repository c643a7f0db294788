#pragma once

#include "sync/discovery.h"

#include <QHash>
#include <QString>
#include <QStringList>

class Database;
class DavClient;
struct SyncedItem;

struct FetchedObject
{
    QByteArray etag;
    QByteArray data;
};

// What a sync did, for the status line and the command line.
struct SyncSummary
{
    int received = 0;      // objects of the server written here, new or changed
    int sent = 0;          // local objects written to the server
    int removedHere = 0;   // local objects deleted because the server deleted them
    int removedThere = 0;  // server objects deleted because they were deleted here
    QStringList conflicts; // the summaries of local versions kept as copies
    QString error;         // one sentence; empty when everything went through

    QString text() const;
};

// Two-way sync of appointments and open to-dos with the server's calendars, and of the addresses
// with one address book. Every calendar belongs to a group: the one the user chose for it, else
// the group named like it, else the first ordinary group. Appointments of a
// group without a calendar go to the calendar of the first ordinary group, to-dos to the first
// calendar taking VTODO. When both sides changed an object the server's version is taken and the
// local one kept as a copy marked "(Konflikt)".
class CollectionSync
{
public:
    CollectionSync(Database& db, DavClient& client, int importYear);

    // The group the user chose for each calendar, by the calendar's address (QUrl::toString());
    // calendars not named here follow the default rule.
    void setCalendarGroups(const QHash<QString, int>& groupByCalendar);

    // Runs the sync of every calendar in turn and stops at the first failure. What the server
    // confirmed stays recorded, so the next run continues; local changes of a calendar whose
    // server side could not be read completely are not made at all.
    SyncSummary run(const QList<DavCollection>& calendars);
    // The same for every address of the address book with the one address book of the server.
    SyncSummary runAddressBook(const DavCollection& book);

    struct LocalItem
    {
        QString key;
        QByteArray uid;
        QByteArray text;
        QByteArray fingerprint;
        bool todo = false;
        int group = 0;
    };

private:
    bool syncCollection(const DavCollection& calendar, const QList<LocalItem>& assigned,
                        const QHash<QString, LocalItem>& before, SyncSummary& summary);
    // The server's objects by path with their ETags; nothing, with the reason in the summary,
    // when they cannot be read. `complete` tells whether the marks may be kept.
    std::optional<QHash<QString, QByteArray>> remoteEtags(const DavCollection& calendar,
                                                          const QList<SyncedItem>& state,
                                                          SyncSummary& summary);
    std::optional<QHash<QString, FetchedObject>>
    fetch(const DavCollection& calendar, const QStringList& hrefs, SyncSummary& summary);
    std::optional<QHash<QString, LocalItem>> localItems(QString& error);
    // Writes what Ruvo can keep of a server object, its summary or name in `name`: the key of the
    // rows, empty when there is nothing Ruvo keeps, nothing when the database refused.
    std::optional<QString> insertObject(const QByteArray& text, const QString& mark, QString* name);
    QByteArray objectUid(const QByteArray& text) const;
    QByteArray withUid(const QByteArray& text, const QString& uid) const;
    void prepareLinks(const QHash<QString, LocalItem>& local,
                      const QHash<QString, QString>& stateCollection);

    Database& m_db;
    DavClient& m_client;
    int m_importYear;
    QHash<QString, int> m_calendarGroups;
    // Of the calendar being synced: where its objects go without a category naming a group.
    int m_groupOfCalendar = 0;
    QHash<QString, int> m_groupNames;
    // Local objects known to no calendar yet: one the server holds under their own UID was sent
    // by a run that ended before it could note so.
    QHash<QByteArray, QString> m_linkable;
    // Address cards instead of calendar objects.
    bool m_cards = false;
    // Whether this run changed local rows, so that what was read before is out of date.
    bool m_rowsWritten = false;
};
