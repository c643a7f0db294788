// What a user does in the main window, with 2,000, 20,000 and 100,000 appointments (plus 2,000
// addresses and 200 to-do items): reading and searching the lists, changing their order, the day
// dialog, switching pages and ticking a to-do item. The list is also measured against a bare
// SELECT of the same rows, the floor any list fill stands on.

#include "addresses/addressbook.h"
#include "addresses/addresspage.h"
#include "app/organiserwindow.h"
#include "appointments/appointmentlist.h"
#include "appointments/appointmentlistcontroller.h"
#include "appointments/appointmentpage.h"
#include "appointments/daydialog.h"
#include "core/context.h"
#include "todo/todocontroller.h"
#include "todo/todopanel.h"
#include "views/overviewpage.h"
#include "views/overviews.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>

#include "organiser.h"
#include "silentprompter.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

// The main window with the parts that serve it, on one organiser folder per size.
struct Desk
{
    explicit Desk(int appointments)
    {
        ok = writeOrganiser(dir.path(), appointments);
        ctx = std::make_unique<Context>(dir.path() + u'/', prompter, clock);
        ctx->db = Database::open(dir.filePath(u"data.zr"_s));
        ctx->images = ImagePack::load(dir.filePath(u"imgs.pak"_s));
        ok = ok && ctx->db && ctx->images;
        if (!ok)
            return;
        ctx->prefs.sortterms = 2;
        ctx->view.shownYear = 2026;
        ctx->view.weekStart = makeDate(2026, 12, 7);
        window = std::make_unique<OrganiserWindow>(ctx->prefs);
        overviews = std::make_unique<Overviews>(*ctx, *window);
        list = new AppointmentListController(*ctx, *window->appointmentPage(), *overviews, *window,
                                             window.get());
        book = new AddressBook(*ctx, *window->addressPage(), *window, *overviews, window.get());
        todo = new TodoController(*ctx, *window->todoPanel(), window.get());
        todo->reload();
        window->show();
        overviews->drawYear();
        overviews->drawWeek();
        QCoreApplication::processEvents();
    }

    void showPage(QWidget* page)
    {
        window->tabs()->setCurrentWidget(page);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    SilentPrompter prompter{false};
    FixedClock clock{organiserNow()};
    std::unique_ptr<Context> ctx;
    std::unique_ptr<OrganiserWindow> window;
    std::unique_ptr<Overviews> overviews;
    AppointmentListController* list = nullptr;
    AddressBook* book = nullptr;
    TodoController* todo = nullptr;
    bool ok = false;
};

// Building a desk of 100,000 appointments takes seconds; every benchmark of a size shares one.
Desk* desk(benchmark::State& state)
{
    static std::map<int, std::unique_ptr<Desk>> desks;
    const int size = static_cast<int>(state.range(0));
    auto& slot = desks[size];
    if (!slot)
        slot = std::make_unique<Desk>(size);
    if (!slot->ok) {
        state.SkipWithError("could not build the organiser");
        return nullptr;
    }
    return slot.get();
}

// Paints what the list shows, as the next frame would.
void paint(QWidget* widget)
{
    benchmark::DoNotOptimize(widget->grab().cacheKey());
}

void bareSelect(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    const QString sql = u"Select * FROM termine JOIN grups ON grups.id=grup WHERE date > "_s +
                        QString::number(organiserNow()) +
                        u" And  (belong=0 or belong=termine.id)ORDER BY date ASC ;"_s;
    qint64 rows = 0;
    for (auto _ : state) {
        rows = 0;
        d->ctx->db->forEachRecord(sql, [&rows](const RecordReader& r) {
            benchmark::DoNotOptimize(r.number(0) + r.number(1) + r.number(4));
            benchmark::DoNotOptimize(r.text(3).size() + r.text(8).size() + r.text(11).size());
            ++rows;
        });
    }
    state.counters["rows"] = double(rows);
}

void listFill(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    AppointmentPage* page = d->window->appointmentPage();
    d->showPage(page);
    for (auto _ : state) {
        // A write that changes nothing still makes the list read everything anew.
        state.PauseTiming();
        d->ctx->db->execSql(u"UPDATE grups SET jahrl=jahrl WHERE id=0"_s);
        state.ResumeTiming();
        d->list->refresh();
        paint(page->list()->viewport());
    }
    state.counters["rows"] = page->model()->rowCount();
}

// One keystroke in the search field: many hits after the first letter, few after a word.
void searchKeystroke(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    AppointmentPage* page = d->window->appointmentPage();
    d->showPage(page);
    const bool word = state.range(1) != 0;
    const QString texts[2] = {word ? u"Zahnarz"_s : u"e"_s, word ? u"Zahnarzt"_s : u"er"_s};
    int turn = 0;
    for (auto _ : state) {
        page->searchField()->setText(texts[turn++ % 2]);
        paint(page->list()->viewport());
    }
    state.counters["rows"] = page->model()->rowCount();
    page->searchField()->clear();
}

void sortChange(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    AppointmentPage* page = d->window->appointmentPage();
    d->showPage(page);
    int turn = 0;
    for (auto _ : state) {
        page->sortKey()->setCurrentIndex(turn++ % 2 == 0 ? 1 : 2);
        paint(page->list()->viewport());
    }
}

// The day dialog of a day with appointments, opened and closed with "Abbrechen"; with changed = 1
// something was written meanwhile, so both pictures and the list are brought up to date.
void dayDialog(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    d->showPage(d->window->yearPage());
    const bool changed = state.range(1) != 0;
    for (auto _ : state) {
        const Database::ChangeStamp before = d->ctx->db->changeStamp();
        {
            DayDialog dialog(*d->ctx, 9, 12, 2026, d->window.get());
            dialog.show();
            paint(&dialog);
            if (changed)
                d->ctx->db->execSql(u"UPDATE termine SET msg=msg WHERE id=1"_s);
            dialog.reject();
        }
        if (d->ctx->db->changeStamp() != before) {
            d->overviews->drawYear();
            d->overviews->drawWeek();
            d->list->refresh();
        }
        paint(d->window->yearPage());
    }
}

void tabSwitch(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    QTabWidget* tabs = d->window->tabs();
    int turn = 0;
    for (auto _ : state) {
        tabs->setCurrentIndex(turn++ % tabs->count());
        QCoreApplication::processEvents();
        paint(tabs->currentWidget());
    }
}

void todoTick(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    QTreeWidget* list = d->window->todoPanel()->list();
    for (auto _ : state) {
        QTreeWidgetItem* item = list->topLevelItem(0);
        item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        paint(list->viewport());
    }
}

void addressSearchKeystroke(benchmark::State& state)
{
    Desk* d = desk(state);
    if (!d)
        return;
    AddressPage* page = d->window->addressPage();
    d->showPage(page);
    int turn = 0;
    for (auto _ : state) {
        page->searchField()->setText(turn++ % 2 == 0 ? u"Muster1"_s : u"Muster"_s);
        paint(page->list()->viewport());
    }
    page->searchField()->clear();
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->ArgName("appointments")->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

void sizesTwice(benchmark::internal::Benchmark* b, const char* second)
{
    b->ArgNames({"appointments", second})
            ->ArgsProduct({{2000, 20000, 100000}, {0, 1}})
            ->Unit(benchmark::kMillisecond);
}

BENCHMARK(bareSelect)->Apply(sizes);
BENCHMARK(listFill)->Apply(sizes);
BENCHMARK(searchKeystroke)->Apply([](auto* b) { sizesTwice(b, "word"); });
BENCHMARK(sortChange)->Apply(sizes);
BENCHMARK(dayDialog)->Apply([](auto* b) { sizesTwice(b, "changed"); });
BENCHMARK(tabSwitch)->Apply(sizes);
BENCHMARK(todoTick)->Apply(sizes);
BENCHMARK(addressSearchKeystroke)->Apply(sizes);

} // namespace
