#pragma once

#include "groups/groupstore.h"

#include <QDialog>

class Database;
class Prompter;
class QCheckBox;
class QLineEdit;

// "Gruppe bearbeiten": name and presets of one slot. "Übernehmen" stores them and closes, unless
// the name is refused; "Abbrechen" and a close request leave the slot as it was.
class GroupEditorDialog : public QDialog
{
    Q_OBJECT
public:
    GroupEditorDialog(Database& db, Prompter& prompter, const GroupSlot& slot,
                      QWidget* parent = nullptr);

private:
    void apply();

    Database& m_db;
    Prompter& m_prompter;
    int m_id;
    QLineEdit* m_name;
    QCheckBox* m_allDay;
    QCheckBox* m_yearly;
};
