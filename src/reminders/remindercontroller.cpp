#include "reminders/remindercontroller.h"

#include "core/context.h"
#include "reminders/desktopnotifier.h"
#include "reminders/reminderrenderer.h"
#include "reminders/reminderscan.h"
#include "reminders/reminderwindow.h"
#include "reminders/snooze.h"
#include "todo/todostore.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString kSnoozeKeyPrefix = u"snooze-"_s;
const QString kDoneKey = u"done"_s;

bool anySnoozable(const QList<ReminderEntry>& entries)
{
    return std::any_of(entries.cbegin(), entries.cend(),
                       [](const ReminderEntry& e) { return Snooze::canSnooze(e); });
}
} // namespace

ReminderController::ReminderController(Context& ctx, std::function<void()> todoDeleted,
                                       QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_todoDeleted(std::move(todoDeleted))
    , m_window(std::make_unique<ReminderWindow>())
    , m_notifier(new DesktopNotifier(QDBusConnection::sessionBus(), this))
{
    connect(m_window.get(), &ReminderWindow::leftClicked, this, &ReminderController::dismiss);
    connect(m_window.get(), &ReminderWindow::menuRequested, this, &ReminderController::openMenu);
    connect(m_notifier, &DesktopNotifier::shown, this, [this](quint64 request, uint id) {
        if (m_pending.contains(request))
            m_notified.insert(id, m_pending.take(request));
    });
    connect(m_notifier, &DesktopNotifier::failed, this, &ReminderController::notificationFailed);
    connect(m_notifier, &DesktopNotifier::actionInvoked, this,
            &ReminderController::notificationAnswered);
    connect(m_notifier, &DesktopNotifier::closed, this, [this](uint id) { m_notified.remove(id); });
}

ReminderController::~ReminderController()
{
    // Answers to these could no longer reach anybody.
    for (auto it = m_notified.cbegin(); it != m_notified.cend(); ++it)
        m_notifier->close(it.key());
}

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
    // While the window stands in for a missing service, its list goes on growing there.
    const bool desktop = toDesktop() && !isShown();
    ReminderList batch;
    ReminderList& list = desktop ? batch : m_list;
    const bool news = scan.run(m_ctx.clock.now(), birthdays, list, !desktop && isShown());
    // A failed delete leaves the items; they are found again by the next scan.
    bool deleted = !scan.doneTodosDue().isEmpty() &&
                   TodoStore::deleteTodos(*m_ctx.db, scan.doneTodosDue());
    if (news) {
        for (const ReminderEntry& entry : list.entries()) {
            if (entry.todoToDelete != 0) {
                TodoStore::deleteTodo(*m_ctx.db, entry.todoToDelete);
                deleted = true;
            }
        }
    }
    if (deleted && m_todoDeleted)
        m_todoDeleted();
    if (news && desktop)
        notify(batch);
    else if (news)
        show();
}

bool ReminderController::toDesktop() const
{
    return m_ctx.desktop.notifications || QGuiApplication::platformName().startsWith(u"wayland"_s);
}

void ReminderController::notify(const ReminderList& batch)
{
    const DateValue now = m_ctx.clock.now();
    QStringList lines;
    for (const ReminderEntry& entry : batch.entries()) {
        const ReminderLines text = ReminderText::lines(entry, now);
        lines << text.first << text.second;
    }
    QList<DesktopNotifier::Action> actions{{DesktopNotifier::defaultActionKey(), u"Erledigt"_s}};
    if (anySnoozable(batch.entries())) {
        const QList<Snooze::Choice> choices = Snooze::choices();
        for (int i = 0; i < choices.size(); ++i)
            actions.append({kSnoozeKeyPrefix + QString::number(i), choices.at(i).text});
    }
    actions.append({kDoneKey, u"Erledigt"_s});
    const quint64 request = ++m_lastRequest;
    m_pending.insert(request, batch);
    m_notifier->notify(request, ReminderRenderer::title(), lines, actions);
}

void ReminderController::notificationFailed(quint64 request)
{
    const ReminderList batch = m_pending.take(request);
    if (batch.isEmpty())
        return;
    // Nothing found may go untold: the window takes the batch, after what it already shows.
    if (!isShown())
        m_list.clear();
    for (const ReminderEntry& entry : batch.entries())
        m_list.append(entry);
    show();
}

void ReminderController::notificationAnswered(uint id, const QString& key)
{
    if (!m_notified.contains(id))
        return; // another program's, or answered already
    const ReminderList batch = m_notified.take(id);
    if (key.startsWith(kSnoozeKeyPrefix)) {
        bool ok = false;
        const int choice = key.mid(kSnoozeKeyPrefix.size()).toInt(&ok);
        const QList<Snooze::Choice> choices = Snooze::choices();
        if (ok && choice >= 0 && choice < choices.size())
            snoozeEntries(batch.entries(), choices.at(choice).delay);
    }
    // Services that keep answered notifications around are told it is over.
    m_notifier->close(id);
}

void ReminderController::snoozeEntries(const QList<ReminderEntry>& entries, DateValue delay)
{
    Snooze::snooze(*m_ctx.db, entries, m_ctx.clock.now(), delay);
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
        snoozeEntries(m_list.entries(), delay);
        dismiss();
        return;
    }
    if (i >= m_list.count())
        return;
    snoozeEntries({m_list.at(i)}, delay);
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
    if (i < 0 && !anySnoozable(m_list.entries()))
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
