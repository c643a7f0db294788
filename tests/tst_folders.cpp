#include "app/trayclicks.h"
#include "core/folders.h"
#include "store/earlierfiles.h"

#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// Where the program's files live, the one-time move of earlier files, and the tray's clicks.
class TestFolders : public QObject
{
    Q_OBJECT
private slots:
    void dataFolderFromEnvironment_data();
    void dataFolderFromEnvironment();
    void installedFileFromEitherLayout();
    void earlierFilesAreCopiedOnce();
    void earlierFilesLeftWhenDataFolderHasADatabase();
    void failedCopyLeavesNoDatabase();
    void trayToggle_data();
    void trayToggle();
};

void TestFolders::dataFolderFromEnvironment_data()
{
    QTest::addColumn<bool>("ruvoDir");
    QTest::newRow("RUVO_DIR set") << true;
    QTest::newRow("XDG_DATA_HOME only") << false;
}

void TestFolders::dataFolderFromEnvironment()
{
    QFETCH(bool, ruvoDir);
    TestDirectory dir;
    const QByteArray oldRuvo = qgetenv("RUVO_DIR");
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (dir.path() + u"xdg"_s).toUtf8());
    if (ruvoDir)
        qputenv("RUVO_DIR", (dir.path() + u"mine"_s).toUtf8());
    else
        qunsetenv("RUVO_DIR");

    const Folders folders = Folders::locate();
    qputenv("RUVO_DIR", oldRuvo);
    qputenv("XDG_DATA_HOME", oldXdg);

    QCOMPARE(folders.data, dir.path() + (ruvoDir ? u"mine/"_s : u"xdg/ruvo/"_s));
    const QString executableDir = QCoreApplication::applicationDirPath() + u'/';
    QCOMPARE(folders.installation.first(), executableDir);
    QCOMPARE(folders.earlier, executableDir);
    // Finding the folder creates nothing.
    QVERIFY(!QFileInfo::exists(folders.data));
}

void TestFolders::installedFileFromEitherLayout()
{
    TestDirectory dir;
    const Folders folders{
            dir.path() + u"data/"_s, {dir.path() + u"bin/"_s, dir.path() + u"share/ruvo/"_s}, {}};
    QCOMPARE(folders.installedFile(u"imgs.pak"_s), dir.path() + u"bin/imgs.pak"_s);
    writeFile(dir.path() + u"share/ruvo/imgs.pak"_s, "pack");
    QCOMPARE(folders.installedFile(u"imgs.pak"_s), dir.path() + u"share/ruvo/imgs.pak"_s);
    writeFile(dir.path() + u"bin/imgs.pak"_s, "pack");
    QCOMPARE(folders.installedFile(u"imgs.pak"_s), dir.path() + u"bin/imgs.pak"_s);
}

void TestFolders::earlierFilesAreCopiedOnce()
{
    TestDirectory dir;
    const QString earlier = dir.path() + u"build/"_s;
    const QString data = dir.path() + u"data/"_s;
    const QStringList names{u"data.zr"_s,    u"recovery.zr"_s,      u"prefs.ini"_s,
                            u"notizen.zr"_s, u"recovery/(a).rec"_s, u"ascii/01.png"_s};
    for (const QString& name : names)
        writeFile(earlier + name, name.toUtf8());
    writeFile(earlier + u"ruvo.lock"_s, "lock");

    QCOMPARE(EarlierFiles::adopt(earlier, data), EarlierFiles::Outcome::Copied);
    for (const QString& name : names) {
        QCOMPARE(readFile(data + name), name.toUtf8());
        QCOMPARE(readFile(earlier + name), name.toUtf8()); // the old ones stay
    }
    QVERIFY(!QFileInfo::exists(data + u"ruvo.lock"_s));

    // What the user changes afterwards is never overwritten by the old files.
    writeFile(data + u"prefs.ini"_s, "changed");
    QCOMPARE(EarlierFiles::adopt(earlier, data), EarlierFiles::Outcome::Nothing);
    QCOMPARE(readFile(data + u"prefs.ini"_s), QByteArray("changed"));
}

void TestFolders::earlierFilesLeftWhenDataFolderHasADatabase()
{
    TestDirectory dir;
    writeFile(dir.path() + u"build/data.zr"_s, "old");
    writeFile(dir.path() + u"build/prefs.ini"_s, "old");
    writeFile(dir.path() + u"data/data.zr"_s, "new");
    QCOMPARE(EarlierFiles::adopt(dir.path() + u"build/"_s, dir.path() + u"data/"_s),
             EarlierFiles::Outcome::Nothing);
    QVERIFY(!QFileInfo::exists(dir.path() + u"data/prefs.ini"_s));
    // Without a database beside the executable there is nothing to take over.
    QCOMPARE(EarlierFiles::adopt(dir.path() + u"nothing/"_s, dir.path() + u"other/"_s),
             EarlierFiles::Outcome::Nothing);
}

void TestFolders::failedCopyLeavesNoDatabase()
{
    TestDirectory dir;
    writeFile(dir.path() + u"build/data.zr"_s, "old");
    writeFile(dir.path() + u"build/notizen.zr"_s, "old");
    // A folder in the way of a file cannot be replaced by it.
    QVERIFY(QDir().mkpath(dir.path() + u"data/notizen.zr"_s));
    QString failed;
    QCOMPARE(EarlierFiles::adopt(dir.path() + u"build/"_s, dir.path() + u"data/"_s, &failed),
             EarlierFiles::Outcome::Failed);
    QCOMPARE(failed, dir.path() + u"build/notizen.zr"_s);
    QVERIFY(!QFileInfo::exists(dir.path() + u"data/data.zr"_s));
}

void TestFolders::trayToggle_data()
{
    using Reason = QSystemTrayIcon::ActivationReason;
    QTest::addColumn<QList<Reason>>("reasons");
    QTest::addColumn<int>("toggles");
    QTest::newRow("single activation") << QList<Reason>{QSystemTrayIcon::Trigger} << 1;
    // Older trays report the first click of a double click on its own.
    QTest::newRow("double click") << QList<Reason>{QSystemTrayIcon::Trigger,
                                                   QSystemTrayIcon::DoubleClick}
                                  << 1;
    QTest::newRow("double click alone") << QList<Reason>{QSystemTrayIcon::DoubleClick} << 1;
    QTest::newRow("menu") << QList<Reason>{QSystemTrayIcon::Context} << 0;
    QTest::newRow("middle button") << QList<Reason>{QSystemTrayIcon::MiddleClick} << 0;
}

void TestFolders::trayToggle()
{
    QFETCH(QList<QSystemTrayIcon::ActivationReason>, reasons);
    QFETCH(int, toggles);
    TrayClicks clicks;
    clicks.setDoubleClickInterval(50);
    QSignalSpy spy(&clicks, &TrayClicks::toggleRequested);
    for (QSystemTrayIcon::ActivationReason reason : reasons)
        clicks.activated(reason);
    QTest::qWait(200);
    QCOMPARE(spy.count(), toggles);
}

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
