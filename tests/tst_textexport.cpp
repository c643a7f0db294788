#include "common/datevalue.h"
#include "output/textexport.h"
#include "store/database.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kFirstLine = "########## Ruvo Textexport ##########\r\n";

DateValue at(int y, int m, int d, int h, int i)
{
    return makeDate(y, m, d, h, i, 1);
}
} // namespace

class TestTextExport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void textEnding_data();
    void textEnding();
    void emptyDatabaseGivesFirstLineOnly();
    void exactBytesWithSeriesAndGaps();
    void umlautsFitWindows1252AndEmojiNeedUtf8_data();
    void umlautsFitWindows1252AndEmojiNeedUtf8();
    void exportWritesChosenFileAndReplacesOld();
    void cancelledDialogWritesNothing();
    void unwritableFileIsReported();
    void failedQueryKeepsOldFile();

private:
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    QuitState m_quit = QuitState::Running;

    QByteArray exported();
};

void TestTextExport::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_quit = QuitState::Running;
}

void TestTextExport::cleanup()
{
    m_db.reset();
    m_dir.reset();
    m_prompter.clear();
}

QByteArray TestTextExport::exported()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto outcome = TextExport::writeAppointments(buffer, *m_db, m_prompter, m_quit);
    if (outcome != TextExport::Outcome::Written)
        return "failed";
    return buffer.data();
}

void TestTextExport::textEnding_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no ending") << u"/tmp/termine"_s << u"/tmp/termine.txt"_s;
    QTest::newRow("ending") << u"/tmp/termine.txt"_s << u"/tmp/termine.txt"_s;
    QTest::newRow("upper case") << u"/tmp/termine.TXT"_s << u"/tmp/termine.TXT.txt"_s;
    QTest::newRow("other ending") << u"/tmp/termine.csv"_s << u"/tmp/termine.csv.txt"_s;
}

void TestTextExport::textEnding()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(TextExport::withTextEnding(chosen), written);
}

void TestTextExport::emptyDatabaseGivesFirstLineOnly()
{
    QCOMPARE(exported(), kFirstLine);
}

void TestTextExport::exactBytesWithSeriesAndGaps()
{
    // Group 7 is "Arzt", 3 "Urlaub", 5 "Geschäftlich".
    insertTestAppointment(*m_db, {at(2007, 3, 5, 10, 0), at(2007, 3, 5, 11, 30), 7, u"Zahnarzt"_s});
    // A weekly series whose members come before and after the single appointments; its last
    // member is written first into the table, so a careless pick would show it.
    const qint64 head = insertTestAppointment(
            *m_db, {at(2007, 3, 1, 8, 0), at(2007, 3, 1, 9, 0), 5, u"Jour fixe"_s});
    m_db->execSql(u"UPDATE termine SET belong=%1, redo='jeden Donnerstag' WHERE id=%1"_s.arg(head));
    for (int day : {8, 15})
        insertTestAppointment(*m_db, {at(2007, 3, day, 8, 0), at(2007, 3, day, 9, 0), 5,
                                      u"Jour fixe"_s, 0, 0, head, u"jeden Donnerstag"_s});
    insertTestAppointment(*m_db, {at(2007, 3, 20, 0, 0), at(2007, 3, 27, 23, 59), 3, u"Ostsee"_s});

    // Date order: series 1.3. (1), Zahnarzt (2), 8.3. (3), 15.3. (4), Ostsee (5). The series part
    // counts the group of single appointments too (first 5.3.), after the series (1.3.).
    const QByteArray expected =
            kFirstLine + "002 05.03.2007 10:00 Uhr bis 05.03.2007 11:30 Uhr: Arzt (Zahnarzt)\r\n"
                         "005 20.03.2007 00:00 Uhr bis 27.03.2007 23:59 Uhr: Urlaub (Ostsee)\r\n"
                         "001 01.03.2007 08:00 Uhr bis 01.03.2007 09:00 Uhr: Gesch\xe4"
                         "ftlich (Jour fixe) Wiederholt sich jeden Donnerstag\r\n";
    QCOMPARE(exported(), expected);
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestTextExport::umlautsFitWindows1252AndEmojiNeedUtf8_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("umlauts and euro") << u"Größe 5 €"_s
                                      << QByteArray("Gr\xf6\xdf"
                                                    "e 5 \x80");
    QTest::newRow("emoji") << u"Feier 🎉 ä"_s << QByteArray("Feier \xf0\x9f\x8e\x89 \xc3\xa4");
    QTest::newRow("quotes and percent") << u"it's 100% _x_"_s << QByteArray("it's 100% _x_");
}

void TestTextExport::umlautsFitWindows1252AndEmojiNeedUtf8()
{
    QFETCH(QString, description);
    QFETCH(QByteArray, line);
    insertTestAppointment(*m_db, {at(2008, 1, 2, 3, 4), at(2008, 1, 2, 3, 4), 7, description});
    QCOMPARE(exported(), kFirstLine + "001 02.01.2008 03:04 Uhr bis 02.01.2008 03:04 Uhr: Arzt (" +
                                 line + ")\r\n");
}

void TestTextExport::exportWritesChosenFileAndReplacesOld()
{
    const QString path = m_dir->filePath(u"export.txt"_s);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents that are longer than the new export\r\n"
              "old contents that are longer than the new export\r\n");
    old.close();

    m_prompter.answerFile(m_dir->filePath(u"export"_s));
    TextExport::exportAppointmentsAsText(*m_db, m_prompter, m_quit);

    QCOMPARE(m_prompter.transcript(), QStringList{u"Textexport erstellen in: / "_s});
    QCOMPARE(m_prompter.calls().first().filter, u"Textfiles | *.txt"_s);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), kFirstLine);
}

void TestTextExport::cancelledDialogWritesNothing()
{
    TextExport::exportAppointmentsAsText(*m_db, m_prompter, m_quit);
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(QDir(m_dir->path()).entryList({u"*.txt"_s}), QStringList());
}

void TestTextExport::unwritableFileIsReported()
{
    const QString path = m_dir->filePath(u"missing/folder/export.txt"_s);
    m_prompter.answerFile(path);
    TextExport::exportAppointmentsAsText(*m_db, m_prompter, m_quit);
    QCOMPARE(m_prompter.transcript().last(), u"Fehler / Die Textdatei \""_s +
                                                     QDir::toNativeSeparators(path) +
                                                     u"\" konnte nicht geschrieben werden."_s);
    QCOMPARE(m_quit, QuitState::Running);
}

void TestTextExport::failedQueryKeepsOldFile()
{
    const QString path = m_dir->filePath(u"export.txt"_s);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old\r\n");
    old.close();
    QVERIFY(m_db->execSql(u"DROP TABLE grups"_s));

    m_prompter.answerFile(path);
    TextExport::exportAppointmentsAsText(*m_db, m_prompter, m_quit);
    QCOMPARE(m_prompter.calls().last().title, u"Datenbankfehler"_s);
    QCOMPARE(m_quit, QuitState::DatabaseError);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old\r\n"));
}

QTEST_MAIN(TestTextExport)
#include "tst_textexport.moc"
