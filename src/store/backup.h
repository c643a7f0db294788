#pragma once

#include "common/datevalue.h"

#include <QString>

#include <memory>

class Database;
class Prompter;

// Backups, restores and the recovery copy: all of them copy the whole database file. The program
// directory is passed with its trailing '/'.
namespace Backup {

enum class RestoreOutcome {
    Declined,       // the user said No: end at once, nothing written
    NoRecoveryCopy, // recovery.zr missing or empty: end
    CopyFailed,     // data.zr is as it was: end
    Restored,       // data.zr replaced and reopened: continue with the regular exit
};

// Copies source over target through a temporary file beside the target that is renamed over it
// at the end, so the target is either the old file or the complete new one. False if anything
// failed; the target is then untouched.
bool copyFileSafely(const QString& source, const QString& target);

// True if the file is an SQLite database that holds the six tables of the program.
bool isProgramDatabase(const QString& path);

// The read test, all six tables, and SQLite's own check of every page: only such a file may
// replace the last good recovery copy.
bool isIntact(Database& db);

// "Datenbank jetzt Sichern": asks for a file name and copies data.zr there. True if a backup was
// written; false when cancelled (silently) or when the copy failed (reported).
bool saveBackup(const QString& programDir, Prompter& prompter, DateValue now);

// "Sicherungsdatei rücksichern": asks for a backup, checks it, closes the connection, copies it
// over data.zr and reopens. True if the views must be refreshed on the restored data. Afterwards
// db is empty only when reopening failed (reported); the run must then end.
bool restoreBackup(const QString& programDir, Prompter& prompter, std::unique_ptr<Database>& db);

// The read test of a regular exit, then the copy of data.zr to recovery.zr. Closes the connection
// in any case. True if recovery.zr now holds data.zr.
bool checkAndCopyToRecovery(const QString& programDir, Prompter& prompter,
                            std::unique_ptr<Database>& db);

// The question after a database error (or a declined first run) whether to restore recovery.zr.
// On success db holds a connection to the restored data.zr, so the exit check that follows
// tests the restored file.
RestoreOutcome askToRestoreRecovery(const QString& programDir, Prompter& prompter,
                                    std::unique_ptr<Database>& db);

} // namespace Backup
