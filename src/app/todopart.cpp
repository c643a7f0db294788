#include "app/organiserwindow.h"
#include "app/parts.h"
#include "todo/todocontroller.h"

TodoPart::TodoPart(const PartContext& parts, QObject* parent)
    : QObject(parent)
    , m_todo(new TodoController(parts.ctx, *parts.window.todoPanel(), this))
{
    m_todo->reload();
    for (auto changed : {&Changes::todosChanged, &Changes::databaseReplaced})
        connect(&parts.changes, changed, m_todo, &TodoController::reload);
}
