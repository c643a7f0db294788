#include "addresses/addresspage.h"
#include "app/organiserwindow.h"
#include "appointments/appointmentpage.h"
#include "common/importreport.h"
#include "core/context.h"
#include "interchange/commandline.h"
#include "interchange/interchangeactions.h"
#include "interchange/interchangefile.h"
#include "notes/notespage.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QAction>
#include <QFileInfo>
#include <QLockFile>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTextStream>
#include <QTreeView>
#include <QUrl>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ImportReport)

namespace {

const QByteArray kOneEvent = "BEGIN:VCALENDAR\r\n"
                             "VERSION:2.0\r\n"
                             "PRODID:-//Hand//Test//DE\r\n"
                             "BEGIN:VEVENT\r\n"
                             "UID:eins@test\r\n"
                             "DTSTAMP:20070101T000000Z\r\n"
                             "DTSTART:20070315T100000\r\n"
                             "DTEND:20070315T113000\r\n"
                             "SUMMARY:Zahnarzt\r\n"
                             "END:VEVENT\r\n"
                             "END:VCALENDAR\r\n";

const QByteArray kCardWithoutGender = "BEGIN:VCARD\r\n"
                                      "VERSION:3.0\r\n"
                                      "N:Berg;Anna;;;\r\n"
                                      "FN:Anna Berg\r\n"
                                      "END:VCARD\r\n";

QString programPath()
{
    // The image pack lies beside the program in the build folder.
    return QFileInfo(qEnvironmentVariable("RUVO_TEST_PACK")).absolutePath() + u"/ruvo"_s;
}

} // namespace

class TestInterchange : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void kindOfFile_data();
    void kindOfFile();
    void summary_data();
    void summary();
    void commandLine_data();
    void commandLine();
    void commandLineCards_data();
    void commandLineCards();
    void realProgramAnswersOnTheTerminal();
    void listsOfferTheFourActions();
    void importAsksForTheGroupThenSummarises();
    void droppedCardAsksForTheMissingAnrede();
    void exportWritesOrReportsTheFile();

private:
    int run(const InterchangeCommand& command, QString& out, QString& err);
    QString write(const QString& name, const QByteArray& bytes);

    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{makeDate(2007, 3, 1, 8, 30, 15)};
    std::unique_ptr<Context> m_ctx;
};

void TestInterchange::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_prompter.clear();
    m_ctx = createTestContext(*m_dir, m_prompter, m_clock);
    QVERIFY(m_ctx);
}

void TestInterchange::cleanup()
{
    m_ctx.reset();
    m_dir.reset();
}

int TestInterchange::run(const InterchangeCommand& command, QString& out, QString& err)
{
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    return runInterchangeCommand(m_dir->path(), command, 2007, outStream, errStream);
}

QString TestInterchange::write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    writeFile(path, bytes);
    return path;
}

void TestInterchange::kindOfFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind"); // -1 none, 0 calendar, 1 addresses

    QTest::newRow("calendar by content") << u"termine.txt"_s << kOneEvent << 0;
    QTest::newRow("BOM and lower case")
            << u"x"_s << QByteArray("\xEF\xBB\xBF\r\nbegin:vcard\r\n") << 1;
    QTest::newRow("content beats the name") << u"adressen.vcf"_s << kOneEvent << 0;
    QTest::newRow("unknown content, ics name") << u"kaputt.ICS"_s << QByteArray("Hallo") << 0;
    QTest::newRow("unknown content, vcf name") << u"kaputt.vcf"_s << QByteArray() << 1;
    QTest::newRow("neither") << u"notizen.txt"_s << QByteArray("BEGIN:VNOTE") << -1;
}

void TestInterchange::kindOfFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    const std::optional<InterchangeKind> found = interchangeKindOf(name, bytes);
    QCOMPARE(found ? int(*found) : -1, kind);
}

void TestInterchange::summary_data()
{
    QTest::addColumn<ImportReport>("report");
    QTest::addColumn<QString>("text");

    ImportReport failed;
    failed.failed = true;
    failed.error = u"database is locked"_s;
    failed.events = 3; // counted before the rollback; nothing stayed
    QTest::newRow("failed") << failed << u"Es wurde nichts importiert: database is locked"_s;

    ImportReport mixed;
    mixed.events = 1;
    mixed.todos = 2;
    mixed.duplicates = 4;
    mixed.notes = QStringList{u"„Anna Berg“: Geburtstag ohne Jahr"_s};
    QTest::newRow("mixed") << mixed
                           << u"Importiert: 1 Termin, 2 Aufgaben.\n"
                              "Als bereits vorhanden übersprungen: 4.\n"
                              "Hinweise (1):\n- „Anna Berg“: Geburtstag ohne Jahr"_s;

    ImportReport many;
    for (int i = 1; i <= 17; ++i)
        many.problems << u"Nr. "_s + QString::number(i);
    QString text = u"Importiert: nichts.\nNicht importiert (17):"_s;
    for (int i = 1; i <= 15; ++i)
        text += u"\n- Nr. "_s + QString::number(i);
    QTest::newRow("long list is cut") << many << text + u"\n… und 2 weitere"_s;
}

void TestInterchange::summary()
{
    QFETCH(ImportReport, report);
    QFETCH(QString, text);
    QCOMPARE(report.summaryText(), text);
}

void TestInterchange::commandLine_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes"); // written to the file first, unless empty
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("database");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said"); // the start of what the run printed on either stream
    QTest::addColumn<int>("rows");     // appointments afterwards

    const int exportIcs = int(InterchangeCommand::Action::ExportCalendar);
    const int import = int(InterchangeCommand::Action::Import);
    QTest::newRow("import") << import << u"a.ics"_s << kOneEvent << QString() << true << false << 0
                            << u"Importiert: 1 Termin."_s << 1;
    QTest::newRow("group by name") << import << u"a.ics"_s << kOneEvent << u"arzt"_s << true
                                   << false << 0 << u"Importiert: 1 Termin."_s << 1;
    QTest::newRow("unknown group")
            << import << u"a.ics"_s << kOneEvent << u"Nix"_s << true << false << 1
            << u"Eine Gruppe \"Nix\" gibt es nicht. Gruppen: Feiertag, Urlaub"_s << 0;
    QTest::newRow("neither kind") << import << u"a.txt"_s << QByteArray("Hallo") << QString()
                                  << true << false << 1 << u"Die Datei "_s << 0;
    QTest::newRow("missing file") << import << u"fehlt.ics"_s << QByteArray() << QString() << true
                                  << false << 1 << u"Die Datei \"fehlt.ics\" gibt es nicht."_s << 0;
    QTest::newRow("no database") << exportIcs << u"a.ics"_s << QByteArray() << QString() << false
                                 << false << 2 << u"Im Datenordner "_s << 0;
    QTest::newRow("instance runs") << import << u"a.ics"_s << kOneEvent << QString() << true << true
                                   << 3 << u"Ruvo läuft bereits"_s << 0;
    QTest::newRow("export into a missing folder")
            << exportIcs << u"fehlt/a.ics"_s << QByteArray() << QString() << true << false << 1
            << u"Die Datei \"a.ics\" kann nicht angelegt werden"_s << 0;
}

void TestInterchange::commandLine()
{
    QFETCH(int, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, group);
    QFETCH(bool, database);
    QFETCH(bool, locked);
    QFETCH(int, code);
    QFETCH(QString, said);
    QFETCH(int, rows);

    m_ctx->db.reset();
    if (!database)
        QVERIFY(QFile::remove(m_dir->filePath(u"data.zr"_s)));
    if (!bytes.isEmpty())
        write(file, bytes);
    // The lock a running Ruvo holds.
    QLockFile lock(m_dir->filePath(u"ruvo.lock"_s));
    if (locked)
        QVERIFY(lock.tryLock(0));

    InterchangeCommand command;
    command.action = InterchangeCommand::Action(action);
    command.file = m_dir->filePath(file);
    command.group = group;
    QString out;
    QString err;
    QCOMPARE(run(command, out, err), code);
    QVERIFY2((code == 0 ? out : err).startsWith(said), qPrintable(out + err));
    QCOMPARE(code == 0 ? err : out, QString());
    if (!database) {
        QVERIFY(!QFileInfo::exists(m_dir->filePath(u"data.zr"_s)));
        return;
    }
    const std::unique_ptr<Database> db = Database::open(m_dir->filePath(u"data.zr"_s));
    QCOMPARE(queryNumber(*db, u"SELECT COUNT(*) FROM termine"_s), rows);
    if (rows > 0) {
        const int wanted = group.isEmpty() ? 5 : 7; // "Geschäftlich", the first ordinary group
        QCOMPARE(queryNumber(*db, u"SELECT grup FROM termine"_s), wanted);
    }
}

void TestInterchange::commandLineCards_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("anrede");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said"); // what the run printed, on stdout when it succeeded
    QTest::addColumn<QStringList>("rows");

    const QByteArray withGender = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Ost;Olaf;;;\r\nGENDER:M\r\n"
                                  "END:VCARD\r\n";
    QTest::newRow("no gender, no salutation")
            << withGender + kCardWithoutGender << -1 << 1
            << u"Einem Eintrag fehlt die Anrede (die vCard nennt kein Geschlecht). Mit "
               u"--salutation Frau|Herr wird sie ergänzt; es wurde nichts importiert.\n"_s
            << QStringList();
    QTest::newRow("two without gender")
            << kCardWithoutGender + QByteArray(kCardWithoutGender).replace("Anna", "Bea") << -1 << 1
            << u"2 Einträgen fehlt die Anrede (die vCard nennt kein Geschlecht). Mit "
               u"--salutation Frau|Herr wird sie ergänzt; es wurde nichts importiert.\n"_s
            << QStringList();
    QTest::newRow("no gender, Frau")
            << withGender + kCardWithoutGender << 0 << 0 << u"Importiert: 2 Adressen.\n"_s
            << QStringList{u"Olaf|Ost|1"_s, u"Anna|Berg|0"_s};
    QTest::newRow("every card with a gender")
            << withGender << -1 << 0 << u"Importiert: 1 Adresse.\n"_s
            << QStringList{u"Olaf|Ost|1"_s};
}

void TestInterchange::commandLineCards()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, anrede);
    QFETCH(int, code);
    QFETCH(QString, said);
    QFETCH(QStringList, rows);
    m_ctx->db.reset();
    InterchangeCommand command;
    command.file = write(u"a.vcf"_s, bytes);
    command.anrede = anrede;
    QString out;
    QString err;
    QCOMPARE(run(command, out, err), code);
    QCOMPARE(code == 0 ? out : err, code == 0 ? said : command.file + u": "_s + said);
    QCOMPARE(code == 0 ? err : out, QString());
    const std::unique_ptr<Database> db = Database::open(m_dir->filePath(u"data.zr"_s));
    QCOMPARE(queryRows(*db, u"SELECT vname, nname, anrede FROM adressbuch ORDER BY id"_s), rows);
}

void TestInterchange::realProgramAnswersOnTheTerminal()
{
    m_ctx->db.reset();
    QProcess ruvo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"RUVO_DIR"_s, m_dir->path());
    env.remove(u"DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    ruvo.setProcessEnvironment(env);
    const QString target = m_dir->filePath(u"alle.ics"_s);
    ruvo.start(programPath(), {u"--export-ics"_s, target});
    QVERIFY(ruvo.waitForFinished(30000));
    QCOMPARE(ruvo.exitCode(), 0);
    QVERIFY(readFile(target).startsWith("BEGIN:VCALENDAR"));
    QVERIFY(ruvo.readAllStandardOutput().contains("alle.ics"));

    // While this process holds the folder, the program refuses and says why.
    QLockFile lock(m_dir->filePath(u"ruvo.lock"_s));
    QVERIFY(lock.tryLock(0));
    ruvo.start(programPath(), {u"--import"_s, write(u"a.ics"_s, kOneEvent)});
    QVERIFY(ruvo.waitForFinished(30000));
    QCOMPARE(ruvo.exitCode(), 3);
    QVERIFY(QString::fromUtf8(ruvo.readAllStandardError()).startsWith(u"Ruvo läuft bereits"_s));
}

void TestInterchange::listsOfferTheFourActions()
{
    OrganiserWindow window{Preferences()};
    InterchangeActions actions(*m_ctx);
    actions.attach(window, *window.appointmentPage()->list(), *window.addressPage()->list());
    auto texts = [](const QWidget* list) {
        QStringList out;
        for (const QAction* action : list->actions())
            out << action->text();
        return out;
    };
    QCOMPARE(texts(window.appointmentPage()->list()),
             QStringList(
                     {u"Termine als iCalendar exportieren…"_s, u"iCalendar-Datei importieren…"_s}));
    QCOMPARE(texts(window.addressPage()->list()),
             QStringList({u"Adressen als vCard exportieren…"_s, u"vCard-Datei importieren…"_s}));
    QCOMPARE(window.appointmentPage()->list()->contextMenuPolicy(), Qt::ActionsContextMenu);
    QVERIFY(window.acceptDrops());
}

void TestInterchange::importAsksForTheGroupThenSummarises()
{
    InterchangeActions actions(*m_ctx);
    QSignalSpy imported(&actions, &InterchangeActions::calendarImported);
    m_prompter.answerFile(write(u"a.ics"_s, kOneEvent));
    m_prompter.answerChoice(1); // the second offered group
    actions.importCalendar();

    const QList<ScriptedPrompter::Call>& calls = m_prompter.calls();
    QCOMPARE(calls.size(), 3);
    QCOMPARE(calls.at(0).kind, ScriptedPrompter::Kind::OpenFile);
    QCOMPARE(calls.at(1).kind, ScriptedPrompter::Kind::Choose);
    // The ordinary group leads; the others follow by id.
    QVERIFY(calls.at(1).filter.startsWith(u"Geschäftlich|Feiertag|Urlaub|"_s));
    QCOMPARE(calls.at(2).kind, ScriptedPrompter::Kind::Inform);
    QCOMPARE(calls.at(2).text, u"Importiert: 1 Termin."_s);
    QCOMPARE(imported.size(), 1);
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT grup, desc FROM termine"_s),
             QStringList({u"2|Zahnarzt"_s}));

    // Cancelling the group choice writes nothing; the same file again adds nothing.
    m_prompter.clear();
    actions.importFile(m_dir->filePath(u"a.ics"_s));
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s), 1);
    m_prompter.answerChoice(0);
    actions.importFile(m_dir->filePath(u"a.ics"_s));
    QCOMPARE(m_prompter.calls().last().text,
             u"Importiert: nichts.\nAls bereits vorhanden übersprungen: 1."_s);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s), 1);
    QCOMPARE(imported.size(), 1);
}

void TestInterchange::droppedCardAsksForTheMissingAnrede()
{
    OrganiserWindow window{Preferences()};
    InterchangeActions actions(*m_ctx);
    actions.attach(window, *window.appointmentPage()->list(), *window.addressPage()->list());
    QSignalSpy imported(&actions, &InterchangeActions::addressesImported);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(write(u"anna.vcf"_s, kCardWithoutGender)),
                  QUrl::fromLocalFile(write(u"liste.txt"_s, "nichts"))});
    // Onto the notes, which would otherwise paste the path.
    QWidget* notes = window.notesPage()->editor()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(notes, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    m_prompter.answerChoice(0); // "Frau"
    QCoreApplication::sendEvent(notes, &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(imported.size(), 1);
    QCOMPARE(window.notesPage()->editor()->toPlainText(), QString());

    QCOMPARE(m_prompter.calls().size(), 2);
    QCOMPARE(m_prompter.calls().at(0).text,
             u"Einem Eintrag fehlt die Anrede. Welche soll er bekommen?"_s);
    QCOMPARE(m_prompter.calls().at(0).filter, u"Frau|Herr|Nicht importieren"_s);
    QCOMPARE(m_prompter.calls().at(1).text, u"Importiert: 1 Adresse."_s);
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT vname, nname, anrede FROM adressbuch"_s),
             QStringList({u"Anna|Berg|0"_s}));

    // A drop of nothing importable is left to the window.
    QMimeData text;
    text.setText(u"Hallo"_s);
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    other.setAccepted(false);
    QCoreApplication::sendEvent(&window, &other);
    QVERIFY(!other.isAccepted());
}

void TestInterchange::exportWritesOrReportsTheFile()
{
    InterchangeActions actions(*m_ctx);
    // Without a suffix the file gets one.
    m_prompter.answerFile(m_dir->filePath(u"alle"_s));
    actions.exportCalendar();
    QVERIFY(readFile(m_dir->filePath(u"alle.ics"_s)).startsWith("BEGIN:VCALENDAR"));
    QCOMPARE(m_prompter.transcript().last(),
             u"iCalendar-Export / Die Termine und offenen Aufgaben stehen jetzt in der Datei "
             "\"alle.ics\"."_s);

    // Cancelled: nothing written, nothing said.
    m_prompter.clear();
    actions.exportAddresses();
    QCOMPARE(m_prompter.calls().size(), 1);

    // An earlier file stays whole when the new one cannot be written.
    m_prompter.clear();
    m_prompter.answerFile(m_dir->filePath(u"fehlt/adressen.vcf"_s));
    actions.exportAddresses();
    QCOMPARE(m_prompter.calls().last().kind, ScriptedPrompter::Kind::Warn);
    QVERIFY(m_prompter.calls().last().text.startsWith(
            u"Die Datei \"adressen.vcf\" kann nicht angelegt werden"_s));
}

QTEST_MAIN(TestInterchange)
#include "tst_interchange.moc"
