#include "common/clock.h"

#include <QDateTime>

DateValue SystemClock::now() const
{
    const QDateTime local = QDateTime::currentDateTime();
    const QDate d = local.date();
    const QTime t = local.time();
    return makeDate(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}
