#pragma once

#include <QString>

#include <memory>

class Database;
class QLockFile;
class QTextStream;

// An export or import run from the terminal, on the data folder, without a window.
struct InterchangeCommand
{
    enum class Action { ExportCalendar, ExportAddresses, Import };
    Action action = Action::Import;
    QString file;
    // The group of imported events whose category names none: a name or an id; empty for the
    // first ordinary group.
    QString group;
    // The Anrede of imported addresses without a gender: 0 "Frau", 1 "Herr", -1 leaves them out.
    int anrede = -1;
};

// Exit codes of a command-line run.
enum InterchangeExit {
    kExitDone = 0,
    kExitBadFile = 1,     // the file cannot be read, written or imported
    kExitNoDatabase = 2,  // no usable data.zr in the data folder
    kExitInstanceRuns = 3 // a running Ruvo holds the data folder
};

// The steps every command without a window takes first: the program's instance lock (held in
// `lock` for the command's run), then the folder's usable database with its indexes. On failure
// nothing, the reason on `err` and the exit code in `exitCode`.
std::unique_ptr<Database> openDataFolder(const QString& dataDir, QLockFile& lock, QTextStream& err,
                                         int& exitCode);

// Runs the command on the data folder (with its trailing separator) and returns the exit code.
// The summary goes to `out`, every refusal to `err`. Open rules of an imported calendar are
// expanded up to the end of the year after `importYear`.
int runInterchangeCommand(const QString& dataDir, const InterchangeCommand& command, int importYear,
                          QTextStream& out, QTextStream& err);
