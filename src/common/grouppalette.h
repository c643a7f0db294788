#pragma once

#include <QRgb>

inline constexpr int kGroupCount = 20;

// The plain colour of group id 1-20; other ids get white.
QRgb groupColor(int groupId);
