#pragma once

class Database;
class QIODevice;
class QString;

// Every appointment and every open to-do item as one iCalendar file (RFC 5545). False, with the
// reason in `error`, when the database cannot be read or the device not written.
bool exportCalendar(Database& db, QIODevice& device, QString& error);
