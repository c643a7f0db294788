#include "views/weekpage.h"

#include "common/programfont.h"
#include "views/controls.h"
#include "views/overviewview.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

WeekPage::WeekPage(int w, int h, bool legend, QWidget* parent)
    : QWidget(parent)
{
    // The toggle comes first, as both pages' toggles are made before the week controls.
    m_legend = Controls::button(this, u"weekLegendButton"_s, u"Legende"_s, {380, 3, 50, 20});
    m_legend->setCheckable(true);
    m_legend->setChecked(legend);
    m_weekLabel = Controls::label(this, u"weekLabel"_s, u"1-8 Sept 2007"_s, {200, 3, 150, 20},
                                  Qt::AlignHCenter | Qt::AlignTop);
    m_weekLabel->setFont(programFont(1));
    m_clockLabel = Controls::label(this, u"weekClockLabel"_s, u"20.09.2007 - 19:56"_s,
                                   {483, 3, 160, 20}, Qt::AlignHCenter | Qt::AlignTop);
    m_clockLabel->setFont(programFont(1));
    m_previous = Controls::button(this, u"previousWeekButton"_s, u"<<"_s, {180, 3, 20, 20});
    m_next = Controls::button(this, u"nextWeekButton"_s, u">>"_s, {350, 3, 20, 20});
    m_display = Controls::button(this, u"weekDisplayButton"_s, u"Anzeige..."_s, {5, 3, 70, 20});
    m_redraw = Controls::button(this, u"weekRedrawButton"_s, u"Neu Zeichnen"_s, {75, 3, 80, 20});
    m_view = new OverviewView(this);
    m_view->setObjectName(u"weekView"_s);
    m_view->setGeometry(0, 23, w, h);
}
