#include "sync/multistatus.h"

#include "sync/davclient.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

QString keyOf(const QXmlStreamReader& xml)
{
    return xml.namespaceUri().toString() + u'|' + xml.name().toString();
}

bool isDav(const QXmlStreamReader& xml, QStringView name)
{
    return xml.namespaceUri() == QLatin1StringView(kDavNs) && xml.name() == name;
}

// "HTTP/1.1 404 Not Found" -> 404; 0 when unreadable.
int statusCode(const QString& line)
{
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

struct PropStat
{
    QHash<QString, QString> properties;
    QStringList resourceTypes;
    QStringList components;
    int status = 0;
};

// Inside <prop>: every child element is one property.
bool readProp(QXmlStreamReader& xml, PropStat& stat)
{
    while (xml.readNextStartElement()) {
        const QString key = keyOf(xml);
        QString value;
        int depth = 1;
        bool sawHref = false;
        while (depth > 0 && !xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                if (key == u"DAV:|resourcetype"_s && depth == 2)
                    stat.resourceTypes << keyOf(xml);
                else if (xml.name() == u"comp"_s && depth == 2)
                    stat.components << xml.attributes().value(u"name"_s).toString().toUpper();
                else if (isDav(xml, u"href") && !sawHref) {
                    value = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                    sawHref = true;
                    --depth;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            } else if ((token == QXmlStreamReader::Characters) && !sawHref && depth == 1) {
                value += xml.text();
            }
        }
        stat.properties.insert(key, sawHref ? value : value.trimmed());
    }
    return !xml.hasError();
}

bool readResponse(QXmlStreamReader& xml, DavResource& resource)
{
    QList<PropStat> stats;
    while (xml.readNextStartElement()) {
        if (isDav(xml, u"href")) {
            resource.href = xml.readElementText().trimmed();
        } else if (isDav(xml, u"status")) {
            resource.status = statusCode(xml.readElementText());
        } else if (isDav(xml, u"propstat")) {
            PropStat stat;
            while (xml.readNextStartElement()) {
                if (isDav(xml, u"prop")) {
                    if (!readProp(xml, stat))
                        return false;
                } else if (isDav(xml, u"status")) {
                    stat.status = statusCode(xml.readElementText());
                } else {
                    xml.skipCurrentElement();
                }
            }
            stats << stat;
        } else {
            xml.skipCurrentElement();
        }
    }
    for (const PropStat& stat : std::as_const(stats)) {
        if (stat.status < 200 || stat.status >= 300)
            continue;
        resource.properties.insert(stat.properties);
        resource.resourceTypes << stat.resourceTypes;
        resource.components << stat.components;
    }
    return !xml.hasError() && !resource.href.isEmpty();
}

} // namespace

QString DavResource::property(const char* ns, const char* name) const
{
    return properties.value(QString::fromLatin1(ns) + u'|' + QString::fromLatin1(name));
}

std::optional<Multistatus> parseMultistatus(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    // Entities could make a small answer huge; a server has no use for them.
    xml.setEntityResolver(nullptr);
    if (!xml.readNextStartElement() || !isDav(xml, u"multistatus"))
        return std::nullopt;
    Multistatus result;
    while (xml.readNextStartElement()) {
        if (isDav(xml, u"response")) {
            DavResource resource;
            if (!readResponse(xml, resource))
                return std::nullopt;
            result.resources << std::move(resource);
        } else if (isDav(xml, u"sync-token")) {
            result.syncToken = xml.readElementText().trimmed();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return std::nullopt;
    // Nothing may follow the document's end.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        return std::nullopt;
    return result;
}

QString malformedAnswer(const QUrl& url)
{
    return u"Die Antwort des Servers %1 zu %2 ist kein gültiges WebDAV-Multistatus."_s.arg(
            url.host(), url.path());
}

std::optional<Multistatus> multistatusOf(const DavReply& reply, QString& error)
{
    if (!reply.ok()) {
        error = reply.message;
        return std::nullopt;
    }
    std::optional<Multistatus> answer = parseMultistatus(reply.body);
    if (!answer)
        error = malformedAnswer(reply.url);
    return answer;
}
