#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRgb>
#include <QString>

// Drawing in the terms the overview pictures are described in: texts placed by the top-left corner
// of their line, one-pixel frames and lines that cover exactly the pixels they name, images blended
// over the picture or stamped opaque. Nothing is antialiased except text. Coordinates are logical
// pixels: on an image with a device pixel ratio each of them covers ratio x ratio pixels of it.
class OverviewCanvas
{
public:
    // The image must stay unshared while the canvas draws on it.
    explicit OverviewCanvas(QImage& image);

    // A white picture of the logical size, at the device pixel ratio.
    static QImage blank(QSize size, qreal ratio);

    void setFont(const QFont& font);
    int textWidth(const QString& text) const;
    int textHeight() const;

    // The line's top-left corner at (x, y).
    void text(int x, int y, const QString& text, QRgb color);
    // Horizontally centred on x, the line's top at y.
    void centredText(int x, int y, const QString& text, QRgb color);

    void fill(int x, int y, int w, int h, QRgb color);
    // The outline of a w x h rectangle whose top-left pixel is (x, y).
    void frame(int x, int y, int w, int h, QRgb color);
    // An ellipse outline with the given centre and radii.
    void ellipse(int cx, int cy, int rx, int ry, QRgb color);

    // Alpha-blended with its top-left corner at (x, y).
    void overlay(const QImage& image, int x, int y);
    // The first w columns of the image, alpha-blended at (x, y).
    void overlayPart(const QImage& image, int x, int y, int w);
    // An opaque image (see opaqueCopy) replacing the pixels under it.
    void stamp(const QImage& image, int x, int y);
    // Stretched (nearest pixel) to w x h at (x, y).
    void stretch(const QImage& image, int x, int y, int w, int h);

    // The premultiplied colours of the image with full alpha: what a plain copy of a
    // premultiplied bitmap leaves behind.
    static QImage opaqueCopy(const QImage& image);

private:
    QImage& m_image;
    QPainter m_painter;
};
