#pragma once

#include <QString>

// Short month names, index 0 = January.
QString monthName(int monthIndex);
// Short weekday names, index 0 = Sunday.
QString weekdayName(int weekday);
