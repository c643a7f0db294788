#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <span>

class QTreeView;

// Shows (true) and hides (false) the "please wait" note while a list is reread.
using ProgressNote = std::function<void(bool show)>;

// The lists whose columns the user may drag: the model's columns carry the titles in the order
// they were stored; the widths are set here, and both are read back in display order so a moved
// column keeps its place after a restart.
void setUpMovableColumns(QTreeView& list, std::span<const int> widths);
void readColumnsInDisplayOrder(const QTreeView& list, std::span<QString> titles,
                               std::span<int> widths);

// For each title, the column whose header shows it; -2 when no column has that title. Of two
// columns with one title the one further left counts. Moving a column by its header keeps its
// title, so the cells follow it.
void mapColumnsByTitle(const QTreeView& list, std::span<const QString> titles, std::span<int> map);

// The title of a list's column, as its model gives it.
QString columnTitle(const QTreeView& list, int logical);
