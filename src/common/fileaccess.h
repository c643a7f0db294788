#pragma once

#include <QString>

// True when the file is there but cannot be read (permissions, a failing disk). What the program
// holds in memory instead is not the user's, so such a file must not be overwritten in that run.
bool existsButUnreadable(const QString& path);

// The message that names such a file.
QString unreadableFileText(const QString& path);
