#pragma once

#include "addresses/addressstore.h"

#include <QDialog>

#include <array>

class Database;
class DateField;
class Prompter;
class QComboBox;
class QPushButton;

// "Adresse einfügen" for a new entry (id 0), "Adresse Ändern" for an existing one: twenty rows
// with the earlier values of each field to pick from, and the birthday with its tick box. Saving
// writes the entry with its birthday row and closes; "Abbrechen" or a close request leaves the
// database as it was.
class AddressEditor : public QDialog
{
    Q_OBJECT
public:
    AddressEditor(Database& db, Prompter& prompter, qint64 id, QWidget* parent = nullptr);

    // The values as they would be saved: texts as typed, the birthday text empty when unticked.
    AddressValues enteredValues() const;

    QComboBox* input(AddressField field) const { return m_inputs[std::size_t(field)]; }
    DateField* birthdayField() const { return m_birthday; }
    QComboBox* salutation() const { return m_anrede; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void buildControls();
    void fillHistories();
    void load();
    void save();

    Database& m_db;
    Prompter& m_prompter;
    const qint64 m_id;
    // Index Gebdat stays empty: that row is the date field.
    std::array<QComboBox*, kAddressFieldCount> m_inputs{};
    DateField* m_birthday = nullptr;
    QComboBox* m_anrede = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};
