#include "app/trayhost.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace {
const QString kWatcherService = u"org.kde.StatusNotifierWatcher"_s;
}

TrayHost::TrayHost(QObject* parent)
    : QObject(parent)
    , m_watcher(new QDBusServiceWatcher(kWatcherService, QDBusConnection::sessionBus(),
                                        QDBusServiceWatcher::WatchForOwnerChange, this))
    , m_available(probe())
{
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayHost::recheck);
    // XEmbed trays announce themselves on the X server only, where nothing tells us.
    connect(&m_recheck, &QTimer::timeout, this, &TrayHost::recheck);
    m_recheck.start(kRecheckMs);
}

bool TrayHost::probe()
{
    // Qt decides once per process whether the StatusNotifierItem path exists, at its first look.
    // Looking before a host is there would shut that path for the whole run, so without a host
    // on the bus Qt is only asked where an XEmbed tray can exist.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const bool watcher = bus.isConnected() && bus.interface() &&
                         bus.interface()->isServiceRegistered(kWatcherService).value();
    if (!watcher && QGuiApplication::platformName() != u"xcb"_s)
        return false;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayHost::recheck()
{
    const bool available = probe();
    if (available == m_available)
        return;
    m_available = available;
    emit availabilityChanged(available);
}
