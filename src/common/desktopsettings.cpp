#include "common/desktopsettings.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace {
const QString kNotifications = u"reminders/notifications"_s;
}

QString DesktopSettings::fileName()
{
    return u"desktop.ini"_s;
}

DesktopSettings DesktopSettings::read(const QString& path)
{
    const QSettings file(path, QSettings::IniFormat);
    DesktopSettings settings;
    settings.notifications = file.value(kNotifications, false).toBool();
    return settings;
}

bool DesktopSettings::write(const QString& path) const
{
    // QSettings writes through a temporary file that replaces the old one.
    QSettings file(path, QSettings::IniFormat);
    file.setValue(kNotifications, notifications);
    file.sync();
    return file.status() == QSettings::NoError;
}
