#include "appointments/appointmentlistcontroller.h"

#include "appointments/appointmentlist.h"
#include "appointments/appointmentpage.h"
#include "core/context.h"
#include "views/deferredfill.h"
#include "views/hoverpreviewwindow.h"
#include "views/overviews.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTreeView>

AppointmentListController::AppointmentListController(Context& ctx, AppointmentPage& page,
                                                     Overviews& overviews, QWidget& window,
                                                     QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_page(page)
    , m_overviews(overviews)
    , m_window(window)
    , m_deferred(new DeferredFill(
              page, [this] { fill(m_page.searchField()->text()); }, this))
{
    connect(page.searchField(), &QLineEdit::textChanged, this, &AppointmentListController::fill);
    auto sortChanged = [this](AppointmentSortChoice choice, int value) {
        // A changed order applies to all coming appointments; the search text waits until it
        // is edited again.
        changeAppointmentSort(*m_page.list(), *m_ctx.db, m_ctx.prompter, m_ctx.prefs, choice, value,
                              m_ctx.clock.now(), progressNote());
    };
    connect(page.sortKey(), &QComboBox::currentIndexChanged, this,
            [sortChanged](int index) { sortChanged(AppointmentSortChoice::Key, index); });
    connect(page.sortDirection(), &QComboBox::currentIndexChanged, this,
            [sortChanged](int index) { sortChanged(AppointmentSortChoice::Direction, index); });
    m_deferred->request();
}

void AppointmentListController::refresh()
{
    m_deferred->request();
}

void AppointmentListController::fill(const QString& searchText)
{
    fillAppointmentList(*m_page.list(), *m_ctx.db, m_ctx.prompter, m_ctx.prefs, m_ctx.clock.now(),
                        searchText, progressNote());
}

ProgressNote AppointmentListController::progressNote()
{
    // The hover preview window doubles as the note while the list is reread.
    return [this](bool show) {
        if (show)
            m_overviews.previewWindow()->showProgressNote(m_window.pos());
        else
            m_overviews.previewWindow()->hideNote();
    };
}
