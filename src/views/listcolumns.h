#pragma once

#include <QString>

#include <span>

class QTreeWidget;

// The lists whose columns the user may drag: built from title and width arrays in array order,
// and read back in display order so a moved column keeps its place after a restart.
void setUpMovableColumns(QTreeWidget& list, std::span<const QString> titles,
                         std::span<const int> widths);
void readColumnsInDisplayOrder(const QTreeWidget& list, std::span<QString> titles,
                               std::span<int> widths);
