#include "views/overviewdisplay.h"

#include "common/programfont.h"
#include "views/overviewcanvas.h"
#include "views/weekrenderer.h"
#include "views/yearrenderer.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QRgb kInnerFrame = 0xFF9999FF;
constexpr QRgb kOuterFrame = 0xFF3333FF;

} // namespace

QImage OverviewDisplay::updatingNotice(const QImage& finished)
{
    QImage display = finished.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    OverviewCanvas canvas(display);
    canvas.setFont(programFont(4));
    const QSize size = display.deviceIndependentSize().toSize();
    canvas.text(size.width() / 2 - 70, size.height() / 2 - 10, u"Aktualisieren..."_s, 0xFF000000);
    return display;
}

QImage OverviewDisplay::yearCellFrame(const QImage& finished, int month, int day, bool legendShown)
{
    QImage display = finished.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    OverviewCanvas canvas(display);
    const int left = YearRenderer::cellX(month, legendShown);
    const int top = YearRenderer::cellY(day);
    canvas.frame(left - 1, top - 1, 44, 15, kInnerFrame);
    canvas.frame(left - 2, top - 2, 46, 17, kOuterFrame);
    return display;
}

QImage OverviewDisplay::weekRowFrame(const QImage& finished, int day, bool legendShown)
{
    QImage display = finished.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    OverviewCanvas canvas(display);
    const int length = WeekRenderer::timelineWidth(legendShown);
    const int top = WeekRenderer::rowY(day);
    canvas.frame(WeekRenderer::kTimelineX - 1, top - 1, length + 2, 28, kInnerFrame);
    canvas.frame(WeekRenderer::kTimelineX - 2, top - 2, length + 4, 30, kOuterFrame);
    return display;
}
