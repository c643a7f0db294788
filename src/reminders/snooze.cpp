#include "reminders/snooze.h"

#include "reminders/reminderlist.h"
#include "store/database.h"

using namespace Qt::StringLiterals;

namespace Snooze {

QList<Choice> choices()
{
    return {
            {u"Erneut erinnern in 5 Minuten"_s, 5 * 60},
            {u"Erneut erinnern in 15 Minuten"_s, 15 * 60},
            {u"Erneut erinnern in 1 Stunde"_s, 3600},
            {u"Morgen erneut erinnern"_s, kSecondsPerDay},
    };
}

bool canSnooze(const ReminderEntry& entry)
{
    return entry.source != ReminderSource::Holiday && entry.todoToDelete == 0;
}

bool snooze(Database& db, const QList<ReminderEntry>& entries, DateValue now, DateValue delay)
{
    Transaction transaction(db);
    for (const ReminderEntry& entry : entries) {
        if (!canSnooze(entry))
            continue;
        QString table;
        switch (entry.source) {
        case ReminderSource::Appointment:
            table = u"termine"_s;
            break;
        case ReminderSource::Birthday:
            table = u"geburtstage"_s;
            break;
        case ReminderSource::Todo:
            table = u"todo"_s;
            break;
        case ReminderSource::Holiday:
            continue;
        }
        if (!db.execSql(u"UPDATE "_s + table + u" SET nextmsg="_s + QString::number(now + delay) +
                        u" WHERE id="_s + QString::number(entry.id) + u" ;"_s))
            return false;
    }
    return transaction.commit();
}

} // namespace Snooze
