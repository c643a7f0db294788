#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTreeWidget;
struct Preferences;

// Page "Einstellungen": reminder presets, bar colour, backups, printing, export, the group panel,
// the start-up switches and the sync with a server.
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    SettingsPage(const Preferences& prefs, QWidget* parent = nullptr);

    QComboBox* birthdayLead() const { return m_birthdayLead; }
    QComboBox* birthdayRepeat() const { return m_birthdayRepeat; }
    QComboBox* defaultLead() const { return m_defaultLead; }
    QComboBox* defaultRepeat() const { return m_defaultRepeat; }
    QSlider* redSlider() const { return m_red; }
    QSlider* greenSlider() const { return m_green; }
    QSlider* blueSlider() const { return m_blue; }
    QPushButton* backupButton() const { return m_backup; }
    QPushButton* restoreButton() const { return m_restore; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* exportButton() const { return m_export; }
    QTreeWidget* groupList() const { return m_groups; }
    QPushButton* groupUpButton() const { return m_groupUp; }
    QPushButton* groupEditButton() const { return m_groupEdit; }
    QPushButton* groupDeleteButton() const { return m_groupDelete; }
    QPushButton* groupDownButton() const { return m_groupDown; }
    QCheckBox* autostartBox() const { return m_autostart; }
    QCheckBox* updateBox() const { return m_update; }
    QCheckBox* splashBox() const { return m_splash; }
    QCheckBox* desktopNotificationsBox() const { return m_desktopNotifications; }
    QPushButton* syncButton() const { return m_sync; }
    QLabel* syncStatus() const { return m_syncStatus; }

private:
    QComboBox* m_birthdayLead;
    QComboBox* m_birthdayRepeat;
    QComboBox* m_defaultLead;
    QComboBox* m_defaultRepeat;
    QSlider* m_red;
    QSlider* m_green;
    QSlider* m_blue;
    QPushButton* m_backup;
    QPushButton* m_restore;
    QPushButton* m_print;
    QPushButton* m_export;
    QTreeWidget* m_groups;
    QPushButton* m_groupUp;
    QPushButton* m_groupEdit;
    QPushButton* m_groupDelete;
    QPushButton* m_groupDown;
    QCheckBox* m_autostart;
    QCheckBox* m_update;
    QCheckBox* m_splash;
    QCheckBox* m_desktopNotifications;
    QPushButton* m_sync;
    QLabel* m_syncStatus;
};
