// Generates imgs.pak, the pictures of the user interface, from the group palette.

#include "common/grouppalette.h"
#include "common/imagepackformat.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int kYearBarHeight = 13;
constexpr int kWeekBarHeight = 26;
constexpr int kCellWidth = 42;

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The shading of a bar from top to bottom: a little darker at the edges, so stacked columns read
// as one rounded bar.
double barShade(int row, int height)
{
    const double centre = (height - 1) / 2.0;
    const double distance = std::abs(row - centre) / centre;
    return 1.0 - 0.28 * distance * distance;
}

QColor tint(QRgb rgb, int row, int height, int alpha)
{
    const double s = barShade(row, height);
    return QColor(qRound(qRed(rgb) * s), qRound(qGreen(rgb) * s), qRound(qBlue(rgb) * s), alpha);
}

QImage tintColumn(int groupId)
{
    QImage image = blank(1, kYearBarHeight);
    for (int y = 0; y < kYearBarHeight; ++y)
        image.setPixelColor(0, y, tint(groupColor(groupId), y, kYearBarHeight, 215));
    return image;
}

QImage wholeDayOverlay(int groupId)
{
    QImage image = blank(kCellWidth, kYearBarHeight);
    QPainter p(&image);
    const QImage column = tintColumn(groupId);
    for (int x = 0; x < kCellWidth; ++x)
        p.drawImage(x, 0, column);
    return image;
}

QImage pastTint()
{
    QImage image = blank(1, kYearBarHeight);
    image.fill(QColor(0, 0, 0, 70));
    return image;
}

QImage pastDay()
{
    QImage image = blank(kCellWidth, kYearBarHeight);
    image.fill(QColor(190, 190, 190, 150));
    return image;
}

QImage weekPast(int width)
{
    QImage image = blank(width, kWeekBarHeight);
    image.fill(QColor(190, 190, 190, 140));
    return image;
}

QImage trayIcon()
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 70), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 4.5, 27, 25), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawRoundedRect(QRectF(3, 5, 26, 8), 2, 2);
    p.drawRect(QRectF(3, 9, 26, 4));
    // Rings of the calendar sheet.
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(QRectF(8, 2, 3, 6), 1, 1);
    p.drawRoundedRect(QRectF(21, 2, 3, 6), 1, 1);
    // A few coloured bars on the sheet, in group colours.
    const int groups[] = {3, 2, 5, 7};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(groupColor(groups[i])).darker(120));
        p.drawRect(QRectF(6 + (i % 2) * 4, 15.5 + i * 3.2, 14 + (i % 3) * 3, 2.4));
    }
    return image;
}

QImage previewBackground()
{
    QImage image = blank(200, 120);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 120);
    g.setColorAt(0, QColor(222, 232, 250, 230));
    g.setColorAt(1, QColor(248, 250, 255, 200));
    p.setBrush(g);
    p.setPen(QPen(QColor(150, 170, 210, 220), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 199, 119), 8, 8);
    return image;
}

QImage splashBackground()
{
    QImage image = blank(800, 380);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // A soft light from the upper left; the status colour behind shows through the rest.
    QRadialGradient glow(QPointF(220, 120), 520);
    glow.setColorAt(0, QColor(255, 255, 255, 70));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);

    // A strip of calendar bars in the group colours.
    for (int i = 0; i < 20; ++i) {
        QColor c(groupColor(i + 1));
        c.setAlpha(200);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        const double x = 60 + i * 34;
        const double w = 18 + (i * 7) % 13;
        p.drawRoundedRect(QRectF(x, 230 + (i % 3) * 12, w, 8), 3, 3);
    }

    QFont title(u"Liberation Sans"_s);
    title.setPixelSize(110);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255, 235));
    p.drawText(QRectF(60, 40, 680, 130), Qt::AlignLeft | Qt::AlignVCenter, u"Ruvo"_s);

    QFont subtitle(u"Liberation Sans"_s);
    subtitle.setPixelSize(26);
    p.setFont(subtitle);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRectF(64, 160, 680, 40), Qt::AlignLeft | Qt::AlignVCenter,
               u"Termine \u00b7 Adressen \u00b7 Aufgaben \u00b7 Notizen"_s);
    return image;
}

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkpak <output file>\n");
        return 2;
    }

    QList<QImage> images;
    images << trayIcon() << previewBackground() << splashBackground();
    for (int g = 1; g <= kGroupCount; ++g)
        images << tintColumn(g);
    images << pastTint() << pastDay() << weekPast(312) << weekPast(1);
    for (int g = 1; g <= kGroupCount; ++g)
        images << wholeDayOverlay(g);

    QList<QByteArray> entries;
    for (const QImage& image : images)
        entries << png(image);

    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(ImagePackFormat::write(entries)) < 0) {
        std::fprintf(stderr, "mkpak: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
