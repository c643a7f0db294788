#include "todo/todostore.h"

#include "common/sqltext.h"
#include "store/database.h"
#include "store/querycursor.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace TodoStore {

namespace {
QString num(qint64 value)
{
    return QString::number(value);
}
} // namespace

std::optional<QList<TodoRow>> loadRows(Database& db)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT id, desc, checked FROM todo ORDER BY enddate ASC"_s, cursor))
        return std::nullopt;
    QList<TodoRow> rows;
    rows.reserve(cursor.rowCount());
    while (cursor.nextRow())
        rows.append({cursor.number(1), cursor.text(2), cursor.number(3) != 0});
    return rows;
}

std::optional<TodoValues> load(Database& db, qint64 id)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT enddate, desc,remsg FROM todo WHERE id="_s + num(id) + u" ;"_s,
                       cursor) ||
        !cursor.nextRow())
        return std::nullopt;
    return TodoValues{cursor.number(1), cursor.text(2), static_cast<int>(cursor.number(3))};
}

bool insertTodo(Database& db, const TodoValues& values)
{
    return db.execSql(u"INSERT INTO todo (desc, enddate, remsg, nextmsg) VALUES ("_s +
                      sqlQuote(values.description) + u", "_s + num(values.enddate) + u", "_s +
                      num(values.remsg) + u", 0)  ;"_s);
}

bool updateTodo(Database& db, const TodoValues& values, qint64 id)
{
    return db.execSql(u"UPDATE todo SET desc="_s + sqlQuote(values.description) + u", enddate="_s +
                      num(values.enddate) + u", remsg="_s + num(values.remsg) +
                      u", nextmsg=0 WHERE id="_s + num(id) + u" ;"_s);
}

bool deleteTodo(Database& db, qint64 id)
{
    return db.execSql(u"DELETE FROM todo WHERE id="_s + num(id));
}

bool deleteTodos(Database& db, const QList<qint64>& ids)
{
    Transaction transaction(db);
    for (qint64 id : ids) {
        if (!deleteTodo(db, id))
            return false;
    }
    return transaction.commit();
}

bool syncTickStates(Database& db, const QList<TodoRow>& rows)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT id, checked FROM todo"_s, cursor))
        return false;
    QHash<qint64, qint64> stored;
    while (cursor.nextRow())
        stored.insert(cursor.number(1), cursor.number(2));
    cursor.freeTable();

    Transaction transaction(db);
    for (const TodoRow& row : rows) {
        const auto it = stored.constFind(row.id);
        // An item deleted meanwhile stays deleted; a stored value other than 0 or 1 is rewritten.
        if (it == stored.cend() || it.value() == (row.checked ? 1 : 0))
            continue;
        if (!db.execSql(u"UPDATE todo SET checked="_s + (row.checked ? u"1"_s : u"0"_s) +
                        u" WHERE id="_s + num(row.id) + u" ;"_s))
            return false;
    }
    return transaction.commit();
}

} // namespace TodoStore
