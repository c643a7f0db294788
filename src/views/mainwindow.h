#pragma once

#include <QWidget>

class AddressPage;
class AppointmentPage;
class NotesPage;
class QTabWidget;
class SettingsPage;
class TodoPanel;
class OverviewPage;
struct Preferences;

// The fixed-size main window: the to-do column and the six pages.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    enum Page {
        YearPageIndex,
        WeekPageIndex,
        AddressPageIndex,
        AppointmentPageIndex,
        NotesPageIndex,
        SettingsPageIndex
    };

    explicit MainWindow(const Preferences& prefs, QWidget* parent = nullptr);

    static QString title();

    // The picture size of the overviews, derived from the page area.
    int pictureWidth() const { return m_w; }
    int pictureHeight() const { return m_h; }

    QTabWidget* tabs() const { return m_tabs; }
    TodoPanel* todoPanel() const { return m_todo; }
    OverviewPage* yearPage() const { return m_year; }
    OverviewPage* weekPage() const { return m_week; }
    AddressPage* addressPage() const { return m_addresses; }
    AppointmentPage* appointmentPage() const { return m_appointments; }
    NotesPage* notesPage() const { return m_notes; }
    SettingsPage* settingsPage() const { return m_settings; }
    int currentPage() const;

    // Stores the column titles and widths of both lists in their current display order.
    void storeColumnLayouts(Preferences& prefs) const;

    // Places the window at the centre of a desktop of the given size.
    void centreOn(const QSize& desktop);

signals:
    // The close box: the owner decides between hiding and ending.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void nameControls();

    int m_w = 0;
    int m_h = 0;
    QTabWidget* m_tabs;
    TodoPanel* m_todo;
    OverviewPage* m_year;
    OverviewPage* m_week;
    AddressPage* m_addresses;
    AppointmentPage* m_appointments;
    NotesPage* m_notes;
    SettingsPage* m_settings;
};
