#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// A Radicale server of its own for one test: on 127.0.0.1 at a free port, with an empty storage
// folder and one htpasswd user, stopped with the object.
class RadicaleServer
{
public:
    RadicaleServer();
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // Starts the server and waits (bounded) until it answers; false with the reason in error().
    bool start();
    void stop();
    // Ends the server at once, as a crash or a power cut would, without letting it finish.
    void kill();
    bool isRunning() const { return m_process.state() == QProcess::Running; }

    QUrl url() const;
    QString user() const { return QStringLiteral("anna"); }
    QString password() const { return QStringLiteral("geheim's Wort"); }
    QString error() const { return m_error; }
    // Where the server keeps the user's collections.
    QString storagePath() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
