#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// A client of the desktop's notification service (org.freedesktop.Notifications). Every call is
// asynchronous, so a slow or hanging service never holds up the program; the answer arrives as
// shown() or failed().
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    struct Action
    {
        QString key;
        QString label;
    };
    // The key a service sends when the notification itself is clicked.
    static QString defaultActionKey();

    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    // Shows one notification that stays until the user answers it. Services that cannot offer
    // actions count as failed: the notification would lose what the user can do with it.
    void notify(quint64 request, const QString& title, const QStringList& lines,
                const QList<Action>& actions);
    void close(uint id);

signals:
    void shown(quint64 request, uint id);
    void failed(quint64 request);
    void actionInvoked(uint id, const QString& key);
    void closed(uint id);

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onClosed(uint id, uint reason);

private:
    void send(quint64 request, const QString& title, const QString& body,
              const QList<Action>& actions);

    QDBusConnection m_bus;
};
