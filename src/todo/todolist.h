#pragma once

#include "todo/todostore.h"

#include <QList>

class Database;
class Prompter;
class QTreeWidget;
class QTreeWidgetItem;

// Filling and reading the to-do column: one row per item with its tick box, green when ticked,
// orange when open.
namespace TodoList {

// The item id a row holds.
qint64 rowId(const QTreeWidgetItem* item);

// Refills the list from the database; a failed query is shown and leaves the list empty.
void reload(QTreeWidget& list, Database& db, Prompter& prompter);

// Every row as its id, text and tick box say.
QList<TodoRow> rows(const QTreeWidget& list);

// Recolours the rows after their boxes and makes the stored states match them.
void syncTickStates(QTreeWidget& list, Database& db);

// Deletes every ticked item in one go and reloads; a failure is shown.
void deleteTicked(QTreeWidget& list, Database& db, Prompter& prompter);

} // namespace TodoList
