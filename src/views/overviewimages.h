#pragma once

#include <QImage>
#include <QList>

class ImagePack;
class OverviewCanvas;

// The 44 overview images of the pack, prepared for drawing: opaque copies for bar ends and legend
// marks, and the one-pixel tint columns repeated side by side, so that a bar of n equal columns is
// one blit instead of n.
class OverviewImages
{
public:
    static constexpr int kCount = 44;

    explicit OverviewImages(const ImagePack& pack);

    const QImage& image(int index) const { return m_images.at(index); }
    const QImage& opaque(int index) const { return m_opaque.at(index); }

    // Blends image index at (x + c, y) for c = 0 to count - 1, pixel for pixel the same as doing it
    // column by column.
    void overlayRun(OverviewCanvas& canvas, int index, int x, int y, int count) const;

private:
    QList<QImage> m_images;
    QList<QImage> m_opaque;
    QList<QImage> m_runs; // null for images wider than one pixel
};
