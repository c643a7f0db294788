#pragma once

#include <QString>

// Settings that only this program has, kept in desktop.ini of the data folder so that prefs.ini
// stays readable by older copies exactly as it is.
struct DesktopSettings
{
    // Reminders go to the desktop's notification service instead of the reminder window.
    bool notifications = false;

    static QString fileName();
    // A missing or unreadable file gives the defaults.
    static DesktopSettings read(const QString& path);
    // Replaces the file at once; false when it could not be written.
    bool write(const QString& path) const;
};
