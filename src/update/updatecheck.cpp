#include "update/updatecheck.h"

#include "common/prompter.h"
#include "common/version.h"
#include "update/updateserver.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>

#include <cctype>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Far above any version file; a server sending more is not one.
constexpr qsizetype kMaxVersionFileBytes = 64 * 1024;
constexpr qint64 kMaxProgramBytes = 512LL * 1024 * 1024;
constexpr int kSha256Bytes = 32;

QByteArray withoutCarriageReturn(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

QByteArray sha256FromHex(const QByteArray& line)
{
    const QByteArray hex = line.trimmed();
    if (hex.size() != 2 * kSha256Bytes)
        return {};
    for (const char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return {};
    }
    return QByteArray::fromHex(hex);
}

// A save file writes to a link's target; what lies under our name in the data folder is ours to
// replace, a file the link points to elsewhere is not.
bool writeWholeFile(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo(path).isSymLink() && !QFile::remove(path))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QString updateStatusText(UpdateStatus status)
{
    switch (status) {
    case UpdateStatus::Searching:
        return u"Searching for updates"_s;
    case UpdateStatus::NoConnection:
        return u"No connection to server! Is there a firewall blocking Ruvo from getting data?"_s;
    case UpdateStatus::Downloading:
        return u"Update available--downloading"_s;
    case UpdateStatus::Failed:
        return u"Update error..."_s;
    case UpdateStatus::UpToDate:
        return u"You have the newest version!"_s;
    }
    return {};
}

QColor updateStatusColour(UpdateStatus status)
{
    switch (status) {
    case UpdateStatus::Searching:
        return QColor(0x222222);
    case UpdateStatus::NoConnection:
        return QColor(0x440000);
    case UpdateStatus::Downloading:
        return QColor(0x444444);
    case UpdateStatus::Failed:
        return QColor(0xFF0000);
    case UpdateStatus::UpToDate:
        return QColor(0xAAAAAA);
    }
    return Qt::black;
}

UpdateCheck::UpdateCheck(QString serverAddress, QString versionFile, QString programFile,
                         Prompter& prompter, QObject* parent)
    : QObject(parent)
    , m_serverAddress(std::move(serverAddress))
    , m_versionFile(std::move(versionFile))
    , m_programFile(std::move(programFile))
    , m_prompter(prompter)
{}

bool UpdateCheck::run()
{
    emit statusChanged(UpdateStatus::Searching);
    // A leftover of the previous update.
    QFile::remove(m_programFile);

    bool reached = false;
    const ServerVersion server = fetchServerVersion(&reached);
    if (!reached) {
        emit statusChanged(UpdateStatus::NoConnection);
        return false;
    }
    if (server.text == versionText().toUtf8()) {
        emit statusChanged(UpdateStatus::UpToDate);
        return false;
    }

    emit statusChanged(UpdateStatus::Downloading);
    // Without a hash to check it against, no program is fetched at all.
    if (server.sha256.isEmpty() || !fetchProgram(server.sha256)) {
        QFile::remove(m_programFile);
        emit statusChanged(UpdateStatus::Failed);
        return false;
    }
    m_prompter.inform(u"Downloaded an update!"_s,
                      u"Ruvo hat gerade ein Uprdate heruntergeladen, es wird aktualisiert!"_s);
    return true;
}

UpdateCheck::ServerVersion UpdateCheck::fetchServerVersion(bool* reached)
{
    *reached = false;
    const QUrl url = updateResourceUrl(m_serverAddress, u"/ruvo-updates/current.ver"_s);
    if (!url.isValid())
        return {};
    QByteArray received;
    *reached = fetch(url, [&received](const QByteArray& piece) {
        received += piece;
        return received.size() <= kMaxVersionFileBytes;
    });
    if (!*reached)
        return {};

    // The file passes through the data folder; one that cannot be written or read back counts
    // as holding no version at all.
    QByteArray content;
    if (writeWholeFile(m_versionFile, received)) {
        QFile file(m_versionFile);
        if (file.open(QIODevice::ReadOnly))
            content = file.read(kMaxVersionFileBytes);
    }
    QFile::remove(m_versionFile);

    ServerVersion version;
    const QList<QByteArray> lines = content.split('\n');
    version.text = withoutCarriageReturn(lines.value(0));
    if (lines.size() > 1)
        version.sha256 = sha256FromHex(lines.at(1));
    return version;
}

bool UpdateCheck::fetchProgram(const QByteArray& expectedSha256)
{
    const QUrl url = updateResourceUrl(m_serverAddress, u"/ruvo-updates/program-update.exe"_s);
    QSaveFile file(m_programFile);
    if (!url.isValid() || !file.open(QIODevice::WriteOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const bool fetched = fetch(url, [&](const QByteArray& piece) {
        hash.addData(piece);
        return file.size() + piece.size() <= kMaxProgramBytes && file.write(piece) == piece.size();
    });
    // An uncommitted save file leaves nothing behind.
    if (!fetched || hash.result() != expectedSha256 || !file.commit())
        return false;
    QFile::setPermissions(m_programFile,
                          QFile::permissions(m_programFile) | QFile::ExeOwner | QFile::ExeUser);
    return true;
}

bool UpdateCheck::fetch(const QUrl& url, const std::function<bool(const QByteArray&)>& sink)
{
    // A server on this machine is reached directly, never through a proxy of the environment.
    if (url.scheme() == u"http"_s)
        m_network.setProxy(QNetworkProxy::NoProxy);

    QNetworkRequest request(url);
    // Every hop of a redirect must be an address the program accepts.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);

    std::unique_ptr<QNetworkReply> reply(m_network.get(request));
    bool accepted = true;
    auto refuse = [&] {
        accepted = false;
        reply->abort();
    };
    connect(reply.get(), &QNetworkReply::redirected, this, [&](const QUrl& target) {
        if (isAcceptedUpdateUrl(target))
            emit reply->redirectAllowed();
        else
            refuse();
    });
    connect(reply.get(), &QNetworkReply::readyRead, this, [&] {
        if (accepted && reply->error() == QNetworkReply::NoError && !sink(reply->readAll()))
            refuse();
    });

    if (!reply->isFinished()) {
        // A transfer time-out starts again with every byte, so a server trickling its answer
        // would hold the start-up for as long as it likes.
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, this, refuse);
        deadline.start(m_deadlineMs);
        QEventLoop loop;
        connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!accepted || reply->error() != QNetworkReply::NoError ||
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return false;
    const QByteArray rest = reply->readAll();
    return rest.isEmpty() || sink(rest);
}

bool UpdateCheck::startUpdateProgram(const QString& programFile, const QString& directory)
{
    return QProcess::startDetached(programFile, {directory}, directory);
}
