#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

// What went wrong with a request, in the order a user can act on it.
enum class DavError {
    None,
    RefusedAddress, // not https and not this machine
    Unreachable,    // no connection, name unknown, connection cut
    Certificate,    // the server's certificate is not trusted
    Timeout,        // the whole request took longer than its deadline
    Unauthorized,   // 401: user name or password refused
    Forbidden,      // 403
    NoSpace,        // 507 Insufficient Storage
    Status,         // any other status outside 2xx
    Malformed       // an answer that is not what WebDAV promises
};

struct DavReply
{
    DavError error = DavError::None;
    int status = 0;
    QByteArray body;
    QByteArray etag; // of the ETag header, quotes kept
    QByteArray lastModified;
    QUrl url; // of the request, after redirects
    // One sentence in German saying what failed; empty on success.
    QString message;

    // 304 Not Modified counts as success: it answers a conditional request.
    bool ok() const { return error == DavError::None; }
};

// Plain http only to this machine, where nobody on the way can read the password or change what
// arrives; everything else must be https.
bool isAcceptedSyncUrl(const QUrl& url);
// Why an address isAcceptedSyncUrl refuses is not used, in one sentence.
QString refusedAddressText(const QString& address);

// A small WebDAV client: one request at a time, each waited for while the event loop runs, each
// with a deadline for the whole exchange. Certificate errors fail the request; they are never
// ignored.
class DavClient : public QObject
{
    Q_OBJECT
public:
    DavClient(const QString& user, const QString& password, QObject* parent = nullptr);

    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    // Answers above this size are cut off and fail.
    void setMaxAnswerBytes(qint64 bytes) { m_maxAnswerBytes = bytes; }

    struct Conditions
    {
        QByteArray ifMatch;       // an ETag: only when the resource still has it
        bool ifNoneMatch = false; // "*": only when there is no resource yet
    };

    DavReply propfind(const QUrl& url, int depth, const QByteArray& body);
    DavReply report(const QUrl& url, int depth, const QByteArray& body);
    DavReply get(const QUrl& url);
    // A GET without the account's name and password, for addresses outside the account, which
    // then may redirect anywhere; answers 304 when the resource still has the ETag or has not
    // changed since the time given (an HTTP date).
    DavReply getPublic(const QUrl& url, const QByteArray& ifNoneMatch,
                       const QByteArray& ifModifiedSince);
    DavReply put(const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                 const Conditions& conditions);
    DavReply remove(const QUrl& url, const QByteArray& ifMatch);

private:
    DavReply send(const QByteArray& method, const QUrl& url, const QByteArray& body,
                  const QList<std::pair<QByteArray, QByteArray>>& headers, bool withAccount = true);

    QByteArray m_authorization;
    QNetworkAccessManager m_network;
    int m_deadlineMs = 30000;
    qint64 m_maxAnswerBytes = 64LL * 1024 * 1024;
};
