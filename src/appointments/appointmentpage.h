#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QTreeView;
class AppointmentListModel;
struct Preferences;

// Page "Terminübersicht": the list of coming appointments with search field and sort choices.
class AppointmentPage : public QWidget
{
    Q_OBJECT
public:
    AppointmentPage(const Preferences& prefs, QWidget* parent = nullptr);

    QTreeView* list() const { return m_list; }
    AppointmentListModel* model() const { return m_model; }
    QLineEdit* searchField() const { return m_search; }
    QComboBox* sortKey() const { return m_sortKey; }
    QComboBox* sortDirection() const { return m_sortDirection; }

private:
    AppointmentListModel* m_model;
    QTreeView* m_list;
    QLineEdit* m_search;
    QComboBox* m_sortKey;
    QComboBox* m_sortDirection;
};
