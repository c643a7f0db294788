#pragma once

#include "common/datevalue.h"
#include "reminders/reminderlist.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>

class ReminderWindow;
struct Context;

// Runs the reminder scan, shows what it found in the reminder window, and handles the window's
// clicks: a left click dismisses everything, the context menu snoozes.
class ReminderController : public QObject
{
    Q_OBJECT
public:
    // todoDeleted refreshes the to-do column after an overdue item was deleted.
    ReminderController(Context& ctx, std::function<void()> todoDeleted, QObject* parent = nullptr);
    ~ReminderController() override;

    void scan();
    // Slides the window out; the list is empty from now on.
    void dismiss();
    // Snoozes entry i, or with -1 every entry, by the delay.
    void snooze(int i, DateValue delay);

    const ReminderList& list() const { return m_list; }
    ReminderWindow* window() const { return m_window.get(); }
    bool isShown() const;

private:
    void show();
    void openMenu(QPoint picturePos, QPoint globalPos);
    QRect workArea() const;

    Context& m_ctx;
    std::function<void()> m_todoDeleted;
    ReminderList m_list;
    std::unique_ptr<ReminderWindow> m_window;
};
