#include "store/earlierfiles.h"

#include "store/backup.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace EarlierFiles {

Outcome adopt(const QString& earlierDir, const QString& dataDir, QString* failedFile)
{
    if (earlierDir.isEmpty() || QFileInfo::exists(dataDir + u"data.zr"_s) ||
        !QFileInfo(earlierDir + u"data.zr"_s).isFile())
        return Outcome::Nothing;

    QStringList names;
    for (const QString& folder : {u"recovery/"_s, u"ascii/"_s}) {
        for (const QString& file : QDir(earlierDir + folder).entryList(QDir::Files))
            names << folder + file;
    }
    // A journal left by a crash belongs to its database and goes with it.
    for (const QString& file :
         {u"recovery.zr"_s, u"prefs.ini"_s, u"notizen.zr"_s, u"data.zr-journal"_s}) {
        if (QFileInfo(earlierDir + file).isFile())
            names << file;
    }
    names << u"data.zr"_s;

    for (const QString& name : names) {
        const QString target = dataDir + name;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) ||
            !Backup::copyFileSafely(earlierDir + name, target)) {
            if (failedFile)
                *failedFile = earlierDir + name;
            return Outcome::Failed;
        }
    }
    return Outcome::Copied;
}

} // namespace EarlierFiles
