// The reminder scan over a well-filled database, indexed as the program opens it: 20,000
// appointments, 2,000 birthdays and 200 to-do items.

#include "common/sqltext.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderscan.h"
#include "store/database.h"
#include "store/schema.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include "silentprompter.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const DateValue kNow = makeDate(2015, 6, 15, 12, 0, 0);

// Appointments spread over 2005 to 2025, those before now already reminded; birthdays on every
// day of the year; to-do items, a third of them ticked.
struct FilledDatabase
{
    FilledDatabase()
    {
        db = Database::open(dir.filePath(u"data.zr"_s));
        Schema::bootstrap(*db);
        Schema::ensureIndexes(*db);
        QRandomGenerator random(11);
        const DateValue first = makeDate(2005, 1, 1);
        const DateValue span = makeDate(2025, 1, 1) - first;
        Transaction transaction(*db);
        for (int i = 0; i < 20000; ++i) {
            const DateValue start = first + (span / 20000) * i + random.bounded(3600);
            const int msg = random.bounded(5);
            db->execSql(
                    u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, redo, "
                    "nextmsg) VALUES (%1, %2, %3, %4, %5, %6, 0, '', %7)"_s.arg(start)
                            .arg(3 + random.bounded(17))
                            .arg(sqlQuote(u"Termin %1"_s.arg(i)))
                            .arg(start + 3600)
                            .arg(msg)
                            .arg(random.bounded(4))
                            .arg(start < kNow ? -1 : 0));
        }
        for (int i = 0; i < 2000; ++i) {
            const DateValue key = birthdayKey(1, 1) + (i % 366) * kSecondsPerDay;
            db->execSql(
                    u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, %2, %3, 0)"_s
                            .arg(key)
                            .arg(1940 + random.bounded(70))
                            .arg(sqlQuote(u"Person %1"_s.arg(i))));
        }
        for (int i = 0; i < 200; ++i) {
            db->execSql(u"INSERT INTO todo (desc, enddate, remsg, checked, nextmsg) VALUES (%1, "
                        "%2, %3, %4, -1)"_s.arg(sqlQuote(u"Aufgabe %1"_s.arg(i)))
                                .arg(i % 2 ? kNow + i * kSecondsPerDay : -1)
                                .arg(random.bounded(4))
                                .arg(i % 3 == 0 ? 1 : 0));
        }
        transaction.commit();
        // The first scan after the start settles the birthdays that passed this year.
        scan(kNow);
    }

    bool scan(DateValue now)
    {
        ReminderList list;
        ReminderScan scan(*db, prompter, quit);
        return scan.run(now, {1, 3}, list, false);
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    SilentPrompter prompter;
    QuitState quit = QuitState::Running;
};

// The common case every ten seconds: nothing new is due.
void quietScan(benchmark::State& state)
{
    FilledDatabase data;
    for (auto _ : state)
        benchmark::DoNotOptimize(data.scan(kNow));
}
BENCHMARK(quietScan)->Unit(benchmark::kMillisecond);

// A scan that fills the whole list: appointments, birthdays and to-do items due again.
void fullListScan(benchmark::State& state)
{
    FilledDatabase data;
    DateValue now = kNow;
    for (auto _ : state) {
        state.PauseTiming();
        now += 10;
        data.db->execSql(u"UPDATE todo SET nextmsg=0 WHERE checked=0"_s);
        data.db->execSql(u"UPDATE termine SET nextmsg=0 WHERE date>%1 AND date<%2"_s.arg(now).arg(
                now + 7 * kSecondsPerDay));
        data.db->execSql(u"UPDATE geburtstage SET nextmsg=1 WHERE nextmsg>1 AND nextmsg<%1"_s.arg(
                now + 7 * kSecondsPerDay));
        state.ResumeTiming();
        benchmark::DoNotOptimize(data.scan(now));
    }
}
BENCHMARK(fullListScan)->Unit(benchmark::kMillisecond);

} // namespace
