#include "reminders/desktopnotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {
const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;
const QString kInterface = u"org.freedesktop.Notifications"_s;
// Long enough for a service started on demand, short enough that a hanging one does not swallow
// a reminder for long.
constexpr int kCallTimeoutMs = 5000;

QDBusMessage methodCall(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}
} // namespace

QString DesktopNotifier::defaultActionKey()
{
    return u"default"_s;
}

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
    m_bus.connect(kService, kPath, kInterface, u"ActionInvoked"_s, this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, u"NotificationClosed"_s, this,
                  SLOT(onClosed(uint, uint)));
}

void DesktopNotifier::notify(quint64 request, const QString& title, const QStringList& lines,
                             const QList<Action>& actions)
{
    auto* watcher = new QDBusPendingCallWatcher(
            m_bus.asyncCall(methodCall(u"GetCapabilities"_s), kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, request, title, lines, actions] {
                watcher->deleteLater();
                const QDBusPendingReply<QStringList> reply = *watcher;
                if (reply.isError() || !reply.value().contains(u"actions"_s)) {
                    emit failed(request);
                    return;
                }
                // Where the body is read as markup, an "&" or "<" of the user's must stay text.
                QString body;
                if (reply.value().contains(u"body-markup"_s)) {
                    QStringList escaped;
                    for (const QString& line : lines)
                        escaped << line.toHtmlEscaped();
                    body = escaped.join(u'\n');
                } else {
                    body = lines.join(u'\n');
                }
                send(request, title, body, actions);
            });
}

void DesktopNotifier::send(quint64 request, const QString& title, const QString& body,
                           const QList<Action>& actions)
{
    QStringList actionList;
    for (const Action& action : actions)
        actionList << action.key << action.label;
    QVariantMap hints;
    hints.insert(u"desktop-entry"_s, u"org.ruvo.Ruvo"_s);
    hints.insert(u"urgency"_s, QVariant::fromValue(uchar(1)));
    QDBusMessage call = methodCall(u"Notify"_s);
    call << u"Ruvo"_s << uint(0) << u"org.ruvo.Ruvo"_s << title << body << actionList << hints
         << int(0); // 0: until the user answers, as the reminder window does
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, request] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError() || reply.value() == 0)
            emit failed(request);
        else
            emit shown(request, reply.value());
    });
}

void DesktopNotifier::close(uint id)
{
    QDBusMessage call = methodCall(u"CloseNotification"_s);
    call << id;
    m_bus.asyncCall(call, kCallTimeoutMs);
}

void DesktopNotifier::onActionInvoked(uint id, const QString& key)
{
    emit actionInvoked(id, key);
}

void DesktopNotifier::onClosed(uint id, uint /*reason*/)
{
    emit closed(id);
}
