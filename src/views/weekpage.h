#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class OverviewView;

// Page "Wochenübersicht": the week picture with its buttons, week label and clock.
class WeekPage : public QWidget
{
    Q_OBJECT
public:
    WeekPage(int w, int h, bool legend, QWidget* parent = nullptr);

    QLabel* weekLabel() const { return m_weekLabel; }
    QLabel* clockLabel() const { return m_clockLabel; }
    QPushButton* previousButton() const { return m_previous; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* displayButton() const { return m_display; }
    QPushButton* redrawButton() const { return m_redraw; }
    QPushButton* legendButton() const { return m_legend; }
    OverviewView* view() const { return m_view; }

private:
    QPushButton* m_legend;
    QLabel* m_weekLabel;
    QLabel* m_clockLabel;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_display;
    QPushButton* m_redraw;
    OverviewView* m_view;
};
