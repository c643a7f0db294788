#include "store/backup.h"

#include "common/prompter.h"
#include "store/database.h"
#include "store/querycursor.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace Backup {

namespace {

constexpr qint64 kChunkSize = 1 << 20;

QString dataPath(const QString& programDir)
{
    return programDir + u"data.zr"_s;
}

QString recoveryPath(const QString& programDir)
{
    return programDir + u"recovery.zr"_s;
}

// Both dialogs start in this folder.
QString backupFolder(const QString& programDir)
{
    return programDir + u"recovery/"_s;
}

QString backupFilter()
{
    return u"Recovery-files | *.rec"_s;
}

QString copyFailedText(const QString& source, const QString& target)
{
    return u"„%1“ konnte nicht nach „%2“ kopiert werden."_s.arg(QDir::toNativeSeparators(source),
                                                                QDir::toNativeSeparators(target));
}

// Replaces the database file while no connection is open. A journal left beside the old file
// would be played back into the new one on the next open, so it goes once the new file is in.
bool replaceDatabaseFile(const QString& source, const QString& target)
{
    if (!copyFileSafely(source, target))
        return false;
    for (const QString& suffix : {u"-journal"_s, u"-wal"_s, u"-shm"_s})
        QFile::remove(target + suffix);
    return true;
}

} // namespace

bool copyFileSafely(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // QSaveFile writes beside the target and renames on commit(); without a commit its temporary
    // file is removed and the target never changes.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunkSize);
        if (in.error() != QFileDevice::NoError || out.write(chunk) != chunk.size())
            return false;
    }
    return out.commit();
}

namespace {

bool hasAllTables(Database& db)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT name FROM sqlite_master WHERE type='table'"_s, cursor))
        return false;
    QStringList tables;
    while (cursor.nextRow())
        tables << cursor.text(1);
    for (const QString& name :
         {u"termine"_s, u"geburtstage"_s, u"feiertage"_s, u"adressbuch"_s, u"todo"_s, u"grups"_s}) {
        if (!tables.contains(name))
            return false;
    }
    return true;
}

} // namespace

bool isIntact(Database& db)
{
    if (!Schema::passesReadTest(db) || !hasAllTables(db))
        return false;
    QueryCursor cursor;
    return db.queryTable(u"PRAGMA quick_check"_s, cursor) && cursor.rowCount() == 1 &&
           cursor.nextRow() && cursor.text(1) == u"ok"_s;
}

bool isProgramDatabase(const QString& path)
{
    // Checked before SQLite sees the file: opening a missing file would create it.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    if (file.read(16) != QByteArray("SQLite format 3", 16))
        return false;
    file.close();

    const auto db = Database::open(path);
    return db && hasAllTables(*db);
}

bool saveBackup(const QString& programDir, Prompter& prompter, DateValue now)
{
    // The proposed name must be usable as it stands, also on a fresh installation.
    QDir().mkpath(backupFolder(programDir));
    const QString proposed =
            backupFolder(programDir) + formatDate(u"(%dd-%mm-%yyyy_%hh-%ii-%ss).rec", now);
    QString target = prompter.saveFileName(u"Daten Sichern"_s, proposed, backupFilter());
    if (target.isEmpty())
        return false;
    if (!target.endsWith(u".rec"))
        target += u".rec";
    // The connection is idle between handlers, so the file on disk is complete.
    if (!copyFileSafely(dataPath(programDir), target)) {
        prompter.warn(u"Fehler"_s, u"Die Sicherung wurde nicht erstellt: "_s +
                                           copyFailedText(dataPath(programDir), target));
        return false;
    }
    prompter.inform(u"Info"_s, u"Sicherung erfolgreich erstellt"_s);
    return true;
}

bool restoreBackup(const QString& programDir, Prompter& prompter, std::unique_ptr<Database>& db)
{
    const QString chosen =
            prompter.openFileName(u"Daten Rücksichern"_s, backupFolder(programDir), backupFilter());
    if (chosen.isEmpty())
        return false;
    if (!isProgramDatabase(chosen)) {
        prompter.warn(u"Fehler"_s, u"Die Datei „%1“ ist keine Ruvo-Datenbank. Es wurde nichts "
                                   "rückgesichert."_s.arg(QDir::toNativeSeparators(chosen)));
        return false;
    }

    // No statement of this run may write into the restored file through the old handle.
    const QString target = dataPath(programDir);
    db.reset();
    const bool restored = replaceDatabaseFile(chosen, target);
    if (!restored) {
        prompter.warn(u"Fehler"_s,
                      u"Es wurde nichts rückgesichert: "_s + copyFailedText(chosen, target));
    }
    QString error;
    db = Database::open(target, &error);
    if (!db) {
        prompter.warn(u"Fehler"_s, u"Die Datenbank „%1“ konnte nicht geöffnet werden: %2"_s.arg(
                                           QDir::toNativeSeparators(target), error));
        return false;
    }
    if (restored) {
        prompter.inform(u"Info"_s, u"erfolgreich rückgesichert, um die Änderungen wirksam werden "
                                   "zu lassen sollten Sie Ruvo nun neu starten"_s);
    }
    return restored;
}

bool checkAndCopyToRecovery(const QString& programDir, Prompter& prompter,
                            std::unique_ptr<Database>& db)
{
    // A damaged file that still answers the three reads must not replace the last good copy.
    const bool readable = db && isIntact(*db);
    db.reset();
    if (!readable) {
        prompter.warn(u"Fehler"_s, u"Es wurde keine Sicherungdurchgeführt, da auf die aktuelle "
                                   "Datenbang nicht zugegriffen werden konnte."_s);
        return false;
    }
    const QString recovery = recoveryPath(programDir);
    if (!copyFileSafely(dataPath(programDir), recovery)) {
        prompter.warn(u"Fehler"_s, u"Die Sicherungskopie wurde nicht erstellt: "_s +
                                           copyFailedText(dataPath(programDir), recovery));
        return false;
    }
    return true;
}

RestoreOutcome askToRestoreRecovery(const QString& programDir, Prompter& prompter,
                                    std::unique_ptr<Database>& db)
{
    const bool yes = prompter.askYesNo(
            u"Datenbankfehler entdeckt!"_s,
            u"Es wurde ein Datenbankfehler entdeckt. Stellen Sie sicher, dass Ruvo nur einmal "
            "ausgeführt wird.\n Falls der Fehler zum wiederholten male auftritt sollten Sie die "
            "Sicherungsdatenbank Rücksichern.\nSoll jetzt rückgesichert werden?"_s);
    if (!yes)
        return RestoreOutcome::Declined;

    const QString recovery = recoveryPath(programDir);
    const QFileInfo recoveryInfo(recovery);
    if (!recoveryInfo.isFile() || recoveryInfo.size() < 1) {
        prompter.warn(u"Fehler"_s, u"Es wurde keine Sicherungsdatei im Standardverzeichniss "
                                   "gefunden, bitte führen Sie das Rücksicherungstool aus."_s);
        return RestoreOutcome::NoRecoveryCopy;
    }
    db.reset();
    if (!replaceDatabaseFile(recovery, dataPath(programDir))) {
        prompter.warn(u"Rücksicherung"_s, u"Es trat ein Fehler bei der Rücksicherung auf, bitte "
                                          "führen Sie das Rücksicherungstool aus."_s);
        return RestoreOutcome::CopyFailed;
    }
    // Without a connection the exit check that follows would fail on the file just restored.
    db = Database::open(dataPath(programDir));
    prompter.inform(u"Rücksicherung"_s, u"Die Rücksicherung wurde erfolgreich durchgeführt!"_s);
    return RestoreOutcome::Restored;
}

} // namespace Backup
