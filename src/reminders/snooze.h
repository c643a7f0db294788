#pragma once

#include "common/datevalue.h"

#include <QList>
#include <QString>

class Database;
struct ReminderEntry;

// Reminding again later of what the reminder window shows.
namespace Snooze {

struct Choice
{
    QString text;
    DateValue delay = 0;
};

// "Erneut erinnern in 5 Minuten", "… in 15 Minuten", "… in 1 Stunde", "Morgen erneut erinnern".
QList<Choice> choices();

// Holidays come once a day, and an overdue to-do item is gone once shown: neither can wait.
bool canSnooze(const ReminderEntry& entry);

// Gives every entry that can wait the next reminder time now + delay, which the scan picks up as
// a pending repeat; all in one transaction. Entries that cannot wait are left alone.
bool snooze(Database& db, const QList<ReminderEntry>& entries, DateValue now, DateValue delay);

} // namespace Snooze
