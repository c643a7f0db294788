#include "views/listcolumns.h"

#include "views/gridlinedelegate.h"

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

void setUpMovableColumns(QTreeWidget& list, std::span<const QString> titles,
                         std::span<const int> widths)
{
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.setAllColumnsShowFocus(true);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setItemDelegate(new GridLineDelegate(&list));
    list.setColumnCount(static_cast<int>(titles.size()));
    list.setHeaderLabels(QStringList(titles.begin(), titles.end()));
    QHeaderView* header = list.header();
    header->setSectionsMovable(true);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    for (std::size_t i = 0; i < widths.size(); ++i)
        header->resizeSection(static_cast<int>(i), widths[i]);
}

void readColumnsInDisplayOrder(const QTreeWidget& list, std::span<QString> titles,
                               std::span<int> widths)
{
    const QHeaderView* header = list.header();
    const QTreeWidgetItem* headerItem = list.headerItem();
    const int count = std::min<int>(header->count(), static_cast<int>(titles.size()));
    for (int visual = 0; visual < count; ++visual) {
        const int logical = header->logicalIndex(visual);
        titles[static_cast<std::size_t>(visual)] = headerItem->text(logical);
        widths[static_cast<std::size_t>(visual)] = header->sectionSize(logical);
    }
}

void mapColumnsByTitle(const QTreeWidget& list, std::span<const QString> titles, std::span<int> map)
{
    std::fill(map.begin(), map.end(), -2);
    const QHeaderView* header = list.header();
    const QTreeWidgetItem* headerItem = list.headerItem();
    // Right to left in display order, so the leftmost of equal titles is recorded last.
    for (int visual = list.columnCount() - 1; visual >= 0; --visual) {
        const int logical = header->logicalIndex(visual);
        const auto it = std::find(titles.begin(), titles.end(), headerItem->text(logical));
        if (it != titles.end() && std::size_t(it - titles.begin()) < map.size())
            map[static_cast<std::size_t>(it - titles.begin())] = logical;
    }
}

QTreeWidgetItem* makeListRow(std::span<const QString> cells, std::span<const int> map,
                             int columnCount, const QColor& tint, qint64 id)
{
    auto* item = new QTreeWidgetItem;
    for (std::size_t meaning = 0; meaning < cells.size() && meaning < map.size(); ++meaning) {
        if (map[meaning] >= 0)
            item->setText(map[meaning], cells[meaning]);
    }
    const QBrush background{tint};
    for (int c = 0; c < columnCount; ++c)
        item->setBackground(c, background);
    item->setData(0, Qt::UserRole, id);
    return item;
}
