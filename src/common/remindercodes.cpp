#include "common/remindercodes.h"

using namespace Qt::StringLiterals;

namespace ReminderCodes {

QStringList leadChoices()
{
    return {u"keine"_s, u"eine Woche zuvor"_s, u"ein Tag zuvor"_s, u"eine Stunde zuvor"_s,
            u"bei Terminbeginn"_s};
}

QStringList repeatChoices()
{
    return {u"einmal"_s, u"viertelstündlich"_s, u"stündlich"_s, u"täglich"_s};
}

int repeatChoiceCount(int lead)
{
    return lead >= 1 && lead <= 4 ? 5 - lead : 0;
}

} // namespace ReminderCodes
