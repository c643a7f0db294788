#pragma once

#include "common/datevalue.h"
#include "views/overviewdata.h"
#include "views/overviewimages.h"

#include <QImage>
#include <QSize>

class Database;
class ImagePack;
class Prompter;
struct Preferences;

// Draws the year overview: twelve month columns of day cells, each appointment of the shown groups
// a bar placed by its time of day, holidays, birthdays, past days, today and the legend.
class YearRenderer
{
public:
    static constexpr int kCellWidth = 42;
    static constexpr int kCellHeight = 13;
    static constexpr int kColumnStep = 47;
    static constexpr int kRowStep = 15;
    static constexpr int kFirstRowY = 30;

    YearRenderer(Database& db, Prompter& prompter, const ImagePack& images);

    // A failed query is shown as a database error; the picture then lacks what it could not read.
    // size is in logical pixels; the image has ratio times as many in each direction.
    QImage render(QSize size, int shownYear, DateValue now, const Preferences& prefs,
                  qreal ratio = 1.0) const;

    // The left edge of the January column.
    static int firstColumnX(bool legendShown) { return legendShown ? 1 : 40; }
    // The top-left pixel of a day cell (month and day from 1).
    static int cellX(int month, bool legendShown);
    static int cellY(int day);

private:
    Database& m_db;
    Prompter& m_prompter;
    OverviewImages m_images;
    mutable OverviewDataCache m_data;
};
