#include "app/parts.h"
#include "reminders/remindercontroller.h"

#include <QApplication>

namespace {
constexpr int kReminderIntervalMs = 10000;
}

RemindersPart::RemindersPart(const PartContext& parts, QObject* parent)
    : QObject(parent)
    , m_reminders(std::make_unique<ReminderController>(
              parts.ctx, [&changes = parts.changes] { emit changes.todosChanged(); }))
{
    connect(&m_timer, &QTimer::timeout, this, &RemindersPart::scan);
}

RemindersPart::~RemindersPart() = default;

void RemindersPart::start()
{
    m_timer.start(kReminderIntervalMs);
    // What is due is told at start-up, not one interval later.
    scan();
}

void RemindersPart::stop()
{
    m_timer.stop();
}

void RemindersPart::scan()
{
    // The scan waits while a dialog is open, as the dialog holds the user's attention.
    if (QApplication::activeModalWidget())
        return;
    m_reminders->scan();
}
