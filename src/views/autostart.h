#pragma once

#include <QByteArray>
#include <QString>

// Starting with the desktop session: an XDG autostart entry for this program.
namespace Autostart {

// "$XDG_CONFIG_HOME/autostart/ruvo - Autostart.desktop", or below "~/.config" when the variable
// is unset or not an absolute path.
QString entryPath();

// The desktop entry that starts the program at the given path, with the given icon file.
QByteArray entryText(const QString& program, const QString& iconPath);

// Writes the entry whole (replacing an older one) or removes it. False when the folder or the
// file could not be written or removed; the caller keeps the setting either way.
bool setEnabled(bool enabled, const QString& program, const QString& iconPath);

} // namespace Autostart
