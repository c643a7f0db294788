#include "sync/discovery.h"

#include "sync/davclient.h"
#include "sync/multistatus.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kPrincipalQuery = R"(<?xml version="1.0" encoding="utf-8"?>
<d:propfind xmlns:d="DAV:"><d:prop><d:current-user-principal/></d:prop></d:propfind>)"_ba;

const QByteArray kHomeQuery = R"(<?xml version="1.0" encoding="utf-8"?>
<d:propfind xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav" xmlns:a="urn:ietf:params:xml:ns:carddav">
<d:prop><c:calendar-home-set/><a:addressbook-home-set/></d:prop></d:propfind>)"_ba;

const QByteArray kCollectionQuery = R"(<?xml version="1.0" encoding="utf-8"?>
<d:propfind xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav" xmlns:cs="http://calendarserver.org/ns/">
<d:prop><d:resourcetype/><d:displayname/><cs:getctag/><d:sync-token/><c:supported-calendar-component-set/></d:prop></d:propfind>)"_ba;

// The multistatus of a PROPFIND, or nothing with the reason in `error`.
std::optional<Multistatus> ask(DavClient& client, const QUrl& url, int depth,
                               const QByteArray& query, QString& error)
{
    return multistatusOf(client.propfind(url, depth, query), error);
}

QUrl withSlash(QUrl url)
{
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

// The first response's property as an address below the server.
QUrl hrefProperty(const Multistatus& answer, const QUrl& base, const char* ns, const char* name)
{
    for (const DavResource& r : answer.resources) {
        const QString href = r.property(ns, name);
        if (!href.isEmpty())
            return base.resolved(QUrl::fromEncoded(href.toUtf8()));
    }
    return {};
}

DavCollection collectionOf(const DavResource& r, const QUrl& url)
{
    DavCollection c;
    c.url = withSlash(url);
    c.displayName = r.property(kDavNs, "displayname");
    if (c.displayName.isEmpty())
        c.displayName = c.url.path().section(u'/', -2, -2);
    c.ctag = r.property(kCalServerNs, "getctag");
    c.syncToken = r.property(kDavNs, "sync-token");
    c.addressBook = r.resourceTypes.contains(QString::fromLatin1(kCardDavNs) + u"|addressbook"_s);
    c.components = r.components;
    return c;
}

bool isCalendar(const DavResource& r)
{
    return r.resourceTypes.contains(QString::fromLatin1(kCalDavNs) + u"|calendar"_s);
}

bool isAddressBook(const DavResource& r)
{
    return r.resourceTypes.contains(QString::fromLatin1(kCardDavNs) + u"|addressbook"_s);
}

} // namespace

bool DavCollection::takes(const char* component) const
{
    return components.isEmpty() || components.contains(QString::fromLatin1(component));
}

DiscoveryResult discoverCollections(DavClient& client, const QUrl& start)
{
    DiscoveryResult result;
    QString error;
    QUrl principal;
    // The address itself first; a server that answers there needs no well-known detour.
    const QList<QUrl> candidates{start, start.resolved(QUrl(u"/.well-known/caldav"_s)),
                                 start.resolved(QUrl(u"/.well-known/carddav"_s))};
    QString firstError;
    for (const QUrl& candidate : candidates) {
        const DavReply reply = client.propfind(candidate, 0, kPrincipalQuery);
        if (!reply.ok()) {
            // A refused password or an unreachable server is the same at every address.
            if (reply.error != DavError::Status && reply.error != DavError::Forbidden) {
                result.error = reply.message;
                return result;
            }
            if (firstError.isEmpty())
                firstError = reply.message;
            continue;
        }
        const std::optional<Multistatus> answer = multistatusOf(reply, result.error);
        if (!answer)
            return result;
        principal = hrefProperty(*answer, reply.url, kDavNs, "current-user-principal");
        if (principal.isValid())
            break;
    }
    if (!principal.isValid()) {
        result.error =
                firstError.isEmpty()
                        ? u"Der Server %1 nennt kein Benutzerkonto (current-user-principal)."_s.arg(
                                  start.host())
                        : firstError;
        return result;
    }
    result.principal = principal;

    const std::optional<Multistatus> homes = ask(client, principal, 0, kHomeQuery, error);
    if (!homes) {
        result.error = error;
        return result;
    }
    QList<QUrl> homeSets;
    for (const char* name : {"calendar-home-set", "addressbook-home-set"}) {
        const QUrl home =
                hrefProperty(*homes, principal, name[0] == 'c' ? kCalDavNs : kCardDavNs, name);
        if (home.isValid() && !homeSets.contains(withSlash(home)))
            homeSets << withSlash(home);
    }
    for (const QUrl& home : std::as_const(homeSets)) {
        const std::optional<Multistatus> listing = ask(client, home, 1, kCollectionQuery, error);
        if (!listing) {
            result.error = error;
            return result;
        }
        for (const DavResource& r : listing->resources) {
            const QUrl url = withSlash(home.resolved(QUrl::fromEncoded(r.href.toUtf8())));
            if (url == home)
                continue;
            if (isCalendar(r))
                result.calendars << collectionOf(r, url);
            else if (isAddressBook(r))
                result.addressBooks << collectionOf(r, url);
        }
    }
    return result;
}

bool refreshCollection(DavClient& client, DavCollection& collection, QString& error)
{
    const std::optional<Multistatus> answer =
            ask(client, collection.url, 0, kCollectionQuery, error);
    if (!answer)
        return false;
    for (const DavResource& r : answer->resources) {
        const DavCollection fresh = collectionOf(r, collection.url);
        collection.ctag = fresh.ctag;
        collection.syncToken = fresh.syncToken;
        return true;
    }
    error = malformedAnswer(collection.url);
    return false;
}
