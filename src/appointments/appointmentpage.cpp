#include "appointments/appointmentpage.h"

#include "appointments/appointmentlist.h"
#include "common/preferences.h"
#include "views/controls.h"
#include "views/listcolumns.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

using namespace Qt::StringLiterals;

AppointmentPage::AppointmentPage(const Preferences& prefs, QWidget* parent)
    : QWidget(parent)
{
    using namespace Controls;
    m_model = new AppointmentListModel(
            QStringList(prefs.appointmentColumnTitles.begin(), prefs.appointmentColumnTitles.end()),
            this);
    m_list = new QTreeView(this);
    m_list->setModel(m_model);
    m_list->setObjectName(u"appointmentList"_s);
    m_list->setGeometry(0, 0, 645, 503);
    setUpMovableColumns(*m_list, prefs.appointmentColumnWidths);

    m_search = textField(this, u"appointmentSearch"_s, {503, 503, 135, 20});
    // Screen readers say these names for controls that have no text of their own.
    m_list->setAccessibleName(u"Terminübersicht"_s);
    m_search->setAccessibleName(u"Terminübersicht: Suchen"_s);
    label(this, u"appointmentSearchLabel"_s, u"Suchen:"_s, {458, 508, 45, 15});
    m_sortKey = dropDown(this, u"appointmentSortKey"_s,
                         {u"Gruppe"_s, u"Beschreibung"_s, u"Anfang"_s, u"Ende"_s},
                         {283, 503, 100, 100});
    m_sortKey->setCurrentIndex(prefs.sortterms);
    m_sortDirection = dropDown(this, u"appointmentSortDirection"_s, {u"Aufst."_s, u"Abst."_s},
                               {388, 503, 60, 100});
    m_sortDirection->setCurrentIndex(prefs.sorttermsdir);
    label(this, u"appointmentSortLabel"_s, u"Sortieren nach:"_s, {208, 508, 75, 15});
}
