#include "privatebus.h"

#include <QFile>

using namespace Qt::StringLiterals;

PrivateBus::~PrivateBus()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool PrivateBus::start()
{
    if (!m_dir.isValid()) {
        m_error = u"no temporary folder"_s;
        return false;
    }
    QFile config(m_dir.filePath(u"bus.conf"_s));
    if (!config.open(QIODevice::WriteOnly)) {
        m_error = u"cannot write the configuration"_s;
        return false;
    }
    config.write(u"<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                 "<auth>EXTERNAL</auth><policy context=\"default\">"
                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                 "<allow own=\"*\"/></policy></busconfig>\n"_s.arg(m_dir.path())
                         .toUtf8());
    config.close();
    m_process.start(u"dbus-daemon"_s, {u"--config-file="_s + config.fileName(), u"--nofork"_s,
                                       u"--print-address=1"_s});
    if (!m_process.waitForStarted(10000)) {
        m_error = m_process.errorString();
        return false;
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000)) {
            m_error = u"dbus-daemon gave no address"_s;
            return false;
        }
    }
    m_address = QString::fromUtf8(m_process.readLine().trimmed());
    return !m_address.isEmpty();
}
