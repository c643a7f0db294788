#include "core/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString withSeparator(const QString& dir)
{
    QString path = QDir(dir).absolutePath();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

Folders Folders::locate()
{
    Folders folders;
    const QString executableDir = withSeparator(QCoreApplication::applicationDirPath());

    QString data = qEnvironmentVariable("RUVO_DIR");
    if (data.isEmpty()) {
        data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/ruvo");
    }
    folders.data = withSeparator(data);

    folders.installation = {
            executableDir,
            withSeparator(executableDir + QStringLiteral(RUVO_RELATIVE_DATADIR)),
            withSeparator(executableDir + QStringLiteral(RUVO_RELATIVE_LIBEXECDIR)),
    };
    if (executableDir != folders.data)
        folders.earlier = executableDir;
    return folders;
}

QString Folders::installedFile(const QString& name) const
{
    for (const QString& dir : installation) {
        if (QFileInfo::exists(dir + name))
            return dir + name;
    }
    return (installation.isEmpty() ? data : installation.first()) + name;
}
