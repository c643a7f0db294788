#pragma once

#include "views/listcolumns.h"

#include <QObject>

class AppointmentPage;
class DeferredFill;
class Overviews;
class QWidget;
struct Context;

// The behaviour of the page "Terminübersicht": its search field and sort choices, and a list
// that is read only while the page is in sight.
class AppointmentListController : public QObject
{
    Q_OBJECT
public:
    AppointmentListController(Context& ctx, AppointmentPage& page, Overviews& overviews,
                              QWidget& window, QObject* parent = nullptr);

    // The appointments may have changed: rereads the list with the search field's text, at
    // once when the page is shown, else when it is next opened.
    void refresh();

private:
    void fill(const QString& searchText);
    ProgressNote progressNote();

    Context& m_ctx;
    AppointmentPage& m_page;
    Overviews& m_overviews;
    QWidget& m_window;
    DeferredFill* m_deferred;
};
