#include "store/database.h"
#include "store/querycursor.h"
#include "store/schema.h"

#include "support/testdatabase.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// A first run killed at any moment must leave a file that the next start either recognises as
// empty (and asks the first-run question again) or finds complete.
class TestBootstrapCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedBootstrapLeavesEmptyOrCompleteFile();
};

void TestBootstrapCrash::killedBootstrapLeavesEmptyOrCompleteFile()
{
    constexpr int kTrials = 100;
    // Long enough for the open and the whole bootstrap, so the kills spread over all of it.
    QElapsedTimer clock;
    qint64 bootstrapUs = 0;
    {
        TestDirectory dir;
        clock.start();
        auto db = Database::open(dir.filePath(u"data.zr"_s));
        QVERIFY(Schema::bootstrap(*db));
        bootstrapUs = clock.nsecsElapsed() / 1000;
    }

    int empty = 0;
    int complete = 0;
    QRandomGenerator random(20071209);
    for (int trial = 0; trial < kTrials; ++trial) {
        TestDirectory dir;
        const QString path = dir.filePath(u"data.zr"_s);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            auto db = Database::open(path);
            const bool built = db && Schema::bootstrap(*db);
            _exit(built ? 0 : 1);
        }
        usleep(useconds_t(random.bounded(qint64(1), bootstrapUs * 3 / 2 + 2)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        auto db = Database::open(path);
        QVERIFY(db);
        switch (Schema::examine(*db)) {
        case Schema::State::Empty:
            ++empty;
            break;
        case Schema::State::Usable:
            QCOMPARE(queryNumber(*db, u"SELECT COUNT(*) FROM grups"_s), qint64(20));
            QCOMPARE(queryNumber(*db, u"SELECT COUNT(*) FROM feiertage"_s), qint64(1292));
            ++complete;
            break;
        case Schema::State::Unreadable:
            QFAIL(qPrintable(u"trial %1: a file the next start cannot use: %2"_s.arg(trial).arg(
                    db->errorText())));
        }
    }
    qInfo("%d trials: %d empty, %d complete", kTrials, empty, complete);
    QCOMPARE(empty + complete, kTrials);
}

QTEST_GUILESS_MAIN(TestBootstrapCrash)
#include "tst_bootstrapcrash.moc"
