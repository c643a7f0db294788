#include "sync/davclient.h"

#include <QBuffer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSslError>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxRedirects = 5;

QString hostOf(const QUrl& url)
{
    return url.port() > 0 ? url.host() + u':' + QString::number(url.port()) : url.host();
}

bool isLoopback(const QUrl& url)
{
    const QString host = url.host().toLower();
    return host == u"localhost"_s || QHostAddress(host).isLoopback();
}

DavReply failed(DavReply reply, DavError error, QString message)
{
    reply.error = error;
    reply.message = std::move(message);
    return reply;
}

// The words for a status outside 2xx, by what the user can do about it.
DavReply judgeStatus(DavReply reply, const QByteArray& reason)
{
    const QString host = hostOf(reply.url);
    switch (reply.status) {
    case 401:
        return failed(std::move(reply), DavError::Unauthorized,
                      u"Der Server %1 hat Benutzername oder Passwort abgelehnt."_s.arg(host));
    case 403: {
        // Read before the reply is handed on.
        const QString path = reply.url.path();
        return failed(std::move(reply), DavError::Forbidden,
                      u"Der Server %1 verweigert den Zugriff auf %2."_s.arg(host, path));
    }
    case 507:
        return failed(std::move(reply), DavError::NoSpace,
                      u"Auf dem Server %1 ist kein Speicherplatz mehr frei (507)."_s.arg(host));
    default:
        break;
    }
    const int status = reply.status;
    return failed(std::move(reply), DavError::Status,
                  u"Der Server %1 hat mit %2 %3 geantwortet."_s.arg(
                          host, QString::number(status), QString::fromUtf8(reason).trimmed()));
}

} // namespace

bool isAcceptedSyncUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == u"https"_s || (scheme == u"http"_s && isLoopback(url));
}

QString refusedAddressText(const QString& address)
{
    return u"Die Adresse %1 wird nicht verwendet: nur https, unverschlüsseltes http nur zu diesem "
           "Rechner."_s.arg(address);
}

DavClient::DavClient(const QString& user, const QString& password, QObject* parent)
    : QObject(parent)
    , m_authorization("Basic "_ba + (user + u':' + password).toUtf8().toBase64())
{
    // Redirects are followed here, so that every hop is checked and keeps its method.
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavReply DavClient::propfind(const QUrl& url, int depth, const QByteArray& body)
{
    return send("PROPFIND", url, body,
                {{"Depth", QByteArray::number(depth)},
                 {"Content-Type", "application/xml; charset=utf-8"}});
}

DavReply DavClient::report(const QUrl& url, int depth, const QByteArray& body)
{
    return send("REPORT", url, body,
                {{"Depth", QByteArray::number(depth)},
                 {"Content-Type", "application/xml; charset=utf-8"}});
}

DavReply DavClient::get(const QUrl& url)
{
    return send("GET", url, {}, {});
}

DavReply DavClient::getPublic(const QUrl& url, const QByteArray& ifNoneMatch,
                              const QByteArray& ifModifiedSince)
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    if (!ifNoneMatch.isEmpty())
        headers.append(std::pair("If-None-Match"_ba, ifNoneMatch));
    if (!ifModifiedSince.isEmpty())
        headers.append(std::pair("If-Modified-Since"_ba, ifModifiedSince));
    return send("GET", url, {}, headers, false);
}

DavReply DavClient::put(const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                        const Conditions& conditions)
{
    QList<std::pair<QByteArray, QByteArray>> headers{{"Content-Type", contentType}};
    if (!conditions.ifMatch.isEmpty())
        headers.append(std::pair("If-Match"_ba, conditions.ifMatch));
    if (conditions.ifNoneMatch)
        headers.append(std::pair("If-None-Match"_ba, "*"_ba));
    return send("PUT", url, body, headers);
}

DavReply DavClient::remove(const QUrl& url, const QByteArray& ifMatch)
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    if (!ifMatch.isEmpty())
        headers.append(std::pair("If-Match"_ba, ifMatch));
    return send("DELETE", url, {}, headers);
}

DavReply DavClient::send(const QByteArray& method, const QUrl& firstUrl, const QByteArray& body,
                         const QList<std::pair<QByteArray, QByteArray>>& headers, bool withAccount)
{
    DavReply result;
    result.url = firstUrl;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        const QUrl url = result.url;
        if (!isAcceptedSyncUrl(url)) {
            return failed(std::move(result), DavError::RefusedAddress,
                          refusedAddressText(url.toDisplayString()));
        }
        // A server on this machine is reached directly, never through a proxy of the environment.
        m_network.setProxy(isLoopback(url) ? QNetworkProxy(QNetworkProxy::NoProxy)
                                           : QNetworkProxy(QNetworkProxy::DefaultProxy));
        QNetworkRequest request(url);
        if (withAccount)
            request.setRawHeader("Authorization", m_authorization);
        request.setRawHeader("User-Agent", "Ruvo");
        for (const auto& [name, value] : headers)
            request.setRawHeader(name, value);
        QBuffer upload;
        upload.setData(body);
        upload.open(QIODevice::ReadOnly);
        std::unique_ptr<QNetworkReply> reply(m_network.sendCustomRequest(request, method, &upload));

        bool timedOut = false;
        bool tooLarge = false;
        QStringList certificateErrors;
        connect(reply.get(), &QNetworkReply::sslErrors, this, [&](const QList<QSslError>& errors) {
            for (const QSslError& e : errors)
                certificateErrors << e.errorString();
        });
        connect(reply.get(), &QNetworkReply::downloadProgress, this, [&](qint64 received, qint64) {
            if (received > m_maxAnswerBytes) {
                tooLarge = true;
                reply->abort();
            }
        });
        if (!reply->isFinished()) {
            // A transfer time-out starts again with every byte; a trickling server would hold
            // the sync as long as it likes.
            QTimer deadline;
            deadline.setSingleShot(true);
            connect(&deadline, &QTimer::timeout, this, [&] {
                timedOut = true;
                reply->abort();
            });
            deadline.start(m_deadlineMs);
            QEventLoop loop;
            connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }

        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (!certificateErrors.isEmpty()) {
            return failed(std::move(result), DavError::Certificate,
                          u"Das Zertifikat des Servers %1 ist nicht vertrauenswürdig: %2"_s.arg(
                                  hostOf(url), certificateErrors.join(u"; "_s)));
        }
        if (timedOut) {
            return failed(std::move(result), DavError::Timeout,
                          u"Der Server %1 hat nicht innerhalb von %2 Sekunden geantwortet."_s.arg(
                                  hostOf(url), QString::number((m_deadlineMs + 999) / 1000)));
        }
        if (tooLarge) {
            return failed(std::move(result), DavError::Malformed,
                          u"Die Antwort des Servers %1 ist zu groß."_s.arg(hostOf(url)));
        }
        if (result.status == 0) {
            return failed(std::move(result), DavError::Unreachable,
                          u"Der Server %1 ist nicht erreichbar (%2)."_s.arg(hostOf(url),
                                                                            reply->errorString()));
        }
        if (result.status >= 300 && result.status < 400 && result.status != 304) {
            const QByteArray location = reply->rawHeader("Location");
            if (location.isEmpty() || hop == kMaxRedirects)
                return judgeStatus(
                        std::move(result),
                        reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
            const QUrl target = url.resolved(QUrl::fromEncoded(location));
            // The password goes with every request, so it never follows a hop to another server.
            if (withAccount && (target.host().compare(url.host(), Qt::CaseInsensitive) != 0 ||
                                target.port(url.scheme() == u"https"_s ? 443 : 80) !=
                                        url.port(url.scheme() == u"https"_s ? 443 : 80))) {
                return failed(std::move(result), DavError::RefusedAddress,
                              u"Der Server %1 leitet nach %2 weiter; dorthin gehen Benutzername "
                              u"und Passwort nicht."_s.arg(hostOf(url), target.toDisplayString()));
            }
            result.url = target;
            continue;
        }
        result.body = reply->readAll();
        result.etag = reply->rawHeader("ETag");
        result.lastModified = reply->rawHeader("Last-Modified");
        if ((result.status < 200 || result.status >= 300) && result.status != 304) {
            return judgeStatus(
                    std::move(result),
                    reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
        }
        return result;
    }
    return result;
}
