#include "views/overviewcanvas.h"

#include <QFontMetrics>

#include <algorithm>

OverviewCanvas::OverviewCanvas(QImage& image)
    : m_image(image)
    , m_painter(&image)
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QImage OverviewCanvas::blank(QSize size, qreal ratio)
{
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

void OverviewCanvas::setFont(const QFont& font)
{
    m_painter.setFont(font);
}

int OverviewCanvas::textWidth(const QString& text) const
{
    return m_painter.fontMetrics().horizontalAdvance(text);
}

int OverviewCanvas::textHeight() const
{
    return m_painter.fontMetrics().height();
}

void OverviewCanvas::text(int x, int y, const QString& text, QRgb color)
{
    m_painter.setPen(QColor::fromRgb(color));
    m_painter.drawText(x, y + m_painter.fontMetrics().ascent(), text);
}

void OverviewCanvas::centredText(int x, int y, const QString& text, QRgb color)
{
    this->text(x - textWidth(text) / 2, y, text, color);
}

void OverviewCanvas::fill(int x, int y, int w, int h, QRgb color)
{
    if (w > 0 && h > 0)
        m_painter.fillRect(x, y, w, h, QColor::fromRgb(color));
}

void OverviewCanvas::frame(int x, int y, int w, int h, QRgb color)
{
    if (w <= 0 || h <= 0)
        return;
    fill(x, y, w, 1, color);
    fill(x, y + h - 1, w, 1, color);
    fill(x, y, 1, h, color);
    fill(x + w - 1, y, 1, h, color);
}

void OverviewCanvas::ellipse(int cx, int cy, int rx, int ry, QRgb color)
{
    // A cosmetic pen is one device pixel wide, too thin on a finer screen.
    const bool scaled = m_image.devicePixelRatio() != 1.0;
    m_painter.setPen(QPen(QColor::fromRgb(color), scaled ? 1 : 0));
    m_painter.setBrush(Qt::NoBrush);
    // An aliased outline of a QRect covers one pixel more than the rectangle's size.
    m_painter.drawEllipse(QRect(cx - rx, cy - ry, 2 * rx - 1, 2 * ry - 1));
}

void OverviewCanvas::overlay(const QImage& image, int x, int y)
{
    m_painter.drawImage(x, y, image);
}

void OverviewCanvas::overlayPart(const QImage& image, int x, int y, int w)
{
    m_painter.drawImage(QPoint(x, y), image, QRect(0, 0, w, image.height()));
}

void OverviewCanvas::stamp(const QImage& image, int x, int y)
{
    if (m_image.devicePixelRatio() != 1.0) {
        // Scaled to the finer grid; the painter knows how.
        m_painter.setCompositionMode(QPainter::CompositionMode_Source);
        m_painter.drawImage(x, y, image);
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    // Copying pixels needs no blending, and bar ends are stamped thousands of times per picture:
    // written straight into the picture, which the painter draws into without buffering.
    const QRect target = QRect(x, y, image.width(), image.height()) & m_image.rect();
    if (target.isEmpty())
        return;
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const uchar* sourceBits = source.constBits();
    const qsizetype sourceStride = source.bytesPerLine();
    uchar* bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    for (int row = target.top(); row <= target.bottom(); ++row) {
        const auto* from = reinterpret_cast<const QRgb*>(sourceBits + (row - y) * sourceStride) +
                           (target.left() - x);
        auto* to = reinterpret_cast<QRgb*>(bits + row * stride) + target.left();
        std::copy(from, from + target.width(), to);
    }
}

void OverviewCanvas::stretch(const QImage& image, int x, int y, int w, int h)
{
    m_painter.drawImage(QRect(x, y, w, h), image);
}

QImage OverviewCanvas::opaqueCopy(const QImage& image)
{
    QImage copy = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < copy.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    return copy;
}
