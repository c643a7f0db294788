#pragma once

#include "common/datevalue.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// What lies under the pointer on the overview pictures, and where the preview window goes.
// Positions are in the coordinates of the overview picture itself (its top-left pixel is 0, 0).
// Quotients are rounded up or down exactly, before any truncation, so that the edges between
// cells fall where the drawing puts them.
namespace HoverGeometry {

struct YearCell
{
    int month = 0; // 1-12
    int day = 0;   // 1-31
    friend bool operator==(const YearCell&, const YearCell&) = default;
};

struct WeekPosition
{
    int day = 0;    // 1 = Monday ... 7 = Sunday
    int minute = 0; // 0-1440 in steps of 10
    friend bool operator==(const WeekPosition&, const WeekPosition&) = default;
};

// The drawn cell under the pointer, with the gap to its right and below it: month =
// floor((x - 40) / 47) + 1, or floor((x - 1) / 47) + 1 with the legend; day = floor((y - 30) / 15)
// + 1. Nothing unless the day exists in that month of the year.
std::optional<YearCell> yearCellAt(QPoint position, bool legendShown, int year);

// day = ceil((y - 4) / 60); minute = 10 * floor((x - 10) * 144 / L) with L the time-line length.
std::optional<WeekPosition> weekPositionAt(QPoint position, bool legendShown);

// The moment the preview of a week position is about: that day at that minute, second 1. Minute
// 1440 is the next midnight.
DateValue weekPositionMoment(DateValue weekStart, WeekPosition position);

// The preview's top-left corner: right of and below the pointer, or left of / above it where it
// would pass the right / bottom edge of the work area.
QPoint previewPosition(QPoint pointer, QSize windowSize, const QRect& workArea);

} // namespace HoverGeometry
