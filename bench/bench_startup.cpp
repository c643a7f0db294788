// Start-up of the whole program on a data folder of 0, 2,000, 20,000 and 100,000 appointments,
// each run in a process of its own: the time from main() to the first idle event loop (the
// window shown and drawn), the processor time it took and the resident memory at that moment.

#include "app/application.h"
#include "core/context.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "organiser.h"
#include "silentprompter.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

double processorMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double residentMegabytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// The child: starts the program on the folder and prints "milliseconds cpu rss" once the event
// loop has nothing more to do.
int runChild(int argc, char** argv, const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    SilentPrompter prompter(false);
    SystemClock clock;
    Context ctx(folder + u'/', prompter, clock);
    Application program(ctx);
    QTimer::singleShot(0, &app, [&] {
        // One more round, so that the window's first paint is in.
        QTimer::singleShot(0, &app, [&] {
            std::printf("%lld %.1f %.1f\n", static_cast<long long>(timer.elapsed()),
                        processorMilliseconds(), residentMegabytes());
            std::fflush(stdout);
            program.requestQuit(QuitState::Exit);
        });
    });
    return program.run();
}

QString folderFor(int appointments)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& dir = folders[appointments];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        if (!writeOrganiser(dir->path(), appointments))
            return {};
    }
    return dir->path();
}

void startUp(benchmark::State& state)
{
    const QString folder = folderFor(static_cast<int>(state.range(0)));
    if (folder.isEmpty()) {
        state.SkipWithError("could not build the organiser");
        return;
    }
    double cpu = 0;
    double rss = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--child"_s, folder});
        if (!child.waitForFinished(120000)) {
            state.SkipWithError("the program did not end");
            return;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        if (figures.size() != 3) {
            state.SkipWithError("the program reported nothing");
            return;
        }
        state.SetIterationTime(figures[0].toDouble() / 1000.0);
        cpu += figures[1].toDouble();
        rss = figures[2].toDouble();
    }
    state.counters["cpu_ms"] = cpu / double(state.iterations());
    state.counters["rss_mb"] = rss;
}
BENCHMARK(startUp)
        ->ArgName("appointments")
        ->Arg(0)
        ->Arg(2000)
        ->Arg(20000)
        ->Arg(100000)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);

} // namespace

// Its own entry point: the same program is the benchmark and, with --child, the measured run.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        int childArgc = 1;
        return runChild(childArgc, argv, QString::fromLocal8Bit(argv[2]));
    }
    // A folder to profile one start-up by hand: --write FOLDER COUNT, then --child FOLDER.
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0) {
        QCoreApplication app(argc, argv);
        return writeOrganiser(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt()) ? 0 : 1;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
