#pragma once

#include <QDialog>

class DateField;
class QComboBox;
class QLineEdit;
class QPushButton;
struct Context;

// The small modal editor of one to-do item: "Todo-Eintrag einfügen:" for a new one, "ToDo-Eintrag
// ändern" for a stored one. Closing it counts as "Abbrechen".
class TodoEditor : public QDialog
{
    Q_OBJECT
public:
    // Id 0 makes a new item.
    TodoEditor(Context& ctx, qint64 id, QWidget* parent = nullptr);

    DateField* endDate() const { return m_endDate; }
    QLineEdit* description() const { return m_description; }
    QComboBox* repetition() const { return m_repetition; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void buildControls();
    void loadItem();
    void save();

    Context& m_ctx;
    qint64 m_id;
    DateField* m_endDate = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_repetition = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};
