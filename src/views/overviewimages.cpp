#include "views/overviewimages.h"

#include "common/imagepack.h"
#include "views/overviewcanvas.h"

#include <QPainter>

namespace {

// Wider than the longest run: the week's time line is at most 625 columns.
constexpr int kRunWidth = 640;

} // namespace

OverviewImages::OverviewImages(const ImagePack& pack)
{
    for (int i = 0; i < kCount; ++i) {
        const QImage& image = pack.overview(i);
        m_images.append(image);
        m_opaque.append(OverviewCanvas::opaqueCopy(image));
        if (image.width() != 1) {
            m_runs.append(QImage());
            continue;
        }
        QImage run(kRunWidth, image.height(), QImage::Format_ARGB32_Premultiplied);
        const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < run.height(); ++y) {
            const QRgb pixel = source.pixel(0, y);
            auto* line = reinterpret_cast<QRgb*>(run.scanLine(y));
            for (int x = 0; x < kRunWidth; ++x)
                line[x] = pixel;
        }
        m_runs.append(run);
    }
}

void OverviewImages::overlayRun(OverviewCanvas& canvas, int index, int x, int y, int count) const
{
    if (count <= 0)
        return;
    const QImage& run = m_runs.at(index);
    if (run.isNull() || count > run.width()) {
        for (int c = 0; c < count; ++c)
            canvas.overlay(m_images.at(index), x + c, y);
        return;
    }
    canvas.overlayPart(run, x, y, count);
}
