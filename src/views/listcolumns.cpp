#include "views/listcolumns.h"

#include "views/gridlinedelegate.h"

#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

void setUpMovableColumns(QTreeView& list, std::span<const int> widths)
{
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.setAllColumnsShowFocus(true);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setItemDelegate(new GridLineDelegate(&list));
    QHeaderView* header = list.header();
    header->setSectionsMovable(true);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    for (std::size_t i = 0; i < widths.size(); ++i)
        header->resizeSection(static_cast<int>(i), widths[i]);
}

QString columnTitle(const QTreeView& list, int logical)
{
    const QAbstractItemModel* model = list.model();
    return model ? model->headerData(logical, Qt::Horizontal).toString() : QString();
}

void readColumnsInDisplayOrder(const QTreeView& list, std::span<QString> titles,
                               std::span<int> widths)
{
    const QHeaderView* header = list.header();
    const int count = std::min<int>(header->count(), static_cast<int>(titles.size()));
    for (int visual = 0; visual < count; ++visual) {
        const int logical = header->logicalIndex(visual);
        titles[static_cast<std::size_t>(visual)] = columnTitle(list, logical);
        widths[static_cast<std::size_t>(visual)] = header->sectionSize(logical);
    }
}

void mapColumnsByTitle(const QTreeView& list, std::span<const QString> titles, std::span<int> map)
{
    std::fill(map.begin(), map.end(), -2);
    const QHeaderView* header = list.header();
    // Right to left in display order, so the leftmost of equal titles is recorded last.
    for (int visual = header->count() - 1; visual >= 0; --visual) {
        const int logical = header->logicalIndex(visual);
        const auto it = std::find(titles.begin(), titles.end(), columnTitle(list, logical));
        if (it != titles.end() && std::size_t(it - titles.begin()) < map.size())
            map[static_cast<std::size_t>(it - titles.begin())] = logical;
    }
}
