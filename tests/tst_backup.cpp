#include "common/datevalue.h"
#include "store/backup.h"
#include "store/database.h"
#include "store/schema.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using Backup::RestoreOutcome;

namespace {

const QString kQuestion = u"Datenbankfehler entdeckt! / Es wurde ein Datenbankfehler entdeckt. "
                          "Stellen Sie sicher, dass Ruvo nur einmal ausgeführt wird.\n Falls der "
                          "Fehler zum wiederholten male auftritt sollten Sie die "
                          "Sicherungsdatenbank Rücksichern.\nSoll jetzt rückgesichert werden?"_s;
const QString kExitCheckFailed = u"Fehler / Es wurde keine Sicherungdurchgeführt, da auf die "
                                 "aktuelle Datenbang nicht zugegriffen werden konnte."_s;

// A first-run database holding one address whose surname tells the files apart.
void createMarkedDatabase(const QString& path, const QString& marker)
{
    auto db = createBootstrappedDatabase(path);
    QVERIFY(db);
    QVERIFY(db->execSql(u"INSERT INTO adressbuch (nname) VALUES ('"_s + marker + u"')"_s));
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void cancelledDialogsDoNothing_data();
    void cancelledDialogsDoNothing();
    void proposedBackupNameWorksOnFreshInstallation();
    void backupNameEnding_data();
    void backupNameEnding();
    void backupIntoMissingFolderFails();
    void restoreRefusesForeignFile_data();
    void restoreRefusesForeignFile();
    void restoreReopensOnRestoredData();
    void exitCheckCopiesReadableDatabase();
    void exitCheckFails_data();
    void exitCheckFails();
    void exitCheckReportsFailedCopy();
    void restoreQuestion_data();
    void restoreQuestion();
    void restoreQuestionCopyFails();
    void restoreAfterDeclinedFirstRunPassesExitCheck();
    void restoreIgnoresJournalOfReplacedFile();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    std::unique_ptr<Database> m_db;
};

void TestBackup::init()
{
    m_dir = std::make_unique<TestDirectory>();
    QVERIFY(m_dir->isValid());
    createMarkedDatabase(path(u"data.zr"_s), u"Aktuell"_s);
    m_db = Database::open(path(u"data.zr"_s));
    QVERIFY(m_db);
}

void TestBackup::cleanup()
{
    m_db.reset();
    m_dir.reset();
    m_prompter.clear();
}

void TestBackup::cancelledDialogsDoNothing_data()
{
    QTest::addColumn<bool>("backup");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("startName");
    QTest::newRow("backup") << true << u"Daten Sichern"_s << u"(05-03-2024_14-07-09).rec"_s;
    QTest::newRow("restore") << false << u"Daten Rücksichern"_s << QString();
}

void TestBackup::cancelledDialogsDoNothing()
{
    QFETCH(bool, backup);
    QFETCH(QString, title);
    QFETCH(QString, startName);
    const QByteArray before = readFile(path(u"data.zr"_s));

    const bool done =
            backup ? Backup::saveBackup(m_dir->path(), m_prompter, makeDate(2024, 3, 5, 14, 7, 9))
                   : Backup::restoreBackup(m_dir->path(), m_prompter, m_db);

    QVERIFY(!done);
    QCOMPARE(m_prompter.calls().size(), 1);
    const ScriptedPrompter::Call& dialog = m_prompter.calls().first();
    QCOMPARE(dialog.title, title);
    QCOMPARE(dialog.text, m_dir->path() + u"recovery/"_s + startName);
    QCOMPARE(dialog.filter, u"Recovery-files | *.rec"_s);
    QCOMPARE(readFile(path(u"data.zr"_s)), before);
    QVERIFY(m_db);
    // The backup proposes a name inside the folder, so the folder is made for it.
    QCOMPARE(QFileInfo::exists(path(u"recovery"_s)), backup);
}

void TestBackup::proposedBackupNameWorksOnFreshInstallation()
{
    const QString proposed = path(u"recovery/(05-03-2024_14-07-09).rec"_s);
    m_prompter.answerFile(proposed);
    QVERIFY(Backup::saveBackup(m_dir->path(), m_prompter, makeDate(2024, 3, 5, 14, 7, 9)));
    QCOMPARE(m_prompter.transcript().last(), u"Info / Sicherung erfolgreich erstellt"_s);
    QCOMPARE(readFile(proposed), readFile(path(u"data.zr"_s)));
}

void TestBackup::backupNameEnding_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << u"montag"_s << u"montag.rec"_s;
    QTest::newRow("upper case") << u"montag.REC"_s << u"montag.REC.rec"_s;
    QTest::newRow("already .rec") << u"montag.rec"_s << u"montag.rec"_s;
    QTest::newRow("other extension") << u"montag.zr"_s << u"montag.zr.rec"_s;
    QTest::newRow("dot missing") << u"montagrec"_s << u"montagrec.rec"_s;
}

void TestBackup::backupNameEnding()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QVERIFY(QDir(m_dir->path()).mkdir(u"recovery"_s));
    m_prompter.answerFile(path(u"recovery/"_s + typed));

    QVERIFY(Backup::saveBackup(m_dir->path(), m_prompter, makeDate(2024, 3, 5)));

    QCOMPARE(QDir(path(u"recovery"_s)).entryList(QDir::Files), QStringList{written});
    QCOMPARE(readFile(path(u"recovery/"_s + written)), readFile(path(u"data.zr"_s)));
    QCOMPARE(m_prompter.transcript().last(), u"Info / Sicherung erfolgreich erstellt"_s);
}

void TestBackup::backupIntoMissingFolderFails()
{
    const QString target = path(u"gibt-es-nicht/montag.rec"_s);
    m_prompter.answerFile(target);

    QVERIFY(!Backup::saveBackup(m_dir->path(), m_prompter, makeDate(2024, 3, 5)));

    QCOMPARE(m_prompter.calls().size(), 2);
    const ScriptedPrompter::Call& box = m_prompter.calls().last();
    QCOMPARE(box.kind, ScriptedPrompter::Kind::Warn);
    QCOMPARE(box.title, u"Fehler"_s);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(target)), qPrintable(box.text));
    QVERIFY(!QFileInfo::exists(target));
}

void TestBackup::restoreRefusesForeignFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << u"text"_s;
    QTest::newRow("empty file") << u"empty"_s;
    QTest::newRow("missing file") << u"missing"_s;
    QTest::newRow("sqlite without the tables") << u"other"_s;
    QTest::newRow("five of the six tables") << u"five"_s;
}

void TestBackup::restoreRefusesForeignFile()
{
    QFETCH(QString, kind);
    const QString chosen = path(u"fremd.rec"_s);
    if (kind == u"text")
        writeFile(chosen, "SQLite format 2 ist das nicht\r\n");
    else if (kind == u"empty")
        writeFile(chosen, {});
    else if (kind == u"other")
        QVERIFY(Database::open(chosen)->execSql(u"CREATE TABLE notes (a TEXT)"_s));
    else if (kind == u"five") {
        createMarkedDatabase(chosen, u"Fremd"_s);
        QVERIFY(Database::open(chosen)->execSql(u"DROP TABLE todo"_s));
    }
    const QByteArray before = readFile(path(u"data.zr"_s));
    m_prompter.answerFile(chosen);

    QVERIFY(!Backup::restoreBackup(m_dir->path(), m_prompter, m_db));

    QCOMPARE(
            m_prompter.transcript(),
            QStringList({u"Daten Rücksichern / "_s + path(u"recovery/"_s),
                         u"Fehler / Die Datei „"_s + QDir::toNativeSeparators(chosen) +
                                 u"“ ist keine Ruvo-Datenbank. Es wurde nichts rückgesichert."_s}));
    QCOMPARE(readFile(path(u"data.zr"_s)), before);
    QCOMPARE(queryRows(*m_db, u"SELECT nname FROM adressbuch"_s), QStringList{u"Aktuell"_s});
    QCOMPARE(QFileInfo::exists(chosen), kind != u"missing");
}

void TestBackup::restoreReopensOnRestoredData()
{
    const QString chosen = path(u"montag.rec"_s);
    createMarkedDatabase(chosen, u"Gesichert"_s);
    m_prompter.answerFile(chosen);

    QVERIFY(Backup::restoreBackup(m_dir->path(), m_prompter, m_db));

    QCOMPARE(m_prompter.transcript().last(),
             u"Info / erfolgreich rückgesichert, um die Änderungen wirksam werden zu lassen "
             "sollten Sie Ruvo nun neu starten"_s);
    QVERIFY(m_db);
    QCOMPARE(queryRows(*m_db, u"SELECT nname FROM adressbuch"_s), QStringList{u"Gesichert"_s});
    QCOMPARE(readFile(path(u"data.zr"_s)), readFile(chosen));
    // A write now lands in the restored file.
    QVERIFY(m_db->execSql(u"INSERT INTO todo (desc) VALUES ('neu')"_s));
    m_db.reset();
    auto reread = Database::open(path(u"data.zr"_s));
    QCOMPARE(queryRows(*reread, u"SELECT desc FROM todo"_s), QStringList{u"neu"_s});
}

void TestBackup::exitCheckCopiesReadableDatabase()
{
    // Empty tables: the three reads find nothing, which still counts as readable.
    m_db.reset();
    QFile::remove(path(u"data.zr"_s));
    m_db = Database::open(path(u"data.zr"_s));
    for (const QString& statement : Schema::createStatements())
        QVERIFY(m_db->execSql(statement));
    writeFile(path(u"recovery.zr"_s), "vom letzten Mal");

    QVERIFY(Backup::checkAndCopyToRecovery(m_dir->path(), m_prompter, m_db));

    QCOMPARE(m_prompter.transcript(), QStringList());
    QVERIFY(!m_db);
    QCOMPARE(readFile(path(u"recovery.zr"_s)), readFile(path(u"data.zr"_s)));
}

void TestBackup::exitCheckFails_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("no connection") << u"none"_s;
    QTest::newRow("data.zr is not a database") << u"damaged"_s;
    QTest::newRow("termine dropped") << u"table"_s;
    // Both still answer the three reads of id 1.
    QTest::newRow("todo dropped") << u"todo"_s;
    QTest::newRow("damaged page of termine") << u"page"_s;
}

void TestBackup::exitCheckFails()
{
    QFETCH(QString, kind);
    const QByteArray previous = "die Sicherung vom letzten Mal";
    writeFile(path(u"recovery.zr"_s), previous);
    if (kind == u"none") {
        m_db.reset();
    } else if (kind == u"damaged") {
        m_db.reset();
        writeFile(path(u"data.zr"_s), QByteArray(4096, 'x'));
        m_db = Database::open(path(u"data.zr"_s));
    } else if (kind == u"todo") {
        QVERIFY(m_db->execSql(u"DROP TABLE todo"_s));
    } else if (kind == u"page") {
        QVERIFY(m_db->execSql(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < 3000) INSERT INTO termine (date, desc) SELECT i, "
                              "printf('%0100d', i) FROM n"_s));
        m_db.reset();
        // The rows inserted last fill the file's last page; id 1 lives far from it.
        QFile file(path(u"data.zr"_s));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(file.size() - 4096));
        file.write(QByteArray(4096, '\x7f'));
        file.close();
        m_db = Database::open(path(u"data.zr"_s));
    } else {
        QVERIFY(m_db->execSql(u"DROP TABLE termine"_s));
    }

    QVERIFY(!Backup::checkAndCopyToRecovery(m_dir->path(), m_prompter, m_db));

    QCOMPARE(m_prompter.transcript(), QStringList{kExitCheckFailed});
    QCOMPARE(readFile(path(u"recovery.zr"_s)), previous);
}

void TestBackup::exitCheckReportsFailedCopy()
{
    // A folder in the way of recovery.zr cannot be replaced by a file.
    QVERIFY(QDir(m_dir->path()).mkdir(u"recovery.zr"_s));

    QVERIFY(!Backup::checkAndCopyToRecovery(m_dir->path(), m_prompter, m_db));

    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Fehler / Die Sicherungskopie wurde nicht erstellt: „"_s +
                         QDir::toNativeSeparators(path(u"data.zr"_s)) + u"“ konnte nicht nach „"_s +
                         QDir::toNativeSeparators(path(u"recovery.zr"_s)) +
                         u"“ kopiert werden."_s});
    QVERIFY(QFileInfo(path(u"recovery.zr"_s)).isDir());
}

void TestBackup::restoreQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("recovery");
    QTest::addColumn<RestoreOutcome>("outcome");
    QTest::addColumn<QString>("message");
    const QString notFound = u"Fehler / Es wurde keine Sicherungsdatei im Standardverzeichniss "
                             "gefunden, bitte führen Sie das Rücksicherungstool aus."_s;
    QTest::newRow("no") << false << u"good"_s << RestoreOutcome::Declined << QString();
    QTest::newRow("missing recovery.zr")
            << true << u"missing"_s << RestoreOutcome::NoRecoveryCopy << notFound;
    QTest::newRow("empty recovery.zr")
            << true << u"empty"_s << RestoreOutcome::NoRecoveryCopy << notFound;
    QTest::newRow("success") << true << u"good"_s << RestoreOutcome::Restored
                             << u"Rücksicherung / Die Rücksicherung wurde erfolgreich "
                                "durchgeführt!"_s;
}

void TestBackup::restoreQuestion()
{
    QFETCH(bool, yes);
    QFETCH(QString, recovery);
    QFETCH(RestoreOutcome, outcome);
    QFETCH(QString, message);
    if (recovery == u"good")
        createMarkedDatabase(path(u"recovery.zr"_s), u"Gesichert"_s);
    else if (recovery == u"empty")
        writeFile(path(u"recovery.zr"_s), {});
    const QByteArray before = readFile(path(u"data.zr"_s));
    m_prompter.answer(yes);

    QCOMPARE(Backup::askToRestoreRecovery(m_dir->path(), m_prompter, m_db), outcome);

    QStringList expected{kQuestion};
    if (!message.isEmpty())
        expected << message;
    QCOMPARE(m_prompter.transcript(), expected);
    const bool restored = outcome == RestoreOutcome::Restored;
    QCOMPARE(readFile(path(u"data.zr"_s)), restored ? readFile(path(u"recovery.zr"_s)) : before);
    if (restored || outcome == RestoreOutcome::Declined) {
        QVERIFY(m_db);
        QCOMPARE(queryRows(*m_db, u"SELECT nname FROM adressbuch"_s),
                 QStringList{restored ? u"Gesichert"_s : u"Aktuell"_s});
    }
}

void TestBackup::restoreQuestionCopyFails()
{
    createMarkedDatabase(path(u"recovery.zr"_s), u"Gesichert"_s);
    m_db.reset();
    QVERIFY(QFile::remove(path(u"data.zr"_s)));
    QVERIFY(QDir(m_dir->path()).mkdir(u"data.zr"_s));
    m_prompter.answer(true);

    QCOMPARE(Backup::askToRestoreRecovery(m_dir->path(), m_prompter, m_db),
             RestoreOutcome::CopyFailed);

    QCOMPARE(m_prompter.transcript(),
             QStringList({kQuestion, u"Rücksicherung / Es trat ein Fehler bei der Rücksicherung "
                                     "auf, bitte führen Sie das Rücksicherungstool aus."_s}));
    QVERIFY(QFileInfo(path(u"data.zr"_s)).isDir());
}

void TestBackup::restoreAfterDeclinedFirstRunPassesExitCheck()
{
    // First run declined: no data.zr and no connection, but a recovery copy from earlier runs.
    m_db.reset();
    QVERIFY(QFile::remove(path(u"data.zr"_s)));
    createMarkedDatabase(path(u"recovery.zr"_s), u"Gesichert"_s);
    const QByteArray saved = readFile(path(u"recovery.zr"_s));
    m_prompter.answer(true);

    QCOMPARE(Backup::askToRestoreRecovery(m_dir->path(), m_prompter, m_db),
             RestoreOutcome::Restored);
    QVERIFY(Backup::checkAndCopyToRecovery(m_dir->path(), m_prompter, m_db));

    QCOMPARE(m_prompter.transcript().size(), 2);
    QVERIFY(!m_prompter.transcript().contains(kExitCheckFailed));
    QCOMPARE(readFile(path(u"data.zr"_s)), saved);
    QCOMPARE(readFile(path(u"recovery.zr"_s)), saved);
}

void TestBackup::restoreIgnoresJournalOfReplacedFile()
{
    // Leave data.zr as a crash would: a small file with the journal of an unfinished write.
    m_db.reset();
    const QString small = path(u"klein.db"_s);
    auto crashing = Database::open(small);
    QVERIFY(crashing->execSql(u"CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (1);"_s));
    QVERIFY(crashing->execSql(u"PRAGMA synchronous=OFF; BEGIN; UPDATE t SET x = 2;"_s));
    QVERIFY(QFile::remove(path(u"data.zr"_s)));
    QVERIFY(QFile::copy(small, path(u"data.zr"_s)));
    QVERIFY(QFile::copy(small + u"-journal"_s, path(u"data.zr-journal"_s)));
    QVERIFY(crashing->execSql(u"ROLLBACK"_s));
    createMarkedDatabase(path(u"recovery.zr"_s), u"Gesichert"_s);
    m_prompter.answer(true);

    QCOMPARE(Backup::askToRestoreRecovery(m_dir->path(), m_prompter, m_db),
             RestoreOutcome::Restored);

    // Played back, the old journal would cut the restored file to the small file's size.
    QCOMPARE(queryRows(*m_db, u"PRAGMA integrity_check"_s), QStringList{u"ok"_s});
    QCOMPARE(queryRows(*m_db, u"SELECT nname FROM adressbuch"_s), QStringList{u"Gesichert"_s});
    QCOMPARE(readFile(path(u"data.zr"_s)), readFile(path(u"recovery.zr"_s)));
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
