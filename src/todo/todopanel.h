#pragma once

#include <QWidget>

class QPushButton;
class QTreeWidget;

// The to-do column at the right of the main window.
class TodoPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TodoPanel(QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    QPushButton* doneButton() const { return m_done; }
    QPushButton* addButton() const { return m_add; }

private:
    QTreeWidget* m_list;
    QPushButton* m_done;
    QPushButton* m_add;
};
