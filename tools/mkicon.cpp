// Draws the application icon, a calendar sheet, into a hicolor icon theme folder.
// Usage: mkicon <theme folder> <icon name> <size>...
// Each size is drawn on its own pixel grid, so the small ones stay sharp instead of being scaled
// down.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QColor kOutline(52, 56, 68);
const QColor kPaper(252, 252, 250);
const QColor kPaperShade(228, 230, 236);
const QColor kHeader(204, 44, 48);
const QColor kHeaderLight(228, 82, 78);
const QColor kRing(70, 74, 88);
const QColor kGrid(214, 218, 226);
// Appointment bars in a few colours of the groups.
const QColor kBars[] = {QColor(46, 122, 214), QColor(58, 166, 82), QColor(238, 160, 32),
                        QColor(150, 84, 196)};

int scaled(int size, double fraction)
{
    return std::max(1, static_cast<int>(std::lround(size * fraction)));
}

QPainterPath roundedRect(const QRectF& rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    // Every edge lies on a whole pixel; only the rounded corners are smoothed.
    const int margin = size >= 32 ? scaled(size, 1.0 / 16) : (size >= 22 ? 1 : 0);
    const int border = std::max(1, scaled(size, 1.0 / 32));
    const int ringHeight = scaled(size, 0.19);
    const int top = margin + ringHeight / 2;
    const QRect sheet(margin, top, size - 2 * margin, size - top - margin);
    const double radius = std::max(1.5, size * 0.09);

    if (size >= 48) {
        // A soft shadow below the sheet lifts it off the desktop.
        for (int i = 3; i >= 1; --i) {
            p.setBrush(QColor(0, 0, 0, 18));
            p.drawPath(roundedRect(QRectF(sheet).translated(0, size / 96.0 * i), radius));
        }
    }

    p.setBrush(kOutline);
    p.drawPath(roundedRect(sheet, radius));
    const QRect inner = sheet.adjusted(border, border, -border, -border);
    const double innerRadius = std::max(0.5, radius - border);

    const int headerHeight = std::max(3, scaled(size, 0.25));
    const QRect header(inner.left(), inner.top(), inner.width(), headerHeight);
    const QRect body(inner.left(), header.bottom() + 1, inner.width(),
                     inner.bottom() - header.bottom());

    p.save();
    p.setClipPath(roundedRect(inner, innerRadius));
    QLinearGradient paper(0, body.top(), 0, body.bottom());
    paper.setColorAt(0, kPaper);
    paper.setColorAt(1, size >= 32 ? kPaperShade : kPaper);
    p.fillRect(body, paper);
    QLinearGradient band(0, header.top(), 0, header.bottom());
    band.setColorAt(0, size >= 32 ? kHeaderLight : kHeader);
    band.setColorAt(1, kHeader);
    p.fillRect(header, band);
    // The line where the band meets the paper.
    p.fillRect(QRect(body.left(), body.top(), body.width(), std::max(1, border / 2)),
               kHeader.darker(140));
    p.restore();

    // Two rings hold the sheet; they stand above the band.
    const int ringWidth = std::max(2, scaled(size, 0.09));
    const int ringTop = std::max(0, top - ringHeight / 2);
    for (const double at : {0.3, 0.7}) {
        const int x =
                sheet.left() + static_cast<int>(std::lround(sheet.width() * at)) - ringWidth / 2;
        const QRect ring(x, ringTop, ringWidth, ringHeight);
        p.setBrush(kRing);
        p.drawPath(roundedRect(ring, ringWidth / 2.0));
        if (size >= 48) {
            p.setBrush(QColor(255, 255, 255, 70));
            p.drawRect(QRect(x + ringWidth / 4, ringTop + 1, std::max(1, ringWidth / 4),
                             ringHeight - 2));
        }
    }

    // The body shows a week of days with appointment bars; small sizes keep only the bars.
    const int pad = std::max(1, scaled(size, 0.08));
    const QRect content = body.adjusted(pad, pad, -pad, -pad);
    if (size >= 48) {
        const int columns = 7;
        const int rows = 4;
        p.setBrush(kGrid);
        for (int c = 1; c < columns; ++c) {
            const int x = content.left() + content.width() * c / columns;
            p.drawRect(
                    QRect(x, body.top() + border, std::max(1, size / 128), body.height() - border));
        }
        const int barHeight = std::max(2, content.height() / (rows * 2));
        const struct
        {
            int row, from, to, colour;
        } bars[] = {{0, 0, 3, 0}, {1, 2, 6, 1}, {2, 0, 2, 2}, {2, 4, 7, 3}, {3, 1, 5, 0}};
        for (const auto& bar : bars) {
            const int y = content.top() + content.height() * (2 * bar.row + 1) / (rows * 2) -
                          barHeight / 2;
            const int x0 = content.left() + content.width() * bar.from / columns + 1;
            const int x1 = content.left() + content.width() * bar.to / columns - 1;
            p.setBrush(kBars[bar.colour]);
            p.drawPath(roundedRect(QRectF(x0, y, x1 - x0, barHeight), barHeight / 3.0));
        }
    } else {
        const int count = size >= 22 ? 3 : 2;
        const int gap = std::max(1, (content.height() - count * 2) / (count + 1));
        const int barHeight = std::max(1, (content.height() - gap * (count - 1)) / count);
        const double lengths[] = {0.75, 1.0, 0.55};
        for (int i = 0; i < count; ++i) {
            const int y = content.top() + i * (barHeight + gap);
            const int width = static_cast<int>(std::lround(content.width() * lengths[i]));
            p.fillRect(QRect(content.left(), y, std::max(2, width), barHeight), kBars[i]);
        }
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: mkicon <theme folder> <icon name> <size>...\n");
        return 2;
    }
    const QDir theme(args.at(1));
    const QString name = args.at(2);
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "mkicon: bad size %s\n", qPrintable(args.at(i)));
            return 2;
        }
        const QString folder = u"%1x%1/apps"_s.arg(size);
        const QString file = theme.filePath(folder + u'/' + name + u".png"_s);
        QSaveFile out(file);
        if (!theme.mkpath(folder) || !out.open(QIODevice::WriteOnly) ||
            !drawIcon(size).save(&out, "PNG") || !out.commit()) {
            std::fprintf(stderr, "mkicon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
