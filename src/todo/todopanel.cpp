#include "todo/todopanel.h"

#include "views/controls.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

TodoPanel::TodoPanel(QWidget* parent)
    : QWidget(parent)
{
    // The panel covers the right-hand column; its controls keep window coordinates minus 650.
    setGeometry(650, 0, 150, 550);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"todoList"_s);
    m_list->setAccessibleName(u"ToDo"_s);
    m_list->setGeometry(0, 20, 150, 505);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHeaderLabels({QString(), u"ToDo"_s});
    m_list->header()->resizeSection(0, 20);
    m_list->header()->resizeSection(1, 126);
    m_done = Controls::button(this, u"todoDoneButton"_s, u"Fertig (Löschen)"_s, {0, 525, 85, 20});
    m_add = Controls::button(this, u"todoAddButton"_s, u"Hinzufügen"_s, {85, 525, 65, 20});
}
