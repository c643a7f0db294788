#include "reminders/reminderrenderer.h"

#include "common/imagepack.h"
#include "common/programfont.h"
#include "reminders/reminderlist.h"
#include "views/overviewcanvas.h"

using namespace Qt::StringLiterals;

namespace ReminderRenderer {

namespace {

constexpr QRgb kTitleColor = 0xFF00AA00;
constexpr QRgb kHeaderColor = 0xFF303030;
constexpr QRgb kRuleColor = 0xFF707070;
constexpr QRgb kDetailColor = 0xFFAA0000;
constexpr QRgb kBlack = 0xFF000000;

// The top of entry i's first line less 28, counting the headers up to and including its own.
int entryOffset(const ReminderList& list, int i)
{
    int headers = 0;
    for (int k = 0; k <= i; ++k) {
        if (!list.at(k).scanTime.isEmpty())
            ++headers;
    }
    return 25 * i + 15 * headers;
}

} // namespace

QString title()
{
    return u"Wichtige Termine:"_s;
}

QImage render(const ReminderList& list, DateValue now, const ImagePack& images, qreal ratio)
{
    const int height = list.windowHeight();
    QImage image = OverviewCanvas::blank({kWidth, height}, ratio);
    OverviewCanvas canvas(image);
    const QImage& background = images.previewBackground();
    if (height >= 120)
        canvas.overlay(background, 35, (height - 120) / 2);
    else
        canvas.stretch(background, 35, 0, 200, height);

    canvas.setFont(programFont(1));
    canvas.text(30, 5, title(), kTitleColor);
    canvas.setFont(programFont(3));
    int offset = 0;
    for (int i = 0; i < list.count(); ++i) {
        const ReminderEntry& entry = list.at(i);
        int y = offset + 25 * i;
        if (!entry.scanTime.isEmpty()) {
            const int width = canvas.textWidth(entry.scanTime);
            canvas.fill(2, y + 35, 95, 1, kRuleColor);
            canvas.text(102, y + 28, entry.scanTime, kHeaderColor);
            canvas.fill(110 + width, y + 35, 153 - width, 1, kRuleColor);
            offset += 15;
            y += 15;
        }
        const ReminderLines lines = ReminderText::lines(entry, now);
        canvas.text(5, y + 28, lines.first, kBlack);
        canvas.text(15, y + 38, lines.second, kDetailColor);
    }
    return image;
}

QRect entryRect(const ReminderList& list, int i)
{
    return {0, entryOffset(list, i) + 28, kWidth, 25};
}

int entryAt(const ReminderList& list, QPoint point)
{
    for (int i = 0; i < list.count(); ++i) {
        if (entryRect(list, i).contains(point))
            return i;
    }
    return -1;
}

} // namespace ReminderRenderer
