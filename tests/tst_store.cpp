#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void textRoundTrip_data();
    void textRoundTrip();
    void nullFieldReadsEmptyAndZero();
    void walkVisitsEveryFieldInOrder();
    void columnWrapsToZero();
    void outsideTheTableReadsEmpty();
    void emptyResultStillReleases();
    void failedQueryLeavesCursorEmpty();
    void errorForms();
    void transactionRollsBackUnlessCommitted();
    void nestedTransactions();
    void blockedCommitRollsBackForCertain_data();
    void blockedCommitRollsBackForCertain();
    void openFailureGivesSqliteText();
    void changeStampFollowsWritesOnly_data();
    void changeStampFollowsWritesOnly();

private:
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
};

void TestStore::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = Database::open(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    QVERIFY(m_db->execSql(
            u"CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, a TEXT, n INTEGER)"_s));
}

void TestStore::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestStore::textRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("umlauts") << u"Größe, Übung, Äpfel, Öl, ß"_s;
    QTest::newRow("emoji") << u"Party 🎉 und 👍🏽"_s;
    QTest::newRow("apostrophes") << u"Peter's \"Feier\" ''"_s;
    QTest::newRow("percent and underscore") << u"100% _sicher_"_s;
    QTest::newRow("empty") << QString();
}

void TestStore::textRoundTrip()
{
    QFETCH(QString, text);
    QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ("_s + sqlQuote(text) + u")"_s));
    QueryCursor cursor;
    QVERIFY(m_db->queryTable(u"SELECT a, length(a) FROM t"_s, cursor));
    QVERIFY(cursor.nextRow());
    QVERIFY(cursor.nextColumn());
    QCOMPARE(cursor.fieldText(), text);
    QVERIFY(cursor.nextColumn());
    // SQLite counts characters, so the text arrived as UTF-8.
    QCOMPARE(cursor.fieldNumber(), qint64(text.toUcs4().size()));
    // A streamed read gives the same text.
    QString streamed = u"unread"_s;
    QVERIFY(m_db->forEachRecord(u"SELECT a FROM t"_s,
                                [&](const RecordReader& record) { streamed = record.text(0); }));
    QCOMPARE(streamed, text);
}

void TestStore::nullFieldReadsEmptyAndZero()
{
    QVERIFY(m_db->execSql(u"INSERT INTO t (a, n) VALUES (NULL, NULL)"_s));
    QueryCursor cursor;
    QVERIFY(m_db->queryTable(u"SELECT a, n FROM t"_s, cursor));
    QVERIFY(cursor.nextRow());
    QVERIFY(cursor.nextColumn());
    QCOMPARE(cursor.fieldText(), QString());
    QVERIFY(cursor.nextColumn());
    QCOMPARE(cursor.fieldNumber(), qint64(0));
}

void TestStore::walkVisitsEveryFieldInOrder()
{
    QVERIFY(m_db->execSql(
            u"INSERT INTO t (a, n) VALUES ('x', 1); INSERT INTO t (a, n) VALUES ('y', -2)"_s));
    QueryCursor cursor;
    QVERIFY(m_db->queryTable(u"SELECT a, n FROM t ORDER BY id"_s, cursor));
    QCOMPARE(cursor.rowCount(), 2);
    QCOMPARE(cursor.columnCount(), 2);
    QStringList seen;
    while (cursor.nextRow()) {
        while (cursor.nextColumn())
            seen << cursor.fieldText();
        QCOMPARE(cursor.currentColumn(), 0);
    }
    QCOMPARE(seen, (QStringList{u"x"_s, u"1"_s, u"y"_s, u"-2"_s}));
    QVERIFY(!cursor.nextRow());
    QVERIFY(cursor.freeTable());
    QVERIFY(!cursor.freeTable());
}

void TestStore::columnWrapsToZero()
{
    QVERIFY(m_db->execSql(u"INSERT INTO t (a, n) VALUES ('x', 7)"_s));
    QueryCursor cursor;
    QVERIFY(m_db->queryTable(u"SELECT a, n FROM t"_s, cursor));
    QVERIFY(cursor.nextRow());
    QVERIFY(cursor.nextColumn());
    QVERIFY(cursor.nextColumn());
    QVERIFY(!cursor.nextColumn());
    QCOMPARE(cursor.currentColumn(), 0);
    QVERIFY(cursor.nextColumn());
    QCOMPARE(cursor.fieldText(), u"x"_s);
}

void TestStore::outsideTheTableReadsEmpty()
{
    QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('x')"_s));
    QueryCursor cursor;
    QVERIFY(m_db->queryTable(u"SELECT a FROM t"_s, cursor));
    // Before the first row and column: the header row must never leak out as data.
    QCOMPARE(cursor.fieldText(), QString());
    QVERIFY(cursor.nextRow());
    QCOMPARE(cursor.fieldText(), QString());
    QCOMPARE(cursor.text(2), QString());
    QCOMPARE(cursor.text(1), u"x"_s);
}

void TestStore::emptyResultStillReleases()
{
    QueryCursor cursor;
    QVERIFY(m_db->queryTable(u"SELECT * FROM t"_s, cursor));
    QCOMPARE(cursor.rowCount(), 0);
    QVERIFY(!cursor.nextRow());
    QVERIFY(cursor.freeTable());
}

void TestStore::failedQueryLeavesCursorEmpty()
{
    QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('x')"_s));
    QueryCursor cursor;
    QVERIFY(m_db->queryTable(u"SELECT a FROM t"_s, cursor));
    QVERIFY(!m_db->queryTable(u"SELECT x FROM nowhere"_s, cursor));
    QCOMPARE(cursor.rowCount(), 0);
    QVERIFY(!cursor.nextRow());
    QVERIFY(m_db->errorText().contains(u"no such table"_s));
    QVERIFY(!m_db->execSql(u"INSERT INTO t (a) VALUES ('unterminated)"_s));
}

void TestStore::errorForms()
{
    ScriptedPrompter prompter;
    QVERIFY(!m_db->execSql(u"SELECT * FROM missing"_s));
    const QString sqliteText = m_db->errorText();

    QuitState quit = QuitState::Running;
    showDatabaseError(*m_db, prompter);
    QCOMPARE(prompter.transcript(), QStringList{u"Datenbankfehler / "_s + sqliteText});
    QCOMPARE(quit, QuitState::Running);

    prompter.clear();
    reportDatabaseError(*m_db, prompter, quit);
    QCOMPARE(prompter.transcript(), QStringList{u"Datenbankfehler / "_s + sqliteText});
    QCOMPARE(quit, QuitState::DatabaseError);
}

void TestStore::transactionRollsBackUnlessCommitted()
{
    {
        Transaction tx(*m_db);
        QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('gone')"_s));
    }
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM t"_s), qint64(0));
    {
        Transaction tx(*m_db);
        QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('kept')"_s));
        QVERIFY(tx.commit());
    }
    QCOMPARE(queryRows(*m_db, u"SELECT a FROM t"_s), QStringList{u"kept"_s});
}

void TestStore::nestedTransactions()
{
    Transaction outer(*m_db);
    QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('outer')"_s));
    {
        Transaction inner(*m_db);
        QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('inner')"_s));
    }
    QVERIFY(outer.commit());
    QCOMPARE(queryRows(*m_db, u"SELECT a FROM t"_s), QStringList{u"outer"_s});
}

void TestStore::blockedCommitRollsBackForCertain_data()
{
    QTest::addColumn<bool>("callCommit");
    QTest::addColumn<bool>("nested");
    QTest::newRow("failed commit") << true << false;
    QTest::newRow("no commit") << false << false;
    QTest::newRow("failed commit of an inner one inside the outer") << true << true;
}

// Another program's open read transaction keeps the file from being written.
void TestStore::blockedCommitRollsBackForCertain()
{
    QFETCH(bool, callCommit);
    QFETCH(bool, nested);
    m_db->setBusyTimeout(50);
    int stuckReports = 0;
    m_db->setStuckTransactionHandler([&stuckReports] { ++stuckReports; });

    auto reader = Database::open(m_dir->filePath(u"data.zr"_s));
    QVERIFY(reader);
    QVERIFY(reader->execSql(u"BEGIN"_s));
    QCOMPARE(queryNumber(*reader, u"SELECT COUNT(*) FROM t"_s), qint64(0));

    {
        Transaction outer(*m_db);
        QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('lost')"_s));
        if (nested) {
            Transaction inner(*m_db);
            QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('inner')"_s));
            QVERIFY(inner.commit());
        }
        if (callCommit) {
            QVERIFY(!outer.commit());
            QVERIFY2(m_db->errorText().contains(u"locked"_s), qPrintable(m_db->errorText()));
        }
    }
    QVERIFY(m_db->isAutocommit());
    QCOMPARE(stuckReports, 0);

    // Once the reader is gone, later changes reach the file and other connections see them.
    QVERIFY(reader->execSql(u"COMMIT"_s));
    QVERIFY(m_db->execSql(u"INSERT INTO t (a) VALUES ('kept')"_s));
    auto other = Database::open(m_dir->filePath(u"data.zr"_s));
    QCOMPARE(queryRows(*other, u"SELECT a FROM t"_s), QStringList{u"kept"_s});
}

void TestStore::openFailureGivesSqliteText()
{
    QString error;
    auto db = Database::open(m_dir->filePath(u"no/such/folder/data.zr"_s), &error);
    QVERIFY(!db);
    QVERIFY2(error.contains(u"unable to open"_s), qPrintable(error));
}

void TestStore::changeStampFollowsWritesOnly_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("changed");
    QTest::newRow("a loaded query") << u"query"_s << false;
    QTest::newRow("a streamed read") << u"stream"_s << false;
    QTest::newRow("a write") << u"write"_s << true;
    QTest::newRow("another program's commit") << u"other"_s << true;
}

void TestStore::changeStampFollowsWritesOnly()
{
    QFETCH(QString, step);
    QFETCH(bool, changed);
    QVERIFY(m_db->execSql(u"INSERT INTO t (a, n) VALUES ('x', 1)"_s));
    const Database::ChangeStamp before = m_db->changeStamp();
    QueryCursor cursor;
    if (step == u"query")
        QVERIFY(m_db->queryTable(u"SELECT * FROM t"_s, cursor));
    else if (step == u"stream")
        QVERIFY(m_db->forEachRecord(u"SELECT * FROM t"_s, [](const RecordReader&) {}));
    else if (step == u"write")
        QVERIFY(m_db->execSql(u"UPDATE t SET n = 2"_s));
    else
        QVERIFY(Database::open(m_dir->filePath(u"data.zr"_s))->execSql(u"DELETE FROM t"_s));
    QCOMPARE(m_db->changeStamp() != before, changed);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
