#pragma once

#include "common/datevalue.h"
#include "reminders/reminderlist.h"

#include <QHash>
#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>

class DesktopNotifier;
class ReminderWindow;
struct Context;

// Runs the reminder scan, shows what it found in the reminder window, and handles the window's
// clicks: a left click dismisses everything, the context menu snoozes. Where the window cannot be
// placed (Wayland), or when the user asks for it, each batch goes to the desktop's notification
// service instead, with the same choices as actions; without a service the window stands in.
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
    // Batches shown as notifications and not yet answered.
    int notificationCount() const { return static_cast<int>(m_notified.size()); }

private:
    bool toDesktop() const;
    void show();
    void notify(const ReminderList& batch);
    void notificationFailed(quint64 request);
    void notificationAnswered(uint id, const QString& key);
    // The snooze of the window's menu and of a notification's action.
    void snoozeEntries(const QList<ReminderEntry>& entries, DateValue delay);
    void openMenu(QPoint picturePos, QPoint globalPos);
    QRect workArea() const;

    Context& m_ctx;
    std::function<void()> m_todoDeleted;
    ReminderList m_list;
    std::unique_ptr<ReminderWindow> m_window;
    DesktopNotifier* m_notifier;
    quint64 m_lastRequest = 0;
    QHash<quint64, ReminderList> m_pending;
    QHash<uint, ReminderList> m_notified;
};
