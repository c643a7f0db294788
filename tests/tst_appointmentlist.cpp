#include "appointments/appointmentlist.h"
#include "appointments/appointmentpage.h"
#include "common/datevalue.h"
#include "common/grouppalette.h"
#include "common/preferences.h"
#include "common/sqltext.h"

#include "support/listview.h"
#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

DateValue at(int y, int m, int d, int h, int i, int s = 1)
{
    return makeDate(y, m, d, h, i, s);
}

// 1 March 2007, 08:00:00.
const DateValue kNow = makeDate(2007, 3, 1, 8, 0, 0);

} // namespace

class TestAppointmentList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void cellsOfOneRow();
    void onlyComingAppointmentsAndSeriesHeads();
    void reminderText_data();
    void reminderText();
    void sorting_data();
    void sorting();
    void search_data();
    void search();
    void cellsFollowMovedColumns();
    void unknownTitleStaysEmpty();
    void progressNote();
    void failedQueryLeavesListEmpty();
    void changingTheSort();

private:
    qint64 addRow(DateValue start, DateValue end, int group, const QString& desc, int msg = 0,
                  int remsg = 0, qint64 belong = 0, const QString& redo = QString());
    void fill(const QString& search = QString(), const ProgressNote& note = {});
    // The cell under the column titled so, for every row.
    QStringList column(const QString& title) const;

    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    Preferences m_prefs;
    std::unique_ptr<AppointmentPage> m_page;
    QTreeView* m_tree = nullptr;
};

void TestAppointmentList::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_prompter.clear();
    m_prefs = Preferences();
    m_prefs.sortterms = 2;
    m_page = std::make_unique<AppointmentPage>(m_prefs);
    m_tree = m_page->list();
}

void TestAppointmentList::cleanup()
{
    m_page.reset();
    m_db.reset();
    m_dir.reset();
}

qint64 TestAppointmentList::addRow(DateValue start, DateValue end, int group, const QString& desc,
                                   int msg, int remsg, qint64 belong, const QString& redo)
{
    return insertTestAppointment(*m_db, {start, end, group, desc, msg, remsg, belong, redo});
}

void TestAppointmentList::fill(const QString& search, const ProgressNote& note)
{
    fillAppointmentList(*m_tree, *m_db, m_prompter, m_prefs, kNow, search, note);
}

QStringList TestAppointmentList::column(const QString& title) const
{
    int logical = -1;
    for (int c = 0; c < listColumnCount(*m_tree); ++c) {
        if (listTitle(*m_tree, c) == title)
            logical = c;
    }
    QStringList out;
    for (int r = 0; r < listRowCount(*m_tree); ++r)
        out << (logical >= 0 ? listCell(*m_tree, r, logical) : u"<none>"_s);
    return out;
}

void TestAppointmentList::cellsOfOneRow()
{
    const qint64 id =
            addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 6, 11, 45), 7, u"Kontrolle"_s, 3, 1);
    fill();
    QCOMPARE(listRowCount(*m_tree), 1);
    QCOMPARE(column(u"Nr"_s), QStringList{u"1"_s});
    QCOMPARE(column(u"Gruppe"_s), QStringList{u"Arzt"_s});
    QCOMPARE(column(u"Beschreibung"_s), QStringList{u"Kontrolle"_s});
    QCOMPARE(column(u"Anfang"_s), QStringList{u"05.03.2007 - 10:15"_s});
    QCOMPARE(column(u"Ende"_s), QStringList{u"06.03.2007 - 11:45"_s});
    QCOMPARE(column(u"Wiederholung"_s), QStringList{QString()});
    QCOMPARE(column(u"Benachrichtigung"_s), QStringList{u"Eine Stunde zuvor viertelstündlich"_s});

    QCOMPARE(listId(*m_tree, 0), id);
    for (int c = 0; c < listColumnCount(*m_tree); ++c)
        QCOMPARE(listTint(*m_tree, 0, c), QColor::fromRgb(groupColor(7)));
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAppointmentList::onlyComingAppointmentsAndSeriesHeads()
{
    addRow(at(2007, 2, 28, 10, 0), at(2007, 3, 2, 10, 0), 5, u"läuft schon"_s);
    addRow(kNow, kNow + 3600, 5, u"genau jetzt"_s);
    addRow(kNow + 1, kNow + 3600, 5, u"gleich"_s);
    // A weekly series whose first member lies ahead: one row for the whole series.
    const qint64 head = addRow(at(2007, 3, 7, 18, 0), at(2007, 3, 7, 19, 0), 6, u"Chor"_s, 0, 0, 0,
                               u"Wöchentlich"_s);
    m_db->execSql(u"UPDATE termine SET belong=id WHERE id="_s + QString::number(head));
    addRow(at(2007, 3, 14, 18, 0), at(2007, 3, 14, 19, 0), 6, u"Chor"_s, 0, 0, head,
           u"Wöchentlich"_s);
    // A series whose first member is past drops out, later members included.
    const qint64 pastHead = addRow(at(2007, 2, 20, 7, 0), at(2007, 2, 20, 8, 0), 6, u"Lauf"_s, 0, 0,
                                   0, u"Alle 14 Tage"_s);
    m_db->execSql(u"UPDATE termine SET belong=id WHERE id="_s + QString::number(pastHead));
    addRow(at(2007, 3, 6, 7, 0), at(2007, 3, 6, 8, 0), 6, u"Lauf"_s, 0, 0, pastHead,
           u"Alle 14 Tage"_s);

    fill();
    QCOMPARE(column(u"Beschreibung"_s), (QStringList{u"gleich"_s, u"Chor"_s}));
    QCOMPARE(column(u"Nr"_s), (QStringList{u"1"_s, u"2"_s}));
    QCOMPARE(column(u"Anfang"_s), (QStringList{u"01.03.2007 - 08:00"_s, u"07.03.2007 - 18:00"_s}));
    QCOMPARE(column(u"Wiederholung"_s), (QStringList{QString(), u"Wöchentlich"_s}));
}

void TestAppointmentList::reminderText_data()
{
    QTest::addColumn<int>("msg");
    QTest::addColumn<int>("remsg");
    QTest::addColumn<QString>("text");
    QTest::newRow("none still says once") << 0 << 0 << u"Keine einmal"_s;
    QTest::newRow("week, daily") << 1 << 3 << u"Eine Woche zuvor täglich"_s;
    QTest::newRow("day, hourly") << 2 << 2 << u"Einen Tag zuvor stündlich"_s;
    QTest::newRow("hour, quarter") << 3 << 1 << u"Eine Stunde zuvor viertelstündlich"_s;
    QTest::newRow("at start") << 4 << 0 << u"Bei Beginn einmal"_s;
}

void TestAppointmentList::reminderText()
{
    QFETCH(int, msg);
    QFETCH(int, remsg);
    QFETCH(QString, text);
    addRow(at(2007, 3, 5, 10, 0), at(2007, 3, 5, 11, 0), 5, u"x"_s, msg, remsg);
    fill();
    QCOMPARE(column(u"Benachrichtigung"_s), QStringList{text});
}

void TestAppointmentList::sorting_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("order");

    // Groups by id: Urlaub 3, Geschäftlich 5, Arzt 7; alphabetically it would be the other way.
    QTest::newRow("group id ascending")
            << 0 << 0 << QStringList{u"Urlaub"_s, u"Geschäftlich"_s, u"Arzt"_s};
    QTest::newRow("group id descending")
            << 0 << 1 << QStringList{u"Arzt"_s, u"Geschäftlich"_s, u"Urlaub"_s};
    QTest::newRow("description") << 1 << 0
                                 << QStringList{u"Geschäftlich"_s, u"Arzt"_s, u"Urlaub"_s};
    QTest::newRow("start") << 2 << 0 << QStringList{u"Arzt"_s, u"Urlaub"_s, u"Geschäftlich"_s};
    QTest::newRow("start descending")
            << 2 << 1 << QStringList{u"Geschäftlich"_s, u"Urlaub"_s, u"Arzt"_s};
    QTest::newRow("end") << 3 << 0 << QStringList{u"Urlaub"_s, u"Arzt"_s, u"Geschäftlich"_s};
}

void TestAppointmentList::sorting()
{
    QFETCH(int, key);
    QFETCH(int, direction);
    QFETCH(QStringList, order);
    addRow(at(2007, 3, 5, 10, 0), at(2007, 3, 20, 10, 0), 7, u"b Zahnarzt"_s);
    addRow(at(2007, 3, 6, 10, 0), at(2007, 3, 7, 10, 0), 3, u"c Ostsee"_s);
    addRow(at(2007, 3, 8, 10, 0), at(2007, 3, 30, 10, 0), 5, u"a Messe"_s);
    m_prefs.sortterms = key;
    m_prefs.sorttermsdir = direction;
    fill();
    QCOMPARE(column(u"Gruppe"_s), order);
    QCOMPARE(column(u"Nr"_s), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
}

void TestAppointmentList::search_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("part of a group name, any case") << u"ARZ"_s << QStringList{u"Kontrolle"_s};
    QTest::newRow("part of a description") << u"sicher"_s << QStringList{u"100% sicher"_s};
    QTest::newRow("percent is literal") << u"0%"_s << QStringList{u"100% sicher"_s};
    QTest::newRow("underscore is literal") << u"a_b"_s << QStringList{u"a_b"_s};
    QTest::newRow("apostrophe") << u"Peter's"_s << QStringList{u"Peter's Feier"_s};
    QTest::newRow("backslash") << u"C:\\"_s << QStringList{u"C:\\Daten"_s};
    QTest::newRow("nothing") << u"Mond"_s << QStringList();
    // As SQLite's LIKE: only A to Z fold.
    QTest::newRow("letters A to Z in any case")
            << u"Öl WECHSELN"_s << QStringList{u"Öl wechseln"_s};
    QTest::newRow("umlauts only as typed") << u"öl"_s << QStringList();
}

void TestAppointmentList::search()
{
    QFETCH(QString, search);
    QFETCH(QStringList, found);
    addRow(at(2007, 3, 5, 10, 0), at(2007, 3, 5, 11, 0), 7, u"Kontrolle"_s);
    addRow(at(2007, 3, 6, 10, 0), at(2007, 3, 6, 11, 0), 5, u"100% sicher"_s);
    addRow(at(2007, 3, 7, 10, 0), at(2007, 3, 7, 11, 0), 5, u"1000 Dinge"_s);
    addRow(at(2007, 3, 8, 10, 0), at(2007, 3, 8, 11, 0), 5, u"a_b"_s);
    addRow(at(2007, 3, 9, 10, 0), at(2007, 3, 9, 11, 0), 5, u"axb"_s);
    addRow(at(2007, 3, 10, 10, 0), at(2007, 3, 10, 11, 0), 5, u"Peter's Feier"_s);
    addRow(at(2007, 3, 11, 10, 0), at(2007, 3, 11, 11, 0), 5, u"C:\\Daten"_s);
    addRow(at(2007, 3, 12, 10, 0), at(2007, 3, 12, 11, 0), 5, u"Öl wechseln"_s);
    fill(search);
    QCOMPARE(column(u"Beschreibung"_s), found);
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAppointmentList::cellsFollowMovedColumns()
{
    addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 5, 11, 45), 7, u"Kontrolle"_s, 2, 0);
    QHeaderView* header = m_tree->header();
    header->moveSection(header->visualIndex(3), 0);
    QCOMPARE(listTitle(*m_tree, header->logicalIndex(0)), u"Anfang"_s);
    fill();
    QStringList byDisplayOrder;
    for (int visual = 0; visual < header->count(); ++visual)
        byDisplayOrder << listCell(*m_tree, 0, header->logicalIndex(visual));
    QCOMPARE(byDisplayOrder,
             (QStringList{u"05.03.2007 - 10:15"_s, u"1"_s, u"Arzt"_s, u"Kontrolle"_s,
                          u"05.03.2007 - 11:45"_s, QString(), u"Einen Tag zuvor einmal"_s}));

    // A list built from titles stored in a new order (after a restart) fills the same way.
    m_prefs.appointmentColumnTitles = {
            u"Anfang"_s, u"Benachrichtigung"_s, u"Nr"_s,          u"Wiederholung"_s,
            u"Ende"_s,   u"Gruppe"_s,           u"Beschreibung"_s};
    AppointmentPage page(m_prefs);
    fillAppointmentList(*page.list(), *m_db, m_prompter, m_prefs, kNow, QString());
    QStringList cells;
    for (int c = 0; c < 7; ++c)
        cells << listCell(*page.list(), 0, c);
    QCOMPARE(cells, (QStringList{u"05.03.2007 - 10:15"_s, u"Einen Tag zuvor einmal"_s, u"1"_s,
                                 QString(), u"05.03.2007 - 11:45"_s, u"Arzt"_s, u"Kontrolle"_s}));
}

void TestAppointmentList::unknownTitleStaysEmpty()
{
    m_prefs.appointmentColumnTitles[2] = u"Text"_s;
    AppointmentPage page(m_prefs);
    addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 5, 11, 45), 7, u"Kontrolle"_s);
    const auto map = appointmentColumnMap(*page.list());
    QCOMPARE(map[static_cast<int>(AppointmentColumn::Description)], -2);
    QCOMPARE(map[static_cast<int>(AppointmentColumn::Start)], 3);
    fillAppointmentList(*page.list(), *m_db, m_prompter, m_prefs, kNow, QString());
    QCOMPARE(listCell(*page.list(), 0, 2), QString());
    QCOMPARE(listCell(*page.list(), 0, 1), u"Arzt"_s);
}

void TestAppointmentList::progressNote()
{
    addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 5, 11, 45), 7, u"Kontrolle"_s);
    QList<bool> calls;
    int rowsWhileShown = -1;
    const ProgressNote note = [&](bool show) {
        calls << show;
        if (!show)
            rowsWhileShown = listRowCount(*m_tree);
    };
    fill(QString(), note);
    QCOMPARE(calls, (QList<bool>{true, false}));
    QCOMPARE(rowsWhileShown, 1);

    calls.clear();
    fill(u"Kon"_s, note);
    QCOMPARE(calls, QList<bool>());
    QCOMPARE(listRowCount(*m_tree), 1);
}

void TestAppointmentList::failedQueryLeavesListEmpty()
{
    addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 5, 11, 45), 7, u"Kontrolle"_s);
    fill();
    QCOMPARE(listRowCount(*m_tree), 1);
    QVERIFY(m_db->execSql(u"DROP TABLE grups"_s));
    QList<bool> calls;
    fill(QString(), [&](bool show) { calls << show; });
    QCOMPARE(listRowCount(*m_tree), 0);
    QCOMPARE(m_prompter.transcript(), QStringList{u"Datenbankfehler / no such table: grups"_s});
    QCOMPARE(calls, (QList<bool>{true, false}));
}

void TestAppointmentList::changingTheSort()
{
    addRow(at(2007, 3, 5, 10, 0), at(2007, 3, 5, 11, 0), 7, u"Kontrolle"_s);
    addRow(at(2007, 3, 6, 10, 0), at(2007, 3, 6, 11, 0), 5, u"Messe"_s);
    fill(u"Messe"_s);
    QCOMPARE(listRowCount(*m_tree), 1);

    // The stored value again: nothing happens, the search result stays.
    QVERIFY(!changeAppointmentSort(*m_tree, *m_db, m_prompter, m_prefs,
                                   AppointmentSortChoice::Direction, 0, kNow));
    QCOMPARE(listRowCount(*m_tree), 1);

    // "Abst.": stored, and the list comes back without the search filter.
    QVERIFY(changeAppointmentSort(*m_tree, *m_db, m_prompter, m_prefs,
                                  AppointmentSortChoice::Direction, 1, kNow));
    QCOMPARE(m_prefs.sorttermsdir, 1);
    QCOMPARE(column(u"Beschreibung"_s), (QStringList{u"Messe"_s, u"Kontrolle"_s}));

    QVERIFY(changeAppointmentSort(*m_tree, *m_db, m_prompter, m_prefs, AppointmentSortChoice::Key,
                                  0, kNow));
    QCOMPARE(m_prefs.sortterms, 0);
    QCOMPARE(m_prefs.sorttermsdir, 1);
    QCOMPARE(column(u"Gruppe"_s), (QStringList{u"Arzt"_s, u"Geschäftlich"_s}));
}

QTEST_MAIN(TestAppointmentList)
#include "tst_appointmentlist.moc"
