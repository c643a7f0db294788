#pragma once

#include "common/datevalue.h"
#include "views/overviewdata.h"
#include "views/overviewimages.h"

#include <QImage>
#include <QSize>
#include <QString>

class Database;
class ImagePack;
class Prompter;
struct Preferences;

// Draws the week overview: seven day rows from Monday, each a time line from 00:00 to 24:00 with
// two lanes of appointment bars, behind them the large week number.
class WeekRenderer
{
public:
    static constexpr int kTimelineX = 10;
    static constexpr int kRowStep = 60;
    static constexpr int kFirstRowY = 20;
    static constexpr int kRowHeight = 26;

    WeekRenderer(Database& db, Prompter& prompter, const ImagePack& images);

    // weekStart: any moment of the Monday. A failed query is shown as a database error and ends
    // the drawing there. size is in logical pixels, as for the year picture.
    QImage render(QSize size, DateValue weekStart, DateValue now, const Preferences& prefs,
                  qreal ratio = 1.0) const;

    // The length of the time line in pixels.
    static int timelineWidth(bool legendShown) { return legendShown ? 545 : 624; }
    // The top of a day row, day 1 (Monday) to 7.
    static int rowY(int day) { return kFirstRowY + kRowStep * (day - 1); }

private:
    Database& m_db;
    Prompter& m_prompter;
    OverviewImages m_images;
    mutable OverviewDataCache m_data;
};

// The date range above the week picture, e.g. "29.12-04.01 08/09" for the week of Monday
// 29 December 2008 or "01.-07. Sep 2008"; a week that reaches into the next year names both years.
QString weekLabelText(DateValue weekStart, int shownYear);
