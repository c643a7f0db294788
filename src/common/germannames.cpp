#include "common/germannames.h"

#include <array>

namespace {
constexpr std::array<const char16_t*, 12> kMonths{u"Jan", u"Feb", u"Mar",  u"Apr", u"Mai", u"Jun",
                                                  u"Jul", u"Aug", u"Sept", u"Okt", u"Nov", u"Dez"};
constexpr std::array<const char16_t*, 7> kWeekdays{u"So", u"Mo", u"Di", u"Mit",
                                                   u"Do", u"Fr", u"Sa"};
} // namespace

QString monthName(int monthIndex)
{
    return QString::fromUtf16(kMonths.at(static_cast<std::size_t>(monthIndex)));
}

QString weekdayName(int weekday)
{
    return QString::fromUtf16(kWeekdays.at(static_cast<std::size_t>(weekday)));
}
