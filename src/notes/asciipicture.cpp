#include "notes/asciipicture.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace AsciiPicture {

namespace {

int roundToInt(double value)
{
    return qMax(1, static_cast<int>(std::lround(value)));
}

} // namespace

Grid gridFor(int width, int height)
{
    if (height < 125)
        return {200, 3};
    if (height < 250)
        return {160, 4};
    if (width == 250)
        return {40, 4};
    return {90, 8};
}

QImage prepareForStorage(const QImage& source)
{
    if (source.isNull() || source.height() < 1)
        return {};
    return prepareForStorage(source, double(source.width()) / double(source.height()));
}

QImage prepareForStorage(const QImage& source, double ratio)
{
    if (source.isNull() || !(ratio > 0))
        return {};
    const int scaledHeight = roundToInt(500 / ratio);
    const auto scale = [&source](int w, int h) {
        return source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB32);
    };
    if (scaledHeight <= 500)
        return scale(500, scaledHeight);

    QImage canvas;
    if (scaledHeight < 1000) {
        // The offset centres a picture round(250 * ratio) wide on x = 100, although the
        // picture drawn is 250 wide: stored pictures have always been placed this way.
        canvas = QImage(250, 500, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        painter.drawImage(100 - roundToInt(250 * ratio) / 2, 0,
                          scale(250, roundToInt(250 / ratio)));
    } else {
        const int width = roundToInt(500 * ratio);
        canvas = QImage(500, 500, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        painter.drawImage(250 - width / 2, 0, scale(width, 500));
    }
    return canvas;
}

QImage readForStorage(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isEmpty())
        return prepareForStorage(reader.read());
    // A camera photo does not fit Qt's default allocation limit at full size; decoding it
    // reduced (JPEG scales while decoding) keeps the memory small. The picture stored is at
    // most 500 wide, so a reduction to kDecodeLimit keeps every detail that survives.
    const double ratio = double(size.width()) / double(size.height());
    const int divisor =
            int((std::max(size.width(), size.height()) + kDecodeLimit - 1) / kDecodeLimit);
    if (divisor > 1)
        reader.setScaledSize(
                QSize(qMax(1, size.width() / divisor), qMax(1, size.height() / divisor)));
    // Formats that cannot decode reduced still need the whole picture in memory. The limit is
    // Qt's one for every reader of the process.
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    QImage picture = reader.read();
    // An orientation tag that turns the picture a quarter turns its ratio as well.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        return prepareForStorage(picture, 1.0 / ratio);
    return prepareForStorage(picture, ratio);
}

QList<QList<QRgb>> cellColours(const QImage& picture)
{
    QList<QList<QRgb>> rows;
    if (picture.isNull())
        return rows;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    const Grid grid = gridFor(w, h);
    const int n = grid.perRow;
    const int s = grid.rowHeight;

    // Cell i takes the columns x0 < x <= x1.
    std::vector<int> left(n), right(n);
    for (int i = 0; i < n; ++i) {
        left[i] = int(qint64(w) * i / (n + 1));
        right[i] = qMin(int(qint64(w) * (i + 1) / (n + 1)), w - 1);
    }
    std::vector<quint64> red(n), green(n), blue(n), count(n);
    for (int r = 0; r == 0 || r * s < h - s; ++r) {
        std::fill(red.begin(), red.end(), 0);
        std::fill(green.begin(), green.end(), 0);
        std::fill(blue.begin(), blue.end(), 0);
        std::fill(count.begin(), count.end(), 0);
        const int y0 = r * s;
        const int y1 = qMin(y0 + s, h - 1);
        for (int y = y0 + 1; y <= y1; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int i = 0; i < n; ++i) {
                const int x0 = left[i];
                const int x1 = right[i];
                for (int x = x0 + 1; x <= x1; ++x) {
                    red[i] += qRed(line[x]);
                    green[i] += qGreen(line[x]);
                    blue[i] += qBlue(line[x]);
                }
                count[i] += quint64(qMax(0, x1 - x0));
            }
        }
        QList<QRgb> cells;
        cells.reserve(n);
        for (int i = 0; i < n; ++i) {
            if (count[i] == 0) {
                cells << (image.pixel(right[i], qMin(y0 + s, h - 1)) | 0xFF000000u);
                continue;
            }
            cells << qRgb(int(red[i] / count[i]), int(green[i] / count[i]),
                          int(blue[i] / count[i]));
        }
        rows << cells;
    }
    return rows;
}

QString fileName(int number)
{
    return u"ascii/"_s + QString::number(number).rightJustified(2, u'0') + u".png"_s;
}

QString placeholderLine(int number)
{
    return u"BBBBBBBBBBBBBBBBBBBBBBB"_s + QString::number(number).rightJustified(2, u'0');
}

} // namespace AsciiPicture
