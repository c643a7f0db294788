#pragma once

#include <QImage>
#include <QObject>

#include "common/datevalue.h"

struct Context;
class MainWindow;

// The behaviour of the two overview pages: drawing, their buttons, the clock-driven redraws and
// the hover preview.
class Overviews : public QObject
{
    Q_OBJECT
public:
    Overviews(Context& ctx, MainWindow& window);
    ~Overviews() override;

    void drawYear();
    void drawWeek();
    // The year label, with " (Schaltjahr)" in leap years.
    void setYearLabel();
    void setWeekLabel();
    // Once a second while the main window is shown.
    void clockTick(const QString& clockText);
    // Bar strips follow the bar colour of the preferences.
    void paintBarStrips();

signals:
    // A double click on a day of either picture.
    void dayActivated(int day, int month, int year);

private:
    Context& m_ctx;
    MainWindow& m_window;
    int m_redrawCounter = 0;
};
