#include "views/hovergeometry.h"

#include "views/weekrenderer.h"
#include "views/yearrenderer.h"

namespace HoverGeometry {

namespace {

constexpr int kPointerGapX = 10;
constexpr int kPointerGapY = 20;

} // namespace

std::optional<YearCell> yearCellAt(QPoint position, bool legendShown, int year)
{
    // A cell's first column and row belong to it, as does the gap to its right and below it.
    const int origin = YearRenderer::firstColumnX(legendShown);
    const qint64 month = floorDivide(position.x() - origin, YearRenderer::kColumnStep) + 1;
    const qint64 day =
            floorDivide(position.y() - YearRenderer::kFirstRowY, YearRenderer::kRowStep) + 1;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, static_cast<int>(month)))
        return std::nullopt;
    return YearCell{static_cast<int>(month), static_cast<int>(day)};
}

std::optional<WeekPosition> weekPositionAt(QPoint position, bool legendShown)
{
    const qint64 length = WeekRenderer::timelineWidth(legendShown);
    const qint64 minute = 10 * floorDivide((position.x() - 10) * qint64(144), length);
    const qint64 day = ceilDivide(position.y() - 4, 60);
    if (day < 1 || day > 7 || minute < 0 || minute > 1440)
        return std::nullopt;
    return WeekPosition{static_cast<int>(day), static_cast<int>(minute)};
}

DateValue weekPositionMoment(DateValue weekStart, WeekPosition position)
{
    return startOfDay(weekStart) + (position.day - 1) * kSecondsPerDay + position.minute * 60 + 1;
}

QPoint previewPosition(QPoint pointer, QSize windowSize, const QRect& workArea)
{
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();
    // To the left, the window keeps the same gap to the pointer as on the right.
    const int x = pointer.x() + windowSize.width() + kPointerGapX <= right
                          ? pointer.x() + kPointerGapX
                          : pointer.x() - windowSize.width() - kPointerGapX;
    const int y = pointer.y() + windowSize.height() + kPointerGapY <= bottom
                          ? pointer.y() + kPointerGapY
                          : pointer.y() - windowSize.height();
    return {x, y};
}

} // namespace HoverGeometry
