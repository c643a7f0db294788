#include "store/databaseerror.h"

#include "common/prompter.h"
#include "store/database.h"

void showDatabaseError(const Database& db, Prompter& prompter)
{
    prompter.warn(QStringLiteral("Datenbankfehler"), db.errorText());
}

void reportDatabaseError(const Database& db, Prompter& prompter, QuitState& quitState)
{
    showDatabaseError(db, prompter);
    quitState = QuitState::DatabaseError;
}
