#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

// Turns the tray icon's activations into one toggle of the main window per click or double
// click. Trays of the StatusNotifierItem kind report a single activation only; older trays
// report a single one before every double click, so a single one waits for the double-click
// interval before it counts.
class TrayClicks : public QObject
{
    Q_OBJECT
public:
    explicit TrayClicks(QObject* parent = nullptr);

    void setDoubleClickInterval(int milliseconds) { m_pending.setInterval(milliseconds); }
    void activated(QSystemTrayIcon::ActivationReason reason);

signals:
    void toggleRequested();

private:
    QTimer m_pending;
};
