#pragma once

#include "common/clock.h"
#include "common/datevalue.h"
#include "common/desktopsettings.h"
#include "common/imagepack.h"
#include "common/preferences.h"
#include "common/prompter.h"
#include "core/folders.h"
#include "store/database.h"
#include "store/databaseerror.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

// What the overviews show; not stored between runs.
struct ViewState
{
    int shownYear = 2007;
    // A moment on the Monday of the week the week overview shows; only its date counts.
    DateValue weekStart = 0;
};

// Program-wide state of one run, created at start-up and handed to every part that needs it.
struct Context
{
    Context(Folders f, Prompter& p, Clock& c)
        : folders(std::move(f))
        , dataDir(folders.data)
        , prompter(p)
        , clock(c)
    {}
    // Everything in one folder, as a test sets it up.
    Context(const QString& dir, Prompter& p, Clock& c)
        : Context(Folders{dir, {dir}, {}}, p, c)
    {}

    // A file the program writes: the data folder (with its trailing separator) + name.
    QString filePath(const QString& name) const { return dataDir + name; }
    // A file the program only reads, from the installation.
    QString installedFile(const QString& name) const { return folders.installedFile(name); }

    const Folders folders;
    const QString dataDir;
    Prompter& prompter;
    Clock& clock;

    Preferences prefs;
    DesktopSettings desktop;
    ViewState view;
    QuitState quitState = QuitState::Running;
    std::optional<ImagePack> images;
    std::unique_ptr<Database> db;

    // The screen without panels, bounding popups; and the whole desktop, for centring.
    QRect workArea;
    QSize desktopSize;
};
