#pragma once

#include <QImage>
#include <QRgb>

// The background bars of the overviews in the user's bar colour (components 0.1 to 1.0), and the
// text colours that stay readable on them.

// 1 x 13 pixels, stretched across every day cell of the year picture.
QImage yearBarStrip(float r, float g, float b);
// 1 x 26 pixels with a black top and bottom row, stretched across every day of the week picture.
QImage weekBarStrip(float r, float g, float b);

struct BarTextColors
{
    QRgb name = 0xFF000000;   // weekday and legend names
    QRgb sunday = 0xFFFF0000; // the weekday name of Sundays
    QRgb number = 0xFF333333; // day numbers
};

// Dark bars get light, inverted text; bright bars keep black, red and dark grey.
BarTextColors barTextColors(float r, float g, float b);
