#include "todo/todocontroller.h"

#include "core/context.h"
#include "todo/todoeditor.h"
#include "todo/todolist.h"
#include "todo/todopanel.h"

#include <QPushButton>
#include <QTreeWidget>

TodoController::TodoController(Context& ctx, TodoPanel& panel, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_panel(panel)
{
    QTreeWidget* list = m_panel.list();
    connect(list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openEditor(TodoList::rowId(item)); });
    const auto sync = [this] { TodoList::syncTickStates(*m_panel.list(), *m_ctx.db); };
    connect(list, &QTreeWidget::itemClicked, this, sync);
    // Ticks by keyboard arrive as a changed item without a click.
    connect(list, &QTreeWidget::itemChanged, this, sync);
    connect(m_panel.doneButton(), &QPushButton::clicked, this,
            [this] { TodoList::deleteTicked(*m_panel.list(), *m_ctx.db, m_ctx.prompter); });
    connect(m_panel.addButton(), &QPushButton::clicked, this, [this] { openEditor(0); });
}

void TodoController::reload()
{
    TodoList::reload(*m_panel.list(), *m_ctx.db, m_ctx.prompter);
}

bool TodoController::openEditor(qint64 id)
{
    TodoEditor editor(m_ctx, id, m_panel.window());
    const bool stored = editor.exec() == QDialog::Accepted;
    if (stored)
        reload();
    return stored;
}
