#include "views/overviewpage.h"

#include "common/programfont.h"
#include "views/controls.h"
#include "views/overviewview.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

OverviewPage::OverviewPage(Kind kind, int w, int h, bool legend, QWidget* parent)
    : QWidget(parent)
{
    const bool year = kind == Kind::Year;
    // Object names tell the two pages apart: "yearLabel" and "weekLabel", "previousYearButton"...
    const QString unit = year ? u"Year"_s : u"Week"_s;
    const QString prefix = year ? u"year"_s : u"week"_s;
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;

    m_legend = Controls::button(this, prefix + u"LegendButton"_s, u"Legende"_s, {380, 3, 50, 20});
    m_legend->setCheckable(true);
    m_legend->setChecked(legend);
    m_title = Controls::label(this, prefix + u"Label"_s, year ? u"2007"_s : u"1-8 Sept 2007"_s,
                              {200, 3, 150, 20}, centred);
    m_title->setFont(programFont(1));
    m_clock = Controls::label(this, prefix + u"ClockLabel"_s, u"20.09.2007 - 19:56"_s,
                              {483, 3, 160, 20}, centred);
    m_clock->setFont(programFont(1));
    m_previous =
            Controls::button(this, u"previous"_s + unit + u"Button"_s, u"<<"_s, {180, 3, 20, 20});
    m_next = Controls::button(this, u"next"_s + unit + u"Button"_s, u">>"_s, {350, 3, 20, 20});
    m_display =
            Controls::button(this, prefix + u"DisplayButton"_s, u"Anzeige..."_s, {5, 3, 70, 20});
    m_redraw =
            Controls::button(this, prefix + u"RedrawButton"_s, u"Neu Zeichnen"_s, {75, 3, 80, 20});
    m_view = new OverviewView(this);
    m_view->setObjectName(prefix + u"View"_s);
    m_view->setGeometry(0, 23, w, h);
    // For screen readers; the picture's description names the keyboard's day.
    m_view->setAccessibleName(year ? u"Jahresübersicht"_s : u"Wochenübersicht"_s);
    m_previous->setAccessibleName(year ? u"Vorheriges Jahr"_s : u"Vorherige Woche"_s);
    m_next->setAccessibleName(year ? u"Nächstes Jahr"_s : u"Nächste Woche"_s);
}
