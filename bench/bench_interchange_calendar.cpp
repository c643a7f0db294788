// iCalendar export and import of 20,000 appointments, half of them in weekly series.

#include "common/sqltext.h"
#include "interchange/icalendarexport.h"
#include "interchange/icalendarimport.h"
#include "store/database.h"
#include "store/schema.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 20000;
constexpr int kSeriesLength = 50;

std::unique_ptr<Database> emptyDatabase(const QTemporaryDir& dir, const QString& name)
{
    auto db = Database::open(dir.filePath(name));
    Schema::bootstrap(*db);
    return db;
}

// 10,000 single appointments and 200 weekly series of 50 members each.
void fill(Database& db)
{
    Transaction tx(db);
    auto insert = [&](qint64 start, int i, qint64 belong, const QString& redo) {
        db.execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, redo, "
                   u"nextmsg) VALUES ("_s +
                   QString::number(start) + u", "_s + QString::number(2 + i % 6) + u", "_s +
                   sqlQuote(u"Termin Nummer %1 mit Umlauten äöü"_s.arg(i)) + u", "_s +
                   QString::number(start + 1800) + u", "_s + QString::number(i % 5) + u", 0, "_s +
                   QString::number(belong) + u", "_s + sqlQuote(redo) + u", 0)"_s);
        return db.lastInsertRowId();
    };
    const qint64 base = makeDate(2007, 1, 1, 8, 0, 1);
    for (int i = 0; i < kRows / 2; ++i)
        insert(base + qint64(i) * 3600, i, 0, QString());
    for (int s = 0; s < kRows / 2 / kSeriesLength; ++s) {
        const qint64 start = base + qint64(s) * 1800;
        const qint64 key = insert(start, s, 0, u"Wöchentlich"_s);
        db.execSql(u"UPDATE termine SET belong=%1 WHERE id=%1"_s.arg(key));
        for (int m = 1; m < kSeriesLength; ++m)
            insert(start + qint64(m) * 7 * kSecondsPerDay, s, key, u"Wöchentlich"_s);
    }
    tx.commit();
}

QByteArray exported(Database& db)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    exportCalendar(db, buffer, error);
    return buffer.data();
}

void exportTwentyThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = emptyDatabase(dir, u"data.zr"_s);
    fill(*db);
    for (auto _ : state)
        benchmark::DoNotOptimize(exported(*db).size());
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(exportTwentyThousand)->Unit(benchmark::kMillisecond);

void readTwentyThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = emptyDatabase(dir, u"data.zr"_s);
    fill(*db);
    const QByteArray file = exported(*db);
    for (auto _ : state)
        benchmark::DoNotOptimize(readCalendar(file, 2007).appointments.size());
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(readTwentyThousand)->Unit(benchmark::kMillisecond);

// Into an empty database, then the same file again: every row a duplicate.
void storeTwentyThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    auto source = emptyDatabase(dir, u"source.zr"_s);
    fill(*source);
    const CalendarImportPlan plan = readCalendar(exported(*source), 2007);
    auto db = emptyDatabase(dir, u"data.zr"_s);
    const bool twice = state.range(0) != 0;
    if (twice)
        storeCalendar(*db, plan, 5);
    for (auto _ : state) {
        benchmark::DoNotOptimize(storeCalendar(*db, plan, 5).events);
        if (!twice) {
            state.PauseTiming();
            db->execSql(u"DELETE FROM termine"_s);
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(storeTwentyThousand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One event whose SUMMARY is one content line of the given MiB, folded every 75 octets or not.
void readLongSummary(benchmark::State& state)
{
    const qsizetype size = state.range(0) * 1024 * 1024;
    const bool folded = state.range(1) != 0;
    QByteArray summary(size, 'a');
    if (folded) {
        QByteArray out;
        out.reserve(size + size / 25);
        for (qsizetype at = 0; at < size; at += 74)
            out += (at ? "\r\n " : "") + summary.mid(at, 74);
        summary = out;
    }
    const QByteArray file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n"
                            "BEGIN:VEVENT\r\nUID:long\r\nDTSTART:20070601T080000\r\nSUMMARY:" +
                            summary + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(readCalendar(file, 2007).appointments.size());
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(readLongSummary)
        ->Args({1, 0})
        ->Args({4, 0})
        ->Args({4, 1})
        ->Args({8, 0})
        ->Args({16, 0})
        ->Args({30, 0})
        ->Unit(benchmark::kMillisecond);

} // namespace
