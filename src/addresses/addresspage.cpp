#include "addresses/addresspage.h"

#include "addresses/addresslist.h"
#include "common/preferences.h"
#include "views/controls.h"
#include "views/listcolumns.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

AddressPage::AddressPage(const Preferences& prefs, QWidget* parent)
    : QWidget(parent)
{
    using namespace Controls;
    m_model = new AddressListModel(
            QStringList(prefs.addressColumnTitles.begin(), prefs.addressColumnTitles.end()), this);
    m_list = new QTreeView(this);
    m_list->setModel(m_model);
    m_list->setObjectName(u"addressList"_s);
    m_list->setGeometry(0, 0, 645, 503);
    setUpMovableColumns(*m_list, prefs.addressColumnWidths);

    m_add = button(this, u"addAddressButton"_s, u"Hinzufügen"_s, {3, 503, 65, 20});
    m_remove = button(this, u"removeAddressButton"_s, u"Entfernen"_s, {68, 503, 65, 20});
    m_edit = button(this, u"editAddressButton"_s, u"Ändern"_s, {133, 503, 65, 20});
    m_search = textField(this, u"addressSearch"_s, {503, 503, 135, 20});
    // Screen readers say these names for controls that have no text of their own.
    m_list->setAccessibleName(u"Adressbuch"_s);
    m_search->setAccessibleName(u"Adressbuch: Suchen"_s);
    label(this, u"addressSearchLabel"_s, u"Suchen:"_s, {458, 508, 45, 15});
    m_sortKey = dropDown(this, u"addressSortKey"_s,
                         {u"Nachname"_s, u"Vorname"_s, u"Spitzname"_s, u"2. Vorname"_s,
                          u"Straße/HausNr"_s, u"PLZ/Ort"_s, u"Land"_s, u"Geb. Datum"_s},
                         {283, 503, 100, 100});
    m_sortKey->setCurrentIndex(prefs.sortaddress);
    m_sortDirection = dropDown(this, u"addressSortDirection"_s, {u"Aufst."_s, u"Abst."_s},
                               {388, 503, 60, 100});
    m_sortDirection->setCurrentIndex(prefs.sortaddressdir);
    label(this, u"addressSortLabel"_s, u"Sortieren nach:"_s, {208, 508, 75, 15});
}
