#include "common/desktopsettings.h"
#include "core/context.h"
#include "settings/settingsactions.h"
#include "settings/settingspage.h"
#include "views/autostart.h"
#include "views/barstrips.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSettingsActions : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void switchesAreCoupled_data();
    void switchesAreCoupled();
    void leadRebuildsTheRepetitions_data();
    void leadRebuildsTheRepetitions();
    void birthdayChoicesReachTheBirthdays();
    void birthdayLeadMovesComingReminders_data();
    void birthdayLeadMovesComingReminders();
    void slidersSetTheBarColour_data();
    void slidersSetTheBarColour();
    void autostartEntryIsWrittenAndRemoved();
    void autostartFolderThatCannotBeMade();
    void execQuotesThePath_data();
    void execQuotesThePath();
    void desktopNotificationsLiveApart_data();
    void desktopNotificationsLiveApart();

private:
    void choose(QComboBox* box, int index);
    QString entryPath() const { return m_config->path() + u"autostart/ruvo - Autostart.desktop"_s; }

    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<TestDirectory> m_config;
    ScriptedPrompter m_prompter;
    FixedClock m_clock;
    std::unique_ptr<Context> m_ctx;
    std::unique_ptr<SettingsPage> m_page;
    std::unique_ptr<SettingsActions> m_actions;
};

void TestSettingsActions::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_config = std::make_unique<TestDirectory>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toUtf8());
    m_prompter.clear();
    m_ctx = std::make_unique<Context>(m_dir->path(), m_prompter, m_clock);
    m_ctx->db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_ctx->db);
    m_ctx->images = ImagePack::load(builtImagePackPath());
    m_page = std::make_unique<SettingsPage>(m_ctx->prefs);
    m_actions = std::make_unique<SettingsActions>(*m_ctx, *m_page);
}

void TestSettingsActions::cleanup()
{
    m_actions.reset();
    m_page.reset();
    m_ctx.reset();
    m_config.reset();
    m_dir.reset();
    qunsetenv("XDG_CONFIG_HOME");
}

void TestSettingsActions::choose(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void TestSettingsActions::switchesAreCoupled_data()
{
    QTest::addColumn<bool>("update");
    QTest::addColumn<bool>("splash");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<bool>("updateAfter");
    QTest::addColumn<bool>("splashAfter");

    QTest::newRow("splash cleared clears update")
            << true << true << u"splashBox"_s << false << false;
    QTest::newRow("update ticked ticks splash") << false << false << u"updateBox"_s << true << true;
    QTest::newRow("update cleared keeps splash") << true << true << u"updateBox"_s << false << true;
    QTest::newRow("splash ticked leaves update")
            << false << false << u"splashBox"_s << false << true;
}

void TestSettingsActions::switchesAreCoupled()
{
    QFETCH(bool, update);
    QFETCH(bool, splash);
    QFETCH(QString, clicked);
    QFETCH(bool, updateAfter);
    QFETCH(bool, splashAfter);
    m_page->updateBox()->setChecked(update);
    m_page->splashBox()->setChecked(splash);
    m_ctx->prefs.update = update;
    m_ctx->prefs.splash = splash;

    m_page->findChild<QCheckBox*>(clicked)->click();

    QCOMPARE(m_page->updateBox()->isChecked(), updateAfter);
    QCOMPARE(m_page->splashBox()->isChecked(), splashAfter);
    QCOMPARE(m_ctx->prefs.update, int(updateAfter));
    QCOMPARE(m_ctx->prefs.splash, int(splashAfter));
}

void TestSettingsActions::leadRebuildsTheRepetitions_data()
{
    QTest::addColumn<int>("lead");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("repeatAfter");

    const QStringList all{u"einmal"_s, u"viertelstündlich"_s, u"stündlich"_s, u"täglich"_s};
    QTest::newRow("keine") << 0 << all << false << 3;
    QTest::newRow("eine Woche zuvor") << 1 << all << true << 0;
    QTest::newRow("ein Tag zuvor") << 2 << all.mid(0, 3) << true << 0;
    QTest::newRow("eine Stunde zuvor") << 3 << all.mid(0, 2) << true << 0;
    QTest::newRow("bei Terminbeginn") << 4 << QStringList{u"einmal"_s} << true << 0;
}

void TestSettingsActions::leadRebuildsTheRepetitions()
{
    QFETCH(int, lead);
    QFETCH(QStringList, choices);
    QFETCH(bool, enabled);
    QFETCH(int, repeatAfter);

    const struct
    {
        QComboBox* lead;
        QComboBox* repeat;
        int* leadSetting;
        int* repeatSetting;
    } pairs[] = {{m_page->birthdayLead(), m_page->birthdayRepeat(), &m_ctx->prefs.gebmsgtime,
                  &m_ctx->prefs.gebremsg},
                 {m_page->defaultLead(), m_page->defaultRepeat(), &m_ctx->prefs.allgmsgtime,
                  &m_ctx->prefs.allgremsg}};
    for (const auto& pair : pairs) {
        choose(pair.repeat, 3);
        QCOMPARE(*pair.repeatSetting, 3);
        choose(pair.lead, lead);
        QCOMPARE(*pair.leadSetting, lead);
        QStringList shown;
        for (int i = 0; i < pair.repeat->count(); ++i)
            shown << pair.repeat->itemText(i);
        QCOMPARE(shown, choices);
        QCOMPARE(pair.repeat->isEnabled(), enabled);
        QCOMPARE(*pair.repeatSetting, repeatAfter);
        QCOMPARE(pair.repeat->currentIndex(), repeatAfter);
    }
}

void TestSettingsActions::birthdayChoicesReachTheBirthdays()
{
    const qint64 birthday = insertTestAppointment(*m_ctx->db, {1000, 2000, 20, u"Oma"_s, 2, 0});
    const qint64 other = insertTestAppointment(*m_ctx->db, {1000, 2000, 5, u"Kunde"_s, 2, 3});
    auto codes = [this](qint64 id) {
        return queryRows(*m_ctx->db, u"SELECT msg, remsg FROM termine WHERE id=%1"_s.arg(id));
    };

    choose(m_page->birthdayRepeat(), 2);
    QCOMPARE(codes(birthday), QStringList{u"2|2"_s});
    // The repetition falls back to "einmal" with the new lead, and the birthdays follow both.
    choose(m_page->birthdayLead(), 4);
    QCOMPARE(codes(birthday), QStringList{u"4|0"_s});
    choose(m_page->birthdayLead(), 0);
    QCOMPARE(codes(birthday), QStringList{u"0|0"_s});
    QCOMPARE(codes(other), QStringList{u"2|3"_s});
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestSettingsActions::birthdayLeadMovesComingReminders_data()
{
    QTest::addColumn<int>("oldLead");
    QTest::addColumn<int>("newLead");
    QTest::addColumn<DateValue>("stored");
    QTest::addColumn<DateValue>("moved");

    // The birthday on 20 March 2008, as its reminder was set after last year's.
    const DateValue birthday = makeDate(2008, 3, 20, 0, 0, 1);
    const DateValue dayAhead = birthday - 86400;
    const DateValue weekAhead = birthday - 7 * 86400;
    QTest::newRow("a day, then a week") << 2 << 1 << dayAhead << weekAhead;
    QTest::newRow("a week, then at the start") << 1 << 4 << weekAhead << birthday - 900;
    QTest::newRow("set before keine, then a week") << 0 << 1 << dayAhead << weekAhead;
    QTest::newRow("keine keeps the time") << 2 << 0 << dayAhead << dayAhead;
    const DateValue repeat = makeDate(2008, 3, 19, 14, 7, 31);
    QTest::newRow("a repeat keeps its time") << 2 << 1 << repeat << repeat;
    const DateValue snoozed = makeDate(2007, 3, 21, 9, 30, 12);
    QTest::newRow("a snooze past the day keeps its time") << 2 << 1 << snoozed << snoozed;
}

void TestSettingsActions::birthdayLeadMovesComingReminders()
{
    QFETCH(int, oldLead);
    QFETCH(int, newLead);
    QFETCH(DateValue, stored);
    QFETCH(DateValue, moved);

    m_ctx->prefs.gebmsgtime = oldLead;
    QVERIFY(m_ctx->db->execSql(u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES "
                               "(%1, 1970, 'Max Muster', %2)"_s.arg(birthdayKey(3, 20))
                                       .arg(stored)));
    choose(m_page->birthdayLead(), newLead);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT nextmsg FROM geburtstage"_s), moved);
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestSettingsActions::slidersSetTheBarColour_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QRgb>("brightest");
    QTest::addColumn<QRgb>("yearTop");

    // The brightest row has factor 255, the year strip's top row 57.
    QTest::newRow("100") << 100 << qRgb(255, 255, 255) << qRgb(57, 57, 57);
    QTest::newRow("10") << 10 << qRgb(26, 26, 26) << qRgb(6, 6, 6);
}

void TestSettingsActions::slidersSetTheBarColour()
{
    QFETCH(int, value);
    QFETCH(QRgb, brightest);
    QFETCH(QRgb, yearTop);
    for (QSlider* slider : {m_page->redSlider(), m_page->greenSlider(), m_page->blueSlider()})
        slider->setValue(value);
    const Preferences& prefs = m_ctx->prefs;
    QCOMPARE(prefs.r, value / 100.0f);
    QCOMPARE(prefs.g, value / 100.0f);
    QCOMPARE(prefs.b, value / 100.0f);

    const QImage year = yearBarStrip(prefs.r, prefs.g, prefs.b);
    const QImage week = weekBarStrip(prefs.r, prefs.g, prefs.b);
    QCOMPARE(year.pixel(0, 6), brightest);
    QCOMPARE(year.pixel(0, 0), yearTop);
    QCOMPARE(week.pixel(0, 12), brightest);
    QCOMPARE(week.pixel(0, 0), qRgb(0, 0, 0));
}

void TestSettingsActions::autostartEntryIsWrittenAndRemoved()
{
    QCOMPARE(Autostart::entryPath(), entryPath());
    m_page->autostartBox()->setChecked(true);
    m_page->autostartBox()->click();
    QCOMPARE(m_ctx->prefs.autostart, 0);
    QVERIFY(!QFile::exists(entryPath()));

    m_page->autostartBox()->click();
    QCOMPARE(m_ctx->prefs.autostart, 1);
    QFile file(entryPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected = "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Version=1.0\n"
                                "Name=Ruvo\n"
                                "Comment=Ruvo - Ruvodesk\n"
                                "Exec=\"" +
                                QCoreApplication::applicationFilePath().toUtf8() +
                                "\"\n"
                                "Icon=" +
                                m_dir->filePath(u"ruvo.png"_s).toUtf8() +
                                "\n"
                                "Terminal=false\n";
    QCOMPARE(file.readAll(), expected);
    file.close();
    QVERIFY(!QImage(m_dir->filePath(u"ruvo.png"_s)).isNull());

    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (!validator.isEmpty()) {
        QProcess process;
        process.start(validator, {entryPath()});
        QVERIFY(process.waitForFinished());
        const QByteArray findings =
                process.readAllStandardOutput() + process.readAllStandardError();
        QVERIFY2(findings.isEmpty(), findings.constData());
        QCOMPARE(process.exitCode(), 0);
    }

    m_page->autostartBox()->click();
    QVERIFY(!QFile::exists(entryPath()));
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestSettingsActions::autostartFolderThatCannotBeMade()
{
    // A plain file where the configuration folder should be.
    QFile blocker(m_config->filePath(u"blocked"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());
    m_page->autostartBox()->setChecked(false);
    m_ctx->prefs.autostart = 0;

    m_page->autostartBox()->click();
    QCOMPARE(m_ctx->prefs.autostart, 1);
    QVERIFY(m_page->autostartBox()->isChecked());
    QVERIFY(!Autostart::setEnabled(true, u"/usr/bin/ruvo"_s, QString()));
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestSettingsActions::execQuotesThePath_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("execLine");

    QTest::newRow("plain") << u"/usr/bin/ruvo"_s << QByteArray("Exec=\"/usr/bin/ruvo\"");
    QTest::newRow("blank and umlaut")
            << u"/home/jörg/Mein Kalender/ruvo"_s
            << QByteArray("Exec=\"/home/j\xc3\xb6rg/Mein Kalender/ruvo\"");
    // Inside the quotes each of " ` $ \ takes a backslash; then every backslash of the value is
    // doubled once more. A percent sign is doubled so it is no field code.
    QTest::newRow("reserved characters")
            << u"/opt/a\"b`c$d\\e%f/ruvo"_s
            << QByteArray("Exec=\"/opt/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f/ruvo\"");
}

void TestSettingsActions::execQuotesThePath()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, execLine);
    const QList<QByteArray> lines = Autostart::entryText(program, u"/x/ruvo.png"_s).split('\n');
    QVERIFY2(lines.contains(execLine), Autostart::entryText(program, QString()).constData());
}

void TestSettingsActions::desktopNotificationsLiveApart_data()
{
    QTest::addColumn<bool>("storedBefore");
    QTest::addColumn<bool>("writable");
    QTest::newRow("tick") << false << true;
    QTest::newRow("clear") << true << true;
    QTest::newRow("file cannot be written") << false << false;
}

void TestSettingsActions::desktopNotificationsLiveApart()
{
    QFETCH(bool, storedBefore);
    QFETCH(bool, writable);
    const QString path = m_dir->filePath(u"desktop.ini"_s);
    if (!writable)
        QVERIFY(QDir().mkpath(path)); // a folder where the file belongs
    if (storedBefore)
        QVERIFY(DesktopSettings{true}.write(path));
    m_ctx->desktop = DesktopSettings::read(path);
    m_page = std::make_unique<SettingsPage>(m_ctx->prefs);
    m_actions = std::make_unique<SettingsActions>(*m_ctx, *m_page);
    QCheckBox* box = m_page->desktopNotificationsBox();
    QCOMPARE(box->text().remove(u'\n'), u"Erinnerungen als Desktop-Benachrichtigung"_s);
    QCOMPARE(box->isChecked(), storedBefore);

    box->click();
    QCOMPARE(m_ctx->desktop.notifications, !storedBefore);
    QCOMPARE(DesktopSettings::read(path).notifications, writable && !storedBefore);
    QVERIFY(!QFile::exists(m_dir->filePath(u"prefs.ini"_s)));
    QCOMPARE(m_prompter.transcript(),
             writable ? QStringList()
                      : QStringList{u"Fehler / Die Einstellung konnte nicht in „%1“ gespeichert "
                                    "werden. Sie gilt nur, bis Ruvo beendet wird."_s.arg(path)});
}

QTEST_MAIN(TestSettingsActions)
#include "tst_settingsactions.moc"
