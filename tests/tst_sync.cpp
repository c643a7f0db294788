#include "support/radicaleserver.h"
#include "support/testdatabase.h"

#include "common/datevalue.h"
#include "sync/davclient.h"
#include "sync/discovery.h"
#include "sync/multistatus.h"

#include <QDir>
#include <QTest>

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

private:
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

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
