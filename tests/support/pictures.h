#pragma once

#include <QImage>

// A picture drawn at a device pixel ratio as the probes of the 1x tests see it: pixel (x, y) of
// the result is the device pixel at (x, y) times the ratio, the top-left one of those that logical
// pixel covers. A picture of another ratio fails the test and gives a null image.
QImage logicalPixels(const QImage& picture, qreal ratio);
