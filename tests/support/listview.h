#pragma once

#include <QAbstractItemModel>
#include <QBrush>
#include <QItemSelectionModel>
#include <QTreeView>

// Reading a model-backed list the way its cells are shown.
inline int listRowCount(const QTreeView& list)
{
    return list.model()->rowCount();
}

inline int listColumnCount(const QTreeView& list)
{
    return list.model()->columnCount();
}

inline QString listCell(const QTreeView& list, int row, int column)
{
    return list.model()->index(row, column).data().toString();
}

inline QString listTitle(const QTreeView& list, int column)
{
    return list.model()->headerData(column, Qt::Horizontal).toString();
}

inline QColor listTint(const QTreeView& list, int row, int column)
{
    return list.model()->index(row, column).data(Qt::BackgroundRole).value<QBrush>().color();
}

inline qint64 listId(const QTreeView& list, int row)
{
    return list.model()->index(row, 0).data(Qt::UserRole).toLongLong();
}

inline void selectListRow(QTreeView& list, int row)
{
    list.setCurrentIndex(list.model()->index(row, 0));
}
