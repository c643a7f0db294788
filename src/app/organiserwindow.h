#pragma once

#include "views/mainwindow.h"

class AddressPage;
class AppointmentPage;
class NotesPage;
class SettingsPage;
class TodoPanel;

// The main window with every subsystem's page in its tab and the to-do column beside them.
class OrganiserWindow : public MainWindow
{
    Q_OBJECT
public:
    explicit OrganiserWindow(const Preferences& prefs, QWidget* parent = nullptr);

    TodoPanel* todoPanel() const { return m_todo; }
    AddressPage* addressPage() const { return m_addresses; }
    AppointmentPage* appointmentPage() const { return m_appointments; }
    NotesPage* notesPage() const { return m_notes; }
    SettingsPage* settingsPage() const { return m_settings; }

    // Stores the column titles and widths of both lists in their current display order.
    void storeColumnLayouts(Preferences& prefs) const;

private:
    TodoPanel* m_todo;
    AddressPage* m_addresses;
    AppointmentPage* m_appointments;
    NotesPage* m_notes;
    SettingsPage* m_settings;
};
