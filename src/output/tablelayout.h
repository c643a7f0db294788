#pragma once

#include <QColor>
#include <QFont>

#include <array>

class QPaintDevice;

// Geometry, fonts and line colour of the appointment table, worked out in millimetres so that
// the table has the same physical size on every printer. All values are device pixels.
struct TableLayout
{
    int mmX = 1;
    int mmY = 1;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width = 0; // right - left
    // Right edges of the columns "Nr:", "Gruppe:", "Berschreibung:", "Anfang:", "Ende:", as
    // offsets from left.
    std::array<int, 5> columns{};
    int headingY = 0;
    QFont headingFont;
    QFont tableFont;
    QColor lineColor = Qt::black;
    int lineWidth = 1;
    // The preview draws only the first page.
    bool singlePage = false;

    // The layout for a printer page of the device's printable area.
    static TableLayout forDevice(const QPaintDevice& device);
    // The fixed layout of the 200 x 200 preview picture.
    static TableLayout forPreview();

    // Nominal sizes are point sizes at the screen's resolution; that pixel height is used as is
    // on the printer.
    static QFont tableFontOfSize(int nominal, bool heading);
};
