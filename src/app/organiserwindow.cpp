#include "app/organiserwindow.h"

#include "addresses/addresspage.h"
#include "appointments/appointmentpage.h"
#include "common/preferences.h"
#include "notes/notespage.h"
#include "settings/settingspage.h"
#include "todo/todopanel.h"
#include "views/listcolumns.h"

#include <QTreeView>

using namespace Qt::StringLiterals;

OrganiserWindow::OrganiserWindow(const Preferences& prefs, QWidget* parent)
    : MainWindow(prefs, parent)
    , m_todo(new TodoPanel(this))
    , m_addresses(new AddressPage(prefs))
    , m_appointments(new AppointmentPage(prefs))
    , m_notes(new NotesPage(pictureWidth(), pictureHeight(), prefs))
    , m_settings(new SettingsPage(prefs))
{
    addPage(m_addresses, u"Adressbuch"_s);
    addPage(m_appointments, u"Terminübersicht"_s);
    addPage(m_notes, u"Notizen"_s);
    addPage(m_settings, u"Einstellungen"_s);
}

void OrganiserWindow::storeColumnLayouts(Preferences& prefs) const
{
    readColumnsInDisplayOrder(*m_addresses->list(), prefs.addressColumnTitles,
                              prefs.addressColumnWidths);
    readColumnsInDisplayOrder(*m_appointments->list(), prefs.appointmentColumnTitles,
                              prefs.appointmentColumnWidths);
}
