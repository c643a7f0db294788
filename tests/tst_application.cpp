#include "app/application.h"
#include "app/organiserwindow.h"
#include "app/traymenu.h"
#include "appointments/appointmentlist.h"
#include "appointments/appointmentpage.h"
#include "common/imagepackformat.h"
#include "store/database.h"
#include "store/schema.h"
#include "todo/todopanel.h"
#include "views/overviewpage.h"
#include "views/overviewview.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <csignal>
#include <functional>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kFirstRunQuestion =
        u"Datenbank / Es scheint keine bestehende Datenbank zu existieren,\n"
        "entweder es wird eine Leere Datenbank erstellt, oder es wird versucht eine bestehende "
        "Datenbanksicherung rück zu sichern.\nMöchten Sie eine Neue Datenbank erstellen?"_s;
const QString kRestoreQuestion =
        u"Datenbankfehler entdeckt! / Es wurde ein Datenbankfehler entdeckt. Stellen Sie sicher, "
        "dass Ruvo nur einmal ausgeführt wird.\n Falls der Fehler zum wiederholten male auftritt "
        "sollten Sie die Sicherungsdatenbank Rücksichern.\nSoll jetzt rückgesichert werden?"_s;

} // namespace

// The start-up paths that end before the event loop, run in-process with scripted answers.
class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void damagedImagePackEndsWithMessage_data();
    void damagedImagePackEndsWithMessage();
    void secondInstanceIsTurnedAway();
    void leftoverLockIsTakenOver_data();
    void leftoverLockIsTakenOver();
    void unopenableDatabaseShowsSqliteText();
    void declinedFirstRunOffersRestore();
    void declinedFirstRunRestoresRecoveryCopy();
    void unusableDatabaseAsksToRestoreFirst_data();
    void unusableDatabaseAsksToRestoreFirst();
    void firstRunOnAFullDiskIsReportedOnce();
    void unreadableFileIsReportedAndKept_data();
    void unreadableFileIsReportedAndKept();
    void terminationUnderADialogRunsTheRegularExit_data();
    void terminationUnderADialogRunsTheRegularExit();
    void minimisedWindowComesBack();
    void earlierFilesSpareTheFirstRunQuestion();
    void trayMenuItems();
    void firstReminderScanAtStartUp();
    void appointmentListIsReadOnlyWhenNeeded_data();
    void appointmentListIsReadOnlyWhenNeeded();
    void closingWithoutTrayAsks_data();
    void closingWithoutTrayAsks();
    void importReachesTheListAndTheTodoColumn();
    void displayButtonOpensTheFilter();

private:
    int run();
    // Runs the program on a complete database; the step runs in the event loop, then "Beenden".
    int runWith(const std::function<void()>& step);
    static QAction* trayAction(int index);
    static OrganiserWindow* mainWindow();

    std::unique_ptr<TestDirectory> m_dir;
    std::optional<Folders> m_folders;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{makeDate(2007, 9, 20, 19, 56, 0)};
};

void TestApplication::init()
{
    m_dir = std::make_unique<TestDirectory>();
    QVERIFY(QFile::copy(builtImagePackPath(), m_dir->filePath(u"imgs.pak"_s)));
}

void TestApplication::cleanup()
{
    m_dir.reset();
    m_folders.reset();
    m_prompter.clear();
}

int TestApplication::run()
{
    Context context(m_folders ? *m_folders : Folders{m_dir->path(), {m_dir->path()}, {}},
                    m_prompter, m_clock);
    Application app(context);
    return app.run();
}

QAction* TestApplication::trayAction(int index)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"trayMenu"_s)
            return widget->actions().at(index);
    }
    return nullptr;
}

int TestApplication::runWith(const std::function<void()>& step)
{
    if (!m_folders && !QFile::exists(m_dir->filePath(u"data.zr"_s)))
        createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    // The splash would hold the start-up in an animation of its own.
    if (!m_folders && !QFileInfo::exists(m_dir->filePath(u"prefs.ini"_s)))
        writeFile(m_dir->filePath(u"prefs.ini"_s), "splash = 0\r\n");
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (!trayAction(0))
            return; // still starting
        poll.stop();
        step();
        QTimer::singleShot(300, &poll, [] { trayAction(4)->trigger(); }); // "Beenden"
    });
    poll.start(50);
    // Nothing may keep a broken run alive.
    QTimer::singleShot(20000, &poll, [] { QApplication::exit(1); });
    return run();
}

void TestApplication::damagedImagePackEndsWithMessage_data()
{
    QTest::addColumn<QByteArray>("pack");
    QTest::addColumn<bool>("present");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("truncated") << readFile(builtImagePackPath()).left(5000) << true;
    QTest::newRow("garbage") << QByteArray(3000, '\xab') << true;
}

void TestApplication::damagedImagePackEndsWithMessage()
{
    QFETCH(QByteArray, pack);
    QFETCH(bool, present);
    QFile::remove(m_dir->filePath(u"imgs.pak"_s));
    if (present)
        writeFile(m_dir->filePath(u"imgs.pak"_s), pack);

    QCOMPARE(run(), 0);
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"ERROR / couldn't Load Image PAK-file....(hasches gfressn?\?)"_s});
    QVERIFY(!QFile::exists(m_dir->filePath(u"data.zr"_s)));
}

void TestApplication::secondInstanceIsTurnedAway()
{
    QLockFile running(m_dir->filePath(u"ruvo.lock"_s));
    QVERIFY(running.tryLock(0));
    QCOMPARE(run(), 0);
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Instance Running / Sorry, aber Ruvo ist bereits einmal gestartet, "
                         "eventuell ist es in der rechten Ecke der Taskleiste als kleines Icon "
                         "versteckt.(kann nicht doppelt gestartet werden)"_s});
    // The database of the running instance is not touched: no first-run question either.
    QVERIFY(!QFile::exists(m_dir->filePath(u"data.zr"_s)));
}

void TestApplication::leftoverLockIsTakenOver_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("held");
    QTest::newRow("empty, after a power cut") << QByteArray() << false;
    QTest::newRow("garbage") << QByteArray("\0\xff\xfe junk\n\n") << false;
    QTest::newRow("names another machine") << QByteArray("4242\nruvo\nelsewhere\n") << false;
    QTest::newRow("empty, but held by a live process") << QByteArray() << true;
    QTest::newRow("garbage, but held by a live process") << QByteArray("junk") << true;
}

void TestApplication::leftoverLockIsTakenOver()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, held);
    const QString path = m_dir->filePath(u"ruvo.lock"_s);
    writeFile(path, contents);
    pid_t holder = -1;
    if (held) {
        // Another process holds the file as a running instance does, whatever it wrote there.
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        holder = fork();
        QVERIFY(holder >= 0);
        if (holder == 0) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
            if (fd < 0 || flock(fd, LOCK_EX) != 0)
                _exit(1);
            (void)!write(ready[1], "1", 1);
            pause();
            _exit(0);
        }
        char byte = 0;
        QCOMPARE(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        close(ready[1]);
    }
    const int code = runWith([] {});
    if (holder > 0) {
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
    }
    QCOMPARE(code, 0);
    QCOMPARE(m_prompter.transcript().join(u'\n').startsWith(u"Instance Running"_s), held);
    // The program started and ended as usual.
    QCOMPARE(QFile::exists(m_dir->filePath(u"recovery.zr"_s)), !held);
}

void TestApplication::unopenableDatabaseShowsSqliteText()
{
    // A folder in place of the file cannot be opened as a database.
    QVERIFY(QDir(m_dir->path()).mkdir(u"data.zr"_s));
    writeFile(m_dir->filePath(u"data.zr/x"_s), "x");
    QCOMPARE(run(), 0);
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls().first().title, u"Error"_s);
    QVERIFY2(m_prompter.calls().first().text.contains(u"unable to open"_s),
             qPrintable(m_prompter.calls().first().text));
    QVERIFY(!QFile::exists(m_dir->filePath(u"prefs.ini"_s)));
}

void TestApplication::declinedFirstRunOffersRestore()
{
    writeFile(m_dir->filePath(u"data.zr"_s), QByteArray()); // empty counts as missing
    m_prompter.answer(false);                               // no new database
    m_prompter.answer(false);                               // no restore
    QCOMPARE(run(), 0);
    QCOMPARE(m_prompter.transcript(), (QStringList{kFirstRunQuestion, kRestoreQuestion}));
    QVERIFY(!QFile::exists(m_dir->filePath(u"prefs.ini"_s)));
    QVERIFY(!QFile::exists(m_dir->filePath(u"recovery.zr"_s)));
}

void TestApplication::declinedFirstRunRestoresRecoveryCopy()
{
    createBootstrappedDatabase(m_dir->filePath(u"recovery.zr"_s));
    writeFile(m_dir->filePath(u"notizen.zr"_s), "Meine Notizen\r\n");
    writeFile(m_dir->filePath(u"prefs.ini"_s), "legende = 1\r\n");
    m_prompter.answer(false); // no new database
    m_prompter.answer(true);  // restore recovery.zr
    QCOMPARE(run(), 0);
    QCOMPARE(m_prompter.transcript(),
             (QStringList{kFirstRunQuestion, kRestoreQuestion,
                          u"Rücksicherung / Die Rücksicherung wurde erfolgreich durchgeführt!"_s}));
    QCOMPARE(readFile(m_dir->filePath(u"data.zr"_s)), readFile(m_dir->filePath(u"recovery.zr"_s)));
    // Neither settings nor notes were read in this run, so both files keep what they held.
    QCOMPARE(readFile(m_dir->filePath(u"prefs.ini"_s)), QByteArray("legende = 1\r\n"));
    QCOMPARE(readFile(m_dir->filePath(u"notizen.zr"_s)), QByteArray("Meine Notizen\r\n"));
}

void TestApplication::unusableDatabaseAsksToRestoreFirst_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("firstMessage");
    QTest::newRow("not a database")
            << u"garbage"_s << u"Datenbankfehler / file is not a database"_s;
    QTest::newRow("table missing")
            << u"DROP TABLE termine"_s << u"Datenbankfehler / no such table: termine"_s;
    QTest::newRow("holidays missing")
            << u"DROP TABLE feiertage"_s << u"Datenbankfehler / no such table: feiertage"_s;
    QTest::newRow("to-dos missing")
            << u"DROP TABLE todo"_s << u"Datenbankfehler / no such table: todo"_s;
    QTest::newRow("column missing") << u"ALTER TABLE geburtstage DROP COLUMN nextmsg"_s
                                    << u"Datenbankfehler / no such column: nextmsg"_s;
    // A first run cut short by a crash rolls back to a file without tables.
    QTest::newRow("no tables") << u"no tables"_s << kFirstRunQuestion;
}

void TestApplication::unusableDatabaseAsksToRestoreFirst()
{
    QFETCH(QString, damage);
    QFETCH(QString, firstMessage);
    const QString data = m_dir->filePath(u"data.zr"_s);
    if (damage == u"garbage"_s) {
        writeFile(data, QByteArray(5000, '\x5a'));
    } else if (damage == u"no tables"_s) {
        auto db = Database::open(data);
        QVERIFY(db->execSql(u"PRAGMA user_version = 7"_s));
    } else {
        auto db = createBootstrappedDatabase(data);
        QVERIFY(db->execSql(damage));
    }
    const QByteArray before = readFile(data);
    m_prompter.answer(false);
    m_prompter.answer(false);
    QCOMPARE(run(), 0);
    QCOMPARE(m_prompter.transcript(), (QStringList{firstMessage, kRestoreQuestion}));
    QCOMPARE(readFile(data), before);
    QVERIFY(!QFile::exists(m_dir->filePath(u"prefs.ini"_s)));
}

void TestApplication::firstRunOnAFullDiskIsReportedOnce()
{
    // No file of this process may grow past a few pages: the disk is full for the database.
    rlimit before{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
    const rlimit full{16 * 1024, before.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &full) == 0);
    m_prompter.answer(true);  // a new database
    m_prompter.answer(false); // no restore
    const int code = run();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(code, 0);
    QCOMPARE(m_prompter.transcript(),
             (QStringList{kFirstRunQuestion, u"Datenbankfehler / disk I/O error"_s,
                          kRestoreQuestion}));
    // Nothing half-built is left: the next start asks the first-run question again.
    auto db = Database::open(m_dir->filePath(u"data.zr"_s));
    QVERIFY(db);
    QCOMPARE(Schema::examine(*db), Schema::State::Empty);
}

void TestApplication::unreadableFileIsReportedAndKept_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("settings") << u"prefs.ini"_s;
    QTest::newRow("notes") << u"notizen.zr"_s;
}

void TestApplication::unreadableFileIsReportedAndKept()
{
    QFETCH(QString, name);
    // Root reads any file, so a folder in the file's place stands for one that cannot be read.
    const QString path = m_dir->filePath(name);
    QVERIFY(QDir().mkpath(path));
    QCOMPARE(runWith([] {}), 0);
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Fehler / Die Datei „%1“ konnte nicht gelesen werden. Sie wird bis zum "
                         "nächsten Start nicht überschrieben, damit nichts verloren geht."_s.arg(
                                 path)});
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QFile::exists(m_dir->filePath(u"recovery.zr"_s)));
}

void TestApplication::terminationUnderADialogRunsTheRegularExit_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestApplication::terminationUnderADialogRunsTheRegularExit()
{
    QFETCH(int, signalNumber);
    bool dialogWasOpen = false;
    const int code = runWith([&] {
        QTimer::singleShot(200, qApp, [&, signalNumber] {
            dialogWasOpen = QApplication::activeModalWidget() != nullptr;
            ::raise(signalNumber);
        });
        trayAction(1)->trigger(); // "Termine verwalten": the day dialog, until it is ended
    });
    QCOMPARE(code, 0);
    QVERIFY(dialogWasOpen);
    QVERIFY(QFile::exists(m_dir->filePath(u"prefs.ini"_s)));
    QVERIFY(QFile::exists(m_dir->filePath(u"notizen.zr"_s)));
    QCOMPARE(readFile(m_dir->filePath(u"recovery.zr"_s)), readFile(m_dir->filePath(u"data.zr"_s)));
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestApplication::minimisedWindowComesBack()
{
    bool minimisedBefore = false;
    bool minimisedAfter = true;
    QCOMPARE(runWith([&] {
                 QWidget* window = QApplication::activeWindow();
                 for (QWidget* widget : QApplication::topLevelWidgets()) {
                     if (widget->objectName() == u"mainWindow"_s)
                         window = widget;
                 }
                 QVERIFY(window);
                 window->showMinimized();
                 minimisedBefore = window->isMinimized();
                 trayAction(0)->trigger(); // "Hauptfenster Anzeigen"
                 minimisedAfter = window->isMinimized();
             }),
             0);
    QVERIFY(minimisedBefore);
    QVERIFY(!minimisedAfter);
}

void TestApplication::earlierFilesSpareTheFirstRunQuestion()
{
    const QString old = m_dir->filePath(u"old/"_s);
    const QString data = m_dir->filePath(u"data/"_s);
    QVERIFY(QDir().mkpath(old));
    createBootstrappedDatabase(old + u"data.zr"_s)
            ->execSql(u"INSERT INTO termine (date, enddate, grup, desc) VALUES (1, 2, 3, 'alt')"_s);
    writeFile(old + u"prefs.ini"_s, "splash = 0\r\nlegende = 1\r\n");
    m_folders = Folders{data, {m_dir->path()}, old};

    QCOMPARE(runWith([] {}), 0);
    QCOMPARE(m_prompter.transcript(), QStringList());
    auto db = Database::open(data + u"data.zr"_s);
    QCOMPARE(queryRows(*db, u"SELECT desc FROM termine"_s), QStringList{u"alt"_s});
    QVERIFY(readFile(data + u"prefs.ini"_s).contains("legende = 1\r\n"));
    QVERIFY(QFile::exists(data + u"recovery.zr"_s));
    QVERIFY(QFile::exists(old + u"data.zr"_s));
}

void TestApplication::trayMenuItems()
{
    TrayMenu menu;
    QStringList texts;
    for (QAction* action : menu.actions())
        texts << (action->isSeparator() ? u"-"_s : action->text());
    QCOMPARE(texts, (QStringList{u"&Hauptfenster Anzeigen"_s, u"&Termine verwalten"_s, u"&Info"_s,
                                 u"-"_s, u"Beenden"_s}));
    QSignalSpy quit(&menu, &TrayMenu::quitRequested);
    menu.actions().last()->trigger();
    QCOMPARE(quit.count(), 1);
}

void TestApplication::firstReminderScanAtStartUp()
{
    createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s))
            ->execSql(u"INSERT INTO todo (desc, enddate, remsg, nextmsg) VALUES ('Jetzt', -1, 0, "
                      "0)"_s);
    bool shown = false;
    QCOMPARE(runWith([&] {
                 for (QWidget* widget : QApplication::topLevelWidgets()) {
                     if (widget->objectName() == u"reminderWindow"_s)
                         shown = widget->isVisible();
                 }
             }),
             0);
    QVERIFY(shown);
}

OrganiserWindow* TestApplication::mainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* main = qobject_cast<OrganiserWindow*>(widget))
            return main;
    }
    return nullptr;
}

void TestApplication::appointmentListIsReadOnlyWhenNeeded_data()
{
    QTest::addColumn<bool>("writtenMeanwhile");
    QTest::addColumn<int>("refills");
    QTest::newRow("Abbrechen") << false << 0;
    QTest::newRow("another program wrote meanwhile") << true << 1;
}

void TestApplication::appointmentListIsReadOnlyWhenNeeded()
{
    QFETCH(bool, writtenMeanwhile);
    QFETCH(int, refills);
    createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s))
            ->execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, redo, "
                      "nextmsg) VALUES (1300000000, 5, 'Messe', 1300003600, 0, 0, 0, '', 0)"_s);
    int rowsAtStart = -1;
    int rowsOnOpening = -1;
    int resets = -1;
    QCOMPARE(runWith([&] {
                 OrganiserWindow* window = mainWindow();
                 QVERIFY(window);
                 AppointmentPage* page = window->appointmentPage();
                 rowsAtStart = page->model()->rowCount();
                 window->tabs()->setCurrentWidget(page);
                 rowsOnOpening = page->model()->rowCount();

                 QSignalSpy reset(page->model(), &QAbstractItemModel::modelReset);
                 QTimer::singleShot(0, [&] {
                     if (writtenMeanwhile) {
                         auto other = Database::open(m_dir->filePath(u"data.zr"_s));
                         other->execSql(u"UPDATE termine SET desc='Messe Köln'"_s);
                     }
                     if (auto* dialog = QApplication::activeModalWidget())
                         dialog->findChild<QPushButton*>(u"cancelButton"_s)->click();
                 });
                 // A double click on the Monday of the week picture opens its day dialog.
                 emit window->weekPage()->view()->doubleClicked(QPoint(100, 30));
                 resets = reset.size();
             }),
             0);
    QCOMPARE(rowsAtStart, 0);
    QCOMPARE(rowsOnOpening, 1);
    QCOMPARE(resets, refills);
}

void TestApplication::closingWithoutTrayAsks_data()
{
    QTest::addColumn<bool>("quit");
    QTest::newRow("quit") << true;
    QTest::newRow("keep running") << false;
}

void TestApplication::closingWithoutTrayAsks()
{
    QFETCH(bool, quit);
    m_prompter.answer(quit);
    bool shownAtStart = false;
    bool hidden = false;
    bool endedByMenu = false;
    QCOMPARE(runWith([&] {
                 QWidget* window = nullptr;
                 for (QWidget* widget : QApplication::topLevelWidgets()) {
                     if (widget->objectName() == u"mainWindow"_s)
                         window = widget;
                 }
                 QVERIFY(window);
                 connect(trayAction(4), &QAction::triggered, [&] { endedByMenu = true; });
                 shownAtStart = window->isVisible();
                 window->close();
                 hidden = !window->isVisible();
             }),
             0);
    QVERIFY(shownAtStart); // the offscreen platform has no tray
    QCOMPARE(hidden, !quit);
    // Kept running, the program ends only by "Beenden".
    QCOMPARE(endedByMenu, !quit);
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Ruvo beenden / Der Desktop bietet keinen Platz für das Ruvo-Symbol in "
                         "der Taskleiste.\nSoll Ruvo beendet werden?\nBei „Nein“ läuft Ruvo ohne "
                         "Fenster weiter und erinnert an Termine; das Symbol erscheint, sobald der "
                         "Desktop einen Platz dafür anbietet."_s});
    QVERIFY(QFile::exists(m_dir->filePath(u"recovery.zr"_s)));
}

void TestApplication::importReachesTheListAndTheTodoColumn()
{
    // The import is done by one part; the list and the to-do column belong to others.
    const QString path = m_dir->filePath(u"import.ics"_s);
    writeFile(path, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                    "BEGIN:VEVENT\r\nUID:e1\r\nDTSTART:20071001T100000\r\n"
                    "DTEND:20071001T110000\r\nSUMMARY:Messe\r\nEND:VEVENT\r\n"
                    "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Koffer packen\r\nEND:VTODO\r\n"
                    "END:VCALENDAR\r\n");
    m_prompter.answerFile(path);
    m_prompter.answerChoice(0);
    int listRows = -1;
    int todoRows = -1;
    QCOMPARE(runWith([&] {
                 OrganiserWindow* window = mainWindow();
                 QVERIFY(window);
                 AppointmentPage* page = window->appointmentPage();
                 window->tabs()->setCurrentWidget(page);
                 auto* import = page->list()->findChild<QAction*>(u"importCalendarAction"_s);
                 QVERIFY(import);
                 import->trigger();
                 listRows = page->model()->rowCount();
                 todoRows = window->todoPanel()->list()->topLevelItemCount();
             }),
             0);
    QCOMPARE(listRows, 1);
    QCOMPARE(todoRows, 1);
}

void TestApplication::displayButtonOpensTheFilter()
{
    QString opened;
    QCOMPARE(runWith([&] {
                 OrganiserWindow* window = mainWindow();
                 QVERIFY(window);
                 QTimer::singleShot(0, [&] {
                     if (QWidget* dialog = QApplication::activeModalWidget()) {
                         opened = dialog->windowTitle();
                         dialog->close();
                     }
                 });
                 window->weekPage()->displayButton()->click();
             }),
             0);
    QCOMPARE(opened, u"Einstellungen für Anzeige"_s);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
