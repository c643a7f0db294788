#include "views/yearpage.h"

#include "common/programfont.h"
#include "views/controls.h"
#include "views/overviewview.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

YearPage::YearPage(int w, int h, bool legend, QWidget* parent)
    : QWidget(parent)
{
    m_yearLabel = Controls::label(this, u"yearLabel"_s, u"2007"_s, {200, 3, 150, 20},
                                  Qt::AlignHCenter | Qt::AlignTop);
    m_yearLabel->setFont(programFont(1));
    m_clockLabel = Controls::label(this, u"yearClockLabel"_s, u"20.09.2007 - 19:56"_s,
                                   {483, 3, 160, 20}, Qt::AlignHCenter | Qt::AlignTop);
    m_clockLabel->setFont(programFont(1));
    m_previous = Controls::button(this, u"previousYearButton"_s, u"<<"_s, {180, 3, 20, 20});
    m_next = Controls::button(this, u"nextYearButton"_s, u">>"_s, {350, 3, 20, 20});
    m_display = Controls::button(this, u"yearDisplayButton"_s, u"Anzeige..."_s, {5, 3, 70, 20});
    m_redraw = Controls::button(this, u"yearRedrawButton"_s, u"Neu Zeichnen"_s, {75, 3, 80, 20});
    m_legend = Controls::button(this, u"yearLegendButton"_s, u"Legende"_s, {380, 3, 50, 20});
    m_legend->setCheckable(true);
    m_legend->setChecked(legend);
    m_view = new OverviewView(this);
    m_view->setObjectName(u"yearView"_s);
    m_view->setGeometry(0, 23, w, h);
}
