#pragma once

#include <QMenu>

// The menu of the tray icon.
class TrayMenu : public QMenu
{
    Q_OBJECT
public:
    explicit TrayMenu(QWidget* parent = nullptr);

signals:
    void showWindowRequested();
    void manageAppointmentsRequested();
    void infoRequested();
    void quitRequested();
};
