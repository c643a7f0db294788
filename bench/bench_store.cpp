// The first-run bootstrap and walking large results with the query cursor.

#include "common/sqltext.h"
#include "store/database.h"
#include "store/querycursor.h"
#include "store/schema.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A first run on disk: tables, groups and the holidays of 68 years.
void firstRunBootstrap(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        auto db = Database::open(dir.filePath(u"data.zr"_s));
        state.ResumeTiming();
        Schema::bootstrap(*db);
        benchmark::DoNotOptimize(db->lastInsertRowId());
    }
}
BENCHMARK(firstRunBootstrap)->Unit(benchmark::kMillisecond);

void walkTenThousandRows(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = Database::open(dir.filePath(u"data.zr"_s));
    Schema::bootstrap(*db);
    {
        Transaction tx(*db);
        for (int i = 0; i < 10000; ++i) {
            db->execSql(
                    u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, redo, "
                    "nextmsg) VALUES ("_s +
                    QString::number(1200000000 + i * 3600) + u", 3, "_s +
                    sqlQuote(u"Termin Nummer %1 mit Umlauten äöü"_s.arg(i)) + u", "_s +
                    QString::number(1200000000 + i * 3600 + 1800) + u", 2, 0, 0, '', 0)"_s);
        }
        tx.commit();
    }
    for (auto _ : state) {
        QueryCursor cursor;
        db->queryTable(u"SELECT * FROM termine JOIN grups ON grups.id=grup ORDER BY date ASC ;"_s,
                       cursor);
        qint64 sum = 0;
        while (cursor.nextRow()) {
            while (cursor.nextColumn())
                sum += cursor.fieldText().size();
        }
        cursor.freeTable();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(walkTenThousandRows)->Unit(benchmark::kMillisecond);

} // namespace
