#pragma once

#include <QImage>

class Database;
class OverviewCanvas;
class OverviewImages;
class Prompter;
struct BarTextColors;

// The legend column at the right edge of both overview pictures: every group's bar colour under
// its name, and the tint of past time.
class OverviewLegend
{
public:
    static constexpr int kLeft = 562;

    static void draw(OverviewCanvas& canvas, int height, Database& db, Prompter& prompter,
                     const OverviewImages& images, const QImage& yearStrip,
                     const BarTextColors& colors);
};
