#include "groups/grouplist.h"

#include "common/grouppalette.h"
#include "common/imagepack.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"

#include <QTreeWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

void fillGroupList(QTreeWidget& list, Database& db, Prompter& prompter, const ImagePack& images,
                   int selectedPosition)
{
    list.clear();
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM grups"_s, cursor)) {
        showDatabaseError(db, prompter);
        return;
    }
    for (int position = 0; position < kGroupCount; ++position) {
        // A slot is listed even if its row is missing, so the panel always shows twenty.
        const bool hasRow = cursor.nextRow();
        auto* item = new QTreeWidgetItem(&list);
        item->setText(0, QString::number(position + 1));
        item->setIcon(0, images.groupIcon(position + 1));
        item->setText(1, hasRow ? cursor.text(2) : QString());
        item->setData(0, Qt::UserRole, hasRow ? cursor.number(1) : position + 1);
    }
    // The number column grows with the font rather than cut "20" down to an ellipsis.
    const int width = list.columnWidth(0);
    list.resizeColumnToContents(0);
    list.setColumnWidth(0, std::max(width, list.columnWidth(0)));
    if (selectedPosition >= 0 && selectedPosition < list.topLevelItemCount())
        list.setCurrentItem(list.topLevelItem(selectedPosition));
}
