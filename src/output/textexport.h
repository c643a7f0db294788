#pragma once

#include "store/databaseerror.h"

#include <QString>

class Database;
class Prompter;
class QIODevice;

// "Alle Termine als Textdatei exportieren": every appointment as one line of text, single
// appointments first, then one line per repetition series.
namespace TextExport {

// The chosen name with ".txt" appended unless it already ends exactly so.
QString withTextEnding(const QString& name);

enum class Outcome { Written, DatabaseFailed, WriteFailed };

// Writes the whole export to the device in one piece (Windows-1252 when every character fits,
// else UTF-8; CR LF). A failed query goes through the database error path and writes nothing.
Outcome writeAppointments(QIODevice& device, Database& db, Prompter& prompter,
                          QuitState& quitState);

// The action behind the button: asks for the file, writes it through a temporary file and tells
// the user when it could not be written.
void exportAppointmentsAsText(Database& db, Prompter& prompter, QuitState& quitState);

} // namespace TextExport
