#include "app/application.h"
#include "app/qtprompter.h"
#include "app/splashwindow.h"
#include "update/updatecheck.h"
#include "update/updateserver.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// SHA-256 of "abc", from the published test vectors.
constexpr char kAbcSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const QByteArray kVersionPath = "/ruvo-updates/current.ver";
const QByteArray kProgramPath = "/ruvo-updates/program-update.exe";

// A small HTTP server on 127.0.0.1 that answers each path with a prepared body, 404 for unknown
// paths, never answers the paths marked silent and sends the bodies of trickling paths one byte
// at a time.
class TestHttpServer : public QObject
{
public:
    TestHttpServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    QString address() const { return u"http://127.0.0.1:%1"_s.arg(m_server.serverPort()); }
    void serve(const QByteArray& path, const QByteArray& body)
    {
        m_silent.remove(path);
        m_bodies.insert(path, body);
    }
    void keepSilent(const QByteArray& path) { m_silent.insert(path, true); }
    void trickle(const QByteArray& path, const QByteArray& body, int intervalMs)
    {
        serve(path, body);
        m_trickleMs.insert(path, intervalMs);
    }

    int connections() const { return m_connections; }
    const QList<QByteArray>& requests() const { return m_requests; }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            ++m_connections;
            auto* received = new QByteArray;
            connect(socket, &QObject::destroyed, socket, [received] { delete received; });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                *received += socket->readAll();
                if (received->contains("\r\n\r\n"))
                    answer(socket, received->split(' ').value(1));
            });
        }
    }

    void answer(QTcpSocket* socket, const QByteArray& path)
    {
        m_requests << path;
        if (m_silent.contains(path))
            return;
        const bool known = m_bodies.contains(path);
        const QByteArray body = m_bodies.value(path, "not here");
        socket->write(QByteArray(known ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                      "Content-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n");
        if (!m_trickleMs.contains(path)) {
            socket->write(body);
            socket->disconnectFromHost();
            return;
        }
        // The timer goes with the socket when the client hangs up.
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket,
                [socket, timer, body, sent = qsizetype(0)]() mutable {
                    socket->write(body.mid(sent++, 1));
                    if (sent == body.size()) {
                        timer->stop();
                        socket->disconnectFromHost();
                    }
                });
        timer->start(m_trickleMs.value(path));
    }

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_bodies;
    QHash<QByteArray, bool> m_silent;
    QHash<QByteArray, int> m_trickleMs;
    QList<QByteArray> m_requests;
    int m_connections = 0;
};

QStringList statusTexts(const QList<UpdateStatus>& statuses)
{
    QStringList texts;
    for (UpdateStatus status : statuses)
        texts << updateStatusText(status);
    return texts;
}

using Statuses = QList<UpdateStatus>;
const QString kDownloadedMessage =
        u"Downloaded an update! / Ruvo hat gerade ein Uprdate heruntergeladen, es wird "
        "aktualisiert!"_s;

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void acceptedAddresses_data();
    void acceptedAddresses();
    void outcomes_data();
    void outcomes();
    void noAddressNoNetwork();
    void silentServerGivesUpAfterTimeout();
    void tricklingServerGivesUpAtTheDeadline_data();
    void tricklingServerGivesUpAtTheDeadline();
    void unreadableVersionFileCountsAsDifferent();
    void plantedLinkIsReplacedNotFollowed_data();
    void plantedLinkIsReplacedNotFollowed();
    void statusBoxColours_data();
    void statusBoxColours();
    void splashStepsAsideForEveryBox_data();
    void splashStepsAsideForEveryBox();
    void noCheckWithoutSplash();
    void downloadedUpdateIsStartedInsteadOfMainLoop();
    void unstartableUpdateIsReportedAndStartUpGoesOn();

private:
    // Runs a check against the test server; returns the statuses shown.
    Statuses runCheck(const QString& address, bool* downloaded, int deadlineMs = 10000);
    // The server offers a newer version with this update program to a program folder that
    // checks at start.
    bool offerUpdateToProgram(const QByteArray& program);

    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<TestHttpServer> m_server;
    ScriptedPrompter m_prompter;
};

void TestUpdateCheck::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_server = std::make_unique<TestHttpServer>();
}

void TestUpdateCheck::cleanup()
{
    qunsetenv("RUVO_UPDATE_URL");
    m_server.reset();
    m_dir.reset();
    m_prompter.clear();
}

Statuses TestUpdateCheck::runCheck(const QString& address, bool* downloaded, int deadlineMs)
{
    UpdateCheck check(address, m_dir->filePath(u"current.ver"_s),
                      m_dir->filePath(u"program-update.exe"_s), m_prompter);
    check.setDeadline(deadlineMs);
    Statuses statuses;
    connect(&check, &UpdateCheck::statusChanged, this,
            [&statuses](UpdateStatus status) { statuses << status; });
    *downloaded = check.run();
    return statuses;
}

bool TestUpdateCheck::offerUpdateToProgram(const QByteArray& program)
{
    qputenv("RUVO_UPDATE_URL", m_server->address().toUtf8());
    m_server->serve(kVersionPath,
                    "0.69 Beta\n" +
                            QCryptographicHash::hash(program, QCryptographicHash::Sha256).toHex());
    m_server->serve(kProgramPath, program);
    writeFile(m_dir->filePath(u"prefs.ini"_s), "splash = 1\r\nupdate = 1\r\n");
    return createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s)) &&
           QFile::copy(builtImagePackPath(), m_dir->filePath(u"imgs.pak"_s));
}

void TestUpdateCheck::acceptedAddresses_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("versionUrl");
    QTest::newRow("https") << u"https://updates.example.org"_s
                           << u"https://updates.example.org/ruvo-updates/current.ver"_s;
    QTest::newRow("https below a folder, slash")
            << u"https://example.org/ruvo/"_s
            << u"https://example.org/ruvo/ruvo-updates/current.ver"_s;
    QTest::newRow("http loopback")
            << u"http://127.0.0.1:8080"_s << u"http://127.0.0.1:8080/ruvo-updates/current.ver"_s;
    QTest::newRow("http localhost")
            << u"http://LOCALHOST:1"_s << u"http://localhost:1/ruvo-updates/current.ver"_s;
    QTest::newRow("http ipv6 loopback")
            << u"http://[::1]:99"_s << u"http://[::1]:99/ruvo-updates/current.ver"_s;
    QTest::newRow("http elsewhere") << u"http://updates.example.org"_s << QString();
    QTest::newRow("http private network") << u"http://192.168.1.5"_s << QString();
    QTest::newRow("file") << u"file:///tmp"_s << QString();
    QTest::newRow("no scheme") << u"example.org"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestUpdateCheck::acceptedAddresses()
{
    QFETCH(QString, root);
    QFETCH(QString, versionUrl);
    const QUrl url = updateResourceUrl(root, u"/ruvo-updates/current.ver"_s);
    QCOMPARE(url.isValid(), !versionUrl.isEmpty());
    if (url.isValid())
        QCOMPARE(url.toString(), versionUrl);
}

void TestUpdateCheck::outcomes_data()
{
    QTest::addColumn<QByteArray>("versionFile"); // null: the server has none
    QTest::addColumn<QByteArray>("program");     // null: the server has none
    QTest::addColumn<Statuses>("statuses");
    QTest::addColumn<bool>("downloaded");
    QTest::addColumn<int>("requests");

    const QByteArray hash = kAbcSha256;
    const QByteArray abc = "abc";
    const Statuses upToDate{UpdateStatus::Searching, UpdateStatus::UpToDate};
    const Statuses fetched{UpdateStatus::Searching, UpdateStatus::Downloading};
    const Statuses failed{UpdateStatus::Searching, UpdateStatus::Downloading, UpdateStatus::Failed};

    QTest::newRow("same version, more lines") << "0.68 Beta\r\n" + hash + "\r\nchangelog\r\n"
                                              << abc << upToDate << false << 1;
    QTest::newRow("same version, no line end")
            << QByteArray("0.68 Beta") << abc << upToDate << false << 1;
    QTest::newRow("trailing blank") << "0.68 Beta \n" + hash + "\n" << abc << fetched << true << 2;
    QTest::newRow("other case") << "0.68 beta\n" + hash << abc << fetched << true << 2;
    QTest::newRow("newer, hash in capitals") << "0.69 Beta\n" + hash.toUpper() + "\n"
                                             << abc << fetched << true << 2;
    QTest::newRow("wrong hash") << "0.69 Beta\n" + hash + "\n"
                                << QByteArray("abd") << failed << false << 2;
    QTest::newRow("missing hash") << QByteArray("0.69 Beta\n") << abc << failed << false << 1;
    QTest::newRow("short hash") << "0.69 Beta\n" + hash.left(63) << abc << failed << false << 1;
    QTest::newRow("hash not hex") << "0.69 Beta\n" + hash.left(63) + "g" << abc << failed << false
                                  << 1;
    QTest::newRow("empty version file") << QByteArray("") << abc << failed << false << 1;
    QTest::newRow("no version file")
            << QByteArray() << abc << Statuses{UpdateStatus::Searching, UpdateStatus::NoConnection}
            << false << 1;
    QTest::newRow("no program") << "0.69 Beta\n" + hash << QByteArray() << failed << false << 2;
}

void TestUpdateCheck::outcomes()
{
    QFETCH(QByteArray, versionFile);
    QFETCH(QByteArray, program);
    QFETCH(Statuses, statuses);
    QFETCH(bool, downloaded);
    QFETCH(int, requests);
    if (!versionFile.isNull())
        m_server->serve(kVersionPath, versionFile);
    if (!program.isNull())
        m_server->serve(kProgramPath, program);
    const QString programFile = m_dir->filePath(u"program-update.exe"_s);
    writeFile(programFile, "left over from the last update");

    bool result = false;
    QCOMPARE(statusTexts(runCheck(m_server->address(), &result)), statusTexts(statuses));
    QCOMPARE(result, downloaded);
    QCOMPARE(m_server->requests().size(), requests);
    QCOMPARE(readFile(programFile), downloaded ? program : QByteArray("<missing>"));
    if (downloaded)
        QVERIFY(QFileInfo(programFile).isExecutable());
    QCOMPARE(m_prompter.transcript(), downloaded ? QStringList{kDownloadedMessage} : QStringList());
    QVERIFY(!QFile::exists(m_dir->filePath(u"current.ver"_s)));
}

void TestUpdateCheck::noAddressNoNetwork()
{
    writeFile(m_dir->filePath(u"program-update.exe"_s), "old");
    bool downloaded = true;
    for (const QString& address : {QString(), u"http://updates.example.org"_s}) {
        QCOMPARE(statusTexts(runCheck(address, &downloaded)),
                 statusTexts({UpdateStatus::Searching, UpdateStatus::NoConnection}));
        QVERIFY(!downloaded);
    }
    QVERIFY(!QFile::exists(m_dir->filePath(u"program-update.exe"_s)));
    QCOMPARE(m_server->connections(), 0);
}

void TestUpdateCheck::silentServerGivesUpAfterTimeout()
{
    m_server->keepSilent(kVersionPath);
    bool downloaded = true;
    QCOMPARE(statusTexts(runCheck(m_server->address(), &downloaded, 300)),
             statusTexts({UpdateStatus::Searching, UpdateStatus::NoConnection}));
    QVERIFY(!downloaded);
    QCOMPARE(m_server->requests(), QList<QByteArray>{kVersionPath});

    // The same for the program: the half-fetched file is not kept.
    m_server->serve(kVersionPath, "0.69 Beta\n" + QByteArray(kAbcSha256));
    m_server->keepSilent(kProgramPath);
    QCOMPARE(statusTexts(runCheck(m_server->address(), &downloaded, 300)),
             statusTexts(
                     {UpdateStatus::Searching, UpdateStatus::Downloading, UpdateStatus::Failed}));
    QVERIFY(!QFile::exists(m_dir->filePath(u"program-update.exe"_s)));
}

void TestUpdateCheck::tricklingServerGivesUpAtTheDeadline_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<Statuses>("statuses");
    QTest::newRow("version file") << kVersionPath
                                  << Statuses{UpdateStatus::Searching, UpdateStatus::NoConnection};
    QTest::newRow("program") << kProgramPath
                             << Statuses{UpdateStatus::Searching, UpdateStatus::Downloading,
                                         UpdateStatus::Failed};
}

void TestUpdateCheck::tricklingServerGivesUpAtTheDeadline()
{
    QFETCH(QByteArray, path);
    QFETCH(Statuses, statuses);
    // Each byte comes well within any time-out between bytes, the whole far beyond the deadline.
    const QByteArray program(40, 'x');
    const QByteArray hash = QCryptographicHash::hash(program, QCryptographicHash::Sha256).toHex();
    m_server->serve(kVersionPath, "0.69 Beta\n" + hash);
    m_server->serve(kProgramPath, program);
    m_server->trickle(path, path == kVersionPath ? "0.69 Beta\n" + hash : program, 50);
    bool downloaded = true;
    QCOMPARE(statusTexts(runCheck(m_server->address(), &downloaded, 300)), statusTexts(statuses));
    QVERIFY(!downloaded);
    QVERIFY(!QFile::exists(m_dir->filePath(u"program-update.exe"_s)));
}

void TestUpdateCheck::unreadableVersionFileCountsAsDifferent()
{
    // The same version as ours, but the local file cannot be written: a folder is in its place.
    QVERIFY(QDir(m_dir->path()).mkpath(u"current.ver/x"_s));
    m_server->serve(kVersionPath, "0.68 Beta\n" + QByteArray(kAbcSha256));
    m_server->serve(kProgramPath, "abc");
    bool downloaded = true;
    QCOMPARE(statusTexts(runCheck(m_server->address(), &downloaded)),
             statusTexts(
                     {UpdateStatus::Searching, UpdateStatus::Downloading, UpdateStatus::Failed}));
    QVERIFY(!downloaded);
    QVERIFY(!QFile::exists(m_dir->filePath(u"program-update.exe"_s)));
}

void TestUpdateCheck::plantedLinkIsReplacedNotFollowed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("version file") << u"current.ver"_s << true;
    QTest::newRow("version file, dangling link") << u"current.ver"_s << false;
    QTest::newRow("program") << u"program-update.exe"_s << true;
    QTest::newRow("program, dangling link") << u"program-update.exe"_s << false;
}

void TestUpdateCheck::plantedLinkIsReplacedNotFollowed()
{
    QFETCH(QString, name);
    QFETCH(bool, targetExists);
    const QString target = m_dir->filePath(u"elsewhere/target"_s);
    QVERIFY(QDir().mkpath(m_dir->filePath(u"elsewhere"_s)));
    if (targetExists)
        writeFile(target, "keep");
    QVERIFY(QFile::link(target, m_dir->filePath(name)));
    m_server->serve(kVersionPath, "0.69 Beta\n" + QByteArray(kAbcSha256));
    m_server->serve(kProgramPath, "abc");

    bool downloaded = false;
    runCheck(m_server->address(), &downloaded);
    QVERIFY(downloaded);
    QCOMPARE(readFile(target), targetExists ? QByteArray("keep") : QByteArray("<missing>"));
    QVERIFY(!QFileInfo(m_dir->filePath(u"current.ver"_s)).isSymLink());
    QVERIFY(!QFileInfo(m_dir->filePath(u"program-update.exe"_s)).isSymLink());
    QCOMPARE(readFile(m_dir->filePath(u"program-update.exe"_s)), QByteArray("abc"));
}

void TestUpdateCheck::statusBoxColours_data()
{
    QTest::addColumn<UpdateStatus>("status");
    QTest::addColumn<QRgb>("box");
    QTest::newRow("searching") << UpdateStatus::Searching << QRgb(0x222222);
    QTest::newRow("no connection") << UpdateStatus::NoConnection << QRgb(0x440000);
    QTest::newRow("downloading") << UpdateStatus::Downloading << QRgb(0x444444);
    QTest::newRow("error") << UpdateStatus::Failed << QRgb(0xFF0000);
    QTest::newRow("newest") << UpdateStatus::UpToDate << QRgb(0xAAAAAA);
}

void TestUpdateCheck::statusBoxColours()
{
    QFETCH(UpdateStatus, status);
    QFETCH(QRgb, box);
    const std::optional<ImagePack> pack = ImagePack::load(builtImagePackPath());
    QVERIFY(pack);
    SplashWindow splash(*pack);
    splash.showStatus(updateStatusText(status), updateStatusColour(status));
    const QImage& canvas = splash.canvas();
    // Corners far from the light and the bars of the splash background show the box as it is.
    for (const QPoint& corner : {QPoint(799, 379), QPoint(799, 0), QPoint(799, 200)})
        QCOMPARE(QColor(canvas.pixel(corner)), QColor(box | 0xff000000));
    // The text starts at (250, 260): its first letter lies in the box to the right and below.
    bool text = false;
    for (int y = 262; y < 276 && !text; ++y)
        text = canvas.pixel(252, y) != canvas.pixel(240, y);
    QVERIFY(text);
}

void TestUpdateCheck::splashStepsAsideForEveryBox_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("notice") << 0;
    QTest::newRow("warning") << 1;
    QTest::newRow("question") << 2;
    QTest::newRow("choice") << 3;
}

void TestUpdateCheck::splashStepsAsideForEveryBox()
{
    QFETCH(int, kind);
    const std::optional<ImagePack> pack = ImagePack::load(builtImagePackPath());
    QVERIFY(pack);
    SplashWindow splash(*pack);
    splash.unfold(QSize(1024, 768));
    QVERIFY(splash.isVisible());

    // Looks at the splash while the real box is open, then closes the box.
    bool boxSeen = false;
    bool splashUnderBox = true;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        boxSeen = true;
        splashUnderBox = splash.isVisible();
        box->reject();
    });
    poll.start(20);
    QtPrompter prompter;
    switch (kind) {
    case 0:
        prompter.inform(u"Downloaded an update!"_s, u"Text"_s);
        break;
    case 1:
        prompter.warn(u"Fehler"_s, u"Text"_s);
        break;
    case 2:
        prompter.askYesNo(u"Frage"_s, u"Text"_s);
        break;
    case 3:
        prompter.choose(u"Auswahl"_s, u"Text"_s, {u"a"_s, u"b"_s});
        break;
    }
    QVERIFY(boxSeen);
    QVERIFY(!splashUnderBox);
    QVERIFY(splash.isVisible()); // back once the box is closed
}

void TestUpdateCheck::noCheckWithoutSplash()
{
    qputenv("RUVO_UPDATE_URL", m_server->address().toUtf8());
    m_server->serve(kVersionPath, "0.69 Beta\n" + QByteArray(kAbcSha256));
    m_server->serve(kProgramPath, "abc");
    createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(QFile::copy(builtImagePackPath(), m_dir->filePath(u"imgs.pak"_s)));
    writeFile(m_dir->filePath(u"prefs.ini"_s), "splash = 0\r\nupdate = 1\r\n");

    // The main loop is entered, so end it from outside as soon as it runs.
    QTimer quit;
    connect(&quit, &QTimer::timeout, qApp, [] { QCoreApplication::exit(0); });
    quit.start(100);
    FixedClock clock(makeDate(2007, 9, 20, 19, 56, 0));
    Context context(m_dir->path(), m_prompter, clock);
    Application app(context);
    QCOMPARE(app.run(), 0);
    QCOMPARE(m_server->connections(), 0);
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestUpdateCheck::downloadedUpdateIsStartedInsteadOfMainLoop()
{
    // The update program notes where it runs and what it was given.
    const QByteArray program = "#!/bin/sh\n{ pwd; echo \"$1\"; } > started.tmp && "
                               "mv started.tmp started.txt\n";
    QVERIFY(offerUpdateToProgram(program));

    // Should the main loop be entered after all, it ends and the test fails below.
    QTimer quit;
    connect(&quit, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    quit.start(5000);
    FixedClock clock(makeDate(2007, 9, 20, 19, 56, 0));
    Context context(m_dir->path(), m_prompter, clock);
    Application app(context);
    QCOMPARE(app.run(), 0);
    QCOMPARE(m_prompter.transcript(), QStringList{kDownloadedMessage});
    // No shutdown sequence: the preferences are as they were and no recovery copy is made.
    QCOMPARE(readFile(m_dir->filePath(u"prefs.ini"_s)), QByteArray("splash = 1\r\nupdate = 1\r\n"));
    QVERIFY(!QFile::exists(m_dir->filePath(u"recovery.zr"_s)));

    const QString started = m_dir->filePath(u"started.txt"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), 5000);
    const QDir dir(m_dir->path());
    QCOMPARE(readFile(started), (dir.canonicalPath() + u'\n' + m_dir->path() + u'\n').toUtf8());
}

void TestUpdateCheck::unstartableUpdateIsReportedAndStartUpGoesOn()
{
    // Verified, but its interpreter does not exist.
    const QByteArray program = "#!/nonexistent/interpreter\n";
    QVERIFY(offerUpdateToProgram(program));

    // Ended from outside once the run is past the report; earlier it would end the downloads.
    QTimer quit;
    connect(&quit, &QTimer::timeout, qApp, [this] {
        if (m_prompter.calls().size() >= 2)
            QCoreApplication::exit(0);
    });
    quit.start(50);
    QTimer::singleShot(20000, &quit, [] { QCoreApplication::exit(1); });
    FixedClock clock(makeDate(2007, 9, 20, 19, 56, 0));
    Context context(m_dir->path(), m_prompter, clock);
    Application app(context);
    QCOMPARE(app.run(), 0);
    QCOMPARE(m_prompter.transcript(),
             (QStringList{kDownloadedMessage,
                          u"Fehler / Das Update-Programm „%1“ konnte nicht gestartet werden. Ruvo "
                          "läuft in der bisherigen Version weiter."_s.arg(
                                  m_dir->filePath(u"program-update.exe"_s))}));
    QVERIFY(QFile::exists(m_dir->filePath(u"recovery.zr"_s))); // the regular exit
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
