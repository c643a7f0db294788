// A first sync of 1,000 appointments to a Radicale server on this machine, and the second run
// that finds nothing to do.

#include "support/radicaleserver.h"
#include "support/testdatabase.h"

#include "common/datevalue.h"
#include "sync/collectionsync.h"
#include "sync/davclient.h"
#include "sync/discovery.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kItems = 1000;

struct Setup
{
    TestDirectory dir;
    RadicaleServer server;
    std::unique_ptr<Database> db;
    QList<DavCollection> calendars;

    bool start()
    {
        db = createBootstrappedDatabase(dir.filePath(u"data.zr"_s));
        if (!db || !server.start())
            return false;
        writeFile(server.storagePath() + u"/collection-root/anna/privat/.Radicale.props"_s,
                  R"({"tag": "VCALENDAR", "D:displayname": "Privat"})"_ba);
        Transaction tx(*db);
        const qint64 base = makeDate(2026, 1, 1, 8, 0, 1);
        for (int i = 0; i < kItems; ++i)
            insertTestAppointment(*db, {base + qint64(i) * 3600, base + qint64(i) * 3600 + 1800, 6,
                                        u"Termin %1 mit Umlauten äöü"_s.arg(i)});
        tx.commit();
        DavClient client(server.user(), server.password());
        calendars = discoverCollections(client, server.url()).calendars;
        return !calendars.isEmpty();
    }

    SyncSummary sync()
    {
        DavClient client(server.user(), server.password());
        QString error;
        for (DavCollection& c : calendars)
            refreshCollection(client, c, error);
        return CollectionSync(*db, client, 2026).run(calendars);
    }
};

void BM_FirstSync(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto setup = std::make_unique<Setup>();
        if (!setup->start()) {
            state.SkipWithError("Radicale did not start");
            return;
        }
        state.ResumeTiming();
        const SyncSummary summary = setup->sync();
        state.PauseTiming();
        if (summary.sent != kItems)
            state.SkipWithError(qPrintable(summary.text()));
        setup.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_FirstSync)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SyncWithoutChanges(benchmark::State& state)
{
    Setup setup;
    if (!setup.start() || setup.sync().sent != kItems) {
        state.SkipWithError("first sync failed");
        return;
    }
    for (auto _ : state) {
        const SyncSummary summary = setup.sync();
        if (summary.sent != 0 || summary.received != 0)
            state.SkipWithError(qPrintable(summary.text()));
    }
}
BENCHMARK(BM_SyncWithoutChanges)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
