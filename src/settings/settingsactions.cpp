#include "settings/settingsactions.h"

#include "appointments/appointmentstore.h"
#include "common/desktopsettings.h"
#include "common/remindercodes.h"
#include "core/context.h"
#include "reminders/reminderscan.h"
#include "settings/settingspage.h"
#include "store/databaseerror.h"
#include "views/autostart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSlider>

using namespace Qt::StringLiterals;

SettingsActions::SettingsActions(Context& ctx, SettingsPage& page, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_page(page)
{
    connect(page.autostartBox(), &QCheckBox::clicked, this, &SettingsActions::setAutostart);
    connect(page.updateBox(), &QCheckBox::clicked, this, &SettingsActions::setUpdate);
    connect(page.splashBox(), &QCheckBox::clicked, this, &SettingsActions::setSplash);
    page.desktopNotificationsBox()->setChecked(ctx.desktop.notifications);
    connect(page.desktopNotificationsBox(), &QCheckBox::clicked, this,
            &SettingsActions::setDesktopNotifications);
    connect(page.birthdayLead(), &QComboBox::activated, this, &SettingsActions::chooseBirthdayLead);
    connect(page.birthdayRepeat(), &QComboBox::activated, this,
            &SettingsActions::chooseBirthdayRepeat);
    connect(page.defaultLead(), &QComboBox::activated, this, &SettingsActions::chooseDefaultLead);
    connect(page.defaultRepeat(), &QComboBox::activated, this,
            &SettingsActions::chooseDefaultRepeat);

    Preferences& prefs = ctx.prefs;
    connect(page.redSlider(), &QSlider::valueChanged, this,
            [&prefs](int value) { prefs.r = static_cast<float>(value) / 100; });
    connect(page.greenSlider(), &QSlider::valueChanged, this,
            [&prefs](int value) { prefs.g = static_cast<float>(value) / 100; });
    connect(page.blueSlider(), &QSlider::valueChanged, this,
            [&prefs](int value) { prefs.b = static_cast<float>(value) / 100; });
}

bool SettingsActions::rebuildRepeatChoices(QComboBox& repeat, int lead)
{
    const int count = ReminderCodes::repeatChoiceCount(lead);
    repeat.setEnabled(count > 0);
    if (count == 0)
        return false;
    repeat.clear();
    repeat.addItems(ReminderCodes::repeatChoices().mid(0, count));
    repeat.setCurrentIndex(0);
    return true;
}

void SettingsActions::setAutostart(bool on)
{
    m_ctx.prefs.autostart = on ? 1 : 0;
    // A failure is not reported: the switch keeps the user's wish for the next start.
    Autostart::setEnabled(on, QCoreApplication::applicationFilePath(), iconPath());
}

QString SettingsActions::iconPath()
{
    // The desktop shows the entry with the tray picture, kept as a file beside the data.
    QString path = m_ctx.filePath(u"ruvo.png"_s);
    if (!QFileInfo::exists(path) && m_ctx.images) {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && m_ctx.images->trayIcon().save(&file, "PNG"))
            file.commit();
    }
    return path;
}

void SettingsActions::setUpdate(bool on)
{
    m_ctx.prefs.update = on ? 1 : 0;
    // The update check runs inside the splash window.
    if (on) {
        m_page.splashBox()->setChecked(true);
        m_ctx.prefs.splash = 1;
    }
}

void SettingsActions::setSplash(bool on)
{
    m_ctx.prefs.splash = on ? 1 : 0;
    if (!on) {
        m_page.updateBox()->setChecked(false);
        m_ctx.prefs.update = 0;
    }
}

void SettingsActions::setDesktopNotifications(bool on)
{
    // Written at once: prefs.ini is not where it lives, so no later write would take it along.
    m_ctx.desktop.notifications = on;
    const QString path = m_ctx.filePath(DesktopSettings::fileName());
    if (!m_ctx.desktop.write(path))
        m_ctx.prompter.warn(u"Fehler"_s,
                            u"Die Einstellung konnte nicht in „%1“ gespeichert werden. Sie gilt "
                            "nur, bis Ruvo beendet wird."_s.arg(QDir::toNativeSeparators(path)));
}

void SettingsActions::chooseBirthdayLead(int lead)
{
    Preferences& prefs = m_ctx.prefs;
    const int oldLead = prefs.gebmsgtime;
    const int oldRepeat = prefs.gebremsg;
    prefs.gebmsgtime = lead;
    if (rebuildRepeatChoices(*m_page.birthdayRepeat(), lead))
        prefs.gebremsg = 0;
    applyBirthdayCodes(oldLead, oldRepeat);
    if (lead != oldLead && !ReminderScan::rescheduleBirthdays(*m_ctx.db, lead))
        showDatabaseError(*m_ctx.db, m_ctx.prompter);
}

void SettingsActions::chooseBirthdayRepeat(int repeat)
{
    Preferences& prefs = m_ctx.prefs;
    const int oldRepeat = prefs.gebremsg;
    prefs.gebremsg = repeat;
    applyBirthdayCodes(prefs.gebmsgtime, oldRepeat);
}

void SettingsActions::applyBirthdayCodes(int oldLead, int oldRepeat)
{
    const Preferences& prefs = m_ctx.prefs;
    if (prefs.gebmsgtime == oldLead && prefs.gebremsg == oldRepeat)
        return;
    applyBirthdayReminderDefaults(*m_ctx.db, m_ctx.prompter, prefs.gebmsgtime, prefs.gebremsg);
}

void SettingsActions::chooseDefaultLead(int lead)
{
    m_ctx.prefs.allgmsgtime = lead;
    if (rebuildRepeatChoices(*m_page.defaultRepeat(), lead))
        m_ctx.prefs.allgremsg = 0;
}

void SettingsActions::chooseDefaultRepeat(int repeat)
{
    m_ctx.prefs.allgremsg = repeat;
}
