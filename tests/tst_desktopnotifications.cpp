#include "core/context.h"
#include "reminders/remindercontroller.h"
#include "reminders/reminderwindow.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QTest>
#include <QVariantMap>

#include <csignal>

#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;

// A notification service of our own that records what it was asked and answers as told.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification
    {
        QString summary;
        QString body;
        QStringList actions; // key, label, key, label, …
    };
    QStringList capabilities;
    QList<Notification> notifications;
    QList<uint> closed;

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& /*app*/, uint /*replaces*/, const QString& /*icon*/,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& /*hints*/, int /*timeout*/)
    {
        notifications.append({summary, body, actions});
        return static_cast<uint>(notifications.size());
    }
    void CloseNotification(uint id) { closed.append(id); }
};

} // namespace

// Reminders through the desktop's notification service, on a private session bus with a fake
// service in place of the desktop's.
class TestDesktopNotifications : public QObject
{
    Q_OBJECT
public:
    explicit TestDesktopNotifications(QString busAddress)
        : m_busAddress(std::move(busAddress))
    {}

private slots:
    void init();
    void cleanup();
    void batchGoesToTheService_data();
    void batchGoesToTheService();
    void actionsDoWhatTheWindowDoes_data();
    void actionsDoWhatTheWindowDoes();

private:
    void startService(const QStringList& capabilities);
    qint64 addAppointment(const QString& desc);
    void invoke(uint id, const QString& key);

    QString m_busAddress;
    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{makeDate(2007, 3, 6, 10, 0, 0)};
    std::unique_ptr<Context> m_ctx;
    std::unique_ptr<FakeNotifications> m_service;
    std::optional<QDBusConnection> m_serviceBus;
};

void TestDesktopNotifications::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_prompter.clear();
    m_clock.set(makeDate(2007, 3, 6, 10, 0, 0));
    m_ctx = createTestContext(*m_dir, m_prompter, m_clock);
    QVERIFY(m_ctx);
    QVERIFY(m_ctx->db->execSql(u"UPDATE grups SET grupname='Arbeit' WHERE id=8"_s));
    m_ctx->desktop.notifications = true;
}

void TestDesktopNotifications::cleanup()
{
    if (m_serviceBus) {
        m_serviceBus->unregisterService(kService);
        m_serviceBus->unregisterObject(kPath);
        QDBusConnection::disconnectFromBus(m_serviceBus->name());
        m_serviceBus.reset();
    }
    m_service.reset();
    m_ctx.reset();
    m_dir.reset();
}

void TestDesktopNotifications::startService(const QStringList& capabilities)
{
    m_service = std::make_unique<FakeNotifications>();
    m_service->capabilities = capabilities;
    m_serviceBus = QDBusConnection::connectToBus(m_busAddress, u"fakeNotifications"_s);
    QVERIFY(m_serviceBus->registerObject(kPath, m_service.get(), QDBusConnection::ExportAllSlots));
    QVERIFY(m_serviceBus->registerService(kService));
}

qint64 TestDesktopNotifications::addAppointment(const QString& desc)
{
    TestAppointment a;
    a.start = a.end = makeDate(2007, 3, 7, 9, 0, 0);
    a.group = 8;
    a.description = desc;
    a.msg = 2; // a day before
    return insertTestAppointment(*m_ctx->db, a);
}

void TestDesktopNotifications::invoke(uint id, const QString& key)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, u"org.freedesktop.Notifications"_s,
                                                     u"ActionInvoked"_s);
    signal << id << key;
    QVERIFY(m_serviceBus->send(signal));
}

void TestDesktopNotifications::batchGoesToTheService_data()
{
    QTest::addColumn<bool>("service");
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<QString>("body"); // empty: the window shows the batch
    QTest::newRow("plain text") << true << QStringList{u"actions"_s, u"body"_s}
                                << u"Morgen (07.03.) um 09:00 Uhr\nArbeit (Bahn & <Bus>)"_s;
    QTest::newRow("markup") << true << QStringList{u"body"_s, u"body-markup"_s, u"actions"_s}
                            << u"Morgen (07.03.) um 09:00 Uhr\nArbeit (Bahn &amp; &lt;Bus&gt;)"_s;
    QTest::newRow("no actions") << true << QStringList{u"body"_s} << QString();
    QTest::newRow("no service") << false << QStringList() << QString();
}

void TestDesktopNotifications::batchGoesToTheService()
{
    QFETCH(bool, service);
    QFETCH(QStringList, capabilities);
    QFETCH(QString, body);
    if (service)
        startService(capabilities);
    addAppointment(u"Bahn & <Bus>"_s);
    auto controller = std::make_unique<ReminderController>(*m_ctx, std::function<void()>());
    controller->scan();
    if (body.isEmpty()) {
        QTRY_VERIFY(controller->window()->isVisible());
        QCOMPARE(controller->list().count(), 1);
        QCOMPARE(controller->notificationCount(), 0);
        QVERIFY(!m_service || m_service->notifications.isEmpty());
        return;
    }
    QTRY_COMPARE(controller->notificationCount(), 1);
    QCOMPARE(m_service->notifications.size(), 1);
    const FakeNotifications::Notification& shown = m_service->notifications.first();
    QCOMPARE(shown.summary, u"Wichtige Termine:"_s);
    QCOMPARE(shown.body, body);
    QCOMPARE(shown.actions, (QStringList{u"default"_s, u"Erledigt"_s, u"snooze-0"_s,
                                         u"Erneut erinnern in 5 Minuten"_s, u"snooze-1"_s,
                                         u"Erneut erinnern in 15 Minuten"_s, u"snooze-2"_s,
                                         u"Erneut erinnern in 1 Stunde"_s, u"snooze-3"_s,
                                         u"Morgen erneut erinnern"_s, u"done"_s, u"Erledigt"_s}));
    QVERIFY(!controller->window()->isVisible());
    // What is left open when the program ends goes with it.
    controller.reset();
    QTRY_COMPARE(m_service->closed, QList<uint>{1});
}

void TestDesktopNotifications::actionsDoWhatTheWindowDoes_data()
{
    QTest::addColumn<QString>("label"); // "" for a click on the notification itself
    QTest::addColumn<DateValue>("nextmsg");
    const DateValue now = makeDate(2007, 3, 6, 10, 0, 0);
    QTest::newRow("5 minutes") << u"Erneut erinnern in 5 Minuten"_s << now + 300;
    QTest::newRow("tomorrow") << u"Morgen erneut erinnern"_s << now + 86400;
    QTest::newRow("done") << u"Erledigt"_s << DateValue(-1);
    QTest::newRow("click") << QString() << DateValue(-1);
}

void TestDesktopNotifications::actionsDoWhatTheWindowDoes()
{
    QFETCH(QString, label);
    QFETCH(DateValue, nextmsg);
    startService({u"actions"_s});
    const qint64 id = addAppointment(u"Zahnarzt"_s);
    ReminderController controller(*m_ctx, {});
    controller.scan();
    QTRY_COMPARE(controller.notificationCount(), 1);
    const QStringList actions = m_service->notifications.first().actions;
    const QString key = label.isEmpty() ? u"default"_s : actions.at(actions.lastIndexOf(label) - 1);
    m_clock.advance(20);
    invoke(1, key);
    QTRY_COMPARE(controller.notificationCount(), 0);
    QTRY_COMPARE(m_service->closed, QList<uint>{1});
    const DateValue expected = nextmsg > 0 ? nextmsg + 20 : nextmsg;
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT nextmsg FROM termine WHERE id=%1"_s.arg(id)),
             expected);

    // A snoozed row comes back at its moment, in a notification of its own, unless it is over
    // by then.
    const bool back = expected > 0 && expected < makeDate(2007, 3, 7, 9, 0, 0);
    m_clock.set(expected > 0 ? expected + 1 : m_clock.now() + 10);
    controller.scan();
    QTRY_COMPARE(m_service->notifications.size(), back ? 2 : 1);
    QVERIFY(!controller.window()->isVisible());
}

int main(int argc, char** argv)
{
    // A session bus of the test's own, so no desktop service answers and nothing reaches one.
    QProcess daemon;
    // Gone with the test, however it ends.
    daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
    if (!daemon.waitForStarted(10000) || !daemon.waitForReadyRead(10000)) {
        qWarning("dbus-daemon could not be started");
        return 1;
    }
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    int result = 0;
    {
        QApplication app(argc, argv);
        TestDesktopNotifications test(address);
        result = QTest::qExec(&test, argc, argv);
    }
    daemon.terminate();
    daemon.waitForFinished(10000);
    return result;
}

#include "tst_desktopnotifications.moc"
