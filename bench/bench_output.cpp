// Notes with pictures, printing the appointment table and the text export.

#include "common/datevalue.h"
#include "common/preferences.h"
#include "common/sqltext.h"
#include "notes/asciipicture.h"
#include "notes/notespage.h"
#include "output/tableprinter.h"
#include "output/textexport.h"
#include "store/database.h"
#include "store/schema.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextEdit>

#include "silentprompter.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A photo-like picture: gradients with fine noise, so few neighbouring cells share a colour.
QImage photo(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    quint32 state = 2654435761u * quint32(seed + 1);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 28);
            line[x] = qRgb((x * 255 / w + noise) & 0xFF, (y * 255 / h + noise) & 0xFF,
                           (seed * 40 + noise) & 0xFF);
        }
    }
    return image;
}

// Ten inserted 500 x 500 pictures (90 x 62 letters each) between lines of text, as at start-up.
void loadNotesWithTenPictures(benchmark::State& state)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(u"ascii"_s));
    QByteArray notes;
    for (int number = 1; number <= 10; ++number) {
        photo(500, 500, number).save(dir.filePath(AsciiPicture::fileName(number)), "PNG");
        notes += "Notiz vor Bild " + QByteArray::number(number) + "\r\n" +
                 AsciiPicture::placeholderLine(number).toLatin1() + "\r\n";
    }
    QFile file(dir.filePath(u"notizen.zr"_s));
    file.open(QIODevice::WriteOnly);
    file.write(notes);
    file.close();

    NotesPage page(645, 500, Preferences());
    for (auto _ : state) {
        page.loadNotes(dir.filePath(u"notizen.zr"_s), dir.filePath(u"ascii/"_s), 10);
        benchmark::DoNotOptimize(page.editor()->document()->blockCount());
    }
    state.counters["letters"] = double(page.editor()->document()->characterCount());
}
BENCHMARK(loadNotesWithTenPictures)->Unit(benchmark::kMillisecond);

std::unique_ptr<Database> databaseWithComing(const QString& path, int count)
{
    auto db = Database::open(path);
    Schema::bootstrap(*db);
    Transaction tx(*db);
    const DateValue first = makeDate(2027, 1, 1, 8, 0, 1);
    for (int i = 0; i < count; ++i) {
        const DateValue start = first + qint64(i) * 7200;
        db->execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, redo, "
                    u"nextmsg) VALUES ("_s +
                    QString::number(start) + u", "_s + QString::number(3 + i % 5) + u", "_s +
                    sqlQuote(u"Termin Nummer %1 mit einer längeren Beschreibung äöü"_s.arg(i)) +
                    u", "_s + QString::number(start + 3600) + u", 2, 1, 0, '', 0)"_s);
    }
    tx.commit();
    return db;
}

// 2,000 coming appointments on A4 at 1200 dpi, with group colours: about 100 pages.
void printTwoThousandComingToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = databaseWithComing(dir.filePath(u"data.zr"_s), 2000);
    SilentPrompter prompter;
    const DateValue now = makeDate(2026, 12, 8, 10, 0, 0);
    qint64 bytes = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"table.pdf"_s));
        printer.setPageSize(QPageSize(QPageSize::A4));
        TablePrinter::printAppointmentTable(printer, *db, prompter, now, true);
        state.PauseTiming();
        bytes = QFile(dir.filePath(u"table.pdf"_s)).size();
        state.ResumeTiming();
    }
    state.counters["pdfBytes"] = double(bytes);
}
BENCHMARK(printTwoThousandComingToPdf)->Unit(benchmark::kMillisecond);

void previewWithTwoThousandComing(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = databaseWithComing(dir.filePath(u"data.zr"_s), 2000);
    SilentPrompter prompter;
    const DateValue now = makeDate(2026, 12, 8, 10, 0, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(TablePrinter::drawTablePreview(*db, prompter, now, true));
}
BENCHMARK(previewWithTwoThousandComing)->Unit(benchmark::kMillisecond);

void textExportOfTwoThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    auto db = databaseWithComing(dir.filePath(u"data.zr"_s), 2000);
    SilentPrompter prompter;
    QuitState quit = QuitState::Running;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TextExport::writeAppointments(buffer, *db, prompter, quit);
        benchmark::DoNotOptimize(buffer.size());
    }
}
BENCHMARK(textExportOfTwoThousand)->Unit(benchmark::kMillisecond);

} // namespace
