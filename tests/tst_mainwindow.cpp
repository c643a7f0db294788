#include "addresses/addresspage.h"
#include "app/organiserwindow.h"
#include "appointments/appointmentpage.h"
#include "common/imagepack.h"
#include "common/preferences.h"
#include "common/programfont.h"
#include "groups/grouplist.h"
#include "notes/notespage.h"

#include "support/listview.h"
#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void windowFrame();
    void controlPlaces_data();
    void controlPlaces();
    void initialStates();
    void statesFollowThePreferences();
    void listColumnsFromPreferences();
    void movedColumnsSurviveARestart();
    void collapsedColumnComesBackNarrow();
    void groupListShowsTwentySlots();
    void notesEditMenu();
    void pictureSize();
    void everyFocusableControlHasAName();

private:
    template<typename T = QWidget>
    static T* find(const QWidget& root, const QString& name)
    {
        return root.findChild<T*>(name);
    }
};

void TestMainWindow::initTestCase()
{
    QApplication::setFont(interfaceFont());
}

void TestMainWindow::windowFrame()
{
    OrganiserWindow window{Preferences()};
    QCOMPARE(window.windowTitle(), u"Ruvo          V0.68 Beta by zr"_s);
    QCOMPARE(window.size(), QSize(800, 550));
    QVERIFY(!window.isVisible());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));

    QStringList tabs;
    for (int i = 0; i < window.tabs()->count(); ++i)
        tabs << window.tabs()->tabText(i);
    QCOMPARE(tabs, (QStringList{u"Jahresübersicht"_s, u"Wochenübersicht"_s, u"Adressbuch"_s,
                                u"Terminübersicht"_s, u"Notizen"_s, u"Einstellungen"_s}));
    QCOMPARE(window.tabs()->currentIndex(), 1);
    QCOMPARE(window.tabs()->geometry(), QRect(0, 0, 650, 550));

    window.centreOn(QSize(1280, 800));
    QCOMPARE(window.pos(), QPoint(237, 122));
}

void TestMainWindow::controlPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    // The to-do column: positions in the window.
    QTest::newRow("todo list") << u"todoList"_s << QRect(650, 20, 150, 505) << QString();
    QTest::newRow("todo done") << u"todoDoneButton"_s << QRect(650, 525, 85, 20)
                               << u"Fertig (Löschen)"_s;
    QTest::newRow("todo add") << u"todoAddButton"_s << QRect(735, 525, 65, 20) << u"Hinzufügen"_s;

    // Pages: positions in the page.
    QTest::newRow("year label") << u"yearLabel"_s << QRect(200, 3, 150, 20) << u"2007"_s;
    QTest::newRow("year clock") << u"yearClockLabel"_s << QRect(483, 3, 160, 20)
                                << u"20.09.2007 - 19:56"_s;
    QTest::newRow("year <<") << u"previousYearButton"_s << QRect(180, 3, 20, 20) << u"<<"_s;
    QTest::newRow("year >>") << u"nextYearButton"_s << QRect(350, 3, 20, 20) << u">>"_s;
    QTest::newRow("year display") << u"yearDisplayButton"_s << QRect(5, 3, 70, 20)
                                  << u"Anzeige..."_s;
    QTest::newRow("year redraw") << u"yearRedrawButton"_s << QRect(75, 3, 80, 20)
                                 << u"Neu Zeichnen"_s;
    QTest::newRow("year legend") << u"yearLegendButton"_s << QRect(380, 3, 50, 20) << u"Legende"_s;
    QTest::newRow("week legend") << u"weekLegendButton"_s << QRect(380, 3, 50, 20) << u"Legende"_s;
    QTest::newRow("week label") << u"weekLabel"_s << QRect(200, 3, 150, 20) << u"1-8 Sept 2007"_s;
    QTest::newRow("week clock") << u"weekClockLabel"_s << QRect(483, 3, 160, 20)
                                << u"20.09.2007 - 19:56"_s;
    QTest::newRow("week <<") << u"previousWeekButton"_s << QRect(180, 3, 20, 20) << u"<<"_s;
    QTest::newRow("week >>") << u"nextWeekButton"_s << QRect(350, 3, 20, 20) << u">>"_s;
    QTest::newRow("week display") << u"weekDisplayButton"_s << QRect(5, 3, 70, 20)
                                  << u"Anzeige..."_s;
    QTest::newRow("week redraw") << u"weekRedrawButton"_s << QRect(75, 3, 80, 20)
                                 << u"Neu Zeichnen"_s;

    QTest::newRow("address list") << u"addressList"_s << QRect(0, 0, 645, 503) << QString();
    QTest::newRow("address add") << u"addAddressButton"_s << QRect(3, 503, 65, 20)
                                 << u"Hinzufügen"_s;
    QTest::newRow("address remove")
            << u"removeAddressButton"_s << QRect(68, 503, 65, 20) << u"Entfernen"_s;
    QTest::newRow("address edit") << u"editAddressButton"_s << QRect(133, 503, 65, 20)
                                  << u"Ändern"_s;
    QTest::newRow("address search") << u"addressSearch"_s << QRect(503, 503, 135, 20) << QString();
    QTest::newRow("address search label")
            << u"addressSearchLabel"_s << QRect(458, 508, 45, 15) << u"Suchen:"_s;
    QTest::newRow("address sort") << u"addressSortKey"_s << QRect(283, 503, 100, 20) << QString();
    QTest::newRow("address direction")
            << u"addressSortDirection"_s << QRect(388, 503, 60, 20) << QString();
    QTest::newRow("address sort label")
            << u"addressSortLabel"_s << QRect(208, 508, 75, 15) << u"Sortieren nach:"_s;

    QTest::newRow("appointment list") << u"appointmentList"_s << QRect(0, 0, 645, 503) << QString();
    QTest::newRow("appointment search")
            << u"appointmentSearch"_s << QRect(503, 503, 135, 20) << QString();
    QTest::newRow("appointment search label")
            << u"appointmentSearchLabel"_s << QRect(458, 508, 45, 15) << u"Suchen:"_s;
    QTest::newRow("appointment sort")
            << u"appointmentSortKey"_s << QRect(283, 503, 100, 20) << QString();
    QTest::newRow("appointment direction")
            << u"appointmentSortDirection"_s << QRect(388, 503, 60, 20) << QString();
    QTest::newRow("appointment sort label")
            << u"appointmentSortLabel"_s << QRect(208, 508, 75, 15) << u"Sortieren nach:"_s;

    QTest::newRow("insert picture") << u"insertPictureButton"_s << QRect(5, 500, 400, 20)
                                    << u"ASCII-Bild einfügen (derzeit ist keins aktiv)"_s;
    QTest::newRow("remove pictures") << u"removePicturesButton"_s << QRect(410, 500, 200, 20)
                                     << u"Alle ASCII-Bilder entfernen"_s;

    QTest::newRow("reminders frame")
            << u"remindersFrame"_s << QRect(215, 8, 330, 75) << u"Benachrichtigungen:"_s;
    QTest::newRow("birthday label")
            << u"birthdayLabel"_s << QRect(220, 25, 90, 15) << u"Geburtstage:"_s;
    QTest::newRow("birthday lead") << u"birthdayLead"_s << QRect(310, 25, 120, 20) << QString();
    QTest::newRow("birthday repeat") << u"birthdayRepeat"_s << QRect(435, 25, 100, 20) << QString();
    QTest::newRow("default label")
            << u"defaultLabel"_s << QRect(220, 55, 90, 15) << u"Allg. Vorauswahl:"_s;
    QTest::newRow("default lead") << u"defaultLead"_s << QRect(310, 55, 120, 20) << QString();
    QTest::newRow("default repeat") << u"defaultRepeat"_s << QRect(435, 55, 100, 20) << QString();
    QTest::newRow("bar frame") << u"barColourFrame"_s << QRect(215, 87, 330, 75)
                               << u"Balkenfarbe:"_s;
    QTest::newRow("red label") << u"redLabel"_s << QRect(220, 102, 50, 15) << u"Red:"_s;
    QTest::newRow("green label") << u"greenLabel"_s << QRect(220, 117, 50, 15) << u"Green:"_s;
    QTest::newRow("blue label") << u"blueLabel"_s << QRect(220, 132, 50, 15) << u"Blue:"_s;
    QTest::newRow("red slider") << u"redSlider"_s << QRect(270, 102, 200, 15) << QString();
    QTest::newRow("green slider") << u"greenSlider"_s << QRect(270, 117, 200, 15) << QString();
    QTest::newRow("blue slider") << u"blueSlider"_s << QRect(270, 132, 200, 15) << QString();
    QTest::newRow("backup frame") << u"backupFrame"_s << QRect(215, 170, 330, 90)
                                  << u"Sicherungen:"_s;
    QTest::newRow("backup") << u"backupButton"_s << QRect(220, 190, 140, 20)
                            << u"Datenbank jetzt Sichern"_s;
    QTest::newRow("restore") << u"restoreButton"_s << QRect(370, 190, 160, 20)
                             << u"Sicherungsdatei rücksichern"_s;
    QTest::newRow("backup note")
            << u"backupNote"_s << QRect(220, 210, 320, 45)
            << u"Die Datenbank wird aus sicherheitsgründen bein regulären Programmende "
               "automatisch ins Arbeitsverzeichniss als 'recovery' gesichert"_s;
    QTest::newRow("print frame") << u"printFrame"_s << QRect(215, 270, 330, 100) << u"Drucken:"_s;
    QTest::newRow("print") << u"printButton"_s << QRect(220, 285, 320, 20)
                           << u"Alle termine in Tabellenform Drucken"_s;
    QTest::newRow("print year") << u"printYearButton"_s << QRect(220, 305, 320, 20)
                                << u"Jahresübersicht Drucken (Termindetails in Tabellenform)"_s;
    QTest::newRow("print week") << u"printWeekButton"_s << QRect(220, 325, 320, 20)
                                << u"Wochenübersicht Drucken (Termindetails in Tabellenform)"_s;
    QTest::newRow("print calendar") << u"printCalendarButton"_s << QRect(220, 345, 320, 20)
                                    << u"Kalender für ein Jahr Drucken (Ohne Termine)"_s;
    QTest::newRow("export frame") << u"exportFrame"_s << QRect(215, 380, 330, 100)
                                  << u"Exportieren:"_s;
    QTest::newRow("export") << u"exportButton"_s << QRect(220, 395, 320, 20)
                            << u"Alle Termine als Textdatei exportieren"_s;
    QTest::newRow("sql export") << u"sqlExportButton"_s << QRect(220, 415, 320, 20)
                                << u"Alle Termine für einen SQL-Export aufbereiten"_s;
    QTest::newRow("ascii export") << u"asciiExportButton"_s << QRect(220, 435, 320, 20)
                                  << u"Alle Termine als ASCII-Tabelle exportieren"_s;
    QTest::newRow("address export") << u"addressExportButton"_s << QRect(220, 455, 320, 20)
                                    << u"Alle Adressen für einen SQL-Export aufbereiten"_s;
    QTest::newRow("groups frame") << u"groupsFrame"_s << QRect(8, 8, 200, 385) << u"Gruppen:"_s;
    QTest::newRow("group list") << u"groupList"_s << QRect(13, 25, 190, 300) << QString();
    QTest::newRow("selected entry")
            << u"selectedEntryLabel"_s << QRect(13, 325, 180, 15) << u"Ausgewählten Eintrag:"_s;
    QTest::newRow("group up") << u"groupUpButton"_s << QRect(13, 340, 45, 20) << u"Hoch"_s;
    QTest::newRow("group edit") << u"groupEditButton"_s << QRect(58, 340, 50, 20) << u"Ändern"_s;
    QTest::newRow("group delete") << u"groupDeleteButton"_s << QRect(108, 340, 50, 20)
                                  << u"Löschen"_s;
    QTest::newRow("group down") << u"groupDownButton"_s << QRect(158, 340, 45, 20) << u"Runter"_s;
    QTest::newRow("move note")
            << u"groupMoveNote"_s << QRect(13, 360, 180, 30)
            << u"(Durch hoch/runter verschieben wird die Gruppenfarbe geändert!)"_s;
    QTest::newRow("misc frame") << u"miscFrame"_s << QRect(8, 395, 200, 100) << u"Verschiedenes:"_s;
    QTest::newRow("autostart") << u"autostartBox"_s << QRect(13, 410, 180, 15)
                               << u"Beim Windows-start mit starten"_s;
    QTest::newRow("update") << u"updateBox"_s << QRect(13, 430, 180, 15)
                            << u"Beim Start nach Updates suchen"_s;
    QTest::newRow("splash") << u"splashBox"_s << QRect(13, 450, 180, 15)
                            << u"Splash-Screen anzeigen"_s;
}

void TestMainWindow::controlPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    OrganiserWindow window{Preferences()};
    QWidget* control = find(window, name);
    QVERIFY2(control, qPrintable(name));
    // The to-do column sits in a panel at x 650; everything else lies directly on its page.
    QRect actual = control->geometry();
    if (name.startsWith(u"todo"_s))
        actual = QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
    QCOMPARE(actual, geometry);
    if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        QCOMPARE(button->text(), text);
    else if (auto* box = qobject_cast<QGroupBox*>(control))
        QCOMPARE(box->title(), text);
}

void TestMainWindow::initialStates()
{
    OrganiserWindow window{Preferences()};
    for (const char* name : {"printYearButton", "printWeekButton", "printCalendarButton",
                             "sqlExportButton", "asciiExportButton", "addressExportButton"})
        QVERIFY2(!find(window, QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(find(window, u"printButton"_s)->isEnabled());
    QVERIFY(find(window, u"exportButton"_s)->isEnabled());

    auto items = [](const QComboBox* box) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    };
    QCOMPARE(items(find<QComboBox>(window, u"addressSortKey"_s)),
             (QStringList{u"Nachname"_s, u"Vorname"_s, u"Spitzname"_s, u"2. Vorname"_s,
                          u"Straße/HausNr"_s, u"PLZ/Ort"_s, u"Land"_s, u"Geb. Datum"_s}));
    QCOMPARE(items(find<QComboBox>(window, u"appointmentSortKey"_s)),
             (QStringList{u"Gruppe"_s, u"Beschreibung"_s, u"Anfang"_s, u"Ende"_s}));
    QCOMPARE(items(find<QComboBox>(window, u"appointmentSortDirection"_s)),
             (QStringList{u"Aufst."_s, u"Abst."_s}));
    const QStringList leads{u"keine"_s, u"eine Woche zuvor"_s, u"ein Tag zuvor"_s,
                            u"eine Stunde zuvor"_s, u"bei Terminbeginn"_s};
    const QStringList repeats{u"einmal"_s, u"viertelstündlich"_s, u"stündlich"_s, u"täglich"_s};
    QCOMPARE(items(find<QComboBox>(window, u"birthdayLead"_s)), leads);
    QCOMPARE(items(find<QComboBox>(window, u"defaultLead"_s)), leads);
    // Both repetition lists start complete and enabled, whatever lead is stored.
    for (const char* name : {"birthdayRepeat", "defaultRepeat"}) {
        auto* box = find<QComboBox>(window, QString::fromLatin1(name));
        QCOMPARE(items(box), repeats);
        QVERIFY(box->isEnabled());
    }
    auto* slider = find<QSlider>(window, u"redSlider"_s);
    QCOMPARE(slider->minimum(), 10);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(slider->value(), 50);
    QCOMPARE(find<QLabel>(window, u"yearLabel"_s)->font().bold(), true);
    QCOMPARE(find<QTextEdit>(window, u"notesEditor"_s)->font().family(), programFont(5).family());
}

void TestMainWindow::statesFollowThePreferences()
{
    Preferences prefs;
    prefs.legende = 1;
    prefs.gebmsgtime = 0;
    prefs.gebremsg = 3;
    prefs.allgmsgtime = 4;
    prefs.allgremsg = 1;
    prefs.g = 0.1f;
    prefs.b = 1.0f;
    prefs.update = 0;
    prefs.autostart = 0;
    prefs.splash = 1;
    prefs.sortaddress = 5;
    prefs.sortaddressdir = 1;
    prefs.sortterms = 2;
    prefs.sorttermsdir = 1;
    prefs.asciiimage = 3;
    OrganiserWindow window(prefs);

    QVERIFY(find<QAbstractButton>(window, u"yearLegendButton"_s)->isChecked());
    QVERIFY(find<QAbstractButton>(window, u"weekLegendButton"_s)->isChecked());
    QCOMPARE(find<QComboBox>(window, u"birthdayLead"_s)->currentIndex(), 0);
    QCOMPARE(find<QComboBox>(window, u"birthdayRepeat"_s)->currentIndex(), 3);
    QCOMPARE(find<QComboBox>(window, u"defaultLead"_s)->currentIndex(), 4);
    QCOMPARE(find<QComboBox>(window, u"defaultRepeat"_s)->currentIndex(), 1);
    QCOMPARE(find<QSlider>(window, u"greenSlider"_s)->value(), 10);
    QCOMPARE(find<QSlider>(window, u"blueSlider"_s)->value(), 100);
    QVERIFY(!find<QCheckBox>(window, u"updateBox"_s)->isChecked());
    QVERIFY(!find<QCheckBox>(window, u"autostartBox"_s)->isChecked());
    QVERIFY(find<QCheckBox>(window, u"splashBox"_s)->isChecked());
    QCOMPARE(find<QComboBox>(window, u"addressSortKey"_s)->currentText(), u"PLZ/Ort"_s);
    QCOMPARE(find<QComboBox>(window, u"addressSortDirection"_s)->currentText(), u"Abst."_s);
    QCOMPARE(find<QComboBox>(window, u"appointmentSortKey"_s)->currentText(), u"Anfang"_s);
    QCOMPARE(find<QComboBox>(window, u"appointmentSortDirection"_s)->currentText(), u"Abst."_s);
    QCOMPARE(find<QAbstractButton>(window, u"insertPictureButton"_s)->text(),
             u"ASCII-Bild einfügen (derzeit ist 3 aktiv)"_s);
}

void TestMainWindow::listColumnsFromPreferences()
{
    Preferences prefs;
    prefs.appointmentColumnTitles = {u"Anfang"_s,          u"Nr"_s,   u"Gruppe"_s,
                                     u"Beschreibung"_s,    u"Ende"_s, u"Wiederholung"_s,
                                     u"Benachrichtigung"_s};
    prefs.appointmentColumnWidths = {120, 30, 90, 200, 90, 60, 4};
    OrganiserWindow window(prefs);
    const QTreeView* list = window.appointmentPage()->list();
    QCOMPARE(listColumnCount(*list), 7);
    QCOMPARE(listTitle(*list, 0), u"Anfang"_s);
    QCOMPARE(list->header()->sectionSize(0), 120);
    QCOMPARE(list->header()->sectionSize(6), 4);
    QVERIFY(list->header()->sectionsMovable());

    const QTreeView* addresses = window.addressPage()->list();
    QCOMPARE(listColumnCount(*addresses), 17);
    QCOMPARE(listTitle(*addresses, 16), u"Notiz"_s);
    QCOMPARE(addresses->header()->sectionSize(3), 80);
}

void TestMainWindow::movedColumnsSurviveARestart()
{
    Preferences prefs;
    {
        OrganiserWindow window(prefs);
        QHeaderView* header = window.addressPage()->list()->header();
        // Drag "Land" (logical 6) to the front and widen "Tel".
        header->moveSection(header->visualIndex(6), 0);
        header->resizeSection(8, 150);
        QHeaderView* terms = window.appointmentPage()->list()->header();
        terms->moveSection(terms->visualIndex(3), 0);
        window.storeColumnLayouts(prefs);
    }
    QCOMPARE(prefs.addressColumnTitles[0], u"Land"_s);
    QCOMPARE(prefs.addressColumnTitles[1], u"Nachname"_s);
    QCOMPARE(prefs.addressColumnTitles[7], u"Email"_s);
    QCOMPARE(prefs.addressColumnWidths[8], 150);
    QCOMPARE(prefs.appointmentColumnTitles[0], u"Anfang"_s);

    // Through the file and into a new window: same order, titles and widths.
    const Preferences reread = Preferences::parse(prefs.serialize());
    OrganiserWindow again(reread);
    const QTreeView* list = again.addressPage()->list();
    QCOMPARE(listTitle(*list, 0), u"Land"_s);
    QCOMPARE(list->header()->sectionSize(8), 150);
    QCOMPARE(listTitle(*again.appointmentPage()->list(), 0), u"Anfang"_s);
}

void TestMainWindow::collapsedColumnComesBackNarrow()
{
    Preferences prefs;
    {
        OrganiserWindow window(prefs);
        window.addressPage()->list()->header()->resizeSection(2, 0);
        window.storeColumnLayouts(prefs);
    }
    const Preferences reread = Preferences::parse(prefs.serialize());
    OrganiserWindow again(reread);
    QCOMPARE(again.addressPage()->list()->header()->sectionSize(2), 4);
}

void TestMainWindow::groupListShowsTwentySlots()
{
    TestDirectory dir;
    auto db = createBootstrappedDatabase(dir.filePath(u"data.zr"_s));
    auto images = ImagePack::load(builtImagePackPath());
    QVERIFY(images);
    ScriptedPrompter prompter;
    QTreeWidget list;
    list.setColumnCount(2);
    fillGroupList(list, *db, prompter, *images);
    QCOMPARE(listRowCount(list), 20);
    QCOMPARE(listCell(list, 0, 0), u"1"_s);
    QCOMPARE(listCell(list, 0, 1), QString());
    QCOMPARE(listCell(list, 1, 1), u"Feiertag"_s);
    QCOMPARE(listCell(list, 4, 1), u"Geschäftlich"_s);
    QCOMPARE(listCell(list, 19, 0), u"20"_s);
    QCOMPARE(listCell(list, 19, 1), u"Geburtstag"_s);
    QCOMPARE(list.topLevelItem(19)->data(0, Qt::UserRole).toInt(), 20);
    QVERIFY(!list.topLevelItem(7)->icon(0).isNull());
    QVERIFY(prompter.calls().isEmpty());

    // A failing query shows the database error and leaves the list empty.
    QVERIFY(db->execSql(u"DROP TABLE grups"_s));
    fillGroupList(list, *db, prompter, *images);
    QCOMPARE(listRowCount(list), 0);
    QCOMPARE(prompter.calls().size(), 1);
    QCOMPARE(prompter.calls().first().title, u"Datenbankfehler"_s);
}

void TestMainWindow::notesEditMenu()
{
    OrganiserWindow window{Preferences()};
    NotesPage* page = window.notesPage();
    QStringList texts;
    for (QAction* action : page->editMenu()->actions())
        texts << (action->isSeparator() ? u"-"_s : action->text());
    QCOMPARE(texts, (QStringList{u"&Rückgängig"_s, u"&Wiederholen"_s, u"-"_s, u"&Ausschneiden"_s,
                                 u"&Kopieren"_s, u"&Einfügen"_s, u"&Alles Markieren"_s}));
    QTextEdit* editor = page->editor();
    QCOMPARE(editor->contextMenuPolicy(), Qt::CustomContextMenu);

    editor->setPlainText(u"Einkaufen"_s);
    const QList<QAction*> actions = page->editMenu()->actions();
    actions[6]->trigger(); // select all
    QCOMPARE(editor->textCursor().selectedText(), u"Einkaufen"_s);
    actions[3]->trigger(); // cut
    QCOMPARE(editor->toPlainText(), QString());
    actions[5]->trigger(); // paste
    QCOMPARE(editor->toPlainText(), u"Einkaufen"_s);
    actions[0]->trigger(); // undo the paste
    QCOMPARE(editor->toPlainText(), QString());
    actions[1]->trigger(); // redo it
    QCOMPARE(editor->toPlainText(), u"Einkaufen"_s);
}

void TestMainWindow::pictureSize()
{
    OrganiserWindow window{Preferences()};
    // The page area of the tab control (646 x 524 with the interface font), less one column and
    // the 24 rows of the button bar.
    QCOMPARE(window.pictureWidth(), 645);
    QCOMPARE(window.pictureHeight(), 500);
    QCOMPARE(find(window, u"yearView"_s)->geometry(),
             QRect(0, 23, window.pictureWidth(), window.pictureHeight()));
}

void TestMainWindow::everyFocusableControlHasAName()
{
    // What a screen reader says on reaching a control: its own text or a name given to it.
    OrganiserWindow window{Preferences()};
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus || widget->focusProxy())
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QString::fromLatin1(widget->metaObject()->className()) + u' ' +
                               widget->objectName();
    }
    QCOMPARE(unnamed.join(u", "_s), QString());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
