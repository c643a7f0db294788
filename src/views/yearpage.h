#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class OverviewView;

// Page "Jahresübersicht": the year picture with its buttons, year label and clock.
class YearPage : public QWidget
{
    Q_OBJECT
public:
    // w and h are the picture size derived from the page.
    YearPage(int w, int h, bool legend, QWidget* parent = nullptr);

    QLabel* yearLabel() const { return m_yearLabel; }
    QLabel* clockLabel() const { return m_clockLabel; }
    QPushButton* previousButton() const { return m_previous; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* displayButton() const { return m_display; }
    QPushButton* redrawButton() const { return m_redraw; }
    QPushButton* legendButton() const { return m_legend; }
    OverviewView* view() const { return m_view; }

private:
    QLabel* m_yearLabel;
    QLabel* m_clockLabel;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_display;
    QPushButton* m_redraw;
    QPushButton* m_legend;
    OverviewView* m_view;
};
