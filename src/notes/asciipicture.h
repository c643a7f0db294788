#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

// A picture in the notes, shown as a grid of coloured letters "B", one per cell, each in the
// average colour of the pixels under it.
namespace AsciiPicture {

inline constexpr int kMaxNumber = 99;
// Pictures larger than this on their longer side are decoded reduced.
inline constexpr int kDecodeLimit = 2000;
// In MiB, for pictures of formats that are always decoded whole (PNG, BMP).
inline constexpr int kAllocationLimitMb = 1024;

// Letters per row and pixel rows per letter row for a picture of this size.
struct Grid
{
    int perRow = 0;
    int rowHeight = 0;
};
Grid gridFor(int width, int height);

// The picture as it is stored: 500 pixels wide, a tall one reduced to 250 x 500 and a very tall
// one letterboxed into 500 x 500, so the grid rules always find their sizes.
QImage prepareForStorage(const QImage& source);
// The same with the width-to-height ratio of the original, when the source was decoded reduced.
QImage prepareForStorage(const QImage& source, double ratio);
// Reads a picture file of any size a camera makes and prepares it; null when it cannot be read.
QImage readForStorage(const QString& path);

// The cell colours, row by row. The rightmost 1/(n + 1) of the picture is never sampled; a cell
// without pixels (a picture narrower than its grid) takes the pixel at its lower right corner.
QList<QList<QRgb>> cellColours(const QImage& picture);

// "ascii/NN.png", relative to the data folder.
QString fileName(int number);
// The line that stands for a newly inserted picture.
QString placeholderLine(int number);

} // namespace AsciiPicture
