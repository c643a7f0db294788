#include "reminders/remindercontroller.h"

#include "app/context.h"
#include "reminders/reminderrenderer.h"
#include "reminders/reminderscan.h"
#include "reminders/reminderwindow.h"
#include "reminders/snooze.h"
#include "todo/todostore.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>

ReminderController::ReminderController(Context& ctx, std::function<void()> todoDeleted,
                                       QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_todoDeleted(std::move(todoDeleted))
    , m_window(std::make_unique<ReminderWindow>())
{
    connect(m_window.get(), &ReminderWindow::leftClicked, this, &ReminderController::dismiss);
    connect(m_window.get(), &ReminderWindow::menuRequested, this, &ReminderController::openMenu);
}

ReminderController::~ReminderController() = default;

bool ReminderController::isShown() const
{
    return m_window->isVisible() && !m_window->isSlidingOut();
}

void ReminderController::scan()
{
    if (!m_ctx.db)
        return;
    ReminderScan scan(*m_ctx.db, m_ctx.prompter, m_ctx.quitState);
    const BirthdayReminder birthdays{m_ctx.prefs.gebmsgtime, m_ctx.prefs.gebremsg};
    const bool news = scan.run(m_ctx.clock.now(), birthdays, m_list, isShown());
    // A failed delete leaves the items; they are found again by the next scan.
    bool deleted = !scan.doneTodosDue().isEmpty() &&
                   TodoStore::deleteTodos(*m_ctx.db, scan.doneTodosDue());
    if (news) {
        for (const ReminderEntry& entry : m_list.entries()) {
            if (entry.todoToDelete != 0) {
                TodoStore::deleteTodo(*m_ctx.db, entry.todoToDelete);
                deleted = true;
            }
        }
    }
    if (deleted && m_todoDeleted)
        m_todoDeleted();
    if (news)
        show();
}

void ReminderController::show()
{
    m_window->showPicture(ReminderRenderer::render(m_list, m_ctx.clock.now(), *m_ctx.images,
                                                   m_window->devicePixelRatioF()),
                          workArea());
}

void ReminderController::dismiss()
{
    // Emptied at once, so a scan during the slide starts a fresh list.
    m_list.clear();
    m_window->slideOut();
}

void ReminderController::snooze(int i, DateValue delay)
{
    const DateValue now = m_ctx.clock.now();
    if (i < 0) {
        Snooze::snooze(*m_ctx.db, m_list.entries(), now, delay);
        dismiss();
        return;
    }
    if (i >= m_list.count())
        return;
    Snooze::snooze(*m_ctx.db, {m_list.at(i)}, now, delay);
    m_list.removeAt(i);
    if (m_list.isEmpty()) {
        dismiss();
        return;
    }
    m_window->replacePicture(
            ReminderRenderer::render(m_list, now, *m_ctx.images, m_window->devicePixelRatioF()),
            workArea());
}

void ReminderController::openMenu(QPoint picturePos, QPoint globalPos)
{
    const int i = ReminderRenderer::entryAt(m_list, picturePos);
    if (i >= 0 && !Snooze::canSnooze(m_list.at(i)))
        return;
    if (i < 0 && std::none_of(m_list.entries().cbegin(), m_list.entries().cend(),
                              [](const ReminderEntry& e) { return Snooze::canSnooze(e); }))
        return;
    // The menu waits for the user while scans may change the list: find the entry again.
    const ReminderSource source = i >= 0 ? m_list.at(i).source : ReminderSource::Appointment;
    const qint64 id = i >= 0 ? m_list.at(i).id : 0;
    QMenu menu;
    for (const Snooze::Choice& choice : Snooze::choices()) {
        const DateValue delay = choice.delay;
        menu.addAction(choice.text, this, [this, i, source, id, delay] {
            if (i < 0) {
                snooze(-1, delay);
                return;
            }
            const QList<ReminderEntry>& entries = m_list.entries();
            const auto it = std::find_if(entries.cbegin(), entries.cend(), [&](const auto& e) {
                return e.source == source && e.id == id;
            });
            if (it != entries.cend())
                snooze(static_cast<int>(it - entries.cbegin()), delay);
        });
    }
    menu.exec(globalPos);
}

QRect ReminderController::workArea() const
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return m_ctx.workArea;
}
