#include "support/radicaleserver.h"
#include "support/testdatabase.h"

#include "addresses/addressstore.h"
#include "common/datevalue.h"
#include "sync/collectionsync.h"
#include "sync/davclient.h"
#include "sync/discovery.h"
#include "sync/multistatus.h"
#include "sync/subscription.h"
#include "sync/synccommand.h"
#include "sync/syncrun.h"

#include <QDir>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString kCalendarPath = u"anna/privat/"_s;

// A calendar "Privat" and an address book "Kontakte", made as Radicale stores them.
void makeCollections(const RadicaleServer& server)
{
    const QString root = server.storagePath() + u"/collection-root/"_s;
    writeFile(
            root + kCalendarPath + u".Radicale.props"_s,
            R"({"tag": "VCALENDAR", "D:displayname": "Privat", "C:supported-calendar-component-set": "VEVENT,VTODO"})"_ba);
    writeFile(root + u"anna/kontakte/.Radicale.props"_s,
              R"({"tag": "VADDRESSBOOK", "D:displayname": "Kontakte"})"_ba);
}

QByteArray phoneEvent(const QByteArray& uid, const QByteArray& summary,
                      const QByteArray& extra = {})
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefon//DE\r\nBEGIN:VEVENT\r\nUID:"_ba +
           uid +
           "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20261203T140000\r\nDTEND:20261203T150000\r\n"
           "SUMMARY:"_ba +
           summary + "\r\n"_ba + extra + "END:VEVENT\r\nEND:VCALENDAR\r\n"_ba;
}

// The SUMMARY of every object the server holds, sorted: read from its storage, not through the
// code under test.
QStringList serverSummaries(const RadicaleServer& server, const QString& path = kCalendarPath)
{
    QStringList summaries;
    const QDir dir(server.storagePath() + u"/collection-root/"_s + path);
    for (const QString& name : dir.entryList({u"*.ics"_s}, QDir::Files)) {
        const QByteArray text = readFile(dir.filePath(name));
        for (const QByteArray& line : text.split('\n')) {
            if (line.startsWith("SUMMARY:"))
                summaries << QString::fromUtf8(line.mid(8).trimmed());
        }
    }
    summaries.sort();
    return summaries;
}

QStringList localTexts(Database& db)
{
    return queryRows(db,
                     u"SELECT desc FROM termine UNION ALL SELECT desc FROM todo ORDER BY 1 ;"_s);
}

// A server that answers every request with the same bytes, or with what `answer` makes of the
// request.
class FixedServer : public QTcpServer
{
public:
    explicit FixedServer(QByteArray answer)
        : FixedServer([answer](const QByteArray&) { return answer; })
    {}
    explicit FixedServer(std::function<QByteArray(const QByteArray&)> answer)
        : m_answer(std::move(answer))
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    const qsizetype head = m_request.indexOf("\r\n\r\n");
                    if (head < 0)
                        return;
                    const qsizetype at = m_request.toLower().indexOf("content-length:");
                    const qsizetype length =
                            at < 0 ? 0
                                   : m_request.mid(at + 15, m_request.indexOf('\r', at) - at - 15)
                                             .trimmed()
                                             .toLongLong();
                    if (m_request.size() < head + 4 + length)
                        return;
                    socket->write(m_answer(m_request));
                    m_request.clear();
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QUrl url() const { return QUrl(u"http://127.0.0.1:%1/"_s.arg(serverPort())); }

private:
    std::function<QByteArray(const QByteArray&)> m_answer;
    QByteArray m_request;
};

// Passes requests on to a server on this machine until the PUT numbered `cutAt`, at which it
// calls `cut` (killing the server) and drops the connection: before passing that PUT on, or
// after the server stored it but before its answer arrives here.
class CuttingProxy : public QTcpServer
{
public:
    CuttingProxy(quint16 target, std::function<void()> cut)
        : m_target(target)
        , m_cut(std::move(cut))
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = nextPendingConnection())
                relay(client);
        });
    }
    QUrl url() const { return QUrl(u"http://127.0.0.1:%1/"_s.arg(serverPort())); }
    void cutAtPut(int number, bool afterStoring)
    {
        m_cutAt = number;
        m_afterStoring = afterStoring;
        m_puts = 0;
    }

private:
    void relay(QTcpSocket* client)
    {
        auto* server = new QTcpSocket(client);
        auto* pending = new QByteArray;
        auto* cutOnAnswer = new bool(false);
        connect(client, &QObject::destroyed, [pending, cutOnAnswer] {
            delete pending;
            delete cutOnAnswer;
        });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        server->connectToHost(QHostAddress::LocalHost, m_target);
        if (!server->waitForConnected(2000)) {
            client->abort();
            return;
        }
        const auto cut = [this, client] {
            m_cutAt = 0;
            m_cut();
            client->abort();
        };
        connect(server, &QTcpSocket::readyRead, client, [client, server, cutOnAnswer, cut] {
            if (*cutOnAnswer)
                return cut();
            client->write(server->readAll());
        });
        connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::readyRead, server, [=, this] {
            *pending += client->readAll();
            for (;;) {
                const qsizetype head = pending->indexOf("\r\n\r\n");
                if (head < 0)
                    return;
                const qsizetype at = pending->left(head).toLower().indexOf("content-length:");
                const qsizetype length =
                        at < 0 ? 0
                               : pending->mid(at + 15, pending->indexOf('\r', at) - at - 15)
                                         .trimmed()
                                         .toLongLong();
                if (pending->size() < head + 4 + length)
                    return;
                if (pending->startsWith("PUT ") && m_cutAt > 0 && ++m_puts == m_cutAt) {
                    if (!m_afterStoring)
                        return cut();
                    *cutOnAnswer = true;
                }
                server->write(pending->left(head + 4 + length));
                pending->remove(0, head + 4 + length);
            }
        });
    }

    quint16 m_target;
    std::function<void()> m_cut;
    int m_cutAt = 0;
    int m_puts = 0;
    bool m_afterStoring = false;
};

QByteArray httpAnswer(const QByteArray& status, const QByteArray& body)
{
    return "HTTP/1.1 "_ba + status + "\r\nContent-Type: application/xml\r\nContent-Length: "_ba +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n"_ba + body;
}

// A TLS server on 127.0.0.1 with a certificate of its own making, which no system trusts.
class SelfSignedServer : public QSslServer
{
public:
    bool start()
    {
        if (!m_dir.isValid())
            return false;
        QProcess openssl;
        openssl.start(u"openssl"_s,
                      {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                       u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-days"_s, u"2"_s,
                       u"-subj"_s, u"/CN=127.0.0.1"_s, u"-keyout"_s, m_dir.filePath(u"key.pem"_s),
                       u"-out"_s, m_dir.filePath(u"cert.pem"_s)});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            return false;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        const QList<QSslCertificate> chain =
                QSslCertificate::fromPath(m_dir.filePath(u"cert.pem"_s));
        QSslKey key(readFile(m_dir.filePath(u"key.pem"_s)), QSsl::Ec);
        if (chain.isEmpty() || key.isNull())
            return false;
        tls.setLocalCertificateChain(chain);
        tls.setPrivateKey(key);
        setSslConfiguration(tls);
        return listen(QHostAddress::LocalHost, 0);
    }
    QUrl url() const { return QUrl(u"https://127.0.0.1:%1/"_s.arg(serverPort())); }

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestSync : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void multistatus_data();
    void multistatus();
    void refusedAddresses_data();
    void refusedAddresses();
    void discovery();
    void firstSyncBothWaysThenNothing();
    void changesArrive_data();
    void changesArrive();
    void seriesWithDeletedMember();
    void calendarGroups_data();
    void calendarGroups();
    void cutOffSyncContinues();
    void serverKilledWhileSending_data();
    void serverKilledWhileSending();
    void subscriptions_data();
    void subscriptions();
    void runRefreshesSubscriptions_data();
    void runRefreshesSubscriptions();
    void addressesSyncBothWays();
    void commandSyncs();
    void failuresChangeNothing_data();
    void failuresChangeNothing();

private:
    SyncSummary syncOnce();
    DavClient& phone();

    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<RadicaleServer> m_server;
    std::unique_ptr<DavClient> m_phone;
};

void TestSync::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
}

void TestSync::cleanup()
{
    m_phone.reset();
    m_server.reset();
    m_db.reset();
    m_dir.reset();
}

DavClient& TestSync::phone()
{
    if (!m_phone)
        m_phone = std::make_unique<DavClient>(m_server->user(), m_server->password());
    return *m_phone;
}

SyncSummary TestSync::syncOnce()
{
    DavClient client(m_server->user(), m_server->password());
    const DiscoveryResult found = discoverCollections(client, m_server->url());
    if (!found.error.isEmpty())
        return {0, 0, 0, 0, {}, found.error};
    return CollectionSync(*m_db, client, 2026).run(found.calendars);
}

void TestSync::multistatus_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("expected"); // href|etag|status per response, or "invalid"

    const QByteArray head = R"(<?xml version="1.0"?><d:multistatus xmlns:d="DAV:">)"_ba;
    const QByteArray ok =
            R"(<d:response><d:href>/a/1.ics</d:href><d:propstat><d:prop><d:getetag>"e1"</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat><d:propstat><d:prop><d:displayname/></d:prop><d:status>HTTP/1.1 404 Not Found</d:status></d:propstat></d:response>)"_ba;
    QTest::newRow("etag, 404 property dropped")
            << head + ok + "</d:multistatus>"_ba << u"/a/1.ics|\"e1\"|0"_s;
    QTest::newRow("deleted member")
            << head + "<d:response><d:href>/a/2.ics</d:href><d:status>HTTP/1.1 404 Not Found"
                      "</d:status></d:response><d:sync-token>t2</d:sync-token></d:multistatus>"_ba
            << u"/a/2.ics||404"_s;
    QTest::newRow("other prefix")
            << R"(<m:multistatus xmlns:m="DAV:"><m:response><m:href>/x/</m:href><m:propstat><m:prop><m:getetag>"q"</m:getetag></m:prop><m:status>HTTP/1.1 200 OK</m:status></m:propstat></m:response></m:multistatus>)"_ba
            << u"/x/|\"q\"|0"_s;
    QTest::newRow("empty") << QByteArray() << u"invalid"_s;
    QTest::newRow("html") << "<html><body>Fehler</body></html>"_ba << u"invalid"_s;
    QTest::newRow("cut off") << head + ok.left(60) << u"invalid"_s;
    QTest::newRow("junk after the end") << head + "</d:multistatus><x/>"_ba << u"invalid"_s;
    QTest::newRow("response without href")
            << head + "<d:response><d:status>HTTP/1.1 200 OK</d:status></d:response></d:multistatus>"_ba
            << u"invalid"_s;
    QTest::newRow("root in another namespace")
            << R"(<multistatus xmlns="urn:x"><response/></multistatus>)"_ba << u"invalid"_s;
}

void TestSync::multistatus()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, expected);
    const std::optional<Multistatus> parsed = parseMultistatus(xml);
    if (expected == u"invalid"_s) {
        QVERIFY(!parsed);
        return;
    }
    QVERIFY(parsed);
    QStringList rows;
    for (const DavResource& r : parsed->resources)
        rows << r.href + u'|' + r.property(kDavNs, "getetag") + u'|' + QString::number(r.status);
    QCOMPARE(rows.join(u'\n'), expected);
}

void TestSync::refusedAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("https") << u"https://dav.example.org/"_s << true;
    QTest::newRow("http loopback") << u"http://127.0.0.1:5232/"_s << true;
    QTest::newRow("http localhost") << u"http://localhost/dav/"_s << true;
    QTest::newRow("http elsewhere") << u"http://dav.example.org/"_s << false;
    QTest::newRow("ftp") << u"ftp://127.0.0.1/"_s << false;
    QTest::newRow("no host") << u"https:///x"_s << false;
}

void TestSync::refusedAddresses()
{
    QFETCH(QString, url);
    QFETCH(bool, accepted);
    QCOMPARE(isAcceptedSyncUrl(QUrl(url)), accepted);
    if (!accepted) {
        DavClient client(u"a"_s, u"b"_s);
        const DavReply reply = client.propfind(QUrl(url), 0, {});
        QCOMPARE(reply.error, DavError::RefusedAddress);
    }
}

void TestSync::discovery()
{
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    DavClient client(m_server->user(), m_server->password());
    const DiscoveryResult found = discoverCollections(client, m_server->url());
    QCOMPARE(found.error, QString());
    QCOMPARE(found.principal.path(), u"/anna/"_s);
    QCOMPARE(found.calendars.size(), 1);
    QCOMPARE(found.calendars[0].displayName, u"Privat"_s);
    QCOMPARE(found.calendars[0].url.path(), u"/anna/privat/"_s);
    QVERIFY(!found.calendars[0].syncToken.isEmpty());
    QVERIFY(!found.calendars[0].ctag.isEmpty());
    QCOMPARE(found.addressBooks.size(), 1);
    QCOMPARE(found.addressBooks[0].displayName, u"Kontakte"_s);
}

void TestSync::firstSyncBothWaysThenNothing()
{
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    insertTestAppointment(*m_db, {makeDate(2026, 12, 1, 9, 0, 1), makeDate(2026, 12, 1, 10, 0, 1),
                                  6, u"Zahnarzt mit `Anna`"_s});
    const qint64 head = insertTestAppointment(*m_db, {makeDate(2026, 12, 2, 18, 0, 1),
                                                      makeDate(2026, 12, 2, 19, 0, 1), 6, u"Chor"_s,
                                                      0, 0, 0, u"Wöchentlich"_s});
    QVERIFY(m_db->execSql(u"UPDATE termine SET belong=%1 WHERE id=%1 ;"_s.arg(head)));
    for (const int day : {9, 16})
        insertTestAppointment(*m_db,
                              {makeDate(2026, 12, day, 18, 0, 1), makeDate(2026, 12, day, 19, 0, 1),
                               6, u"Chor"_s, 0, 0, head, u"Wöchentlich"_s});
    QVERIFY(m_db->execSql(u"INSERT INTO todo (enddate, desc, remsg, checked, nextmsg) VALUES "
                          u"(-1, 'Steuer', 0, 0, 0) ;"_s));
    const QUrl calendar = m_server->url().resolved(QUrl(u"/"_s + kCalendarPath));
    QVERIFY(phone().put(calendar.resolved(QUrl(u"lauf.ics"_s)),
                        phoneEvent("lauf", "Lauftreff", "RRULE:FREQ=DAILY;COUNT=2\r\n"),
                        "text/calendar", {{}, true})
                    .ok());

    const SyncSummary first = syncOnce();
    QCOMPARE(first.error, QString());
    QCOMPARE(first.received, 1);
    QCOMPARE(first.sent, 3);
    QCOMPARE(localTexts(*m_db),
             QStringList({u"Chor"_s, u"Chor"_s, u"Chor"_s, u"Lauftreff"_s, u"Lauftreff"_s,
                          u"Steuer"_s, u"Zahnarzt mit `Anna`"_s}));
    QCOMPARE(serverSummaries(*m_server),
             QStringList({u"Chor"_s, u"Lauftreff"_s, u"Steuer"_s, u"Zahnarzt mit 'Anna'"_s}));
    // The phone's series is one series here.
    QCOMPARE(queryNumber(*m_db,
                         u"SELECT COUNT(DISTINCT belong) FROM termine WHERE desc='Lauftreff' "
                         u"AND belong != 0 ;"_s),
             1);

    const QStringList rows = queryRows(*m_db, u"SELECT * FROM termine ORDER BY id ;"_s);
    const SyncSummary second = syncOnce();
    QCOMPARE(second.text(), u"Synchronisiert: 0 empfangen, 0 gesendet, 0 hier gelöscht, 0 auf "
                            u"dem Server gelöscht."_s);
    QCOMPARE(queryRows(*m_db, u"SELECT * FROM termine ORDER BY id ;"_s), rows);
    QCOMPARE(serverSummaries(*m_server).size(), 4);
}

void TestSync::changesArrive_data()
{
    QTest::addColumn<QString>("here");  // "", "edit" or "delete"
    QTest::addColumn<QString>("there"); // "", "edit" or "delete"
    QTest::addColumn<QStringList>("local");
    QTest::addColumn<QStringList>("server");

    QTest::newRow("edited here") << u"edit"_s << QString() << QStringList{u"Zahnärztin"_s}
                                 << QStringList{u"Zahnärztin"_s};
    QTest::newRow("deleted here") << u"delete"_s << QString() << QStringList{} << QStringList{};
    QTest::newRow("edited there") << QString() << u"edit"_s << QStringList{u"Kieferorthopäde"_s}
                                  << QStringList{u"Kieferorthopäde"_s};
    QTest::newRow("deleted there") << QString() << u"delete"_s << QStringList{} << QStringList{};
    QTest::newRow("edited on both sides")
            << u"edit"_s << u"edit"_s
            << QStringList{u"Kieferorthopäde"_s, u"Zahnärztin (Konflikt)"_s}
            << QStringList{u"Kieferorthopäde"_s, u"Zahnärztin (Konflikt)"_s};
    QTest::newRow("edited here, deleted there")
            << u"edit"_s << u"delete"_s << QStringList{u"Zahnärztin"_s}
            << QStringList{u"Zahnärztin"_s};
    QTest::newRow("deleted here, edited there")
            << u"delete"_s << u"edit"_s << QStringList{u"Kieferorthopäde"_s}
            << QStringList{u"Kieferorthopäde"_s};
}

void TestSync::changesArrive()
{
    QFETCH(QString, here);
    QFETCH(QString, there);
    QFETCH(QStringList, local);
    QFETCH(QStringList, server);

    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    const qint64 id =
            insertTestAppointment(*m_db, {makeDate(2026, 12, 1, 9, 0, 1),
                                          makeDate(2026, 12, 1, 10, 0, 1), 6, u"Zahnarzt"_s});
    QCOMPARE(syncOnce().error, QString());
    const QUrl object = m_server->url().resolved(
            QUrl(u"/"_s + kCalendarPath + u"ruvo-termin-"_s + QString::number(id) + u".ics"_s));

    if (here == u"edit"_s)
        QVERIFY(m_db->execSql(u"UPDATE termine SET desc='Zahnärztin' ;"_s));
    else if (here == u"delete"_s)
        QVERIFY(m_db->execSql(u"DELETE FROM termine ;"_s));
    if (there == u"edit"_s) {
        const DavReply got = phone().get(object);
        QVERIFY(got.ok());
        QByteArray text = got.body;
        text.replace("SUMMARY:Zahnarzt", "SUMMARY:Kieferorthop\xc3\xa4"
                                         "de");
        QVERIFY(phone().put(object, text, "text/calendar", {got.etag, false}).ok());
    } else if (there == u"delete"_s) {
        QVERIFY(phone().remove(object, {}).ok());
    }

    const SyncSummary summary = syncOnce();
    QCOMPARE(summary.error, QString());
    QCOMPARE(localTexts(*m_db), local);
    QCOMPARE(serverSummaries(*m_server), server);
    QCOMPARE(summary.conflicts.size(), here == u"edit"_s && there == u"edit"_s ? 1 : 0);
    // And the next run agrees.
    QCOMPARE(syncOnce().text(), u"Synchronisiert: 0 empfangen, 0 gesendet, 0 hier gelöscht, 0 "
                                u"auf dem Server gelöscht."_s);
}

void TestSync::seriesWithDeletedMember()
{
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    qint64 head = 0;
    for (const int day : {2, 9, 16, 23}) {
        const qint64 id = insertTestAppointment(*m_db, {makeDate(2026, 12, day, 18, 0, 1),
                                                        makeDate(2026, 12, day, 19, 0, 1), 6,
                                                        u"Chor"_s, 0, 0, head, u"Wöchentlich"_s});
        if (head == 0) {
            head = id;
            QVERIFY(m_db->execSql(u"UPDATE termine SET belong=%1 WHERE id=%1 ;"_s.arg(id)));
        }
    }
    QVERIFY(m_db->execSql(
            u"DELETE FROM termine WHERE date=%1 ;"_s.arg(makeDate(2026, 12, 9, 18, 0, 1))));
    QCOMPARE(syncOnce().sent, 1);
    const QUrl object = m_server->url().resolved(
            QUrl(u"/"_s + kCalendarPath + u"ruvo-serie-"_s + QString::number(head) + u".ics"_s));
    const DavReply got = phone().get(object);
    QVERIFY(got.body.contains("EXDATE"));

    // The phone drops another member; the series here loses just that one.
    QByteArray text = got.body;
    const qsizetype at = text.indexOf("EXDATE");
    QByteArray exdate = text.mid(at, text.indexOf('\n', at) + 1 - at);
    text.insert(at, exdate.replace("20261209", "20261216"));
    QVERIFY(phone().put(object, text, "text/calendar", {got.etag, false}).ok());
    const SyncSummary summary = syncOnce();
    QCOMPARE(summary.error, QString());
    QCOMPARE(summary.received, 1);
    QCOMPARE(queryRows(*m_db, u"SELECT date FROM termine ORDER BY date ;"_s),
             QStringList({QString::number(makeDate(2026, 12, 2, 18, 0, 1)),
                          QString::number(makeDate(2026, 12, 23, 18, 0, 1))}));
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(DISTINCT belong) FROM termine ;"_s), 1);
}

void TestSync::calendarGroups_data()
{
    QTest::addColumn<QString>("choice"); // calendar=group, by the calendar's folder
    QTest::addColumn<QStringList>("local");
    QTest::addColumn<QString>("server"); // summaries in "Privat" | in "Arzt"

    QTest::newRow("by name, else the first ordinary group")
            << QString() << QStringList{u"Arzt vom Telefon|7"_s, u"Privat vom Telefon|5"_s}
            << u"Fünf, Privat vom Telefon, Sechs | Arzt vom Telefon, Sieben"_s;
    QTest::newRow("chosen") << u"privat=6,arzt=5"_s
                            << QStringList{u"Arzt vom Telefon|5"_s, u"Privat vom Telefon|6"_s}
                            << u"Privat vom Telefon, Sechs | Arzt vom Telefon, Fünf, Sieben"_s;
    QTest::newRow("chosen group deleted since")
            << u"privat=12,arzt=99"_s
            << QStringList{u"Arzt vom Telefon|7"_s, u"Privat vom Telefon|5"_s}
            << u"Fünf, Privat vom Telefon, Sechs | Arzt vom Telefon, Sieben"_s;
}

void TestSync::calendarGroups()
{
    QFETCH(QString, choice);
    QFETCH(QStringList, local);
    QFETCH(QString, server);

    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    writeFile(m_server->storagePath() + u"/collection-root/anna/arzt/.Radicale.props"_s,
              R"({"tag": "VCALENDAR", "D:displayname": "Arzt"})"_ba);
    for (const QString& name : {u"privat"_s, u"arzt"_s}) {
        const QByteArray summary = (name == u"arzt"_s ? "Arzt"_ba : "Privat"_ba) + " vom Telefon";
        QVERIFY(phone().put(m_server->url().resolved(QUrl(u"/anna/%1/tel.ics"_s.arg(name))),
                            phoneEvent(name.toUtf8(), summary), "text/calendar", {{}, true})
                        .ok());
    }
    for (const auto& [group, text] : {std::pair(5, u"Fünf"_s), {6, u"Sechs"_s}, {7, u"Sieben"_s}})
        insertTestAppointment(*m_db, {makeDate(2026, 12, group, 9, 0, 1),
                                      makeDate(2026, 12, group, 10, 0, 1), group, text});

    DavClient client(m_server->user(), m_server->password());
    const DiscoveryResult found = discoverCollections(client, m_server->url());
    QCOMPARE(found.calendars.size(), 2);
    QHash<QString, int> groups;
    for (const QString& pair : choice.split(u',', Qt::SkipEmptyParts)) {
        const QUrl url =
                m_server->url().resolved(QUrl(u"/anna/"_s + pair.section(u'=', 0, 0) + u'/'));
        groups.insert(url.toString(), pair.section(u'=', 1).toInt());
    }
    CollectionSync sync(*m_db, client, 2026);
    sync.setCalendarGroups(groups);
    QCOMPARE(sync.run(found.calendars).error, QString());
    QCOMPARE(queryRows(*m_db, u"SELECT desc, grup FROM termine WHERE desc LIKE '%Telefon' ORDER "
                              u"BY desc ;"_s),
             local);
    QCOMPARE(serverSummaries(*m_server).join(u", "_s) + u" | "_s +
                     serverSummaries(*m_server, u"anna/arzt/"_s).join(u", "_s),
             server);
}

void TestSync::cutOffSyncContinues()
{
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    insertTestAppointment(*m_db, {makeDate(2026, 12, 1, 9, 0, 1), makeDate(2026, 12, 1, 10, 0, 1),
                                  6, u"Zahnarzt"_s});
    const QUrl calendar = m_server->url().resolved(QUrl(u"/"_s + kCalendarPath));
    QVERIFY(phone().put(calendar.resolved(QUrl(u"lauf.ics"_s)), phoneEvent("lauf", "Lauftreff"),
                        "text/calendar", {{}, true})
                    .ok());

    // The server goes away between discovery and the sync: nothing changes here.
    DavClient client(m_server->user(), m_server->password());
    const DiscoveryResult found = discoverCollections(client, m_server->url());
    m_server->stop();
    const QStringList before = queryRows(*m_db, u"SELECT * FROM termine ORDER BY id ;"_s);
    QVERIFY(CollectionSync(*m_db, client, 2026)
                    .run(found.calendars)
                    .error.contains(u"nicht erreichbar"_s));
    QCOMPARE(queryRows(*m_db, u"SELECT * FROM termine ORDER BY id ;"_s), before);
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));

    // A run whose writes reached the server but whose notes of them were lost.
    QCOMPARE(syncOnce().error, QString());
    QVERIFY(m_db->execSql(u"DELETE FROM sync_items ; DELETE FROM sync_collections ;"_s));
    QVERIFY(m_db->execSql(u"DELETE FROM termine WHERE desc='Lauftreff' ;"_s));
    const SyncSummary again = syncOnce();
    QCOMPARE(again.error, QString());
    QCOMPARE(localTexts(*m_db), QStringList({u"Lauftreff"_s, u"Zahnarzt"_s}));
    QCOMPARE(serverSummaries(*m_server), QStringList({u"Lauftreff"_s, u"Zahnarzt"_s}));
    QCOMPARE(syncOnce().text(), u"Synchronisiert: 0 empfangen, 0 gesendet, 0 hier gelöscht, 0 "
                                u"auf dem Server gelöscht."_s);
}

void TestSync::serverKilledWhileSending_data()
{
    QTest::addColumn<bool>("edits");  // new items, or edits of items the server holds
    QTest::addColumn<bool>("stored"); // whether the server stored the PUT it could not confirm

    QTest::newRow("new, the cut one lost") << false << false;
    QTest::newRow("new, the cut one stored") << false << true;
    QTest::newRow("edits, the cut one lost") << true << false;
    QTest::newRow("edits, the cut one stored") << true << true;
}

void TestSync::serverKilledWhileSending()
{
    QFETCH(bool, edits);
    QFETCH(bool, stored);

    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    CuttingProxy proxy(quint16(m_server->url().port()), [this] { m_server->kill(); });
    QStringList names;
    for (int i = 1; i <= 5; ++i) {
        names << u"Termin %1"_s.arg(i);
        insertTestAppointment(*m_db, {makeDate(2026, 12, i, 9, 0, 1),
                                      makeDate(2026, 12, i, 10, 0, 1), 6, names.back()});
    }
    const auto sync = [&] {
        DavClient client(m_server->user(), m_server->password());
        const DiscoveryResult found = discoverCollections(client, proxy.url());
        if (!found.error.isEmpty())
            return SyncSummary{0, 0, 0, 0, {}, found.error};
        return CollectionSync(*m_db, client, 2026).run(found.calendars);
    };
    if (edits) {
        QCOMPARE(sync().sent, 5);
        QVERIFY(m_db->execSql(u"UPDATE termine SET desc=desc || ' neu' ;"_s));
        for (QString& name : names)
            name += u" neu"_s;
    }
    proxy.cutAtPut(3, stored);
    const SyncSummary cut = sync();
    QVERIFY2(cut.error.contains(u"ist nicht erreichbar"_s), qPrintable(cut.text()));
    QCOMPARE(cut.error.count(u'\n'), 0);
    QVERIFY(!m_server->isRunning());

    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    const SyncSummary again = sync();
    QCOMPARE(again.error, QString());
    QCOMPARE(again.conflicts, QStringList());
    QCOMPARE(localTexts(*m_db), names);
    QCOMPARE(serverSummaries(*m_server), names);
    QCOMPARE(sync().text(), u"Synchronisiert: 0 empfangen, 0 gesendet, 0 hier gelöscht, 0 auf "
                            u"dem Server gelöscht."_s);
}

void TestSync::subscriptions_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QStringList>("rows"); // of group 7 afterwards, the user's own included
    QTest::addColumn<QString>("result");   // rows, "unchanged", or a part of the error

    const QStringList first{u"Eigener Termin|7"_s, u"Heilige Drei Könige|7"_s, u"Neujahr|7"_s,
                            u"Schule|7"_s};
    QTest::newRow("unchanged, by ETag") << u"same"_s << first << u"unchanged"_s;
    QTest::newRow("unchanged, without ETag") << u"same without etag"_s << first << u"unchanged"_s;
    QTest::newRow("changed") << u"changed"_s
                             << QStringList{u"Eigener Termin|7"_s, u"Neujahr|7"_s,
                                            u"Rosenmontag|7"_s, u"Rosenmontag|7"_s, u"Schule|7"_s}
                             << u"3"_s;
    QTest::newRow("not iCalendar")
            << u"html"_s << first << u"liefert keinen verwendbaren Kalender: Die Datei ist keine"_s;
    QTest::newRow("cut off") << u"cut"_s << first << u"liefert keinen verwendbaren Kalender"_s;
    QTest::newRow("gone") << u"404"_s << first << u"hat mit 404"_s;
    QTest::newRow("plain http elsewhere") << u"refused"_s << first << u"wird nicht verwendet"_s;
    QTest::newRow("dropped") << u"drop"_s << QStringList{u"Eigener Termin|7"_s, u"Schule|7"_s}
                             << u"0"_s;
}

void TestSync::subscriptions()
{
    QFETCH(QString, then);
    QFETCH(QStringList, rows);
    QFETCH(QString, result);

    const QByteArray head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Feiertage//DE\r\n"_ba;
    const auto event = [](const QByteArray& uid, const QByteArray& day, const QByteArray& name,
                          const QByteArray& extra = {}) {
        return "BEGIN:VEVENT\r\nUID:"_ba + uid +
               "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:"_ba + day + "\r\nSUMMARY:"_ba +
               name + "\r\n"_ba + extra + "END:VEVENT\r\n"_ba;
    };
    QByteArray feed = head + event("1", "20270101", "Neujahr") +
                      event("2", "20270106", "Heilige Drei K\xc3\xb6nige") + "END:VCALENDAR\r\n"_ba;
    QByteArray status = "200 OK";
    QByteArray etag = "\"v1\"";
    QByteArray askedWith;
    bool sawAccount = false;
    FixedServer server([&](const QByteArray& request) {
        sawAccount |= request.toLower().contains("authorization:");
        const qsizetype at = request.toLower().indexOf("if-none-match:");
        askedWith = at < 0 ? QByteArray()
                           : request.mid(at + 14, request.indexOf('\r', at) - at - 14).trimmed();
        if (!etag.isEmpty() && askedWith == etag)
            return "HTTP/1.1 304 Not Modified\r\nETag: "_ba + etag +
                   "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"_ba;
        return "HTTP/1.1 "_ba + status + "\r\nContent-Type: text/calendar\r\n"_ba +
               (etag.isEmpty() ? QByteArray() : "ETag: "_ba + etag + "\r\n"_ba) +
               "Content-Length: "_ba + QByteArray::number(feed.size()) +
               "\r\nConnection: close\r\n\r\n"_ba + feed;
    });
    // The user's own appointment in the same group, and another subscription's.
    insertTestAppointment(*m_db, {makeDate(2027, 1, 1, 9, 0, 1), makeDate(2027, 1, 1, 10, 0, 1), 7,
                                  u"Eigener Termin"_s});
    const Subscription holidays{server.url().resolved(QUrl(u"feiertage.ics"_s)).toString(), 7};
    const Subscription school{server.url().resolved(QUrl(u"schule.ics"_s)).toString(), 7};
    const QByteArray holidayFeed = feed;
    feed = head + event("s", "20270110", "Schule") + "END:VCALENDAR\r\n"_ba;
    DavClient client(u"anna"_s, u"geheim"_s);
    QCOMPARE(refreshSubscription(*m_db, client, school, 2026).rows, 1);
    feed = holidayFeed;
    if (then == u"same without etag"_s)
        etag.clear();
    QVERIFY(subscriptionDue(*m_db, holidays.url, QDateTime::currentDateTime()));
    const SubscriptionResult first = refreshSubscription(*m_db, client, holidays, 2026);
    QCOMPARE(first.error, QString());
    QCOMPARE(first.rows, 2);
    QVERIFY(!subscriptionDue(*m_db, holidays.url, QDateTime::currentDateTime()));
    QVERIFY(subscriptionDue(*m_db, holidays.url, QDateTime::currentDateTime().addDays(1)));
    const auto groupRows = [this] {
        return queryRows(*m_db, u"SELECT desc, grup FROM termine WHERE grup=7 ORDER BY desc ;"_s);
    };
    const QStringList before = queryRows(*m_db, u"SELECT * FROM termine ORDER BY id ;"_s);

    SubscriptionResult second;
    if (then == u"drop"_s) {
        QVERIFY(dropSubscription(*m_db, holidays.url));
    } else {
        if (then == u"changed"_s)
            feed = head + event("1", "20270101", "Neujahr") +
                   event("3", "20270208", "Rosenmontag", "RRULE:FREQ=YEARLY;COUNT=2\r\n") +
                   "END:VCALENDAR\r\n"_ba;
        else if (then == u"html"_s)
            feed = "<html><body>Wartung</body></html>";
        else if (then == u"cut"_s)
            feed = feed.left(feed.size() / 2);
        else if (then == u"404"_s)
            status = "404 Not Found";
        if (then != u"same"_s)
            etag = etag.isEmpty() ? QByteArray() : "\"v2\""_ba;
        if (then == u"refused"_s) {
            second = refreshSubscription(*m_db, client, {u"http://example.org/x.ics"_s, 7}, 2026);
            QVERIFY(subscriptionDue(*m_db, u"http://example.org/x.ics"_s,
                                    QDateTime::currentDateTime()));
        } else {
            second = refreshSubscription(*m_db, client, holidays, 2026);
            QCOMPARE(askedWith, then == u"same without etag"_s ? QByteArray() : "\"v1\""_ba);
        }
    }
    QVERIFY(!sawAccount);
    if (result == u"unchanged"_s) {
        QVERIFY(second.unchanged);
        QCOMPARE(second.rows, 2);
        QCOMPARE(queryRows(*m_db, u"SELECT * FROM termine ORDER BY id ;"_s), before);
    } else if (result.front().isDigit()) {
        QCOMPARE(second.error, QString());
        QCOMPARE(second.rows, result.toInt());
    } else {
        QVERIFY2(second.error.contains(result), qPrintable(second.error));
        QCOMPARE(second.error.count(u'\n'), 0);
        QCOMPARE(queryRows(*m_db, u"SELECT * FROM termine ORDER BY id ;"_s), before);
        QVERIFY(!subscriptionDue(*m_db, holidays.url, QDateTime::currentDateTime()));
    }
    QCOMPARE(groupRows(), rows);

    // What the subscriptions wrote stays here; only the user's own appointment goes to the server.
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    QCOMPARE(syncOnce().error, QString());
    QCOMPARE(serverSummaries(*m_server), QStringList{u"Eigener Termin"_s});
}

void TestSync::addressesSyncBothWays()
{
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    AddressValues anna;
    anna[AddressField::Vname] = u"Anna"_s;
    anna[AddressField::Nname] = u"Müller"_s;
    anna[AddressField::Gebdat] = u"12.03.1980"_s;
    anna.birthday = true;
    anna.anrede = 0;
    QVERIFY(writeNewAddress(*m_db, anna));
    const QUrl bernd = m_server->url().resolved(QUrl(u"/anna/kontakte/bernd.vcf"_s));
    QVERIFY(phone().put(bernd,
                        "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bernd\r\nFN:Bernd "
                        "Beispiel\r\nN:Beispiel;"
                        "Bernd;;;\r\nBDAY:1975-06-01\r\nEND:VCARD\r\n",
                        "text/vcard", {{}, true})
                    .ok());
    const auto syncBook = [this] {
        DavClient client(m_server->user(), m_server->password());
        const DiscoveryResult found = discoverCollections(client, m_server->url());
        return CollectionSync(*m_db, client, 2026).runAddressBook(found.addressBooks.value(0));
    };
    const auto serverNames = [this] {
        QStringList names;
        const QDir dir(m_server->storagePath() + u"/collection-root/anna/kontakte/"_s);
        for (const QString& name : dir.entryList({u"*.vcf"_s}, QDir::Files)) {
            for (const QByteArray& line : readFile(dir.filePath(name)).split('\n')) {
                if (line.startsWith("EMAIL") || line.startsWith("FN:"))
                    names << QString::fromUtf8(line.trimmed());
            }
        }
        names.sort();
        return names;
    };

    SyncSummary summary = syncBook();
    QCOMPARE(summary.error, QString());
    QCOMPARE(queryRows(*m_db, u"SELECT vname, nname FROM adressbuch ORDER BY id ;"_s),
             QStringList({u"Anna|Müller"_s, u"Bernd|Beispiel"_s}));
    QCOMPARE(queryRows(*m_db, u"SELECT desc, year FROM geburtstage ORDER BY desc ;"_s),
             QStringList({u"Anna Müller|1980"_s, u"Bernd Beispiel|1975"_s}));
    QCOMPARE(serverNames(), QStringList({u"FN:Anna Müller"_s, u"FN:Bernd Beispiel"_s}));

    const DavReply got = phone().get(bernd);
    QByteArray card = got.body;
    card.replace("END:VCARD", "EMAIL:bernd@example.org\r\nEND:VCARD");
    QVERIFY(phone().put(bernd, card, "text/vcard", {got.etag, false}).ok());
    QVERIFY(m_db->execSql(
            u"UPDATE adressbuch SET email='anna@example.org' WHERE vname='Anna' ;"_s));
    summary = syncBook();
    QCOMPARE(summary.error, QString());
    QCOMPARE(summary.received, 1);
    QCOMPARE(summary.sent, 1);
    QCOMPARE(queryRows(*m_db, u"SELECT email FROM adressbuch ORDER BY vname ;"_s),
             QStringList({u"anna@example.org"_s, u"bernd@example.org"_s}));
    QCOMPARE(serverNames().size(), 4);
    QCOMPARE(syncBook().text(), u"Synchronisiert: 0 empfangen, 0 gesendet, 0 hier gelöscht, 0 "
                                u"auf dem Server gelöscht."_s);
}

void TestSync::commandSyncs()
{
    m_server = std::make_unique<RadicaleServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    makeCollections(*m_server);
    insertTestAppointment(*m_db, {makeDate(2026, 12, 1, 9, 0, 1), makeDate(2026, 12, 1, 10, 0, 1),
                                  6, u"Zahnarzt"_s});
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const SyncAccount account{m_server->url().toString(), m_server->user(), m_server->password()};
    QCOMPARE(runSyncCommand(m_dir->path(), account, 2026, outStream, errStream), 0);
    QCOMPARE(err, QString());
    QCOMPARE(out, u"Synchronisiert: 0 empfangen, 1 gesendet, 0 hier gelöscht, 0 auf dem Server "
                  u"gelöscht.\nAdressen: Synchronisiert: 0 empfangen, 0 gesendet, 0 hier gelöscht, "
                  u"0 auf dem Server gelöscht.\n"_s);
    QCOMPARE(serverSummaries(*m_server), QStringList{u"Zahnarzt"_s});
}

void TestSync::failuresChangeNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("message");

    QTest::newRow("wrong password")
            << u"password"_s << QByteArray() << u"hat Benutzername oder Passwort abgelehnt."_s;
    QTest::newRow("unreachable") << u"stopped"_s << QByteArray() << u"ist nicht erreichbar"_s;
    QTest::newRow("malformed multistatus")
            << u"fixed"_s
            << httpAnswer("207 Multi-Status", "<d:multistatus xmlns:d=\"DAV:\"><d:resp")
            << u"ist kein gültiges WebDAV-Multistatus."_s;
    QTest::newRow("untrusted certificate")
            << u"tls"_s << QByteArray() << u"ist nicht vertrauenswürdig"_s;
    QTest::newRow("redirect to another server")
            << u"fixed"_s
            << "HTTP/1.1 301 Moved Permanently\r\nLocation: https://dav.example.org/\r\n"
               "Content-Length: 0\r\nConnection: close\r\n\r\n"_ba
            << u"leitet nach https://dav.example.org/ weiter"_s;
    QTest::newRow("507") << u"fixed"_s << httpAnswer("507 Insufficient Storage", {})
                         << u"ist kein Speicherplatz mehr frei (507)."_s;
}

void TestSync::failuresChangeNothing()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, answer);
    QFETCH(QString, message);

    insertTestAppointment(*m_db, {makeDate(2026, 12, 1, 9, 0, 1), makeDate(2026, 12, 1, 10, 0, 1),
                                  6, u"Zahnarzt"_s});
    const QStringList before = queryRows(*m_db, u"SELECT * FROM termine ;"_s);
    std::unique_ptr<FixedServer> fixed;
    SelfSignedServer tls;
    SyncAccount account;
    if (kind == u"tls"_s) {
        if (!tls.start())
            QSKIP("openssl cannot make a certificate here");
        account = {tls.url().toString(), u"anna"_s, u"x"_s};
    } else if (kind == u"fixed"_s) {
        fixed = std::make_unique<FixedServer>(answer);
        account = {fixed->url().toString(), u"anna"_s, u"x"_s};
    } else {
        m_server = std::make_unique<RadicaleServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        makeCollections(*m_server);
        account = {m_server->url().toString(), m_server->user(),
                   kind == u"password"_s ? u"falsch"_s : m_server->password()};
        if (kind == u"stopped"_s)
            m_server->stop();
    }
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QCOMPARE(runSyncCommand(m_dir->path(), account, 2026, outStream, errStream, 10000), 1);
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(err.count(u'\n'), 1);
    QCOMPARE(out, QString());
    QCOMPARE(queryRows(*m_db, u"SELECT * FROM termine ;"_s), before);
    if (m_server)
        QVERIFY(serverSummaries(*m_server).isEmpty());
}

void TestSync::runRefreshesSubscriptions_data()
{
    QTest::addColumn<QString>("account"); // "" none, "down" a server that is not there
    QTest::addColumn<QString>("error");   // a part of the run's error

    QTest::newRow("no account") << QString() << QString();
    QTest::newRow("account down") << u"down"_s << u"nicht erreichbar"_s;
}

void TestSync::runRefreshesSubscriptions()
{
    QFETCH(QString, account);
    QFETCH(QString, error);

    const QByteArray feed = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Feiertage//DE\r\n"
                            "BEGIN:VEVENT\r\nUID:1\r\nDTSTAMP:20260101T000000Z\r\n"
                            "DTSTART;VALUE=DATE:20270101\r\nSUMMARY:Neujahr\r\nEND:VEVENT\r\n"
                            "END:VCALENDAR\r\n"_ba;
    FixedServer server("HTTP/1.1 200 OK\r\nContent-Type: text/calendar\r\nContent-Length: "_ba +
                       QByteArray::number(feed.size()) + "\r\nConnection: close\r\n\r\n"_ba + feed);
    SyncRunOptions options;
    if (account == u"down"_s) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        options.account = {u"http://127.0.0.1:%1/"_s.arg(closed.serverPort()), u"anna"_s,
                           u"geheim"_s};
    }
    options.subscriptions = {{server.url().resolved(QUrl(u"feiertage.ics"_s)).toString(), 7}};
    options.importYear = 2026;
    options.deadlineMs = 5000;

    const SyncRunResult result = runSync(*m_db, options);
    QVERIFY2(error.isEmpty() ? result.error.isEmpty() : result.error.contains(error),
             qPrintable(result.error));
    // A server that is down keeps no feed from its refresh.
    QCOMPARE(queryRows(*m_db, u"SELECT desc, grup FROM termine ;"_s), QStringList{u"Neujahr|7"_s});
    QCOMPARE(result.subscriptionsRefreshed, 1);
    QVERIFY(result.wroteLocally());
}

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
