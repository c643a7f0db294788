#include "addresses/addressbook.h"
#include "addresses/addresseditor.h"
#include "addresses/addresslist.h"
#include "addresses/addresspage.h"
#include "addresses/addressstore.h"
#include "app/organiserwindow.h"
#include "appointments/datefield.h"
#include "common/sqltext.h"
#include "core/context.h"
#include "views/overviews.h"

#include "support/listview.h"
#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// 2000-01-01 00:00:01 and 2000-02-29 00:00:01 as seconds since 1970.
constexpr qint64 kFirstOfJanuary2000 = 946684801;
constexpr qint64 kLeapDay2000 = 951782401;

using Fields = QList<std::pair<QString, QString>>;

const QString kNamesMissing =
        u"Fehler / Vor- und Nachname, sowie Anrede müssen eingetragen sein!"_s;
const QString kBadMail =
        u"Fehler / Die eingegebene Mailadresse kann nicht existieren, bitte korrigieren"_s;

} // namespace

class TestAddresses : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void cellsByColumnTitle_data();
    void cellsByColumnTitle();
    void birthdayComesFromTheBirthdayRow();
    void search_data();
    void search();
    void sorting_data();
    void sorting();
    void failedQueryLeavesListEmpty();

    void newEntryKeepsTheBirthdayAsItOpens();
    void apostrophesAndLeapDay();
    void validation_data();
    void validation();
    void duplicateNamesOnInsertOnly();
    void editingMovesOrRemovesTheBirthday();
    void renamingKeepsTheOtherPersonsBirthday_data();
    void renamingKeepsTheOtherPersonsBirthday();
    void loadingShowsTheBirthdayRow();
    void historiesListEarlierValues();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();

    void pageEvents();
    void keyboardOnTheList_data();
    void keyboardOnTheList();

private:
    qint64 addAddress(const Fields& fields, int anrede = 1);
    void addBirthday(const QString& desc, int day, int month, int year);
    void reload(const QString& search = QString());
    QStringList column(const QString& title) const;
    // A new editor (id 0) or one for the entry, with names and salutation typed in.
    std::unique_ptr<AddressEditor> editor(qint64 id, const QString& vname = QString(),
                                          const QString& nname = QString(), int anrede = -1);
    QStringList birthdays();

    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    Preferences m_prefs;
    std::unique_ptr<AddressPage> m_page;
    QTreeView* m_tree = nullptr;
};

void TestAddresses::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_prompter.clear();
    m_prefs = Preferences();
    m_page = std::make_unique<AddressPage>(m_prefs);
    m_tree = m_page->list();
}

void TestAddresses::cleanup()
{
    m_page.reset();
    m_db.reset();
    m_dir.reset();
}

qint64 TestAddresses::addAddress(const Fields& fields, int anrede)
{
    QStringList columns{u"anrede"_s};
    QStringList values{QString::number(anrede)};
    for (const auto& [column, value] : fields) {
        columns << column;
        values << sqlQuote(value);
    }
    if (!m_db->execSql(u"INSERT INTO adressbuch ("_s + columns.join(u',') + u") VALUES ("_s +
                       values.join(u',') + u')'))
        return 0;
    return m_db->lastInsertRowId();
}

void TestAddresses::addBirthday(const QString& desc, int day, int month, int year)
{
    QVERIFY(m_db->execSql(
            u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, %2, %3, 0)"_s
                    .arg(birthdayKey(month, day))
                    .arg(year)
                    .arg(sqlQuote(desc))));
}

void TestAddresses::reload(const QString& search)
{
    reloadAddressList(*m_tree, *m_db, m_prompter, m_prefs, search);
}

QStringList TestAddresses::column(const QString& title) const
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

std::unique_ptr<AddressEditor> TestAddresses::editor(qint64 id, const QString& vname,
                                                     const QString& nname, int anrede)
{
    auto e = std::make_unique<AddressEditor>(*m_db, m_prompter, id);
    if (!vname.isNull())
        e->input(AddressField::Vname)->setEditText(vname);
    if (!nname.isNull())
        e->input(AddressField::Nname)->setEditText(nname);
    if (anrede != -1)
        e->salutation()->setCurrentIndex(anrede);
    return e;
}

QStringList TestAddresses::birthdays()
{
    return queryRows(*m_db, u"SELECT date, year, desc, nextmsg FROM geburtstage ORDER BY id"_s);
}

void TestAddresses::cellsByColumnTitle_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("moveFrom");
    QTest::addColumn<int>("moveTo");
    const auto defaults = Preferences::defaultAddressColumnTitles();
    const QStringList standard(defaults.begin(), defaults.end());
    QStringList reordered = standard;
    std::reverse(reordered.begin(), reordered.end());
    reordered.replace(reordered.indexOf(u"Notiz"_s), u"Extra"_s);
    QTest::newRow("default layout") << standard << 0 << 0;
    QTest::newRow("reversed, without Notiz") << reordered << 0 << 0;
    QTest::newRow("a column dragged") << standard << 11 << 0;
}

void TestAddresses::cellsByColumnTitle()
{
    QFETCH(QStringList, titles);
    QFETCH(int, moveFrom);
    QFETCH(int, moveTo);
    for (int i = 0; i < titles.size(); ++i)
        m_prefs.addressColumnTitles[std::size_t(i)] = titles[i];
    m_page = std::make_unique<AddressPage>(m_prefs);
    m_tree = m_page->list();
    m_tree->header()->moveSection(moveFrom, moveTo);

    const qint64 id = addAddress({{u"nname"_s, u"Muster"_s},
                                  {u"vname"_s, u"Max"_s},
                                  {u"nick"_s, u"Maxi"_s},
                                  {u"zvname"_s, u"Moritz"_s},
                                  {u"str"_s, u"Hauptstr."_s},
                                  {u"hausnr"_s, u"5a"_s},
                                  {u"plz"_s, u"12345"_s},
                                  {u"ort"_s, u"Musterstadt"_s},
                                  {u"land"_s, u"Deutschland"_s},
                                  {u"email"_s, u"max@example.org"_s},
                                  {u"tel"_s, u"0301"_s},
                                  {u"mobil"_s, u"0170"_s},
                                  {u"fax"_s, u"0302"_s},
                                  {u"gebdat"_s, u"07.08.1965"_s},
                                  {u"icq"_s, u"123456"_s},
                                  {u"msn"_s, u"m@msn"_s},
                                  {u"aim"_s, u"maxaim"_s},
                                  {u"website"_s, u"www.example.org"_s},
                                  {u"notiz"_s, u"Nachbar"_s}});
    addBirthday(u"Max Muster"_s, 7, 8, 1965);
    addAddress({{u"nname"_s, u"Zett"_s}, {u"vname"_s, u"Erika"_s}}, 0);
    reload();

    const QList<std::pair<QString, QString>> expected{{u"Nachname"_s, u"Muster"_s},
                                                      {u"Vorname"_s, u"Max"_s},
                                                      {u"Spitzname"_s, u"Maxi"_s},
                                                      {u"2. Vorname"_s, u"Moritz"_s},
                                                      {u"Straße/HausNr"_s, u"Hauptstr. 5a"_s},
                                                      {u"PLZ/Ort"_s, u"12345 Musterstadt"_s},
                                                      {u"Land"_s, u"Deutschland"_s},
                                                      {u"Email"_s, u"max@example.org"_s},
                                                      {u"Tel"_s, u"0301"_s},
                                                      {u"Mobil"_s, u"0170"_s},
                                                      {u"Fax"_s, u"0302"_s},
                                                      {u"Geb. Datum"_s, u"07.08.1965"_s},
                                                      {u"ICQ"_s, u"123456"_s},
                                                      {u"MSN"_s, u"m@msn"_s},
                                                      {u"AIM"_s, u"maxaim"_s},
                                                      {u"Website"_s, u"www.example.org"_s},
                                                      {u"Notiz"_s, u"Nachbar"_s},
                                                      {u"Extra"_s, QString()}};
    QCOMPARE(listRowCount(*m_tree), 2);
    for (const auto& [title, text] : expected) {
        if (titles.contains(title))
            QCOMPARE(column(title).first(), text);
    }
    QCOMPARE(listId(*m_tree, 0), id);
    for (int c = 0; c < listColumnCount(*m_tree); ++c) {
        QCOMPARE(listTint(*m_tree, 0, c), QColor(204, 204, 255));
        QCOMPARE(listTint(*m_tree, 1, c), QColor(255, 204, 204));
    }
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAddresses::birthdayComesFromTheBirthdayRow()
{
    reload();
    QCOMPARE(listRowCount(*m_tree), 0);
    addAddress({{u"nname"_s, u"Alt"_s}, {u"vname"_s, u"Ohne"_s}, {u"gebdat"_s, u"01.02.1980"_s}});
    addAddress({{u"nname"_s, u"Gleich"_s}, {u"vname"_s, u"Hans"_s}});
    addAddress({{u"nname"_s, u"Gleich"_s}, {u"vname"_s, u"Hans"_s}});
    addBirthday(u"Hans Gleich"_s, 3, 4, 1944);
    reload();
    QCOMPARE(column(u"Nachname"_s), (QStringList{u"Alt"_s, u"Gleich"_s, u"Gleich"_s}));
    QCOMPARE(column(u"Geb. Datum"_s), (QStringList{QString(), u"03.04.1944"_s, u"03.04.1944"_s}));
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAddresses::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    const QStringList seven{u"Meier"_s, u"N2"_s, u"N3"_s, u"N4"_s, u"N5"_s, u"N6"_s, u"N7"_s};
    QTest::newRow("ei in the seven fields") << u"ei"_s << seven;
    QTest::newRow("any letter case") << u"EI"_s << seven;
    QTest::newRow("apostrophe, typed or stored") << u"'"_s << QStringList{u"Apo"_s, u"O`Brian"_s};
    QTest::newRow("typed name with apostrophe") << u"O'Brian"_s << QStringList{u"O`Brian"_s};
    QTest::newRow("percent is no wildcard") << u"%"_s << QStringList{u"Pct"_s};
    QTest::newRow("underscore is no wildcard") << u"_"_s << QStringList{u"Und"_s};
    QTest::newRow("nothing") << u"xyz"_s << QStringList();
}

void TestAddresses::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    const QString v = u"vname"_s;
    addAddress({{u"nname"_s, u"Meier"_s}, {v, u"V"_s}});
    addAddress({{u"nname"_s, u"N2"_s}, {v, u"HEINZ"_s}});
    addAddress({{u"nname"_s, u"N3"_s}, {v, u"V"_s}, {u"zvname"_s, u"Reinhold"_s}});
    addAddress({{u"nname"_s, u"N4"_s}, {v, u"V"_s}, {u"nick"_s, u"Eisbär"_s}});
    addAddress({{u"nname"_s, u"N5"_s}, {v, u"V"_s}, {u"notiz"_s, u"ganz klEIn"_s}});
    addAddress({{u"nname"_s, u"N6"_s}, {v, u"V"_s}, {u"ort"_s, u"Weiden"_s}});
    addAddress({{u"nname"_s, u"N7"_s}, {v, u"V"_s}, {u"str"_s, u"Eichweg"_s}});
    // Fields outside the search.
    addAddress({{u"nname"_s, u"N8"_s},
                {v, u"V"_s},
                {u"email"_s, u"ei@ei.de"_s},
                {u"land"_s, u"Eire"_s},
                {u"tel"_s, u"'%_"_s}});
    addAddress({{u"nname"_s, u"Pct"_s}, {v, u"V"_s}, {u"notiz"_s, u"100% sicher"_s}});
    addAddress({{u"nname"_s, u"Und"_s}, {v, u"V"_s}, {u"notiz"_s, u"a_b"_s}});
    addAddress({{u"nname"_s, u"Apo"_s}, {v, u"V"_s}, {u"notiz"_s, u"it's"_s}});
    addAddress({{u"nname"_s, u"O`Brian"_s}, {v, u"V"_s}});

    reload(text);
    QStringList names = column(u"Nachname"_s);
    names.sort();
    QCOMPARE(names, found);
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAddresses::sorting_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("ascending");
    // Rows A (Adler) to D (Dahl) below; the expected orders are worked out by hand.
    QTest::newRow("Nachname") << 0 << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s};
    QTest::newRow("Vorname") << 1 << QStringList{u"B"_s, u"A"_s, u"D"_s, u"C"_s};
    QTest::newRow("Spitzname") << 2 << QStringList{u"C"_s, u"D"_s, u"A"_s, u"B"_s};
    QTest::newRow("2. Vorname") << 3 << QStringList{u"D"_s, u"C"_s, u"B"_s, u"A"_s};
    // House numbers are texts: "10" < "2" < "9".
    QTest::newRow("Straße/HausNr") << 4 << QStringList{u"B"_s, u"D"_s, u"A"_s, u"C"_s};
    QTest::newRow("PLZ/Ort") << 5 << QStringList{u"D"_s, u"B"_s, u"A"_s, u"C"_s};
    QTest::newRow("Land") << 6 << QStringList{u"D"_s, u"A"_s, u"C"_s, u"B"_s};
    // By month and day, then year; C has no birthday.
    QTest::newRow("Geb. Datum") << 7 << QStringList{u"C"_s, u"D"_s, u"A"_s, u"B"_s};
}

void TestAddresses::sorting()
{
    QFETCH(int, key);
    QFETCH(QStringList, ascending);
    const auto add = [this](const QString& tag, const QStringList& f) {
        addAddress({{u"nname"_s, f[0]},
                    {u"vname"_s, f[1]},
                    {u"nick"_s, f[2]},
                    {u"zvname"_s, f[3]},
                    {u"str"_s, f[4]},
                    {u"hausnr"_s, f[5]},
                    {u"plz"_s, f[6]},
                    {u"ort"_s, f[7]},
                    {u"land"_s, f[8]},
                    {u"notiz"_s, tag}});
    };
    add(u"A"_s, {u"Adler"_s, u"Berta"_s, u"Cleo"_s, u"Dora"_s, u"Amselweg"_s, u"9"_s, u"20095"_s,
                 u"Hamburg"_s, u"Deutschland"_s});
    add(u"B"_s, {u"Bauer"_s, u"Anton"_s, u"Dani"_s, u"Carl"_s, u"Amselweg"_s, u"10"_s, u"10115"_s,
                 u"Berlin"_s, u"Schweiz"_s});
    add(u"C"_s, {u"Christ"_s, u"Dieter"_s, u"Anni"_s, u"Bert"_s, u"Birkenweg"_s, u"1"_s, u"80331"_s,
                 u"München"_s, u"Italien"_s});
    add(u"D"_s, {u"Dahl"_s, u"Clara"_s, u"Bibi"_s, u"Anna"_s, u"Amselweg"_s, u"2"_s, u"10115"_s,
                 u"Aachen"_s, u"Belgien"_s});
    // Day first, A would come after B; the year puts D before A.
    addBirthday(u"Berta Adler"_s, 15, 3, 1990);
    addBirthday(u"Anton Bauer"_s, 2, 11, 1985);
    addBirthday(u"Clara Dahl"_s, 15, 3, 1960);

    m_prefs.sortaddress = key;
    m_prefs.sortaddressdir = 0;
    reload();
    QCOMPARE(column(u"Notiz"_s), ascending);
    m_prefs.sortaddressdir = 1;
    reload();
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(column(u"Notiz"_s), descending);
}

void TestAddresses::failedQueryLeavesListEmpty()
{
    addAddress({{u"nname"_s, u"A"_s}, {u"vname"_s, u"B"_s}});
    reload();
    QCOMPARE(listRowCount(*m_tree), 1);
    QVERIFY(m_db->execSql(u"DROP TABLE geburtstage"_s));
    reload();
    QCOMPARE(listRowCount(*m_tree), 0);
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Datenbankfehler / no such table: geburtstage"_s});
}

void TestAddresses::newEntryKeepsTheBirthdayAsItOpens()
{
    auto e = editor(0, u"Max"_s, u"Muster"_s, 1);
    QCOMPARE(e->windowTitle(), u"Adresse einfügen"_s);
    QCOMPARE(e->saveButton()->text(), u"Hinzufügen"_s);
    e->saveButton()->click();
    QCOMPARE(e->result(), int(QDialog::Accepted));
    QCOMPARE(queryRows(*m_db, u"SELECT vname, nname, gebdat, anrede FROM adressbuch"_s),
             QStringList{u"Max|Muster|01.01.1970|1"_s});
    QCOMPARE(birthdays(), QStringList{u"%1|1970|Max Muster|0"_s.arg(kFirstOfJanuary2000)});

    auto unticked = editor(0, u"Erika"_s, u"Muster"_s, 0);
    unticked->birthdayField()->setChecked(false);
    unticked->saveButton()->click();
    QCOMPARE(queryRows(*m_db, u"SELECT gebdat FROM adressbuch WHERE vname='Erika'"_s),
             QStringList{QString()});
    QCOMPARE(birthdays().size(), 1);
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAddresses::apostrophesAndLeapDay()
{
    auto e = editor(0, u"Ann"_s, u"O'Neil"_s, 0);
    e->input(AddressField::Notiz)->setEditText(u"it's"_s);
    e->birthdayField()->setValue(makeDate(1988, 2, 29, 0, 0, 1));
    e->saveButton()->click();
    QCOMPARE(queryRows(*m_db, u"SELECT nname, notiz, gebdat FROM adressbuch"_s),
             QStringList{u"O`Neil|it`s|29.02.1988"_s});
    QCOMPARE(birthdays(), QStringList{u"%1|1988|Ann O`Neil|0"_s.arg(kLeapDay2000)});
}

void TestAddresses::validation_data()
{
    QTest::addColumn<QString>("vname");
    QTest::addColumn<QString>("nname");
    QTest::addColumn<int>("anrede");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("message");
    QTest::newRow("no first name") << u""_s << u"Muster"_s << 1 << u""_s << kNamesMissing;
    QTest::newRow("no last name") << u"Max"_s << u""_s << 1 << u""_s << kNamesMissing;
    QTest::newRow("no salutation") << u"Max"_s << u"Muster"_s << -1 << u""_s << kNamesMissing;
    QTest::newRow("names before mail") << u""_s << u""_s << -1 << u"@"_s << kNamesMissing;
    QTest::newRow("at sign first") << u"Max"_s << u"Muster"_s << 1 << u"@example.org"_s << kBadMail;
    QTest::newRow("no dot after the at sign")
            << u"Max"_s << u"Muster"_s << 1 << u"max.m@example"_s << kBadMail;
    QTest::newRow("no at sign") << u"Max"_s << u"Muster"_s << 1 << u"max.example.org"_s << kBadMail;
    QTest::newRow("plain address") << u"Max"_s << u"Muster"_s << 1 << u"m@x.de"_s << QString();
    QTest::newRow("second at sign counts")
            << u"Max"_s << u"Muster"_s << 1 << u"@a@b.c"_s << QString();
    QTest::newRow("no address") << u"Max"_s << u"Muster"_s << 0 << u""_s << QString();
}

void TestAddresses::validation()
{
    QFETCH(QString, vname);
    QFETCH(QString, nname);
    QFETCH(int, anrede);
    QFETCH(QString, email);
    QFETCH(QString, message);
    auto e = editor(0, vname, nname, anrede);
    e->input(AddressField::Email)->setEditText(email);
    e->saveButton()->click();
    QCOMPARE(m_prompter.transcript(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM adressbuch"_s), message.isEmpty() ? 1 : 0);
    QCOMPARE(e->result(), message.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
    // What was typed stays for correcting.
    QCOMPARE(e->input(AddressField::Email)->currentText(), email);
}

void TestAddresses::duplicateNamesOnInsertOnly()
{
    const qint64 max = addAddress({{u"nname"_s, u"Muster"_s}, {u"vname"_s, u"Max"_s}});
    const qint64 erika = addAddress({{u"nname"_s, u"Muster"_s}, {u"vname"_s, u"Erika"_s}});
    auto e = editor(0, u"Max"_s, u"Muster"_s, 1);
    e->saveButton()->click();
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Warnung / Es existiert bereits ein Adressbucheintrag für den Namen Max "
                         u"Muster"_s});
    QCOMPARE(e->result(), int(QDialog::Rejected));
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM adressbuch"_s), 2);

    m_prompter.clear();
    auto rename = editor(erika, u"Max"_s);
    rename->saveButton()->click();
    QCOMPARE(rename->result(), int(QDialog::Accepted));
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM adressbuch WHERE vname='Max'"_s), 2);
    QCOMPARE(m_prompter.transcript(), QStringList());
    Q_UNUSED(max);
}

void TestAddresses::editingMovesOrRemovesTheBirthday()
{
    const qint64 id = addAddress(
            {{u"nname"_s, u"Muster"_s}, {u"vname"_s, u"Max"_s}, {u"gebdat"_s, u"15.06.1975"_s}});
    addBirthday(u"Max Muster"_s, 15, 6, 1975);
    QVERIFY(m_db->execSql(u"UPDATE geburtstage SET nextmsg=-1"_s));

    auto rename = editor(id, u"Moritz"_s, u"Meier"_s);
    rename->saveButton()->click();
    QCOMPARE(birthdays(), QStringList{u"%1|1975|Moritz Meier|0"_s.arg(birthdayKey(6, 15))});
    QCOMPARE(queryRows(*m_db, u"SELECT vname, nname, gebdat FROM adressbuch"_s),
             QStringList{u"Moritz|Meier|15.06.1975"_s});

    auto untick = editor(id);
    untick->birthdayField()->setChecked(false);
    untick->saveButton()->click();
    QCOMPARE(birthdays(), QStringList());
    QCOMPARE(queryRows(*m_db, u"SELECT gebdat FROM adressbuch"_s), QStringList{QString()});
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestAddresses::renamingKeepsTheOtherPersonsBirthday_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("ticked"); // the date with the box ticked, empty for unticked
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("extraBirthdays");
    const QStringList none;
    QTest::newRow("unticked onto a name with a birthday")
            << u"Ute Ohne"_s << u"Lea Schaltjahr"_s << QString() << true << none;
    QTest::newRow("ticked, another date")
            << u"Ute Ohne"_s << u"Lea Schaltjahr"_s << u"01.01.1970"_s << false << none;
    QTest::newRow("ticked, the same date")
            << u"Ute Ohne"_s << u"Lea Schaltjahr"_s << u"29.02.1932"_s << true << none;
    QTest::newRow("away from a name another entry keeps")
            << u"Lea Schaltjahr"_s << u"Ute Ohne"_s << u"29.02.1932"_s << true
            << QStringList{u"%1|1932|Ute Ohne|0"_s.arg(birthdayKey(2, 29))};
}

void TestAddresses::renamingKeepsTheOtherPersonsBirthday()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, ticked);
    QFETCH(bool, accepted);
    QFETCH(QStringList, extraBirthdays);
    addAddress({{u"vname"_s, u"Lea"_s}, {u"nname"_s, u"Schaltjahr"_s}}, 0);
    addBirthday(u"Lea Schaltjahr"_s, 29, 2, 1932);
    // A reminder already scheduled for her must survive as well.
    QVERIFY(m_db->execSql(u"UPDATE geburtstage SET nextmsg=5"_s));
    const QStringList names = from.split(u' ');
    const qint64 id = addAddress({{u"vname"_s, names[0]}, {u"nname"_s, names[1]}}, 0);
    const QStringList addressesBefore = queryRows(*m_db, u"SELECT * FROM adressbuch"_s);

    const QStringList target = to.split(u' ');
    auto e = editor(id, target[0], target[1]);
    e->birthdayField()->setChecked(!ticked.isEmpty());
    if (!ticked.isEmpty()) {
        const QDate day = QDate::fromString(ticked, u"dd.MM.yyyy"_s);
        e->birthdayField()->setValue(makeDate(day.year(), day.month(), day.day(), 0, 0, 1));
    }
    e->saveButton()->click();

    QCOMPARE(e->result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(birthdays(),
             QStringList{u"%1|1932|Lea Schaltjahr|5"_s.arg(birthdayKey(2, 29))} + extraBirthdays);
    if (accepted) {
        QCOMPARE(m_prompter.transcript(), QStringList());
        QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM adressbuch WHERE vname="_s +
                                            sqlQuote(target[0]) + u" AND nname="_s +
                                            sqlQuote(target[1])),
                 to == u"Lea Schaltjahr"_s ? 2 : 1);
    } else {
        QCOMPARE(m_prompter.transcript(),
                 QStringList{u"Warnung / Für den Namen Lea Schaltjahr ist bereits ein anderer "
                             u"Geburtstag eingetragen. Bitte den Haken beim Geburtsdatum "
                             u"entfernen oder einen anderen Namen wählen."_s});
        QCOMPARE(queryRows(*m_db, u"SELECT * FROM adressbuch"_s), addressesBefore);
    }
}

void TestAddresses::loadingShowsTheBirthdayRow()
{
    const qint64 old = addAddress({{u"nname"_s, u"Alt"_s},
                                   {u"vname"_s, u"Anna"_s},
                                   {u"ort"_s, u"Köln"_s},
                                   {u"gebdat"_s, u"01.01.2001"_s}},
                                  0);
    addBirthday(u"Anna Alt"_s, 24, 12, 1931);
    const qint64 without = addAddress(
            {{u"nname"_s, u"Neu"_s}, {u"vname"_s, u"Ben"_s}, {u"gebdat"_s, u"03.05.1999"_s}});

    auto e = editor(old);
    QCOMPARE(e->windowTitle(), u"Adresse Ändern"_s);
    QCOMPARE(e->saveButton()->text(), u"Ändern"_s);
    QCOMPARE(e->input(AddressField::Nname)->currentText(), u"Alt"_s);
    QCOMPARE(e->input(AddressField::Ort)->currentText(), u"Köln"_s);
    QCOMPARE(e->salutation()->currentText(), u"Frau"_s);
    QVERIFY(e->birthdayField()->isChecked());
    QCOMPARE(e->birthdayField()->text(), u"24.12.1931"_s);

    auto second = editor(without);
    QVERIFY(!second->birthdayField()->isChecked());
    QCOMPARE(second->enteredValues()[AddressField::Gebdat], QString());
    QCOMPARE(second->salutation()->currentText(), u"Herr"_s);
}

void TestAddresses::historiesListEarlierValues()
{
    addAddress({{u"nname"_s, u"Erst"_s}, {u"ort"_s, u"Bonn"_s}});
    addAddress({{u"nname"_s, u"Zweit"_s}, {u"ort"_s, u"Aue"_s}});
    addAddress({{u"nname"_s, u"Dritt"_s}, {u"ort"_s, u"Bonn"_s}});
    auto e = editor(0);
    const QComboBox* ort = e->input(AddressField::Ort);
    QStringList items;
    for (int i = 0; i < ort->count(); ++i)
        items << ort->itemText(i);
    // Newest first, each value once.
    QCOMPARE(items.first(), u"Bonn"_s);
    QCOMPARE(QSet<QString>(items.begin(), items.end()), (QSet<QString>{u"Bonn"_s, u"Aue"_s}));
    QCOMPARE(items.size(), 2);
    QCOMPARE(ort->currentText(), QString());
    QCOMPARE(e->input(AddressField::Nname)->itemText(0), u"Dritt"_s);
    QCOMPARE(e->salutation()->currentIndex(), -1);
    QVERIFY(e->birthdayField()->isChecked());
    QCOMPARE(e->birthdayField()->text(), u"01.01.1970"_s);
}

void TestAddresses::failedWriteChangesNothing_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<bool>("update");
    QTest::newRow("insert, birthday row refused") << u"INSERT ON geburtstage"_s << false;
    QTest::newRow("update, birthday row refused") << u"INSERT ON geburtstage"_s << true;
    QTest::newRow("update, address refused") << u"UPDATE ON adressbuch"_s << true;
}

void TestAddresses::failedWriteChangesNothing()
{
    QFETCH(QString, trigger);
    QFETCH(bool, update);
    const qint64 id = addAddress(
            {{u"nname"_s, u"Muster"_s}, {u"vname"_s, u"Max"_s}, {u"gebdat"_s, u"15.06.1975"_s}});
    addBirthday(u"Max Muster"_s, 15, 6, 1975);
    const QStringList addressesBefore = queryRows(*m_db, u"SELECT * FROM adressbuch"_s);
    const QStringList birthdaysBefore = birthdays();
    QVERIFY(m_db->execSql(u"CREATE TRIGGER refuse BEFORE "_s + trigger +
                          u" BEGIN SELECT RAISE(ABORT, 'refused'); END"_s));

    auto e = editor(update ? id : 0, u"Erika"_s, u"Meier"_s, 0);
    e->saveButton()->click();
    QCOMPARE(m_prompter.transcript(), QStringList{u"Datenbankfehler / refused"_s});
    QCOMPARE(e->result(), int(QDialog::Rejected));
    QCOMPARE(queryRows(*m_db, u"SELECT * FROM adressbuch"_s), addressesBefore);
    QCOMPARE(birthdays(), birthdaysBefore);
}

void TestAddresses::pageEvents()
{
    FixedClock clock{makeDate(2007, 3, 1, 8, 0)};
    Context ctx(m_dir->path(), m_prompter, clock);
    ctx.db = std::move(m_db);
    ctx.images = ImagePack::load(builtImagePackPath());
    QVERIFY(ctx.images);
    OrganiserWindow window(ctx.prefs);
    Overviews overviews(ctx, window);
    Database& db = *ctx.db;
    m_db.reset();

    const auto dbAdd = [&db](const QString& vname, const QString& nname) {
        QVERIFY(db.execSql(
                u"INSERT INTO adressbuch (vname, nname, anrede) VALUES (%1, %2, 1)"_s.arg(
                        sqlQuote(vname), sqlQuote(nname))));
    };
    dbAdd(u"Max"_s, u"Muster"_s);
    QVERIFY(db.execSql(u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (1, 1970, "
                       u"'Max Muster', 0)"_s));
    AddressBook book(ctx, *window.addressPage(), window, overviews);
    AddressPage& page = *window.addressPage();
    QTreeView& list = *page.list();
    // Nothing is read while the page is out of sight.
    book.reload();
    QCOMPARE(listRowCount(list), 0);
    window.tabs()->setCurrentWidget(&page);
    window.show();
    QCOMPARE(listRowCount(list), 1);

    // Search and sort.
    dbAdd(u"Anna"_s, u"Zorn"_s);
    page.searchField()->setText(u"orn"_s);
    QCOMPARE(listRowCount(list), 1);
    page.sortDirection()->setCurrentIndex(1);
    QCOMPARE(ctx.prefs.sortaddressdir, 1);
    QCOMPARE(listRowCount(list), 2);
    QCOMPARE(listCell(list, 0, 0), u"Zorn"_s);
    page.searchField()->clear();

    // Remove: declined, failed (still reloads), done.
    const auto select = [&list](const QString& nname) {
        for (int r = 0; r < listRowCount(list); ++r) {
            if (listCell(list, r, 0) == nname)
                selectListRow(list, r);
        }
    };
    m_prompter.clear();
    page.removeButton()->click();
    QCOMPARE(m_prompter.transcript(), QStringList()); // nothing selected
    select(u"Muster"_s);
    page.removeButton()->click();
    const QString question =
            u"Achtung! / Soll dieser Adressbucheintrag wirklich gelöscht werden?"_s;
    QCOMPARE(m_prompter.transcript(), QStringList{question});
    QCOMPARE(listRowCount(list), 2);

    QVERIFY(db.execSql(u"CREATE TRIGGER refuse BEFORE DELETE ON adressbuch BEGIN SELECT "
                       u"RAISE(ABORT, 'refused'); END"_s));
    dbAdd(u"Carl"_s, u"Neu"_s);
    m_prompter.clear();
    m_prompter.answer(true);
    select(u"Muster"_s);
    page.removeButton()->click();
    QCOMPARE(m_prompter.transcript(), (QStringList{question, u"Datenbankfehler / refused"_s}));
    QCOMPARE(listRowCount(list), 3);
    QCOMPARE(queryNumber(db, u"SELECT COUNT(*) FROM geburtstage"_s), 1);

    QVERIFY(db.execSql(u"DROP TRIGGER refuse"_s));
    m_prompter.clear();
    m_prompter.answer(true);
    select(u"Muster"_s);
    page.removeButton()->click();
    QCOMPARE(m_prompter.transcript(),
             (QStringList{question, u"Achtung! / Eintrag erfolgreich gelöscht!"_s}));
    QCOMPARE(listRowCount(list), 2);
    QCOMPARE(queryNumber(db, u"SELECT COUNT(*) FROM geburtstage"_s), 0);

    // "Hinzufügen" opens the editor; saving reloads the list.
    m_prompter.clear();
    QTimer::singleShot(0, this, [] {
        auto* editor = qobject_cast<AddressEditor*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        editor->input(AddressField::Vname)->setEditText(u"Lea"_s);
        editor->input(AddressField::Nname)->setEditText(u"Lang"_s);
        editor->salutation()->setCurrentIndex(0);
        editor->saveButton()->click();
    });
    page.addButton()->click();
    QCOMPARE(m_prompter.transcript(), QStringList());
    // The search gives way, so the saved entry is in sight.
    QCOMPARE(page.searchField()->text(), QString());
    QCOMPARE(listRowCount(list), 3);
    QCOMPARE(queryRows(db, u"SELECT desc FROM geburtstage"_s), QStringList{u"Lea Lang"_s});
}

void TestAddresses::keyboardOnTheList_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("asks");
    QTest::newRow("Return") << int(Qt::Key_Return) << true << false;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << true << false;
    QTest::newRow("Space") << int(Qt::Key_Space) << true << false;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << false << true;
    QTest::newRow("other keys only move") << int(Qt::Key_Down) << false << false;
}

void TestAddresses::keyboardOnTheList()
{
    QFETCH(int, key);
    QFETCH(bool, opens);
    QFETCH(bool, asks);
    FixedClock clock{makeDate(2007, 3, 1, 8, 0)};
    Context ctx(m_dir->path(), m_prompter, clock);
    ctx.db = std::move(m_db);
    ctx.images = ImagePack::load(builtImagePackPath());
    QVERIFY(ctx.images);
    OrganiserWindow window(ctx.prefs);
    Overviews overviews(ctx, window);
    QVERIFY(ctx.db->execSql(u"INSERT INTO adressbuch (vname, nname, anrede) VALUES ('Anna', "
                            u"'Alt', 0), ('Bert', 'Berg', 1)"_s));
    AddressBook book(ctx, *window.addressPage(), window, overviews);
    window.tabs()->setCurrentWidget(window.addressPage());
    window.show();
    QTreeView& list = *window.addressPage()->list();
    list.setFocus();
    selectListRow(list, 0);

    QString opened;
    QTimer::singleShot(0, this, [&opened] {
        if (auto* editor = qobject_cast<AddressEditor*>(QApplication::activeModalWidget())) {
            opened = editor->input(AddressField::Nname)->currentText();
            editor->reject();
        }
    });
    QTest::keyClick(&list, Qt::Key(key));
    QCoreApplication::processEvents();
    QCOMPARE(opened, opens ? u"Alt"_s : QString());
    // Declined, so both entries stay.
    QCOMPARE(m_prompter.transcript(),
             asks ? QStringList{u"Achtung! / Soll dieser Adressbucheintrag wirklich gelöscht "
                                u"werden?"_s}
                  : QStringList());
    QCOMPARE(queryNumber(*ctx.db, u"SELECT COUNT(*) FROM adressbuch"_s), 2);
}

QTEST_MAIN(TestAddresses)
#include "tst_addresses.moc"
