#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

class Database;
class QIODevice;
class QString;

// Every appointment and every open to-do item as one iCalendar file (RFC 5545). False, with the
// reason in `error`, when the database cannot be read or the device not written.
bool exportCalendar(Database& db, QIODevice& device, QString& error);

// One calendar object of the export: an event with its rule and exceptions, or a to-do, with the
// head and zone of the whole file, as a server stores each under its own address.
struct CalendarItem
{
    QByteArray uid; // "ruvo-termin-<id>", "ruvo-serie-<belong>" or "ruvo-todo-<id>"
    QByteArray text;
    bool todo = false;
};

// The export split into its objects; nothing, with the reason in `error`, when the database cannot
// be read.
std::optional<QList<CalendarItem>> exportCalendarItems(Database& db, QString& error);
