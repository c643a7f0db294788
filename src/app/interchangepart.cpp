#include "addresses/addresspage.h"
#include "app/organiserwindow.h"
#include "app/parts.h"
#include "appointments/appointmentpage.h"
#include "interchange/interchangeactions.h"

#include <QTreeView>

InterchangePart::InterchangePart(const PartContext& parts, QObject* parent)
    : QObject(parent)
{
    auto* actions = new InterchangeActions(parts.ctx, this);
    actions->attach(parts.window, *parts.window.appointmentPage()->list(),
                    *parts.window.addressPage()->list());
    Changes* changes = &parts.changes;
    connect(actions, &InterchangeActions::calendarImported, changes, [changes] {
        emit changes->appointmentsChanged();
        emit changes->todosChanged();
    });
    connect(actions, &InterchangeActions::addressesImported, changes, &Changes::addressesChanged);
}
