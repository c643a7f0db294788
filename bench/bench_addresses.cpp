// Reloading the address list with 2,000 addresses, each with its birthday row.

#include "addresses/addresslist.h"
#include "addresses/addresspage.h"
#include "common/datevalue.h"
#include "common/preferences.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/schema.h"

#include <QTemporaryDir>
#include <QTreeView>

#include "silentprompter.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAddresses = 2000;

void fillBook(Database& db)
{
    Transaction tx(db);
    for (int i = 0; i < kAddresses; ++i) {
        const QString vname = u"Vorname%1"_s.arg(i);
        const QString nname = u"Nachname Müller %1"_s.arg(i);
        const int month = 1 + i % 12;
        const int day = 1 + i % 28;
        const int year = 1930 + i % 80;
        db.execSql(
                u"INSERT INTO adressbuch (nname,vname,nick,zvname,str,hausnr,plz,ort,land,"
                u"email,tel,mobil,fax,gebdat,icq,msn,aim,website,notiz,anrede) VALUES ("_s +
                QStringList{
                        sqlQuote(nname), sqlQuote(vname), sqlQuote(u"Nick"_s), sqlQuote(u"Zweit"_s),
                        sqlQuote(u"Hauptstraße"_s), sqlQuote(QString::number(i % 200)),
                        sqlQuote(QString::number(10000 + i)), sqlQuote(u"Berlin"_s),
                        sqlQuote(u"Deutschland"_s), sqlQuote(u"a%1@example.org"_s.arg(i)),
                        sqlQuote(u"030 1234"_s), sqlQuote(u"0170 1234"_s), sqlQuote(u"030 4321"_s),
                        sqlQuote(formatDate(u"%dd.%mm.%yyyy", makeDate(year, month, day, 0, 0, 1))),
                        sqlQuote(u"123456"_s), sqlQuote(u"msn"_s), sqlQuote(u"aim"_s),
                        sqlQuote(u"www.example.org"_s),
                        sqlQuote(u"Eine Notiz zu Nummer %1"_s.arg(i))}
                        .join(u',') +
                u", "_s + QString::number(i % 2) + u')');
        db.execSql(u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES ("_s +
                   QString::number(birthdayKey(month, day)) + u", "_s + QString::number(year) +
                   u", "_s + sqlQuote(vname + u' ' + nname) + u",0)"_s);
    }
    tx.commit();
}

void reloadBook(benchmark::State& state, const QString& searchText, int sortKey)
{
    QTemporaryDir dir;
    auto db = Database::open(dir.filePath(u"data.zr"_s));
    Schema::bootstrap(*db);
    fillBook(*db);
    SilentPrompter prompter;
    Preferences prefs;
    prefs.sortaddress = sortKey;
    AddressPage page(prefs);
    for (auto _ : state) {
        reloadAddressList(*page.list(), *db, prompter, prefs, searchText);
        benchmark::DoNotOptimize(page.list()->model()->rowCount());
    }
    state.counters["rows"] = page.list()->model()->rowCount();
    state.SetItemsProcessed(state.iterations() * page.list()->model()->rowCount());
}

void reload2000ByName(benchmark::State& state)
{
    reloadBook(state, QString(), 0);
}
BENCHMARK(reload2000ByName)->Unit(benchmark::kMillisecond);

void reload2000ByBirthday(benchmark::State& state)
{
    reloadBook(state, QString(), 7);
}
BENCHMARK(reload2000ByBirthday)->Unit(benchmark::kMillisecond);

// Matches the notes of 1,111 entries: "Nummer 1", "Nummer 10" to "19", "100" to "199", ...
void reload2000WithSearch(benchmark::State& state)
{
    reloadBook(state, u"Nummer 1"_s, 0);
}
BENCHMARK(reload2000WithSearch)->Unit(benchmark::kMillisecond);

// A text that no entry holds: the whole table is scanned for nothing.
void reload2000SearchWithoutHits(benchmark::State& state)
{
    reloadBook(state, u"xyz'%_"_s, 0);
}
BENCHMARK(reload2000SearchWithoutHits)->Unit(benchmark::kMillisecond);

} // namespace
