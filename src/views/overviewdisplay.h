#pragma once

#include <QImage>

// The picture an overview page shows on screen: the finished drawing, or a copy of it with the
// redraw notice or the frame around the day under the pointer.
class OverviewDisplay
{
public:
    // The previous finished picture with "Aktualisieren..." in its middle, shown while the new one
    // is drawn.
    static QImage updatingNotice(const QImage& finished);
    // The finished year picture with two blue frames around the cell of month and day (from 1).
    static QImage yearCellFrame(const QImage& finished, int month, int day, bool legendShown);
    // The finished week picture with two blue frames around the row of day 1 (Monday) to 7.
    static QImage weekRowFrame(const QImage& finished, int day, bool legendShown);
};
