#include "radicaleserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

RadicaleServer::RadicaleServer() = default;

RadicaleServer::~RadicaleServer()
{
    stop();
}

QUrl RadicaleServer::url() const
{
    return QUrl(u"http://127.0.0.1:%1/"_s.arg(m_port));
}

QString RadicaleServer::storagePath() const
{
    return m_dir.filePath(u"storage"_s);
}

bool RadicaleServer::start()
{
    if (!m_dir.isValid()) {
        m_error = u"no temporary folder"_s;
        return false;
    }
    if (m_port == 0) {
        // The port stays the same across a restart, as a real server's does.
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            m_error = probe.errorString();
            return false;
        }
        m_port = probe.serverPort();
    }
    QFile users(m_dir.filePath(u"users"_s));
    QFile config(m_dir.filePath(u"config"_s));
    if (!users.open(QIODevice::WriteOnly) || !config.open(QIODevice::WriteOnly)) {
        m_error = u"cannot write the configuration"_s;
        return false;
    }
    users.write((user() + u':' + password() + u'\n').toUtf8());
    users.close();
    config.write(u"[server]\nhosts = 127.0.0.1:%1\n"
                 u"[auth]\ntype = htpasswd\nhtpasswd_filename = %2\nhtpasswd_encryption = plain\n"
                 u"delay = 0\n"
                 u"[storage]\nfilesystem_folder = %3\n"
                 u"[rights]\ntype = owner_only\n"
                 u"[logging]\nlevel = warning\n"_s
                         .arg(QString::number(m_port), users.fileName(), storagePath())
                         .toUtf8());
    config.close();

    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Debian's interpreter holds Debian's radicale; another python3 earlier on the path may not.
    const QString python =
            QFile::exists(u"/usr/bin/python3"_s) ? u"/usr/bin/python3"_s : u"python3"_s;
    m_process.start(python, {u"-m"_s, u"radicale"_s, u"--config"_s, config.fileName()});
    if (!m_process.waitForStarted(10000)) {
        m_error = m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(500))
            return true;
        if (m_process.waitForFinished(50) || m_process.state() != QProcess::Running) {
            m_error = u"Radicale ended: "_s + QString::fromUtf8(m_process.readAll());
            return false;
        }
    }
    m_error = u"Radicale did not answer: "_s + QString::fromUtf8(m_process.readAll());
    stop();
    return false;
}

void RadicaleServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void RadicaleServer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}
