#include "todo/todolist.h"

#include "store/database.h"
#include "store/databaseerror.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace TodoList {

namespace {

const QColor kTicked(0, 204, 0);
const QColor kOpen(255, 136, 0);

bool isTicked(const QTreeWidgetItem* item)
{
    return item->checkState(0) == Qt::Checked;
}

void colour(QTreeWidgetItem* item)
{
    const QColor& c = isTicked(item) ? kTicked : kOpen;
    item->setBackground(0, c);
    item->setBackground(1, c);
}

} // namespace

qint64 rowId(const QTreeWidgetItem* item)
{
    return item->data(0, Qt::UserRole).toLongLong();
}

void reload(QTreeWidget& list, Database& db, Prompter& prompter)
{
    const QSignalBlocker blocker(list);
    list.clear();
    const std::optional<QList<TodoRow>> rows = TodoStore::loadRows(db);
    if (!rows) {
        showDatabaseError(db, prompter);
        return;
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(rows->size());
    for (const TodoRow& row : *rows) {
        auto* item = new QTreeWidgetItem({QString(), row.description});
        item->setData(0, Qt::UserRole, row.id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, row.checked ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(1, row.description);
        colour(item);
        items.append(item);
    }
    list.addTopLevelItems(items);
}

QList<TodoRow> rows(const QTreeWidget& list)
{
    QList<TodoRow> out;
    out.reserve(list.topLevelItemCount());
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list.topLevelItem(i);
        out.append({rowId(item), item->text(1), isTicked(item)});
    }
    return out;
}

void syncTickStates(QTreeWidget& list, Database& db)
{
    {
        // Recolouring changes the items, which must not come back here as another event.
        const QSignalBlocker blocker(list);
        list.clearSelection();
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            colour(list.topLevelItem(i));
    }
    // Failed writes are not reported; the next reload shows what the database holds.
    TodoStore::syncTickStates(db, rows(list));
}

void deleteTicked(QTreeWidget& list, Database& db, Prompter& prompter)
{
    QList<qint64> ids;
    for (const TodoRow& row : rows(list)) {
        if (row.checked)
            ids.append(row.id);
    }
    if (ids.isEmpty())
        return;
    if (!TodoStore::deleteTodos(db, ids))
        showDatabaseError(db, prompter);
    reload(list, db, prompter);
}

} // namespace TodoList
