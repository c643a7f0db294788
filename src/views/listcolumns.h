#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <span>

class QColor;
class QTreeWidget;
class QTreeWidgetItem;

// Shows (true) and hides (false) the "please wait" note while a list is reread.
using ProgressNote = std::function<void(bool show)>;

// The lists whose columns the user may drag: built from title and width arrays in array order,
// and read back in display order so a moved column keeps its place after a restart.
void setUpMovableColumns(QTreeWidget& list, std::span<const QString> titles,
                         std::span<const int> widths);
void readColumnsInDisplayOrder(const QTreeWidget& list, std::span<QString> titles,
                               std::span<int> widths);

// For each title, the column whose header shows it; -2 when no column has that title. Of two
// columns with one title the one further left counts. Moving a column by its header keeps its
// title, so the cells follow it.
void mapColumnsByTitle(const QTreeWidget& list, std::span<const QString> titles,
                       std::span<int> map);

// One row of such a list: each cell in the column the map gives for its meaning (none where the
// map has no column), every column tinted, the row's id as item data.
QTreeWidgetItem* makeListRow(std::span<const QString> cells, std::span<const int> map,
                             int columnCount, const QColor& tint, qint64 id);
