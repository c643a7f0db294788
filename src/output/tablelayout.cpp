#include "output/tablelayout.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

qreal screenDpiY()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchY();
    return 96.0;
}

// Nearest integer, halves to even.
int roundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

void setColumns(TableLayout& layout)
{
    const double w = layout.width;
    const int c2 = roundEven(0.05 * w + 0.15 * w);
    const int c3 = roundEven(c2 + 0.6 * w);
    const int c4 = roundEven(c3 + 0.1 * w);
    layout.columns = {roundEven(0.05 * w), c2, c3, c4, roundEven(c4 + 0.1 * w)};
}

} // namespace

QFont TableLayout::tableFontOfSize(int nominal, bool heading)
{
    QFont font(u"Arial"_s);
    font.setPixelSize(qMax(1, qRound(nominal * screenDpiY() / 72.0)));
    font.setBold(true);
    font.setUnderline(heading);
    font.setStyleStrategy(QFont::PreferQuality);
    return font;
}

TableLayout TableLayout::forDevice(const QPaintDevice& device)
{
    TableLayout layout;
    layout.mmX = qMax(1, device.width() / qMax(1, device.widthMM()));
    layout.mmY = qMax(1, device.height() / qMax(1, device.heightMM()));
    layout.left = 3 * layout.mmX;
    layout.top = 25 * layout.mmY;
    layout.right = device.width() - 6 * layout.mmX;
    layout.bottom = device.height() - 10 * layout.mmY;
    layout.width = layout.right - layout.left;
    setColumns(layout);
    layout.headingY = layout.top - 15 * layout.mmY;
    layout.headingFont = tableFontOfSize(5 * layout.mmY, true);
    layout.tableFont = tableFontOfSize(3 * layout.mmY, false);
    // A fifth of a millimetre: a one-pixel line all but vanishes at printer resolutions.
    layout.lineWidth = qMax(1, layout.mmY / 5);
    return layout;
}

TableLayout TableLayout::forPreview()
{
    TableLayout layout;
    layout.left = 10;
    layout.top = 10;
    layout.right = 180;
    layout.bottom = 180;
    layout.width = 170;
    setColumns(layout);
    layout.headingY = layout.top - 8;
    layout.headingFont = tableFontOfSize(5, true);
    layout.tableFont = tableFontOfSize(3, false);
    layout.lineColor = QColor(195, 195, 195);
    layout.singlePage = true;
    return layout;
}
