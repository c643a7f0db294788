// Redrawing the year and week overviews with 0, 2,000, 20,000 and 100,000 appointments over ten
// years: as the clock does it, with the data unchanged since the last picture (changed = 0), and
// after a change of the database, when everything is read anew (changed = 1).

#include "common/imagepack.h"
#include "common/preferences.h"
#include "common/prompter.h"
#include "store/database.h"
#include "store/schema.h"
#include "views/weekrenderer.h"
#include "views/yearrenderer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "silentprompter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString packPath()
{
    const QString fromEnv = qEnvironmentVariable("RUVO_TEST_PACK");
    return fromEnv.isEmpty() ? QCoreApplication::applicationDirPath() + u"/../imgs.pak"_s : fromEnv;
}

// A first-run database, indexed as the program opens it, holding count appointments between 2005
// and 2014: mostly an hour or two, every tenth one several days long.
struct Calendar
{
    explicit Calendar(int count)
    {
        db = Database::open(dir.filePath(u"data.zr"_s));
        Schema::bootstrap(*db);
        Schema::ensureIndexes(*db);
        Transaction tx(*db);
        quint32 seed = 12345;
        const auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return seed >> 8; // 24 bits
        };
        const DateValue from = makeDate(2005, 1, 1);
        const DateValue span = makeDate(2015, 1, 1) - from;
        for (int i = 0; i < count; ++i) {
            const DateValue random = static_cast<DateValue>(next()) << 24 | next();
            const DateValue start = from + random % span / 60 * 60 + 1;
            const DateValue length =
                    i % 10 == 0 ? (1 + next() % 5) * kSecondsPerDay : (1 + next() % 8) * 900;
            db->execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, "
                        "redo, nextmsg) VALUES (%1, %2, 'Termin', %3, 0, 0, 0, '', 0)"_s.arg(start)
                                .arg(1 + next() % 20)
                                .arg(start + length));
        }
        tx.commit();
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

void yearRedraw(benchmark::State& state)
{
    const std::optional<ImagePack> images = ImagePack::load(packPath());
    if (!images) {
        state.SkipWithError("no image pack");
        return;
    }
    Calendar calendar(static_cast<int>(state.range(0)));
    SilentPrompter prompter(false);
    Preferences prefs;
    prefs.legende = 1;
    const YearRenderer renderer(*calendar.db, prompter, *images);
    const DateValue now = makeDate(2009, 6, 15, 12, 0, 0);
    const bool changed = state.range(1) != 0;
    for (auto _ : state) {
        if (changed)
            calendar.db->execSql(u"UPDATE grups SET jahrl=jahrl WHERE id=0"_s);
        const QImage image = renderer.render(QSize(645, 500), 2009, now, prefs);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(yearRedraw)
        ->ArgNames({"appointments", "changed"})
        ->ArgsProduct({{0, 2000, 20000, 100000}, {0, 1}})
        ->Unit(benchmark::kMillisecond);

void weekRedraw(benchmark::State& state)
{
    const std::optional<ImagePack> images = ImagePack::load(packPath());
    if (!images) {
        state.SkipWithError("no image pack");
        return;
    }
    Calendar calendar(static_cast<int>(state.range(0)));
    SilentPrompter prompter(false);
    Preferences prefs;
    prefs.legende = 1;
    const WeekRenderer renderer(*calendar.db, prompter, *images);
    const DateValue now = makeDate(2009, 6, 17, 12, 0, 0);
    const bool changed = state.range(1) != 0;
    for (auto _ : state) {
        if (changed)
            calendar.db->execSql(u"UPDATE grups SET jahrl=jahrl WHERE id=0"_s);
        const QImage image = renderer.render(QSize(645, 500), makeDate(2009, 6, 15), now, prefs);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(weekRedraw)
        ->ArgNames({"appointments", "changed"})
        ->ArgsProduct({{0, 2000, 20000, 100000}, {0, 1}})
        ->Unit(benchmark::kMillisecond);

} // namespace
