#include "app/programdirectory.h"

#include <QCoreApplication>
#include <QDir>

QString programDirectory()
{
    QString dir = qEnvironmentVariable("RUVO_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    dir = QDir(dir).absolutePath();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
