#pragma once

#include <QObject>
#include <QTimer>

class QDBusServiceWatcher;

// Whether the desktop has a place for the tray icon, and when that changes: a StatusNotifierItem
// host on the session bus, or an XEmbed tray on X11, either of which may come and go while the
// program runs (a panel restarted, an extension switched on).
class TrayHost : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRecheckMs = 10000;

    explicit TrayHost(QObject* parent = nullptr);

    bool isAvailable() const { return m_available; }

signals:
    void availabilityChanged(bool available);

private:
    static bool probe();
    void recheck();

    QDBusServiceWatcher* m_watcher;
    QTimer m_recheck;
    bool m_available;
};
