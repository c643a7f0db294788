#include "app/trayclicks.h"

#include <QApplication>

TrayClicks::TrayClicks(QObject* parent)
    : QObject(parent)
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(QApplication::doubleClickInterval());
    connect(&m_pending, &QTimer::timeout, this, &TrayClicks::toggleRequested);
}

void TrayClicks::activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        m_pending.start();
        break;
    case QSystemTrayIcon::DoubleClick:
        m_pending.stop();
        emit toggleRequested();
        break;
    default:
        break;
    }
}
