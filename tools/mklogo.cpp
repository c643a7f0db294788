// Draws the logo of the Info window: a calendar sheet and the program's name on a transparent
// ground, so the colour behind it shows through the gaps and around the letters.

#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr QSize kLogoSize(350, 170);

void drawCalendarSheet(QPainter& p)
{
    const QRectF sheet(30, 32, 104, 108);
    // A soft shadow under the sheet.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(sheet.translated(3, 4), 10, 10);

    p.setBrush(QColor(255, 255, 255, 240));
    p.drawRoundedRect(sheet, 10, 10);

    // The header band with the month.
    QPainterPath header;
    header.addRoundedRect(sheet, 10, 10);
    QPainterPath band;
    band.addRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 28));
    p.setBrush(QColor(40, 40, 48, 230));
    p.drawPath(header.intersected(band));

    // Binder rings reaching over the top edge.
    p.setBrush(QColor(230, 230, 235));
    for (const double x : {sheet.left() + 28, sheet.right() - 28}) {
        p.drawRoundedRect(QRectF(x - 4, sheet.top() - 10, 8, 20), 4, 4);
    }

    // Day cells: three rows of four. The marked day is punched out, so it takes the colour of
    // whatever is behind the logo.
    const double cell = 18;
    const double gap = 6;
    const double left = sheet.left() + (sheet.width() - 4 * cell - 3 * gap) / 2;
    const double top = sheet.top() + 38;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            const QRectF r(left + col * (cell + gap), top + row * (cell + gap), cell, cell);
            if (row == 1 && col == 2) {
                p.setCompositionMode(QPainter::CompositionMode_Clear);
                p.setBrush(Qt::black);
                p.drawRoundedRect(r.adjusted(-1, -1, 1, 1), 4, 4);
                p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            } else {
                p.setBrush(QColor(40, 40, 48, row == 0 && col == 0 ? 60 : 110));
                p.drawRoundedRect(r, 4, 4);
            }
        }
    }
}

void drawName(QPainter& p)
{
    QFont name(u"Liberation Sans"_s);
    name.setPixelSize(72);
    name.setBold(true);
    const QRectF box(156, 28, 180, 86);
    QPainterPath letters;
    letters.addText(0, 0, name, u"Ruvo"_s);
    const QRectF bounds = letters.boundingRect();
    letters.translate(box.left() - bounds.left(), box.center().y() - bounds.center().y());

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(letters.translated(3, 3));
    p.setBrush(QColor(255, 255, 255, 245));
    p.drawPath(letters);

    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.drawLine(QPointF(158, 116), QPointF(330, 116));

    QFont line(u"Liberation Sans"_s);
    line.setPixelSize(15);
    p.setFont(line);
    p.setPen(QColor(255, 255, 255, 230));
    p.drawText(QRectF(158, 120, 180, 22), Qt::AlignLeft | Qt::AlignVCenter, u"Der Terminplaner"_s);
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mklogo <logo.png>\n");
        return 2;
    }
    QImage logo(kLogoSize, QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    drawCalendarSheet(p);
    drawName(p);
    p.end();

    QImageWriter writer(QString::fromLocal8Bit(argv[1]), "png");
    if (!writer.write(logo.convertToFormat(QImage::Format_ARGB32))) {
        std::fprintf(stderr, "mklogo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
