#pragma once

#include <QStringList>

// The reminder codes stored with appointments and birthdays: the lead (`msg`: 0 none, 1 a week,
// 2 a day, 3 an hour before, 4 at the start) and the repetition (`remsg`: 0 once, 1 every quarter
// hour, 2 hourly, 3 daily), as the editors offer them.
namespace ReminderCodes {

// "keine", "eine Woche zuvor", "ein Tag zuvor", "eine Stunde zuvor", "bei Terminbeginn".
QStringList leadChoices();
// "einmal", "viertelstündlich", "stündlich", "täglich".
QStringList repeatChoices();
// How many repetitions fit before the start for a lead: the later the reminder, the fewer; none
// without a reminder.
int repeatChoiceCount(int lead);

} // namespace ReminderCodes
