#include "support/pictures.h"

#include <QTest>

QImage logicalPixels(const QImage& picture, qreal ratio)
{
    if (picture.devicePixelRatio() != ratio) {
        QTest::qFail("picture drawn at another pixel ratio", __FILE__, __LINE__);
        return {};
    }
    const QSize size = picture.deviceIndependentSize().toSize();
    QImage out(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            out.setPixel(x, y,
                         picture.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio)));
    }
    return out;
}
