#include "views/barstrips.h"

#include <array>
#include <cmath>
#include <span>

namespace {

// Brightness of each row from the top down; 0 stands for a black row.
constexpr std::array<int, 13> kYearFactors{57,  100, 216, 192, 202, 224, 255,
                                           224, 180, 132, 86,  57,  56};
constexpr std::array<int, 26> kWeekFactors{0,   56,  57,  86,  100, 132, 160, 180, 224,
                                           240, 255, 255, 255, 255, 255, 255, 240, 224,
                                           180, 160, 132, 100, 86,  57,  56,  0};

int scaled(float component, int factor)
{
    return static_cast<int>(std::lround(static_cast<double>(component) * factor));
}

QImage strip(std::span<const int> factors, float r, float g, float b)
{
    QImage image(1, static_cast<int>(factors.size()), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        const int f = factors[static_cast<std::size_t>(y)];
        image.setPixel(0, y, qRgb(scaled(r, f), scaled(g, f), scaled(b, f)));
    }
    return image;
}

} // namespace

QImage yearBarStrip(float r, float g, float b)
{
    return strip(kYearFactors, r, g, b);
}

QImage weekBarStrip(float r, float g, float b)
{
    return strip(kWeekFactors, r, g, b);
}

BarTextColors barTextColors(float r, float g, float b)
{
    BarTextColors colors;
    if (r >= 0.6f && g >= 0.6f && b >= 0.6f)
        return colors;
    const int red = scaled(r, 100);
    const int green = scaled(g, 100);
    const int blue = scaled(b, 10);
    colors.name = qRgb(255 - red, 255 - green, 255 - blue);
    colors.sunday = qRgb(red, 255 - green, 255 - blue);
    colors.number = qRgb(red ^ 0xC3, green ^ 0xC3, blue ^ 0xC3);
    return colors;
}
