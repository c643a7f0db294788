#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class OverviewView;

// Page "Jahresübersicht" or "Wochenübersicht": the picture with its buttons, the label of the
// year or week shown, and the clock.
class OverviewPage : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { Year, Week };

    // w and h are the picture size derived from the page.
    OverviewPage(Kind kind, int w, int h, bool legend, QWidget* parent = nullptr);

    // The year or the week range shown.
    QLabel* titleLabel() const { return m_title; }
    QLabel* clockLabel() const { return m_clock; }
    QPushButton* previousButton() const { return m_previous; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* displayButton() const { return m_display; }
    QPushButton* redrawButton() const { return m_redraw; }
    QPushButton* legendButton() const { return m_legend; }
    OverviewView* view() const { return m_view; }

private:
    QPushButton* m_legend;
    QLabel* m_title;
    QLabel* m_clock;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_display;
    QPushButton* m_redraw;
    OverviewView* m_view;
};
