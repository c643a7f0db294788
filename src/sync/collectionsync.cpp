#include "sync/collectionsync.h"

#include "addresses/addressinterchange.h"
#include "addresses/vcard.h"
#include "common/sqltext.h"
#include "interchange/icalendarexport.h"
#include "interchange/icalendarimport.h"
#include "interchange/icalsupport.h"
#include "interchange/interchangefile.h"
#include "store/database.h"
#include "store/querycursor.h"
#include "sync/davclient.h"
#include "sync/multistatus.h"
#include "sync/syncstate.h"
#include "todo/todostore.h"

#include <QCryptographicHash>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kFetchBatch = 50;
// Confirmed writes noted per commit; a run cut off in between loses at most these notes, and the
// next run finds the objects again by their UIDs.
constexpr int kNoteBatch = 50;
constexpr char16_t kConflictMark[] = u" (Konflikt)";

// The export's own stamps change on every run without the rows changing.
QByteArray fingerprintOf(const QByteArray& text)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith("DTSTAMP") || line.startsWith("UID") || line.startsWith("PRODID") ||
            line.startsWith("REV"))
            continue;
        hash.addData(line);
    }
    return hash.result().toHex();
}

QString keyOfUid(const QByteArray& uid)
{
    static const std::pair<QByteArray, QString> prefixes[] = {{"ruvo-termin-"_ba, u"t:"_s},
                                                              {"ruvo-serie-"_ba, u"s:"_s},
                                                              {"ruvo-todo-"_ba, u"todo:"_s}};
    for (const auto& [prefix, key] : prefixes) {
        if (uid.startsWith(prefix))
            return key + QString::fromLatin1(uid.mid(prefix.size()));
    }
    return {};
}

QByteArray calendarUid(const QByteArray& text)
{
    IcalSupport::ComponentPtr root = IcalSupport::parseText(text);
    if (!root)
        return {};
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT)) {
        if (const char* uid = icalcomponent_get_uid(c))
            return QByteArray(uid);
    }
    return {};
}

// The object as the server knows it: under the UID it was first stored with there.
QByteArray calendarWithUid(const QByteArray& text, const QString& uid)
{
    IcalSupport::ComponentPtr root = IcalSupport::parseText(text);
    if (!root || uid.isEmpty())
        return text;
    const QByteArray wanted = uid.toUtf8();
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VTODO_COMPONENT)
            icalcomponent_set_uid(c, wanted.constData());
    }
    char* out = icalcomponent_as_ical_string_r(root.get());
    QByteArray bytes(out);
    icalmemory_free_buffer(out);
    return bytes;
}

QByteArray cardUid(const QByteArray& text)
{
    QString uid;
    readVCards(text, [&uid](VCard&& card) {
        if (const VCardProperty* p = card.first(u"UID"); p && uid.isEmpty())
            uid = p->text();
    });
    return uid.toUtf8();
}

QByteArray cardWithUid(const QByteArray& text, const QString& uid)
{
    QByteArray out;
    bool inUid = false;
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        const bool continued = line.startsWith(' ') || line.startsWith('\t');
        if (continued && inUid)
            continue;
        inUid = !continued && line.toUpper().startsWith("UID");
        if (inUid)
            continue;
        if (line.trimmed().toUpper() == "END:VCARD")
            out += VCardWriter::foldedLine("UID:"_ba + uid.toUtf8());
        out += line + '\n';
    }
    return out;
}

QString resourceName(const QByteArray& uid, bool card)
{
    QString name;
    for (const char c : uid)
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.'
                        ? QChar::fromLatin1(c)
                        : u'_';
    return name + (card ? u".vcf"_s : u".ics"_s);
}

QString normalHref(const QUrl& base, const QString& href)
{
    return base.resolved(QUrl::fromEncoded(href.toUtf8())).path(QUrl::FullyEncoded);
}

bool deleteLocal(Database& db, const QString& key)
{
    const QString id = key.section(u':', 1);
    if (key.startsWith(u"t:"_s))
        return db.execSql(u"DELETE FROM termine WHERE id="_s + QString::number(id.toLongLong()) +
                          u" ;"_s);
    if (key.startsWith(u"s:"_s))
        return db.execSql(u"DELETE FROM termine WHERE belong="_s +
                          QString::number(id.toLongLong()) + u" ;"_s);
    if (key.startsWith(u"todo:"_s))
        return TodoStore::deleteTodo(db, id.toLongLong());
    if (key.startsWith(u"a:"_s)) {
        // The birthday row belongs to the address by its names alone.
        const QString number = QString::number(id.toLongLong());
        return db.execSql(u"DELETE FROM geburtstage WHERE desc=(SELECT vname ||' '|| nname FROM "
                          u"adressbuch WHERE id="_s +
                          number + u") ;"_s) &&
               db.execSql(u"DELETE FROM adressbuch WHERE id="_s + number + u" ;"_s);
    }
    return true;
}

struct Groups
{
    QHash<QString, int> byName;
    int fallback = 0;
};

// Writes what Ruvo can keep of one server object; the key of its rows, empty when it holds
// nothing Ruvo keeps, nothing when the database refused.
std::optional<QString> insertPlan(Database& db, const CalendarImportPlan& plan, int group,
                                  const Groups& groups, const QString& mark, QString* name)
{
    QString key;
    qint64 belong = 0;
    for (const CalendarAppointment& a : plan.appointments) {
        // One object is one event with its rule; anything beyond its one series is not kept.
        if (a.series > 0 || (!key.isEmpty() && a.series < 0))
            break;
        int target = group;
        for (const QString& category : a.categories) {
            const auto it = groups.byName.constFind(category.trimmed());
            if (it != groups.byName.cend()) {
                target = *it;
                break;
            }
        }
        const QString description = a.description + mark;
        if (!db.execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, "
                        u"redo, nextmsg) VALUES ("_s +
                        QString::number(a.start) + u", "_s + QString::number(target) + u", "_s +
                        sqlQuote(description) + u", "_s + QString::number(a.end) + u", "_s +
                        QString::number(std::clamp(a.msg, 0, 4)) + u", "_s +
                        QString::number(std::clamp(a.remsg, 0, 3)) + u", "_s +
                        QString::number(belong) + u", "_s +
                        sqlQuote(a.series == 0 ? plan.seriesRedo.value(0) : QString()) +
                        u", 0);"_s))
            return std::nullopt;
        const qint64 id = db.lastInsertRowId();
        if (key.isEmpty() && name)
            *name = a.description;
        if (a.series < 0)
            return u"t:"_s + QString::number(id);
        if (belong == 0) {
            belong = id;
            key = u"s:"_s + QString::number(id);
            if (!db.execSql(u"UPDATE termine SET belong="_s + QString::number(id) +
                            u" WHERE id="_s + QString::number(id) + u" ;"_s))
                return std::nullopt;
        }
    }
    if (!key.isEmpty() || plan.todos.isEmpty())
        return key;
    const CalendarTodo& todo = plan.todos.front();
    if (!TodoStore::insertTodo(db, {todo.due, todo.description + mark, 0}))
        return std::nullopt;
    if (name)
        *name = todo.description;
    return u"todo:"_s + QString::number(db.lastInsertRowId());
}

const QByteArray kEtagQuery = R"(<?xml version="1.0" encoding="utf-8"?>
<d:propfind xmlns:d="DAV:"><d:prop><d:getetag/></d:prop></d:propfind>)"_ba;

} // namespace

QString SyncSummary::text() const
{
    if (!error.isEmpty())
        return error;
    QString line =
            u"Synchronisiert: %1 empfangen, %2 gesendet, %3 hier gelöscht, %4 auf dem "
            u"Server gelöscht."_s.arg(QString::number(received), QString::number(sent),
                                      QString::number(removedHere), QString::number(removedThere));
    if (!conflicts.isEmpty()) {
        line += u" Konflikte (die Fassung des Servers gilt, die eigene ist als Kopie mit "
                u"\"(Konflikt)\" erhalten): "_s;
        QStringList quoted;
        for (const QString& name : conflicts)
            quoted << u"„"_s + name + u"“"_s;
        line += quoted.join(u", "_s) + u'.';
    }
    return line;
}

CollectionSync::CollectionSync(Database& db, DavClient& client, int importYear)
    : m_db(db)
    , m_client(client)
    , m_importYear(importYear)
{}

void CollectionSync::setCalendarGroups(const QHash<QString, int>& groupByCalendar)
{
    m_calendarGroups = groupByCalendar;
}

std::optional<QHash<QString, CollectionSync::LocalItem>> CollectionSync::localItems(QString& error)
{
    if (m_cards) {
        const std::optional<QList<AddressCard>> cards = exportAddressCards(m_db, error);
        if (!cards)
            return std::nullopt;
        QHash<QString, LocalItem> items;
        for (const AddressCard& card : *cards) {
            const QString key = u"a:"_s + QString::number(card.id);
            items.insert(key, {key, card.uid.toUtf8(), card.text, fingerprintOf(card.text)});
        }
        return items;
    }
    const std::optional<QList<CalendarItem>> exported = exportCalendarItems(m_db, error);
    if (!exported)
        return std::nullopt;
    QHash<QString, int> groupOf;
    QueryCursor cursor;
    if (!m_db.queryTable(u"SELECT id, belong, grup FROM termine ;"_s, cursor)) {
        error = u"Die Datenbank konnte nicht gelesen werden: "_s + m_db.errorText();
        return std::nullopt;
    }
    while (cursor.nextRow()) {
        const int group = static_cast<int>(cursor.number(3));
        groupOf.insert(u"t:"_s + cursor.text(1), group);
        if (cursor.number(2) != 0)
            groupOf.insert(u"s:"_s + cursor.text(2), group);
    }
    // A subscription's rows stay here: its calendar is not the user's to publish.
    QSet<QString> subscribed;
    if (!m_db.queryTable(u"SELECT termin FROM sync_subscription_rows ;"_s, cursor)) {
        error = u"Die Datenbank konnte nicht gelesen werden: "_s + m_db.errorText();
        return std::nullopt;
    }
    while (cursor.nextRow())
        subscribed.insert(cursor.text(1));
    QHash<QString, LocalItem> items;
    for (const CalendarItem& c : *exported) {
        const QString key = keyOfUid(c.uid);
        if ((key.startsWith(u"t:"_s) || key.startsWith(u"s:"_s)) &&
            subscribed.contains(key.section(u':', 1)))
            continue;
        items.insert(key, {key, c.uid, c.text, fingerprintOf(c.text), c.todo, groupOf.value(key)});
    }
    return items;
}

SyncSummary CollectionSync::run(const QList<DavCollection>& calendars)
{
    SyncSummary summary;
    m_rowsWritten = false;
    const auto dbFailed = [&] {
        summary.error = u"Die Datenbank hat die Synchronisation abgelehnt: "_s + m_db.errorText();
        return summary;
    };
    if (!SyncState::ensureTables(m_db))
        return dbFailed();
    const std::optional<QList<ImportGroup>> groups = importGroups(m_db);
    if (!groups)
        return dbFailed();
    const int fallback = defaultImportGroup(*groups);
    // A choice naming a group that was deleted since counts as no choice.
    const auto groupOf = [&](const DavCollection& c) {
        const auto chosen = m_calendarGroups.constFind(c.url.toString());
        std::optional<int> named;
        for (const ImportGroup& g : *groups) {
            if (chosen != m_calendarGroups.cend() && g.id == *chosen)
                return g.id;
            if (!named && g.name.compare(c.displayName, Qt::CaseInsensitive) == 0)
                named = g.id;
        }
        return named.value_or(fallback);
    };

    // Which calendar each local object goes to: the one it came from, else by its group.
    QHash<QString, QString> stateCalendar;
    QHash<int, QString> calendarOfGroup;
    QString todoCalendar;
    QString eventCalendar;
    for (const DavCollection& c : calendars) {
        const QString url = c.url.toString();
        const std::optional<QList<SyncedItem>> state = SyncState::items(m_db, url);
        if (!state)
            return dbFailed();
        for (const SyncedItem& item : *state)
            stateCalendar.insert(item.localKey, url);
        const int group = groupOf(c);
        if (c.takes("VEVENT") && !calendarOfGroup.contains(group))
            calendarOfGroup.insert(group, url);
        if (c.takes("VEVENT") && eventCalendar.isEmpty())
            eventCalendar = url;
        // A list of its own for to-dos is the better place than a calendar that takes both.
        if (c.takes("VTODO") && (todoCalendar.isEmpty() || !c.takes("VEVENT")))
            todoCalendar = url;
    }
    eventCalendar = calendarOfGroup.value(fallback, eventCalendar);

    QString error;
    const std::optional<QHash<QString, LocalItem>> local = localItems(error);
    if (!local) {
        summary.error = error;
        return summary;
    }
    QHash<QString, QList<LocalItem>> assigned;
    for (const LocalItem& item : *local) {
        QString url = stateCalendar.value(item.key);
        if (url.isEmpty())
            url = item.todo ? todoCalendar : calendarOfGroup.value(item.group, eventCalendar);
        if (!url.isEmpty())
            assigned[url].append(item);
    }
    for (const DavCollection& c : calendars) {
        m_groupOfCalendar = groupOf(c);
        m_groupNames.clear();
        for (const ImportGroup& g : *groups) {
            if (!m_groupNames.contains(g.name))
                m_groupNames.insert(g.name, g.id);
        }
        prepareLinks(*local, stateCalendar);
        if (!syncCollection(c, assigned.value(c.url.toString()), *local, summary))
            break;
    }
    return summary;
}

std::optional<QHash<QString, QByteArray>>
CollectionSync::remoteEtags(const DavCollection& calendar, const QList<SyncedItem>& state,
                            SyncSummary& summary)
{
    QHash<QString, QByteArray> known;
    for (const SyncedItem& item : state)
        known.insert(item.href, item.etag);
    const std::optional<SyncState::Marks> marks = SyncState::marks(m_db, calendar.url.toString());
    if (!marks) {
        summary.error = u"Die Datenbank konnte nicht gelesen werden: "_s + m_db.errorText();
        return std::nullopt;
    }
    // Nothing changed on the server since the last complete run.
    if (!marks->syncToken.isEmpty() && marks->syncToken == calendar.syncToken)
        return known;
    if (calendar.syncToken.isEmpty() && !marks->ctag.isEmpty() && marks->ctag == calendar.ctag)
        return known;

    if (!marks->syncToken.isEmpty() && !calendar.syncToken.isEmpty()) {
        const QByteArray query =
                R"(<?xml version="1.0" encoding="utf-8"?>
<d:sync-collection xmlns:d="DAV:"><d:sync-token>)"_ba +
                marks->syncToken.toHtmlEscaped().toUtf8() +
                R"(</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>)"_ba;
        const DavReply reply = m_client.report(calendar.url, 0, query);
        // A token the server no longer knows (403, 409) means listing everything; any other
        // failure would fail the listing as well.
        if (reply.ok()) {
            const std::optional<Multistatus> answer = multistatusOf(reply, summary.error);
            if (!answer)
                return std::nullopt;
            for (const DavResource& r : answer->resources) {
                const QString href = normalHref(calendar.url, r.href);
                if (href == calendar.url.path(QUrl::FullyEncoded))
                    continue;
                if (r.status == 404)
                    known.remove(href);
                else if (const QString etag = r.property(kDavNs, "getetag"); !etag.isEmpty())
                    known.insert(href, etag.toUtf8());
            }
            return known;
        }
        if (reply.error != DavError::Forbidden && reply.error != DavError::Status) {
            summary.error = reply.message;
            return std::nullopt;
        }
    }

    const std::optional<Multistatus> answer =
            multistatusOf(m_client.propfind(calendar.url, 1, kEtagQuery), summary.error);
    if (!answer)
        return std::nullopt;
    QHash<QString, QByteArray> listed;
    for (const DavResource& r : answer->resources) {
        const QString etag = r.property(kDavNs, "getetag");
        const QString href = normalHref(calendar.url, r.href);
        if (!etag.isEmpty() && href != calendar.url.path(QUrl::FullyEncoded))
            listed.insert(href, etag.toUtf8());
    }
    return listed;
}

std::optional<QHash<QString, FetchedObject>>
CollectionSync::fetch(const DavCollection& calendar, const QStringList& hrefs, SyncSummary& summary)
{
    QHash<QString, FetchedObject> fetched;
    for (qsizetype first = 0; first < hrefs.size(); first += kFetchBatch) {
        QByteArray query = m_cards ? R"(<?xml version="1.0" encoding="utf-8"?>
<c:addressbook-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><d:prop><d:getetag/><c:address-data/></d:prop>)"_ba
                                   : R"(<?xml version="1.0" encoding="utf-8"?>
<c:calendar-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:prop><d:getetag/><c:calendar-data/></d:prop>)"_ba;
        for (const QString& href : hrefs.mid(first, kFetchBatch))
            query += "<d:href>"_ba + href.toHtmlEscaped().toUtf8() + "</d:href>"_ba;
        query += m_cards ? "</c:addressbook-multiget>"_ba : "</c:calendar-multiget>"_ba;
        const std::optional<Multistatus> answer =
                multistatusOf(m_client.report(calendar.url, 1, query), summary.error);
        if (!answer)
            return std::nullopt;
        for (const DavResource& r : answer->resources) {
            const QString data = m_cards ? r.property(kCardDavNs, "address-data")
                                         : r.property(kCalDavNs, "calendar-data");
            if (!data.isEmpty())
                fetched.insert(normalHref(calendar.url, r.href),
                               {r.property(kDavNs, "getetag").toUtf8(), data.toUtf8()});
        }
    }
    return fetched;
}

bool CollectionSync::syncCollection(const DavCollection& calendar, const QList<LocalItem>& assigned,
                                    const QHash<QString, LocalItem>& before, SyncSummary& summary)
{
    const QString url = calendar.url.toString();
    const auto dbFailed = [&] {
        summary.error = u"Die Datenbank hat die Synchronisation abgelehnt: "_s + m_db.errorText();
        return false;
    };
    const std::optional<QList<SyncedItem>> state = SyncState::items(m_db, url);
    if (!state)
        return dbFailed();
    const std::optional<QHash<QString, QByteArray>> remote = remoteEtags(calendar, *state, summary);
    if (!remote)
        return false;
    QHash<QString, const SyncedItem*> stateByHref;
    for (const SyncedItem& item : *state)
        stateByHref.insert(item.href, &item);
    QStringList changed;
    for (auto it = remote->cbegin(); it != remote->cend(); ++it) {
        const SyncedItem* known = stateByHref.value(it.key());
        if (!known || known->etag != it.value())
            changed << it.key();
    }
    const std::optional<QHash<QString, FetchedObject>> fetched = fetch(calendar, changed, summary);
    if (!fetched)
        return false;

    // Everything the server said is taken in one transaction: a failure leaves the rows as they
    // were.
    bool complete = true;
    QStringList pending; // hrefs whose local fingerprint is known only after the writes
    QSet<QString> copies;
    // A local version kept as a copy, and the rows of the server's version that replaced it.
    struct Conflict
    {
        QString copy;
        QString taken;
        QByteArray mine;
        QString name;
    };
    QList<Conflict> conflicts;
    Transaction transaction(m_db);
    const auto take = [&](const FetchedObject& object) {
        return insertObject(object.data, {}, nullptr);
    };
    for (const SyncedItem& known : *state) {
        const auto found =
                known.localKey.isEmpty() ? before.cend() : before.constFind(known.localKey);
        const LocalItem* mine = found != before.cend() ? &*found : nullptr;
        const bool changedHere = mine && mine->fingerprint != known.fingerprint;
        if (!remote->contains(known.href)) {
            // Deleted there: an edit made here meanwhile survives and is sent as a new object.
            if (mine && !changedHere) {
                m_rowsWritten = true;
                if (!deleteLocal(m_db, known.localKey))
                    return dbFailed();
                ++summary.removedHere;
            }
            if (!SyncState::forget(m_db, url, known.href))
                return dbFailed();
            continue;
        }
        if (remote->value(known.href) == known.etag)
            continue;
        const auto object = fetched->constFind(known.href);
        if (object == fetched->cend()) {
            complete = false; // gone between the listing and the fetch; the next run sees
            continue;
        }
        std::optional<Conflict> conflict;
        if (changedHere) {
            QString name;
            const std::optional<QString> copy =
                    insertObject(mine->text, QString::fromUtf16(kConflictMark), &name);
            if (!copy)
                return dbFailed();
            conflict = Conflict{*copy, {}, mine->fingerprint, name};
        }
        m_rowsWritten = m_rowsWritten || mine;
        if (mine && !deleteLocal(m_db, known.localKey))
            return dbFailed();
        const std::optional<QString> key = take(*object);
        if (!key)
            return dbFailed();
        if (conflict) {
            conflict->taken = *key;
            conflicts << *conflict;
        }
        SyncedItem item = known;
        item.etag = object->etag.isEmpty() ? remote->value(known.href) : object->etag;
        item.localKey = *key;
        item.uid = QString::fromUtf8(objectUid(object->data));
        if (!SyncState::save(m_db, item))
            return dbFailed();
        pending << item.href;
        ++summary.received;
    }
    for (const QString& href : std::as_const(changed)) {
        if (stateByHref.contains(href))
            continue;
        const auto object = fetched->constFind(href);
        if (object == fetched->cend()) {
            complete = false;
            continue;
        }
        const QByteArray uid = objectUid(object->data);
        SyncedItem item{url,
                        href,
                        object->etag.isEmpty() ? remote->value(href) : object->etag,
                        QString::fromUtf8(uid),
                        {},
                        {}};
        const QString ownKey = m_linkable.value(uid);
        if (!ownKey.isEmpty()) {
            // Sent by a run cut off before it noted so: the rows are here already; sent again
            // over what the server holds, since they may have changed since.
            item.localKey = ownKey;
            m_linkable.remove(uid);
            if (!SyncState::save(m_db, item))
                return dbFailed();
            continue;
        }
        const std::optional<QString> key = take(*object);
        if (!key)
            return dbFailed();
        item.localKey = *key;
        if (!SyncState::save(m_db, item))
            return dbFailed();
        pending << href;
        ++summary.received;
    }
    QString error;
    // Read again only when rows changed since: the export is the bulk of a run with nothing to do.
    std::optional<QHash<QString, LocalItem>> after =
            m_rowsWritten ? localItems(error) : std::optional(before);
    if (!after) {
        summary.error = error;
        return false;
    }
    for (const Conflict& c : std::as_const(conflicts)) {
        // The server holds what was sent here by a run cut off before the answer: no conflict.
        if (after->value(c.taken).fingerprint == c.mine) {
            if (!deleteLocal(m_db, c.copy))
                return dbFailed();
            after->remove(c.copy);
            continue;
        }
        copies.insert(c.copy);
        summary.conflicts << c.name;
    }
    if (!pending.isEmpty()) {
        const std::optional<QList<SyncedItem>> written = SyncState::items(m_db, url);
        if (!written)
            return dbFailed();
        for (SyncedItem item : *written) {
            if (!pending.contains(item.href))
                continue;
            item.fingerprint = after->value(item.localKey).fingerprint;
            if (!SyncState::save(m_db, item))
                return dbFailed();
        }
    }
    if (!transaction.commit())
        return dbFailed();

    // Then what changed here, each object noted as soon as the server confirmed it.
    const std::optional<QList<SyncedItem>> agreed = SyncState::items(m_db, url);
    if (!agreed)
        return dbFailed();
    QHash<QString, SyncedItem> byKey;
    QStringList keys;
    for (const SyncedItem& item : *agreed) {
        if (!item.localKey.isEmpty()) {
            byKey.insert(item.localKey, item);
            keys << item.localKey;
        }
    }
    for (const LocalItem& item : assigned) {
        if (!byKey.contains(item.key))
            keys << item.key;
    }
    keys += QStringList(copies.cbegin(), copies.cend());
    keys.removeDuplicates();
    const QByteArray contentType =
            m_cards ? "text/vcard; charset=utf-8"_ba : "text/calendar; charset=utf-8"_ba;
    // What the server confirmed, noted here in batches: no lock on the database is held while a
    // request runs, and what was confirmed is noted on every way out.
    QList<SyncedItem> saved;
    QStringList forgotten;
    const auto writeNotes = [&] {
        Transaction notes(m_db);
        for (const SyncedItem& item : std::as_const(saved)) {
            if (!SyncState::save(m_db, item))
                return false;
        }
        for (const QString& href : std::as_const(forgotten)) {
            if (!SyncState::forget(m_db, url, href))
                return false;
        }
        saved.clear();
        forgotten.clear();
        return notes.commit();
    };
    const auto serverFailed = [&](const DavReply& reply) {
        if (!writeNotes())
            return dbFailed();
        summary.error = reply.message;
        return false;
    };
    const auto noted = [&] { return saved.size() + forgotten.size() < kNoteBatch || writeNotes(); };
    for (const QString& key : std::as_const(keys)) {
        const auto mine = after->constFind(key);
        const auto known = byKey.constFind(key);
        if (mine != after->cend()) {
            SyncedItem item;
            DavReply reply;
            if (known != byKey.cend()) {
                if (known->fingerprint == mine->fingerprint)
                    continue;
                item = *known;
                reply = m_client.put(calendar.url.resolved(QUrl::fromEncoded(item.href.toUtf8())),
                                     withUid(mine->text, item.uid), contentType,
                                     {item.etag, false});
            } else {
                item = {url,
                        calendar.url.path(QUrl::FullyEncoded) +
                                QString::fromLatin1(
                                        QUrl::toPercentEncoding(resourceName(mine->uid, m_cards))),
                        {},
                        QString::fromUtf8(mine->uid),
                        key,
                        {}};
                reply = m_client.put(calendar.url.resolved(QUrl::fromEncoded(item.href.toUtf8())),
                                     mine->text, contentType, {{}, true});
            }
            // 412: changed there meanwhile; the next run takes it as a conflict.
            if (reply.status == 412)
                continue;
            if (!reply.ok())
                return serverFailed(reply);
            item.etag = reply.etag;
            item.fingerprint = mine->fingerprint;
            saved << item;
            if (!noted())
                return dbFailed();
            ++summary.sent;
        } else if (known != byKey.cend()) {
            const DavReply reply = m_client.remove(
                    calendar.url.resolved(QUrl::fromEncoded(known->href.toUtf8())), known->etag);
            if (reply.status == 412)
                continue;
            if (!reply.ok() && reply.status != 404)
                return serverFailed(reply);
            forgotten << known->href;
            if (!noted())
                return dbFailed();
            ++summary.removedThere;
        }
    }
    if (!writeNotes())
        return dbFailed();
    // The marks of the listing: what the server changed since then is seen by the next run.
    if (complete && !SyncState::setMarks(m_db, url, {calendar.syncToken, calendar.ctag}))
        return dbFailed();
    return true;
}

void CollectionSync::prepareLinks(const QHash<QString, LocalItem>& local,
                                  const QHash<QString, QString>& stateCollection)
{
    m_linkable.clear();
    for (const LocalItem& item : local) {
        if (!stateCollection.contains(item.key))
            m_linkable.insert(item.uid, item.key);
    }
}

QByteArray CollectionSync::objectUid(const QByteArray& text) const
{
    return m_cards ? cardUid(text) : calendarUid(text);
}

QByteArray CollectionSync::withUid(const QByteArray& text, const QString& uid) const
{
    return m_cards ? cardWithUid(text, uid) : calendarWithUid(text, uid);
}

std::optional<QString> CollectionSync::insertObject(const QByteArray& text, const QString& mark,
                                                    QString* name)
{
    m_rowsWritten = true;
    if (!m_cards) {
        return insertPlan(m_db, readCalendar(text, m_importYear), m_groupOfCalendar,
                          {m_groupNames, m_groupOfCalendar}, mark, name);
    }
    const AddressImportPlan plan = readAddressFile(text);
    if (plan.entries.isEmpty())
        return QString();
    AddressValues values = plan.entries.front();
    const AddressImportHints hints = plan.hints.value(0);
    QString& vname = values[AddressField::Vname];
    QString& nname = values[AddressField::Nname];
    if (vname.isEmpty())
        vname = hints.vname;
    if (nname.isEmpty())
        nname = hints.nname;
    if (vname.isEmpty() || nname.isEmpty())
        return QString();
    if (name)
        *name = vname + u' ' + nname;
    // Names tell addresses and their birthdays apart, so the copy's name carries the mark.
    nname += mark;
    if (!writeNewAddress(m_db, values))
        return std::nullopt;
    QueryCursor cursor;
    if (!m_db.queryTable(u"SELECT MAX(id) FROM adressbuch ;"_s, cursor) || !cursor.nextRow())
        return std::nullopt;
    return u"a:"_s + cursor.text(1);
}

SyncSummary CollectionSync::runAddressBook(const DavCollection& book)
{
    SyncSummary summary;
    m_rowsWritten = false;
    m_cards = true;
    const auto dbFailed = [&] {
        summary.error = u"Die Datenbank hat die Synchronisation abgelehnt: "_s + m_db.errorText();
        m_cards = false;
        return summary;
    };
    if (!SyncState::ensureTables(m_db))
        return dbFailed();
    const std::optional<QList<SyncedItem>> state = SyncState::items(m_db, book.url.toString());
    if (!state)
        return dbFailed();
    QHash<QString, QString> stateCollection;
    for (const SyncedItem& item : *state)
        stateCollection.insert(item.localKey, item.collection);
    QString error;
    const std::optional<QHash<QString, LocalItem>> local = localItems(error);
    if (!local) {
        summary.error = error;
        m_cards = false;
        return summary;
    }
    prepareLinks(*local, stateCollection);
    syncCollection(book, local->values(), *local, summary);
    m_cards = false;
    return summary;
}
