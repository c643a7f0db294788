#include "reminders/reminderlist.h"

#include <algorithm>

using namespace Qt::StringLiterals;

int ReminderList::batchCount() const
{
    return static_cast<int>(
            std::count_if(m_entries.cbegin(), m_entries.cend(),
                          [](const ReminderEntry& e) { return !e.scanTime.isEmpty(); }));
}

void ReminderList::append(ReminderEntry entry)
{
    if (m_entries.size() < kCapacity)
        m_entries.append(std::move(entry));
}

void ReminderList::removeAt(int i)
{
    // The batch header belongs to the batch, not to its first entry.
    const QString scanTime = m_entries.at(i).scanTime;
    m_entries.removeAt(i);
    if (!scanTime.isEmpty() && i < m_entries.size() && m_entries.at(i).scanTime.isEmpty())
        m_entries[i].scanTime = scanTime;
}

int ReminderList::windowHeight() const
{
    return 55 + 25 * count() + 15 * batchCount();
}

namespace ReminderText {

namespace {

bool isAllDay(DateValue start, DateValue end)
{
    const DateParts s = dateParts(start);
    const DateParts e = dateParts(end);
    return s.hour == 0 && s.minute == 0 && e.minuteOfDay() >= 23 * 60 + 59;
}

ReminderLines appointmentLines(const ReminderEntry& entry, const QString& word)
{
    const DateValue s = entry.start;
    const DateValue e = entry.end;
    QString first;
    if ((e - s) / 60 >= 1441) {
        if (isAllDay(s, e))
            first = word + formatDate(u" (%dd.%mm.)", s) + u" Bis "_s +
                    formatDate(u"%dd.%mm. Ganztags:", e);
        else
            first = word + formatDate(u" (%dd.%mm.) um %hh:%ii Uhr", s) + u" Bis "_s +
                    formatDate(u"%dd.%mm. um %hh:%ii Uhr:", e);
    } else if (e != s) {
        if (isAllDay(s, e))
            first = word + formatDate(u" (%dd.%mm.)", s) + u" Ganztags:"_s;
        else
            first = word + formatDate(u" (%dd.%mm.) von %hh:%ii Uhr", s) + u" Bis "_s +
                    formatDate(u"%hh:%ii Uhr:", e);
    } else {
        first = word + formatDate(u" (%dd.%mm.) um %hh:%ii Uhr", s);
    }
    return {first, entry.kind.left(12) + u" ("_s + entry.description.left(37) + u")"_s};
}

} // namespace

QString dayWord(DateValue start, DateValue now)
{
    const DateValue diff = startOfDay(start) - startOfDay(now);
    if (diff < kSecondsPerDay)
        return u"Heute"_s;
    if (diff < 2 * kSecondsPerDay)
        return u"Morgen"_s;
    return u"In "_s + QString::number(diff / kSecondsPerDay) + u" Tagen"_s;
}

ReminderLines lines(const ReminderEntry& entry, DateValue now)
{
    switch (entry.source) {
    case ReminderSource::Appointment:
        return appointmentLines(entry, dayWord(entry.start, now));
    case ReminderSource::Todo:
        if (entry.start < 0)
            return {entry.description, u"("_s + entry.kind + u" zu erledigen)"_s};
        return {entry.description,
                u"("_s + entry.kind + u" zu erledigen bis "_s + dayWord(entry.start, now) +
                        formatDate(u" (%dd.%mm) %hh:%ii Uhr", entry.start) + u")"_s};
    case ReminderSource::Birthday:
        // The age the person reaches on the birthday announced, even across New Year.
        return {QString::number(dateParts(entry.start).year - entry.birthYear) +
                        u". Geburtstag von"_s,
                entry.description};
    case ReminderSource::Holiday:
        break;
    }
    return {entry.description, u"("_s + entry.kind + u")"_s};
}

} // namespace ReminderText
