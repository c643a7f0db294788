#pragma once

#include <QColor>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

#include <functional>

class Prompter;
class QUrl;

enum class UpdateStatus { Searching, NoConnection, Downloading, Failed, UpToDate };

// The text shown on the splash for a status, and the colour of the box behind it.
QString updateStatusText(UpdateStatus status);
QColor updateStatusColour(UpdateStatus status);

// Asks the update server whether another version exists and, if so, fetches the update program.
// The version file's first line is the server's version text, its second line the SHA-256 of the
// update program in hex; a program whose hash differs is never kept.
class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    UpdateCheck(QString serverAddress, QString versionFile, QString programFile, Prompter& prompter,
                QObject* parent = nullptr);

    // How long one request may take in all, however steadily its bytes arrive, before it is
    // given up.
    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }

    // Runs the whole check, waiting for each download while the event loop keeps painting.
    // True when a verified update program was saved and should be started.
    bool run();

    // Starts the saved update program with the directory as its parameter and working
    // directory, without waiting for it.
    static bool startUpdateProgram(const QString& programFile, const QString& directory);

signals:
    void statusChanged(UpdateStatus status);

private:
    struct ServerVersion
    {
        QByteArray text;   // first line without its line end; empty when unreadable
        QByteArray sha256; // 32 bytes, or empty when the second line holds no valid hash
    };

    ServerVersion fetchServerVersion(bool* reached);
    bool fetchProgram(const QByteArray& expectedSha256);
    // Fetches the address, handing every arriving piece to the sink; false on any failure, past
    // the deadline and when the sink refuses a piece.
    bool fetch(const QUrl& url, const std::function<bool(const QByteArray&)>& sink);

    const QString m_serverAddress;
    const QString m_versionFile;
    const QString m_programFile;
    Prompter& m_prompter;
    QNetworkAccessManager m_network;
    int m_deadlineMs = 10000;
};
