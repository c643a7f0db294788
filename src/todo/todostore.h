#pragma once

#include "common/datevalue.h"

#include <QList>
#include <QString>

#include <optional>

class Database;

// One row of the to-do column, in list order.
struct TodoRow
{
    qint64 id = 0;
    QString description;
    bool checked = false;
};

// What the editor shows and stores for one item. The description already has its apostrophes
// replaced by grave accents.
struct TodoValues
{
    DateValue enddate = kInvalidDate; // the auto-delete moment, -1 for none
    QString description;
    int remsg = 0;
};

// The store operations of the to-do list.
namespace TodoStore {

// The items by auto-delete moment, those without one first; nothing when the query failed.
std::optional<QList<TodoRow>> loadRows(Database& db);
// The stored values of one item; nothing when the query failed or the item is gone.
std::optional<TodoValues> load(Database& db, qint64 id);

// Both start the item's reminder cycle afresh; the ticked state of an edited item stays.
bool insertTodo(Database& db, const TodoValues& values);
bool updateTodo(Database& db, const TodoValues& values, qint64 id);
bool deleteTodo(Database& db, qint64 id);
// All at once, or none when one fails.
bool deleteTodos(Database& db, const QList<qint64>& ids);

// Makes every listed item's stored state match its tick box. Only items whose stored state differs
// are written, all in one transaction.
bool syncTickStates(Database& db, const QList<TodoRow>& rows);

} // namespace TodoStore
