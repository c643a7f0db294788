#pragma once

#include <QString>
#include <QStringList>

// Where the files of a run live. What the program writes belongs to the user's data folder;
// what it only reads comes with the installation, which may be read-only.
struct Folders
{
    // The data folder, with a trailing separator: $RUVO_DIR when set, otherwise
    // $XDG_DATA_HOME/ruvo (~/.local/share/ruvo).
    QString data;
    // Searched in order for the installed files: beside the executable (the build tree), then
    // the installed share and libexec folders.
    QStringList installation;
    // Where earlier versions kept everything: the executable's folder. Empty when that is the
    // data folder itself.
    QString earlier;

    // The folders of this process, from its environment and the executable's place.
    static Folders locate();

    // An installed file: the first folder that holds it, else the first folder.
    QString installedFile(const QString& name) const;
};
