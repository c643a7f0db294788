#pragma once

#include "interchange/interchangefile.h"

#include <QObject>

class QAction;
class QWidget;
struct Context;

// The way in to exchange with other calendars and address books: the lists' context menus and
// files dropped on the main window. Every question and summary goes through the prompter.
class InterchangeActions : public QObject
{
    Q_OBJECT
public:
    explicit InterchangeActions(Context& ctx, QObject* parent = nullptr);

    // Adds the context menus to the appointment and address lists and takes files dropped on
    // the window.
    void attach(QWidget& window, QWidget& appointmentList, QWidget& addressList);

    void exportCalendar();
    void importCalendar();
    void exportAddresses();
    void importAddresses();
    // A file of either kind, told apart by its content.
    void importFile(const QString& path);

signals:
    void calendarImported();
    void addressesImported();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void importCalendarBytes(const QString& path, const QByteArray& bytes);
    void importAddressBytes(const QString& path, const QByteArray& bytes);
    int chooseGroup();
    // Asks for the file (the filter's pattern gives the suffix) and reports the outcome.
    void exportTo(const QString& title, const QString& name, const QString& filter,
                  const InterchangeWriter& write, const QString& doneTitle,
                  const QString& doneText);

    Context& m_ctx;
};
