#pragma once

#include <QString>
#include <QStringList>

// What one import did, for the summary box or the terminal line that ends it.
struct ImportReport
{
    // Nothing was written: the file is unusable or the database refused. `error` says why.
    bool failed = false;
    QString error;

    int events = 0;
    int todos = 0;
    int addresses = 0;
    int duplicates = 0;
    // One line per item that could not be imported: which one and why.
    QStringList problems;
    // One line per imported item that had to be changed on the way in: which one and how.
    QStringList notes;

    // The German summary: what was imported, what was skipped, what was left out and why, and
    // what was changed on the way in.
    QString summaryText() const;
};
