// Building a repetition series and filling the appointment list.

#include "appointments/appointmentlist.h"
#include "appointments/appointmentpage.h"
#include "appointments/appointmentstore.h"
#include "common/preferences.h"
#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/schema.h"

#include <QTemporaryDir>
#include <QTreeView>

#include "silentprompter.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A weekly series from 1 January to 31 December: 53 members, each with its duplicate check.
void weeklySeriesOverAYear(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = Database::open(dir.filePath(u"data.zr"_s));
    Schema::bootstrap(*db);
    SilentPrompter prompter;
    const AppointmentValues values{
            makeDate(2007, 1, 1, 9, 0, 1), makeDate(2007, 1, 1, 10, 0, 1), 5, u"Jour fixe"_s, 2, 0};
    for (auto _ : state) {
        const qint64 key = createSeries(*db, prompter, SeriesKind::Weekly, values, 1, values.start,
                                        makeDate(2007, 12, 31, 0, 0, 1));
        benchmark::DoNotOptimize(key);
        state.PauseTiming();
        db->execSql(u"DELETE FROM termine"_s);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 53);
}
BENCHMARK(weeklySeriesOverAYear)->Unit(benchmark::kMillisecond);

void fillListWith20000(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = Database::open(dir.filePath(u"data.zr"_s));
    Schema::bootstrap(*db);
    {
        Transaction tx(*db);
        for (int i = 0; i < 20000; ++i) {
            const qint64 start = 1200000000 + qint64(i) * 3600;
            db->execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, "
                        u"redo, nextmsg) VALUES ("_s +
                        QString::number(start) + u", "_s + QString::number(2 + i % 6) + u", "_s +
                        sqlQuote(u"Termin Nummer %1 mit Umlauten äöü"_s.arg(i)) + u", "_s +
                        QString::number(start + 1800) + u", 2, 1, 0, '', 0)"_s);
        }
        tx.commit();
    }
    SilentPrompter prompter;
    Preferences prefs;
    prefs.sortterms = 2;
    AppointmentPage page(prefs);
    for (auto _ : state) {
        fillAppointmentList(*page.list(), *db, prompter, prefs, 1100000000, QString());
        benchmark::DoNotOptimize(page.list()->model()->rowCount());
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(fillListWith20000)->Unit(benchmark::kMillisecond);

} // namespace
