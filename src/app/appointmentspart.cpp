#include "app/organiserwindow.h"
#include "app/parts.h"
#include "appointments/appointmentlistcontroller.h"
#include "appointments/daydialog.h"
#include "core/context.h"
#include "views/overviews.h"

AppointmentsPart::AppointmentsPart(const PartContext& parts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_list(new AppointmentListController(parts.ctx, *parts.window.appointmentPage(),
                                           parts.overviews, parts.window, this))
{
    connect(&parts.overviews, &Overviews::dayActivated, this, &AppointmentsPart::openDayDialog);
    for (auto changed :
         {&Changes::appointmentsChanged, &Changes::groupsChanged, &Changes::databaseReplaced})
        connect(&parts.changes, changed, m_list, &AppointmentListController::refresh);
}

void AppointmentsPart::openDayDialog(int day, int month, int year)
{
    Context& ctx = m_parts.ctx;
    m_parts.overviews.leaveHover();
    const Database::ChangeStamp before = ctx.db->changeStamp();
    DayDialog dialog(ctx, day, month, year, &m_parts.window);
    connect(&dialog, &DayDialog::appointmentsChanged, &m_parts.overviews, &Overviews::redraw);
    dialog.exec();
    // "Abbrechen" or a close without a change leaves the pictures and the list as they are.
    if (ctx.db->changeStamp() != before)
        emit m_parts.changes.appointmentsChanged();
}
