#pragma once

#include <QWidget>

class QTabWidget;
class OverviewPage;
struct Preferences;

// The fixed-size main window: the tabs with the two overview pages, room for the other pages and
// the to-do column at the right. Which subsystem's page goes where is up to the program.
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
    OverviewPage* yearPage() const { return m_year; }
    OverviewPage* weekPage() const { return m_week; }
    int currentPage() const;

    // Adds the next page after the overviews, in the order of `Page`.
    void addPage(QWidget* page, const QString& title);

    // Places the window at the centre of a desktop of the given size.
    void centreOn(const QSize& desktop);

signals:
    // The close box: the owner decides between hiding and ending.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    int m_w = 0;
    int m_h = 0;
    QTabWidget* m_tabs;
    OverviewPage* m_year;
    OverviewPage* m_week;
};
