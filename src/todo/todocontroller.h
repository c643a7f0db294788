#pragma once

#include <QObject>

class TodoPanel;
struct Context;

// Connects the to-do column's controls to the store operations.
class TodoController : public QObject
{
    Q_OBJECT
public:
    TodoController(Context& ctx, TodoPanel& panel, QObject* parent = nullptr);

    void reload();
    // Id 0 for a new item; true when something was stored.
    bool openEditor(qint64 id);

private:
    Context& m_ctx;
    TodoPanel& m_panel;
};
