#pragma once

class Database;
class Prompter;

// 0 while running; a positive state ends the main loop after the current handler.
enum class QuitState {
    Running = 0,
    Exit = 1,
    DatabaseError = 2,
};

// A failed query inside a dialog or a drawing: "Datenbankfehler" with SQLite's text, and the run
// goes on.
void showDatabaseError(const Database& db, Prompter& prompter);

// A failed query of the main loop's own work: the same message, and the run ends with the offer
// to restore the recovery copy.
void reportDatabaseError(const Database& db, Prompter& prompter, QuitState& quitState);
