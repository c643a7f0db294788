#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;
class AddressListModel;
struct Preferences;

// Page "Adressbuch": the address list with its buttons, search field and sort choices.
class AddressPage : public QWidget
{
    Q_OBJECT
public:
    AddressPage(const Preferences& prefs, QWidget* parent = nullptr);

    QTreeView* list() const { return m_list; }
    AddressListModel* model() const { return m_model; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* editButton() const { return m_edit; }
    QLineEdit* searchField() const { return m_search; }
    QComboBox* sortKey() const { return m_sortKey; }
    QComboBox* sortDirection() const { return m_sortDirection; }

private:
    AddressListModel* m_model;
    QTreeView* m_list;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_edit;
    QLineEdit* m_search;
    QComboBox* m_sortKey;
    QComboBox* m_sortDirection;
};
