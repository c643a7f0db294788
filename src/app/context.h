#pragma once

#include "common/clock.h"
#include "common/datevalue.h"
#include "common/imagepack.h"
#include "common/prompter.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "views/preferences.h"

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
    Context(QString dir, Prompter& p, Clock& c)
        : programDir(std::move(dir))
        , prompter(p)
        , clock(c)
    {}

    // A file of the program: the program directory (with its trailing separator) + name.
    QString filePath(const QString& name) const { return programDir + name; }

    const QString programDir;
    Prompter& prompter;
    Clock& clock;

    Preferences prefs;
    ViewState view;
    QuitState quitState = QuitState::Running;
    std::optional<ImagePack> images;
    std::unique_ptr<Database> db;

    // The screen without panels, bounding popups; and the whole desktop, for centring.
    QRect workArea;
    QSize desktopSize;
};
