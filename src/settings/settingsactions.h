#pragma once

#include <QObject>

struct Context;
class QComboBox;
class SettingsPage;

// The settings page's own controls: start-up switches, reminder presets and the bar colour. Every
// change takes effect in memory at once and reaches prefs.ini with the next write.
class SettingsActions : public QObject
{
    Q_OBJECT
public:
    SettingsActions(Context& ctx, SettingsPage& page, QObject* parent = nullptr);

    // Fills a repetition list with the choices that fit before the start for the lead; without a
    // reminder the list is only disabled. True when it was rebuilt.
    static bool rebuildRepeatChoices(QComboBox& repeat, int lead);

private:
    void setAutostart(bool on);
    void setUpdate(bool on);
    void setSplash(bool on);
    void setDesktopNotifications(bool on);
    void chooseBirthdayLead(int lead);
    void chooseBirthdayRepeat(int repeat);
    void chooseDefaultLead(int lead);
    void chooseDefaultRepeat(int repeat);
    // Birthday rows follow the birthday settings whenever one of the two codes changed.
    void applyBirthdayCodes(int oldLead, int oldRepeat);
    QString iconPath();

    Context& m_ctx;
    SettingsPage& m_page;
};
