// vCard export and import of 2,000 addresses, each with every field and a birthday row.

#include "addresses/addressinterchange.h"
#include "addresses/addressstore.h"
#include "store/database.h"
#include "store/schema.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAddresses = 2000;

AddressValues address(int i)
{
    AddressValues values;
    using F = AddressField;
    values[F::Vname] = u"Vorname%1"_s.arg(i);
    values[F::Zvname] = u"Zweit"_s;
    values[F::Nname] = u"Nachname Müller %1"_s.arg(i);
    values[F::Nick] = u"Nick, genannt"_s;
    values[F::Str] = u"Hauptstraße"_s;
    values[F::Hausnr] = QString::number(1 + i % 200) + u'a';
    values[F::Plz] = QString::number(10000 + i);
    values[F::Ort] = u"Berlin"_s;
    values[F::Land] = u"Deutschland"_s;
    values[F::Email] = u"a%1@example.org"_s.arg(i);
    values[F::Tel] = u"030 1234"_s;
    values[F::Mobil] = u"0170 1234"_s;
    values[F::Fax] = u"030 4321"_s;
    values[F::Gebdat] = u"%1.%2.%3"_s.arg(1 + i % 28, 2, 10, QChar(u'0'))
                                .arg(1 + i % 12, 2, 10, QChar(u'0'))
                                .arg(1930 + i % 80);
    values[F::Icq] = u"123456"_s;
    values[F::Msn] = u"msn@example.org"_s;
    values[F::Aim] = u"aim name"_s;
    values[F::Website] = u"https://www.example.org/"_s;
    values[F::Notiz] = u"Eine Notiz zu Nummer %1 mit Ümläuten; Komma, und 😀"_s.arg(i);
    values.anrede = i % 2;
    values.birthday = true;
    return values;
}

std::unique_ptr<Database> emptyBook(const QTemporaryDir& dir, const QString& name)
{
    auto db = Database::open(dir.filePath(name));
    Schema::bootstrap(*db);
    return db;
}

QByteArray exportedBook(const QTemporaryDir& dir)
{
    auto db = emptyBook(dir, u"source.zr"_s);
    AddressImportPlan plan;
    for (int i = 0; i < kAddresses; ++i) {
        plan.entries << address(i);
        plan.hints << AddressImportHints();
    }
    storeAddresses(*db, plan, {});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    exportAddresses(*db, buffer, error);
    return buffer.data();
}

void export2000(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = emptyBook(dir, u"data.zr"_s);
    const AddressImportPlan plan = readAddressFile(exportedBook(dir));
    storeAddresses(*db, plan, {});
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        exportAddresses(*db, buffer, error);
        bytes = buffer.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * kAddresses);
}
BENCHMARK(export2000)->Unit(benchmark::kMillisecond);

void read2000(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray file = exportedBook(dir);
    for (auto _ : state) {
        const AddressImportPlan plan = readAddressFile(file);
        benchmark::DoNotOptimize(plan.entries.size());
    }
    state.SetItemsProcessed(state.iterations() * kAddresses);
}
BENCHMARK(read2000)->Unit(benchmark::kMillisecond);

// Reading the file and writing every entry with its birthday into an empty address book.
void import2000(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray file = exportedBook(dir);
    int round = 0;
    int imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto db = emptyBook(dir, u"target%1.zr"_s.arg(round++));
        state.ResumeTiming();
        imported = storeAddresses(*db, readAddressFile(file), {}).addresses;
        benchmark::DoNotOptimize(imported);
    }
    state.counters["imported"] = imported;
    state.SetItemsProcessed(state.iterations() * kAddresses);
}
BENCHMARK(import2000)->Unit(benchmark::kMillisecond);

// The same file a second time: every entry is a duplicate.
void reimport2000(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray file = exportedBook(dir);
    auto db = emptyBook(dir, u"data.zr"_s);
    storeAddresses(*db, readAddressFile(file), {});
    int duplicates = 0;
    for (auto _ : state) {
        duplicates = storeAddresses(*db, readAddressFile(file), {}).duplicates;
        benchmark::DoNotOptimize(duplicates);
    }
    state.counters["duplicates"] = duplicates;
    state.SetItemsProcessed(state.iterations() * kAddresses);
}
BENCHMARK(reimport2000)->Unit(benchmark::kMillisecond);

// One card whose note is a single content line just under the reader's limit, as one physical
// line (0), folded every 75 octets (1), quoted-printable with soft breaks (2), or full of escapes
// (3). The time must grow with the length, not its square.
void readLongLine(benchmark::State& state)
{
    constexpr qsizetype kLength = 4 * 1000 * 1000;
    QByteArray note;
    switch (state.range(0)) {
    case 0:
        note = "NOTE:" + QByteArray(kLength, 'x') + "\r\n";
        break;
    case 1:
        note = "NOTE:";
        for (qsizetype i = 0; i < kLength / 74; ++i)
            note += QByteArray(74, 'x') + "\r\n ";
        note += "x\r\n";
        break;
    case 2:
        note = "NOTE;ENCODING=QUOTED-PRINTABLE:";
        for (qsizetype i = 0; i < kLength / 74; ++i)
            note += QByteArray(36, 'x') + "=C3=A4=C3=A4=C3=A4=C3=A4=C3=A4=C3=A4=\r\n";
        note += "x\r\n";
        break;
    default:
        note = "NOTE:";
        for (qsizetype i = 0; i < kLength / 4; ++i)
            note += "\\n\\,";
        note += "\r\n";
        break;
    }
    const QByteArray file =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lang;Lea\r\nGENDER:F\r\n" + note + "END:VCARD\r\n";
    for (auto _ : state) {
        const AddressImportPlan plan = readAddressFile(file);
        benchmark::DoNotOptimize(plan.entries.size());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(readLongLine)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
