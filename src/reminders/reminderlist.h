#pragma once

#include "common/datevalue.h"

#include <QList>
#include <QMetaType>
#include <QString>

// Where an entry of the reminder list comes from; snoozing writes back to that row.
enum class ReminderSource { Appointment, Holiday, Birthday, Todo };

// One announced row of the reminder list.
struct ReminderEntry
{
    ReminderSource source = ReminderSource::Appointment;
    qint64 id = 0;
    // "%hh:%ii:%ss Uhr" of the scan that found it, on the first entry of each scan only; empty
    // otherwise. It heads a batch in the window.
    QString scanTime;
    // Appointment start, holiday day, the birthday of the year announced, or the to-do's
    // auto-delete moment (-1 for none).
    DateValue start = 0;
    // Appointment end; 0 for the others.
    DateValue end = 0;
    // Group name, holiday location, "Geburtstag" or "ToDo".
    QString kind;
    QString description;
    int birthYear = 0;
    // An overdue to-do item that goes when the list is shown; 0 for none.
    qint64 todoToDelete = 0;
};

// The two text lines of an entry in the reminder window.
struct ReminderLines
{
    QString first;
    QString second;
};

// The entries shown in the reminder window, at most 15.
class ReminderList
{
public:
    static constexpr int kCapacity = 15;

    int count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const QList<ReminderEntry>& entries() const { return m_entries; }
    const ReminderEntry& at(int i) const { return m_entries.at(i); }
    // Entries that head a batch.
    int batchCount() const;

    void append(ReminderEntry entry);
    void removeAt(int i);
    void clear() { m_entries.clear(); }

    // The height of the window that shows the list: 55 + 25 per entry + 15 per batch.
    int windowHeight() const;

private:
    QList<ReminderEntry> m_entries;
};

namespace ReminderText {

// "Heute", "Morgen" or "In n Tagen", counted in calendar days from today to the start's day.
QString dayWord(DateValue start, DateValue now);
ReminderLines lines(const ReminderEntry& entry, DateValue now);

} // namespace ReminderText
Q_DECLARE_METATYPE(ReminderEntry)
