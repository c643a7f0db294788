#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// One <response> of a WebDAV multistatus answer, with the properties its server found.
struct DavResource
{
    QString href; // as sent, percent-encoding kept
    // The status of the response itself (sync-collection reports deletions as 404); 0 when the
    // response carries its status per property instead.
    int status = 0;
    // Properties found (status 2xx), by "namespace|local name": their text, or for properties
    // holding <href> elements the first of those.
    QHash<QString, QString> properties;
    // The element names inside <resourcetype> and the names of <comp> in
    // supported-calendar-component-set, as "namespace|local name" and "VEVENT".
    QStringList resourceTypes;
    QStringList components;

    QString property(const char* ns, const char* name) const;
};

struct Multistatus
{
    QList<DavResource> resources;
    QString syncToken; // the report's own token (sync-collection), empty without
};

inline constexpr char kDavNs[] = "DAV:";
inline constexpr char kCalDavNs[] = "urn:ietf:params:xml:ns:caldav";
inline constexpr char kCardDavNs[] = "urn:ietf:params:xml:ns:carddav";
inline constexpr char kCalServerNs[] = "http://calendarserver.org/ns/";

// Reads a 207 answer; nothing when it is no well-formed multistatus document.
std::optional<Multistatus> parseMultistatus(const QByteArray& bytes);

struct DavReply;
// The multistatus of a reply; nothing, with the reason in `error`, when the request failed or
// its answer is none.
std::optional<Multistatus> multistatusOf(const DavReply& reply, QString& error);
// The words for an answer that is no multistatus.
QString malformedAnswer(const QUrl& url);
