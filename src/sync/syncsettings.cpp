#include "sync/syncsettings.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace {
const QString kUrl = u"account/url"_s;
const QString kUser = u"account/user"_s;
const QString kAddressBook = u"addresses/book"_s;
const QString kCalendars = u"calendars"_s;
const QString kSubscriptions = u"subscriptions"_s;
const QString kAddress = u"url"_s;
const QString kGroup = u"group"_s;
} // namespace

QString SyncSettings::fileName()
{
    return u"sync.ini"_s;
}

SyncSettings SyncSettings::read(const QString& path)
{
    QSettings file(path, QSettings::IniFormat);
    SyncSettings settings;
    settings.url = file.value(kUrl).toString();
    settings.user = file.value(kUser).toString();
    settings.addressBook = file.value(kAddressBook).toString();
    // Arrays rather than keys: calendar addresses are full of characters a key cannot hold.
    const int calendars = file.beginReadArray(kCalendars);
    for (int i = 0; i < calendars; ++i) {
        file.setArrayIndex(i);
        const QString url = file.value(kAddress).toString();
        if (!url.isEmpty())
            settings.calendarGroups.insert(url, file.value(kGroup).toInt());
    }
    file.endArray();
    const int subscriptions = file.beginReadArray(kSubscriptions);
    for (int i = 0; i < subscriptions; ++i) {
        file.setArrayIndex(i);
        const Subscription s{file.value(kAddress).toString(), file.value(kGroup).toInt()};
        if (!s.url.isEmpty())
            settings.subscriptions.append(s);
    }
    file.endArray();
    return settings;
}

bool SyncSettings::write(const QString& path) const
{
    // QSettings writes through a temporary file that replaces the old one.
    QSettings file(path, QSettings::IniFormat);
    file.clear();
    file.setValue(kUrl, url);
    file.setValue(kUser, user);
    file.setValue(kAddressBook, addressBook);
    QStringList calendars = calendarGroups.keys();
    calendars.sort(); // a file that does not change from one write to the next
    file.beginWriteArray(kCalendars, int(calendars.size()));
    for (int i = 0; i < calendars.size(); ++i) {
        file.setArrayIndex(i);
        file.setValue(kAddress, calendars[i]);
        file.setValue(kGroup, calendarGroups.value(calendars[i]));
    }
    file.endArray();
    file.beginWriteArray(kSubscriptions, int(subscriptions.size()));
    for (int i = 0; i < subscriptions.size(); ++i) {
        file.setArrayIndex(i);
        file.setValue(kAddress, subscriptions[i].url);
        file.setValue(kGroup, subscriptions[i].group);
    }
    file.endArray();
    file.sync();
    return file.status() == QSettings::NoError;
}
