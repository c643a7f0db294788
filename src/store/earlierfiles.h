#pragma once

#include <QString>

// Earlier versions kept every file beside the executable, where a rebuild or an update deletes
// it. Those files move into the data folder once.
namespace EarlierFiles {

enum class Outcome {
    Nothing, // the data folder has its database, or there is nothing to take over
    Copied,  // the files are in the data folder now; the old ones stay where they were
    Failed,  // *failedFile could not be copied; the data folder has no database yet
};

// Copies data.zr, recovery.zr, prefs.ini, notizen.zr and the folders recovery/ and ascii/ from
// earlierDir to dataDir (both with a trailing '/'), each through a temporary file and a rename,
// when dataDir has no data.zr but earlierDir does. data.zr comes last, so a copy cut short is
// simply repeated at the next start.
Outcome adopt(const QString& earlierDir, const QString& dataDir, QString* failedFile = nullptr);

} // namespace EarlierFiles
