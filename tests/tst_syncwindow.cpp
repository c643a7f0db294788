#include "support/privatebus.h"
#include "support/radicaleserver.h"
#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include "app/syncpart.h"
#include "common/clock.h"
#include "common/datevalue.h"
#include "core/context.h"
#include "interchange/interchangefile.h"
#include "settings/settingspage.h"
#include "sync/backgroundsync.h"
#include "sync/davclient.h"
#include "sync/passwordstore.h"
#include "sync/syncdialog.h"
#include "sync/syncsettings.h"
#include "sync/syncstate.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A secret store in memory that answers later, as the desktop's does; without a map it plays a
// desktop that has none.
class MemorySecrets : public SecretStore
{
public:
    explicit MemorySecrets(std::shared_ptr<QHash<QString, QString>> kept)
        : m_kept(std::move(kept))
    {}
    void read(const QString& key,
              std::function<void(std::optional<QString>, const QString&)> done) override
    {
        const auto kept = m_kept;
        QTimer::singleShot(0, [kept, key, done] {
            if (kept && kept->contains(key))
                done(kept->value(key), {});
            else
                done(std::nullopt, u"nicht gefunden"_s);
        });
    }
    void write(const QString& key, const QString& password,
               std::function<void(bool, const QString&)> done) override
    {
        if (m_kept)
            m_kept->insert(key, password);
        const bool kept = m_kept != nullptr;
        QTimer::singleShot(0, [kept, done] { done(kept, {}); });
    }

private:
    std::shared_ptr<QHash<QString, QString>> m_kept;
};

const QString kCalendar = u"anna/kalender/"_s;

// A calendar of the given name and an address book "Kontakte", made as Radicale stores them.
void makeCollections(const RadicaleServer& server, const QString& calendarName)
{
    const QString root = server.storagePath() + u"/collection-root/"_s;
    writeFile(root + kCalendar + u".Radicale.props"_s,
              "{\"tag\": \"VCALENDAR\", \"D:displayname\": \""_ba + calendarName.toUtf8() +
                      "\", \"C:supported-calendar-component-set\": \"VEVENT,VTODO\"}"_ba);
    writeFile(root + u"anna/kontakte/.Radicale.props"_s,
              R"({"tag": "VADDRESSBOOK", "D:displayname": "Kontakte"})"_ba);
}

// Every SUMMARY the server keeps, read from its storage.
QStringList serverSummaries(const RadicaleServer& server)
{
    QStringList summaries;
    const QDir dir(server.storagePath() + u"/collection-root/"_s + kCalendar);
    for (const QString& name : dir.entryList({u"*.ics"_s}, QDir::Files)) {
        for (const QByteArray& line : readFile(dir.filePath(name)).split('\n')) {
            if (line.startsWith("SUMMARY:"))
                summaries << QString::fromUtf8(line.mid(8).trimmed());
        }
    }
    summaries.sort();
    return summaries;
}

// Whether any file below the folder holds the bytes.
bool anyFileHolds(const QString& folder, const QByteArray& bytes)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (readFile(it.next()).contains(bytes))
            return true;
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(SyncSettings)

class TestSyncWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void settingsRoundTrip_data();
    void settingsRoundTrip();
    void passwordWithoutSecretService_data();
    void passwordWithoutSecretService();
    void dialogMapsCalendars_data();
    void dialogMapsCalendars();
    void dialogRefuses_data();
    void dialogRefuses();
    void backgroundRunKeepsTheWindowGoing();
    void noRunWithoutAccountOrPassword_data();
    void noRunWithoutAccountOrPassword();
    void runAtQuitIsCutOff();
    void dialogDropsSubscriptionRows_data();
    void dialogDropsSubscriptionRows();

private:
    void startServer(const QString& calendarName);
    SyncDialog* connectDialog(const QString& url, const QString& password);

    PrivateBus m_bus;
    TestDirectory m_home;
    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{makeDate(2026, 12, 9, 10, 0)};
    std::unique_ptr<Context> m_ctx;
    std::unique_ptr<SettingsPage> m_page;
    std::unique_ptr<RadicaleServer> m_server;
    std::shared_ptr<QHash<QString, QString>> m_secrets;
    std::unique_ptr<PasswordStore> m_passwords;
    std::unique_ptr<SyncDialog> m_dialog;
};

void TestSyncWindow::initTestCase()
{
    // QtKeychain meets a session bus without a secret service, and whatever it might write
    // lands in a home of the test's own.
    QVERIFY2(m_bus.start(), qPrintable(m_bus.error()));
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8());
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8());
    qputenv("XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8());
}

void TestSyncWindow::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_ctx = std::make_unique<Context>(m_dir->path(), m_prompter, m_clock);
    m_ctx->db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_ctx->db);
    m_page = std::make_unique<SettingsPage>(m_ctx->prefs);
    m_secrets = std::make_shared<QHash<QString, QString>>();
    m_passwords = std::make_unique<PasswordStore>(std::make_unique<MemorySecrets>(m_secrets));
}

void TestSyncWindow::cleanup()
{
    m_dialog.reset();
    m_passwords.reset();
    m_server.reset();
    m_page.reset();
    m_ctx.reset();
    m_dir.reset();
}

void TestSyncWindow::startServer(const QString& calendarName)
{
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server, calendarName);
}

SyncDialog* TestSyncWindow::connectDialog(const QString& url, const QString& password)
{
    const std::optional<QList<ImportGroup>> groups = importGroups(*m_ctx->db);
    m_dialog =
            std::make_unique<SyncDialog>(SyncSettings{}, m_ctx->filePath(SyncSettings::fileName()),
                                         *m_passwords, groups.value_or(QList<ImportGroup>()));
    m_dialog->findChild<QLineEdit*>(u"syncUrl"_s)->setText(url);
    m_dialog->findChild<QLineEdit*>(u"syncUser"_s)->setText(u"anna"_s);
    m_dialog->findChild<QLineEdit*>(u"syncPassword"_s)->setText(password);
    m_dialog->findChild<QPushButton*>(u"syncConnect"_s)->click();
    return m_dialog.get();
}

void TestSyncWindow::settingsRoundTrip_data()
{
    QTest::addColumn<SyncSettings>("settings");
    QTest::newRow("no account") << SyncSettings{};
    QTest::newRow("everything") << SyncSettings{
            u"https://dav.example.org/remote.php/dav/"_s,
            u"anna@example.org"_s,
            {{u"https://dav.example.org/cal/privat%20und%20so/"_s, 6},
             {u"https://dav.example.org/cal/arzt;x=1/"_s, 7}},
            u"https://dav.example.org/card/kontakte/"_s,
            {{u"https://feiertage.example/de.ics?land=BY&jahr=2026"_s, 2},
             {u"http://schule.example/plan.ics"_s, 4}}};
}

void TestSyncWindow::settingsRoundTrip()
{
    QFETCH(SyncSettings, settings);
    const QString prefs = m_dir->filePath(u"prefs.ini"_s);
    const QByteArray prefsBefore = "[General]\r\ncurryear=2026\r\n"_ba;
    writeFile(prefs, prefsBefore);
    const QString path = m_dir->filePath(SyncSettings::fileName());
    // Over an earlier account with more in it: nothing of that may remain.
    SyncSettings earlier{u"https://old.example/"_s,
                         u"bert"_s,
                         {{u"https://old.example/a/"_s, 3}, {u"https://old.example/b/"_s, 4}},
                         u"https://old.example/book/"_s,
                         {{u"https://old.example/x.ics"_s, 5}}};
    QVERIFY(earlier.write(path));
    QVERIFY(settings.write(path));
    QCOMPARE(SyncSettings::read(path), settings);
    QCOMPARE(readFile(prefs), prefsBefore);
    // A folder where the file should be: refused, not pretended.
    QVERIFY(QDir().mkpath(m_dir->filePath(u"blocked.ini"_s)));
    QVERIFY(!settings.write(m_dir->filePath(u"blocked.ini"_s)));
}

void TestSyncWindow::passwordWithoutSecretService_data()
{
    QTest::addColumn<bool>("answers");
    QTest::newRow("typed in") << true;
    QTest::newRow("cancelled") << false;
}

void TestSyncWindow::passwordWithoutSecretService()
{
    QFETCH(bool, answers);
    const QString password = u"Geheim-%1"_s.arg(QString::fromLatin1(QTest::currentDataTag()));
    const QString key = u"anna@https://dav.example.org/"_s;
    int asked = 0;
    const auto asker = [&](const QString&) -> std::optional<QString> {
        ++asked;
        return answers ? std::optional<QString>(password) : std::nullopt;
    };
    bool done = false;
    std::optional<QString> got;
    const auto fetch = [&](PasswordStore& store) {
        done = false;
        got.reset();
        store.fetch(key, [&](std::optional<QString> p) {
            got = p;
            done = true;
        });
    };
    const std::optional<QString> expected =
            answers ? std::optional<QString>(password) : std::nullopt;
    {
        PasswordStore store(makeKeychainStore());
        store.setAsker(asker);
        // Each answer bounded by QtKeychain's own D-Bus time-out.
        fetch(store);
        QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
        QCOMPARE(got, expected);
        // Once per start: the second run neither asks nor fails differently.
        fetch(store);
        QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
        QCOMPARE(got, expected);
        QCOMPARE(asked, 1);
        if (answers) {
            bool kept = true;
            done = false;
            store.store(key, password, [&](bool k) {
                kept = k;
                done = true;
            });
            QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
            QVERIFY(!kept);
            QCOMPARE(store.known(key), std::optional<QString>(password));
        }
    }
    // The next start asks again.
    PasswordStore next(makeKeychainStore());
    next.setAsker(asker);
    fetch(next);
    QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
    QCOMPARE(got, expected);
    QCOMPARE(asked, 2);
    QVERIFY(!anyFileHolds(m_home.path(), password.toUtf8()));
    QVERIFY(!anyFileHolds(m_dir->path(), password.toUtf8()));
}

void TestSyncWindow::dialogMapsCalendars_data()
{
    QTest::addColumn<QString>("calendar");
    QTest::addColumn<QString>("group"); // empty: where events go when nobody chooses
    QTest::newRow("named like a group") << u"Arzt"_s << u"Arzt"_s;
    QTest::newRow("in other letters") << u"GESCHÄFTLICH"_s << u"Geschäftlich"_s;
    QTest::newRow("named like none") << u"Privat"_s << QString();
}

void TestSyncWindow::dialogMapsCalendars()
{
    QFETCH(QString, calendar);
    QFETCH(QString, group);
    startServer(calendar);
    SyncDialog* dialog = connectDialog(m_server->url().toString(), m_server->password());
    // The server is asked without holding up the dialog.
    QVERIFY(dialog->isConnecting());
    auto* calendars = dialog->findChild<QTableWidget*>(u"syncCalendars"_s);
    QTRY_VERIFY(!dialog->isConnecting());
    QCOMPARE(calendars->rowCount(), 1);
    QCOMPARE(calendars->item(0, 0)->text(), calendar);
    const std::optional<QList<ImportGroup>> groups = importGroups(*m_ctx->db);
    QVERIFY(groups);
    const int expected = group.isEmpty()
                                 ? defaultImportGroup(*groups)
                                 : int(queryNumber(*m_ctx->db, u"SELECT id FROM grups WHERE "
                                                               u"grupname = '%1'"_s.arg(group)));
    QVERIFY(expected > 0);
    QCOMPARE(dialog->findChild<QComboBox*>(u"syncAddressBook"_s)->currentText(), u"Kontakte"_s);

    dialog->accept();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    const QString path = m_ctx->filePath(SyncSettings::fileName());
    const SyncSettings stored = SyncSettings::read(path);
    const QString base = m_server->url().toString();
    QCOMPARE(stored.url, base);
    QCOMPARE(stored.calendarGroups, (QHash<QString, int>{{base + kCalendar, expected}}));
    QCOMPARE(stored.addressBook, base + u"anna/kontakte/"_s);
    QCOMPARE(m_secrets->value(stored.passwordKey()), m_server->password());
    QVERIFY(!readFile(path).contains(m_server->password().toUtf8()));
}

void TestSyncWindow::dialogRefuses_data()
{
    QTest::addColumn<QString>("url"); // "server": the test's Radicale
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong password")
            << u"server"_s << u"falsch"_s << u"hat Benutzername oder Passwort abgelehnt"_s;
    QTest::newRow("plain http to another machine")
            << u"http://dav.example.org/"_s << u"x"_s << u"nur https"_s;
    QTest::newRow("no server there") << u"http://127.0.0.1:1/"_s << u"x"_s << u"nicht erreichbar"_s;
}

void TestSyncWindow::dialogRefuses()
{
    QFETCH(QString, url);
    QFETCH(QString, password);
    QFETCH(QString, message);
    if (url == u"server"_s) {
        startServer(u"Privat"_s);
        url = m_server->url().toString();
    }
    SyncDialog* dialog = connectDialog(url, password);
    auto* shown = dialog->findChild<QLabel*>(u"syncMessage"_s);
    QTRY_VERIFY(!dialog->isConnecting());
    QVERIFY2(shown->text().contains(message), qPrintable(shown->text()));
    QCOMPARE(dialog->findChild<QTableWidget*>(u"syncCalendars"_s)->rowCount(), 0);
    // A refused address is not stored either.
    if (message == u"nur https"_s) {
        dialog->accept();
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_ctx->filePath(SyncSettings::fileName())));
    }
}

void TestSyncWindow::backgroundRunKeepsTheWindowGoing()
{
    startServer(u"Privat"_s);
    DavClient phone(m_server->user(), m_server->password());
    const QByteArray event =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefon//DE\r\nBEGIN:VEVENT\r\n"
            "UID:telefon-1\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20261203T140000\r\n"
            "DTEND:20261203T150000\r\nSUMMARY:Vom Telefon\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"_ba;
    QVERIFY(phone.put(m_server->url().resolved(QUrl(kCalendar + u"telefon-1.ics"_s)), event,
                      "text/calendar", {{}, true})
                    .ok());
    const SyncSettings account{m_server->url().toString(), m_server->user(), {}, {}, {}};
    QVERIFY(account.write(m_ctx->filePath(SyncSettings::fileName())));
    m_secrets->insert(account.passwordKey(), m_server->password());

    SyncPart sync(*m_ctx, *m_page, std::make_unique<MemorySecrets>(m_secrets));
    sync.background().setIntervals({24 * 60 * 60 * 1000, 20, 10});
    int runs = 0;
    int changed = 0;
    int ticksDuringRun = 0;
    connect(&sync.background(), &BackgroundSync::runFinished, this, [&] { ++runs; });
    connect(&sync, &SyncPart::dataChanged, this, [&] { ++changed; });
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (sync.background().isRunning())
            ++ticksDuringRun;
    });
    ticker.start(1);
    sync.start();

    QTRY_COMPARE(runs, 1);
    QVERIFY(ticksDuringRun > 0);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine WHERE desc = 'Vom Telefon'"_s),
             1);
    QCOMPARE(changed, 1);
    QVERIFY2(m_page->syncStatus()->toolTip().startsWith(u"Zuletzt synchronisiert am 09.12.2026"_s),
             qPrintable(m_page->syncStatus()->toolTip()));

    // The run's own writes are no local change: many watches later still one run.
    QTest::qWait(300);
    QCOMPARE(runs, 1);

    QVERIFY(insertTestAppointment(*m_ctx->db, {makeDate(2026, 12, 1, 9, 0, 1),
                                               makeDate(2026, 12, 1, 10, 0, 1), 6, u"Zahnarzt"_s}));
    QTRY_COMPARE(runs, 2);
    QCOMPARE(serverSummaries(*m_server), (QStringList{u"Vom Telefon"_s, u"Zahnarzt"_s}));
    QCOMPARE(changed, 1);
}

void TestSyncWindow::noRunWithoutAccountOrPassword_data()
{
    QTest::addColumn<bool>("account");
    QTest::addColumn<QString>("status");
    QTest::newRow("no account") << false << u"Keine Synchronisation eingerichtet."_s;
    QTest::newRow("password not given") << true << u"Ohne Passwort wird nicht synchronisiert"_s;
}

void TestSyncWindow::noRunWithoutAccountOrPassword()
{
    QFETCH(bool, account);
    QFETCH(QString, status);
    if (account) {
        const SyncSettings settings{u"https://dav.example.org/"_s, u"anna"_s, {}, {}, {}};
        QVERIFY(settings.write(m_ctx->filePath(SyncSettings::fileName())));
    }
    m_page->syncStatus()->setText({});
    SyncPart sync(*m_ctx, *m_page, std::make_unique<MemorySecrets>(m_secrets));
    int asked = 0;
    sync.passwords().setAsker([&](const QString&) -> std::optional<QString> {
        ++asked;
        return std::nullopt;
    });
    int runs = 0;
    connect(&sync.background(), &BackgroundSync::runStarted, this, [&] { ++runs; });
    sync.start();
    QTRY_VERIFY2(m_page->syncStatus()->toolTip().startsWith(status),
                 qPrintable(m_page->syncStatus()->toolTip()));
    QCOMPARE(asked, account ? 1 : 0);
    sync.background().runNow();
    QCOMPARE(runs, 0);
    QVERIFY(!sync.background().isRunning());
}

void TestSyncWindow::runAtQuitIsCutOff()
{
    // A server that takes the connection and never answers; the deadline would be far away.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    BackgroundSync sync([this] { return m_ctx->db.get(); });
    SyncRunOptions options;
    options.account = {u"http://127.0.0.1:%1/"_s.arg(silent.serverPort()), u"anna"_s, u"x"_s};
    options.deadlineMs = 24 * 60 * 60 * 1000;
    sync.setOptions(options);
    int runs = 0;
    connect(&sync, &BackgroundSync::runFinished, this, [&] { ++runs; });
    sync.start();
    QVERIFY(sync.isRunning());
    QTRY_VERIFY(silent.hasPendingConnections());
    const qint64 before = queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s);
    sync.stop();
    QVERIFY(!sync.isRunning());
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s), before);
}

void TestSyncWindow::dialogDropsSubscriptionRows_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("left"); // the appointments afterwards

    QTest::newRow("kept") << QString() << QStringList{u"Eigener Termin"_s, u"Neujahr"_s};
    QTest::newRow("removed") << u"remove"_s << QStringList{u"Eigener Termin"_s};
    // Fetched anew into the other group by the next run.
    QTest::newRow("other group") << u"group"_s << QStringList{u"Eigener Termin"_s};
}

void TestSyncWindow::dialogDropsSubscriptionRows()
{
    QFETCH(QString, change);
    QFETCH(QStringList, left);
    const QString url = u"https://feiertage.example.org/de.ics"_s;
    Database& db = *m_ctx->db;
    insertTestAppointment(
            db, {makeDate(2027, 1, 1, 9, 0), makeDate(2027, 1, 1, 10, 0), 5, u"Eigener Termin"_s});
    const qint64 holiday = insertTestAppointment(
            db, {makeDate(2027, 1, 1, 0, 0), makeDate(2027, 1, 2, 0, 0), 5, u"Neujahr"_s});
    QVERIFY(SyncState::ensureTables(db));
    QVERIFY(db.execSql(
            u"INSERT INTO sync_subscription_rows (url, termin) VALUES ('%1', %2) ;"_s.arg(
                    url, QString::number(holiday))));
    SyncSettings settings;
    settings.subscriptions = {{url, 5}};
    QVERIFY(settings.write(m_ctx->filePath(SyncSettings::fileName())));

    SyncPart sync(*m_ctx, *m_page, std::make_unique<MemorySecrets>(m_secrets));
    int changed = 0;
    connect(&sync, &SyncPart::dataChanged, this, [&] { ++changed; });
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<SyncDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* table = dialog->findChild<QTableWidget*>(u"syncSubscriptions"_s);
        table->setCurrentCell(0, 0);
        if (change == u"remove"_s)
            dialog->findChild<QPushButton*>(u"syncRemoveSubscription"_s)->click();
        else if (change == u"group"_s)
            static_cast<QComboBox*>(table->cellWidget(0, 1))->setCurrentIndex(0);
        dialog->accept();
    });
    sync.openDialog();
    QCOMPARE(queryRows(db, u"SELECT desc FROM termine ORDER BY desc ;"_s), left);
    QCOMPARE(changed, change.isEmpty() ? 0 : 1);
}

QTEST_MAIN(TestSyncWindow)
#include "tst_syncwindow.moc"
