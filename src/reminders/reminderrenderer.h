#pragma once

#include "common/datevalue.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

class ImagePack;
class ReminderList;

// The picture of the reminder window: the title, then per batch a header with its scan time and
// per entry two lines. Drawn without a window, so tests can read its pixels.
namespace ReminderRenderer {

inline constexpr int kWidth = 270;

// "Wichtige Termine:", which heads the picture and the desktop notification.
QString title();

// kWidth x the window's height in logical pixels, at the device pixel ratio.
QImage render(const ReminderList& list, DateValue now, const ImagePack& images, qreal ratio = 1.0);

// The band of the picture that entry i takes, below its batch header.
QRect entryRect(const ReminderList& list, int i);
// The entry under a point of the picture; -1 for the title and the headers.
int entryAt(const ReminderList& list, QPoint point);

} // namespace ReminderRenderer
