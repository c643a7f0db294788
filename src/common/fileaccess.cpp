#include "common/fileaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool existsButUnreadable(const QString& path)
{
    if (!QFileInfo::exists(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    // A read error shows only when the bytes are fetched.
    char byte;
    return file.read(&byte, 1) < 0;
}

QString unreadableFileText(const QString& path)
{
    return QStringLiteral("Die Datei „%1“ konnte nicht gelesen werden. Sie wird bis zum nächsten "
                          "Start nicht überschrieben, damit nichts verloren geht.")
            .arg(QDir::toNativeSeparators(path));
}
