#include "app/organiserwindow.h"
#include "appointments/appointmentstore.h"
#include "appointments/daydialog.h"
#include "common/programfont.h"
#include "core/context.h"
#include "groups/displayfilterdialog.h"
#include "groups/groupeditordialog.h"
#include "groups/grouplist.h"
#include "groups/grouppanel.h"
#include "groups/groupstore.h"
#include "settings/settingspage.h"
#include "views/overviews.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

const QString kAllGroups = u"SELECT id, grupname, jahrl, ganztag FROM grups ORDER BY id"_s;
const QString kAllAppointments = u"SELECT id, grup, desc FROM termine ORDER BY id"_s;

const QString kEditRefusal = u"Achtung! / Die Gruppen 'Geburtstag' und 'Feiertag' sind "
                             "Spezialgruppen, sie können nicht geändert werden!"_s;
const QString kDeleteRefusal = u"Achtung! / Die Gruppen 'Geburtstag' und 'Feiertag' sind "
                               "Spezialgruppen, sie können nicht gelöscht werden!"_s;
const QString kNameRefusal =
        u"Achtuing / Gruppennamen dürfen nicht 'Geburtstag' oder 'Feiertag' heißen!"_s;

QString question(const QString& list)
{
    return u"Beim Löschen einer Gruppe werden sämtliche Termine in dieser Gruppe auch gelöscht.\n"
           "folgende Termine werden gelöscht:\n"_s +
           list + u"\nWirklich Löschen??"_s;
}

QList<int> hiddenSlots()
{
    QList<int> s(20, -1);
    s[0] = 3;
    return s;
}

} // namespace

class TestGroups : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void moveExchangesNeighbours_data();
    void moveExchangesNeighbours();
    void failedChangeLeavesEverything_data();
    void failedChangeLeavesEverything();
    void movedBirthdayGroupIsFoundByName();
    void deleteAsksAndEmptiesTheSlot_data();
    void deleteAsksAndEmptiesTheSlot();
    void deleteQuestionFitsTheScreen_data();
    void deleteQuestionFitsTheScreen();
    void saveRefusesSpecialNames_data();
    void saveRefusesSpecialNames();

    void panelWithoutSelectionDoesNothing();
    void panelRefusesSpecialGroups();
    void panelNumbersAreNotCut();
    void deletedSlotLeavesTheChoiceLists();
    void editorStoresOrStaysOpen();
    void panelReportsChangedGroups_data();
    void captionOnlyDialogsStayOpen_data();
    void captionOnlyDialogsStayOpen();
    void panelReportsChangedGroups();

private:
    Database& db() { return *m_ctx->db; }
    void addAppointments();
    QTreeWidget* panelList() { return m_window->settingsPage()->groupList(); }
    void select(int position);

    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{0};
    std::unique_ptr<Context> m_ctx;
    std::unique_ptr<OrganiserWindow> m_window;
    std::unique_ptr<Overviews> m_overviews;
    std::unique_ptr<GroupPanel> m_panel;
};

void TestGroups::initTestCase()
{
    QApplication::setFont(interfaceFont());
}

void TestGroups::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_prompter.clear();
    m_ctx = createTestContext(*m_dir, m_prompter, m_clock);
    QVERIFY(m_ctx);
    m_clock.set(makeDate(2007, 3, 1, 8, 0, 0));
    m_ctx->view.shownYear = 2007;
    m_window = std::make_unique<OrganiserWindow>(m_ctx->prefs);
    m_overviews = std::make_unique<Overviews>(*m_ctx, *m_window);
    m_panel = std::make_unique<GroupPanel>(*m_ctx, *m_window->settingsPage(), *m_overviews);
    fillGroupList(*panelList(), db(), m_prompter, *m_ctx->images);
}

void TestGroups::cleanup()
{
    m_panel.reset();
    m_overviews.reset();
    m_window.reset();
    m_ctx.reset();
    m_dir.reset();
}

void TestGroups::addAppointments()
{
    // Two in Schulaufgabe (4), one in Geschäftlich (5), one in Termin Allg. (6).
    for (const auto& [group, desc] : {std::pair{4, u"Mathe"_s}, std::pair{5, u"Kunde"_s},
                                      std::pair{4, u"Latein"_s}, std::pair{6, u"Post"_s}}) {
        QVERIFY(insertTestAppointment(db(), {1000, 2000, group, desc}) > 0);
    }
}

void TestGroups::select(int position)
{
    QTreeWidgetItem* row = panelList()->topLevelItem(position);
    QVERIFY(row);
    panelList()->setCurrentItem(row);
    QVERIFY(row->isSelected());
}

void TestGroups::moveExchangesNeighbours_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<QStringList>("groupRows");
    QTest::addColumn<QStringList>("appointments");

    const QString up = u"groupUpButton"_s;
    const QString down = u"groupDownButton"_s;
    const QStringList swapped{u"4|Geschäftlich|0|0"_s, u"5|Schulaufgabe|0|1"_s};
    const QStringList swappedAppointments{u"1|5|Mathe"_s, u"2|4|Kunde"_s, u"3|5|Latein"_s,
                                          u"4|6|Post"_s};
    QTest::newRow("5 up") << up << 4 << 3 << swapped << swappedAppointments;
    QTest::newRow("4 down") << down << 3 << 4 << swapped << swappedAppointments;
    // The first run leaves the presets it does not set empty.
    const QStringList unchanged{u"4|Schulaufgabe||1"_s, u"5|Geschäftlich||"_s};
    const QStringList unchangedAppointments{u"1|4|Mathe"_s, u"2|5|Kunde"_s, u"3|4|Latein"_s,
                                            u"4|6|Post"_s};
    QTest::newRow("1 up") << up << 0 << 0 << unchanged << unchangedAppointments;
    QTest::newRow("20 down") << down << 19 << 19 << unchanged << unchangedAppointments;
}

void TestGroups::moveExchangesNeighbours()
{
    QFETCH(QString, button);
    QFETCH(int, position);
    QFETCH(int, selectedAfter);
    QFETCH(QStringList, groupRows);
    QFETCH(QStringList, appointments);
    addAppointments();
    const QList<int> hidden = hiddenSlots();
    std::copy(hidden.begin(), hidden.end(), m_ctx->prefs.showedterms.begin());
    const QString movedName = panelList()->topLevelItem(position)->text(1);

    select(position);
    QTest::mouseClick(m_window->settingsPage()->findChild<QPushButton*>(button), Qt::LeftButton);

    QCOMPARE(queryRows(db(), kAllGroups).mid(3, 2), groupRows);
    QCOMPARE(queryRows(db(), kAllAppointments), appointments);
    QList<int> expectedSlots = hidden;
    if (position != selectedAfter)
        std::iota(expectedSlots.begin(), expectedSlots.end(), 1);
    QCOMPARE(QList<int>(m_ctx->prefs.showedterms.begin(), m_ctx->prefs.showedterms.end()),
             expectedSlots);
    // The moved group stays selected at its new place, with that place's number.
    QCOMPARE(panelList()->topLevelItemCount(), 20);
    QTreeWidgetItem* current = panelList()->currentItem();
    QVERIFY(current && current->isSelected());
    QCOMPARE(panelList()->indexOfTopLevelItem(current), selectedAfter);
    QCOMPARE(current->text(0), QString::number(selectedAfter + 1));
    QCOMPARE(current->text(1), movedName);
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestGroups::failedChangeLeavesEverything_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("trigger");
    // Moving 5 up: two slot rows, then the appointments of 5 parked, those of 4 to 5, the parked
    // ones to 4. Deleting 5: its slot row, then its appointments.
    const QString up = u"groupUpButton"_s;
    QTest::newRow("move, second slot row") << up << u"BEFORE UPDATE ON grups WHEN NEW.id=4"_s;
    QTest::newRow("move, appointments of 4 to 5")
            << up << u"BEFORE UPDATE ON termine WHEN NEW.grup=5"_s;
    QTest::newRow("move, parked ones to 4") << up << u"BEFORE UPDATE ON termine WHEN NEW.grup=4"_s;
    QTest::newRow("delete, appointments")
            << u"groupDeleteButton"_s << u"BEFORE DELETE ON termine"_s;
}

void TestGroups::failedChangeLeavesEverything()
{
    QFETCH(QString, button);
    QFETCH(QString, trigger);
    addAppointments();
    QVERIFY(db().execSql(u"CREATE TRIGGER failing "_s + trigger +
                         u" BEGIN SELECT RAISE(ABORT,'kaputt'); END"_s));
    const QStringList groupsBefore = queryRows(db(), kAllGroups);
    const QStringList appointmentsBefore = queryRows(db(), kAllAppointments);
    m_ctx->prefs.showedterms.fill(-1);
    m_prompter.answer(true);

    select(4);
    QTest::mouseClick(m_window->settingsPage()->findChild<QPushButton*>(button), Qt::LeftButton);

    QCOMPARE(queryRows(db(), kAllGroups), groupsBefore);
    QCOMPARE(queryRows(db(), kAllAppointments), appointmentsBefore);
    QCOMPARE(m_prompter.transcript().last(), u"Datenbankfehler / kaputt"_s);
    QCOMPARE(m_ctx->prefs.showedterms[0], -1);
}

void TestGroups::movedBirthdayGroupIsFoundByName()
{
    const qint64 birthday = insertTestAppointment(db(), {1000, 2000, 20, u"Oma"_s});
    QVERIFY(moveGroupUp(db(), m_prompter, m_ctx->prefs, 20));
    QCOMPARE(queryRows(db(), u"SELECT grup FROM termine WHERE id=%1"_s.arg(birthday)),
             QStringList{u"19"_s});

    applyBirthdayReminderDefaults(db(), m_prompter, 4, 0);
    QCOMPARE(queryRows(db(), u"SELECT msg, remsg FROM termine WHERE id=%1"_s.arg(birthday)),
             QStringList{u"4|0"_s});

    DayDialog dialog(*m_ctx, 1, 3, 2007);
    auto* choice = dialog.findChild<QComboBox*>(u"groupChoice"_s);
    QVERIFY(choice);
    const int index = choice->findText(u"Geburtstag"_s);
    QVERIFY(index >= 0);
    QCOMPARE(choice->itemData(index).toInt(), 19);
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestGroups::deleteAsksAndEmptiesTheSlot_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QStringList>("appointmentsLeft");

    const QStringList all{u"1|4|Mathe"_s, u"2|5|Kunde"_s, u"3|4|Latein"_s, u"4|6|Post"_s};
    QTest::newRow("two appointments, yes")
            << 4 << true << u"Mathe\nLatein\n"_s << QStringList{u"2|5|Kunde"_s, u"4|6|Post"_s};
    QTest::newRow("two appointments, no") << 4 << false << u"Mathe\nLatein\n"_s << all;
    QTest::newRow("empty group, yes") << 7 << true << QString() << all;
}

void TestGroups::deleteAsksAndEmptiesTheSlot()
{
    QFETCH(int, id);
    QFETCH(bool, yes);
    QFETCH(QString, listed);
    QFETCH(QStringList, appointmentsLeft);
    addAppointments();
    m_ctx->prefs.showedterms.fill(-1);
    const QStringList groupsBefore = queryRows(db(), kAllGroups);

    m_prompter.answer(yes);
    QCOMPARE(deleteGroup(db(), m_prompter, m_ctx->prefs, id, 30), yes);

    QCOMPARE(m_prompter.transcript(), QStringList{u"Achtung!! / "_s + question(listed)});
    QCOMPARE(queryRows(db(), kAllAppointments), appointmentsLeft);
    QStringList groups = groupsBefore;
    if (yes)
        groups[id - 1] = u"%1||0|0"_s.arg(id);
    QCOMPARE(queryRows(db(), kAllGroups), groups);
    QCOMPARE(m_ctx->prefs.showedterms[5], yes ? 6 : -1);
}

void TestGroups::deleteQuestionFitsTheScreen_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("listed");

    QTest::newRow("none") << 0 << 5 << QString();
    QTest::newRow("just fits") << 5 << 5 << u"T1\nT2\nT3\nT4\nT5\n"_s;
    QTest::newRow("one too many") << 6 << 5 << u"T1\nT2\nT3\nT4\n… und 2 weitere Termine\n"_s;
    QTest::newRow("thousands") << 5000 << 3 << u"T1\nT2\n… und 4998 weitere Termine\n"_s;
}

void TestGroups::deleteQuestionFitsTheScreen()
{
    QFETCH(int, count);
    QFETCH(int, limit);
    QFETCH(QString, listed);
    QStringList descriptions;
    for (int i = 1; i <= count; ++i)
        descriptions << u"T%1"_s.arg(i);
    QCOMPARE(deleteGroupQuestion(descriptions, limit), question(listed));
}

void TestGroups::saveRefusesSpecialNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");

    QTest::newRow("Feiertag") << u"Feiertag"_s << true;
    QTest::newRow("Geburtstag") << u"Geburtstag"_s << true;
    QTest::newRow("other case") << u"feiertag"_s << false;
    QTest::newRow("apostrophe") << u"Kevin's Termine"_s << false;
    QTest::newRow("umlauts and emoji") << u"Übung 🎻 100%_"_s << false;
    QTest::newRow("emptied") << QString() << false;
}

void TestGroups::saveRefusesSpecialNames()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QCOMPARE(saveGroup(db(), m_prompter, {8, name, true, false}), !refused);
    const QString row = refused ? u"8|||"_s : u"8|%1|1|0"_s.arg(name);
    QCOMPARE(queryRows(db(), u"SELECT id, grupname, jahrl, ganztag FROM grups WHERE id=8"_s),
             QStringList{row});
    QCOMPARE(m_prompter.transcript(), refused ? QStringList{kNameRefusal} : QStringList());
}

void TestGroups::panelWithoutSelectionDoesNothing()
{
    addAppointments();
    const QStringList groupsBefore = queryRows(db(), kAllGroups);
    const QStringList appointmentsBefore = queryRows(db(), kAllAppointments);
    panelList()->clearSelection();
    SettingsPage* page = m_window->settingsPage();
    for (QPushButton* button : {page->groupUpButton(), page->groupDownButton(),
                                page->groupEditButton(), page->groupDeleteButton()}) {
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(queryRows(db(), kAllGroups), groupsBefore);
    QCOMPARE(queryRows(db(), kAllAppointments), appointmentsBefore);
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestGroups::panelRefusesSpecialGroups()
{
    SettingsPage* page = m_window->settingsPage();
    select(1); // Feiertag
    QTest::mouseClick(page->groupEditButton(), Qt::LeftButton);
    QTest::mouseClick(page->groupDeleteButton(), Qt::LeftButton);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->tabs()->setCurrentIndex(MainWindow::SettingsPageIndex);
    select(19); // Geburtstag
    panelList()->scrollToItem(panelList()->topLevelItem(19));
    const QRect rowRect = panelList()->visualItemRect(panelList()->topLevelItem(19));
    QTest::mouseClick(panelList()->viewport(), Qt::LeftButton, {}, rowRect.center());
    QTest::mouseDClick(panelList()->viewport(), Qt::LeftButton, {}, rowRect.center());
    QCOMPARE(m_prompter.transcript(), (QStringList{kEditRefusal, kDeleteRefusal, kEditRefusal}));
}

void TestGroups::panelNumbersAreNotCut()
{
    const QTreeWidgetItem* row = panelList()->topLevelItem(19);
    const int needed = panelList()->iconSize().width() +
                       panelList()->fontMetrics().horizontalAdvance(row->text(0));
    QVERIFY2(panelList()->columnWidth(0) > needed, qPrintable(QString::number(needed)));
}

void TestGroups::deletedSlotLeavesTheChoiceLists()
{
    m_prompter.answer(true);
    QVERIFY(deleteGroup(db(), m_prompter, m_ctx->prefs, 7, 30)); // Arzt
    fillGroupList(*panelList(), db(), m_prompter, *m_ctx->images);
    QCOMPARE(panelList()->topLevelItemCount(), 20);
    QCOMPARE(panelList()->topLevelItem(6)->text(0), u"7"_s);
    QCOMPARE(panelList()->topLevelItem(6)->text(1), QString());

    DayDialog day(*m_ctx, 1, 3, 2007);
    auto* choice = day.findChild<QComboBox*>(u"groupChoice"_s);
    QStringList offered;
    for (int i = 0; i < choice->count(); ++i)
        offered << choice->itemText(i);
    const QStringList named{u"Feiertag"_s,     u"Urlaub"_s,       u"Schulaufgabe"_s,
                            u"Geschäftlich"_s, u"Termin Allg."_s, u"Geburtstag"_s};
    QCOMPARE(offered, named);

    DisplayFilterDialog filter(m_ctx->prefs, db(), m_prompter, *m_ctx->images);
    auto* list = filter.findChild<QTreeWidget*>(u"groupList"_s);
    QStringList listed;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        listed << list->topLevelItem(i)->text(1);
    QCOMPARE(listed, named);
}

void TestGroups::editorStoresOrStaysOpen()
{
    GroupEditorDialog dialog(db(), m_prompter, {4, u"Schulaufgabe"_s, false, true});
    dialog.show();
    auto* name = dialog.findChild<QLineEdit*>(u"nameField"_s);
    auto* allDay = dialog.findChild<QCheckBox*>(u"allDayBox"_s);
    auto* yearly = dialog.findChild<QCheckBox*>(u"yearlyBox"_s);
    auto* apply = dialog.findChild<QPushButton*>(u"applyButton"_s);
    QCOMPARE(name->text(), u"Schulaufgabe"_s);
    QVERIFY(allDay->isChecked());
    QVERIFY(!yearly->isChecked());

    name->setText(u"Feiertag"_s);
    QTest::mouseClick(apply, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(m_prompter.transcript(), QStringList{kNameRefusal});

    name->setText(u"Prüfung"_s);
    yearly->setChecked(true);
    allDay->setChecked(false);
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(queryRows(db(), u"SELECT grupname, jahrl, ganztag FROM grups WHERE id=4"_s),
             QStringList{u"Prüfung|1|0"_s});
}

void TestGroups::panelReportsChangedGroups_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("reports");
    QTest::newRow("move up") << u"up"_s << false << 1;
    QTest::newRow("move down") << u"down"_s << false << 1;
    QTest::newRow("delete, yes") << u"delete"_s << true << 1;
    QTest::newRow("delete, no") << u"delete"_s << false << 0;
    QTest::newRow("rename") << u"edit"_s << true << 1;
    QTest::newRow("editor cancelled") << u"edit"_s << false << 0;
}

void TestGroups::panelReportsChangedGroups()
{
    // The appointment list shows group names and colours; it is refilled on this signal.
    QFETCH(QString, action);
    QFETCH(bool, answer);
    QFETCH(int, reports);
    addAppointments();
    QSignalSpy changed(m_panel.get(), &GroupPanel::groupsChanged);
    select(3); // Schulaufgabe
    if (action == u"up"_s) {
        m_panel->moveUp();
    } else if (action == u"down"_s) {
        m_panel->moveDown();
    } else if (action == u"delete"_s) {
        m_prompter.answer(answer);
        m_panel->remove();
    } else {
        QTimer::singleShot(0, this, [answer] {
            auto* editor = qobject_cast<GroupEditorDialog*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            editor->findChild<QLineEdit*>(u"nameField"_s)->setText(u"Prüfung"_s);
            if (answer)
                editor->findChild<QPushButton*>(u"applyButton"_s)->click();
            else
                editor->reject();
        });
        m_panel->edit();
    }
    QCOMPARE(changed.size(), reports);
}

void TestGroups::captionOnlyDialogsStayOpen_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("state");
    for (const QString& dialog : {u"group editor"_s, u"day dialog"_s, u"display filter"_s}) {
        QTest::addRow("%s minimised", qPrintable(dialog)) << dialog << int(Qt::WindowMinimized);
        QTest::addRow("%s maximised", qPrintable(dialog)) << dialog << int(Qt::WindowMaximized);
    }
}

void TestGroups::captionOnlyDialogsStayOpen()
{
    // Window managers that draw minimise and maximise buttons on them anyway must not hide a
    // modal dialog that blocks the main window.
    QFETCH(QString, dialog);
    QFETCH(int, state);
    std::unique_ptr<QDialog> window;
    if (dialog == u"group editor"_s)
        window = std::make_unique<GroupEditorDialog>(db(), m_prompter,
                                                     GroupSlot{4, u"Schulaufgabe"_s, false, true});
    else if (dialog == u"day dialog"_s)
        window = std::make_unique<DayDialog>(*m_ctx, 1, 3, 2007);
    else
        window = std::make_unique<DisplayFilterDialog>(m_ctx->prefs, db(), m_prompter,
                                                       *m_ctx->images);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->setWindowState(Qt::WindowState(state));
    QTRY_COMPARE(window->windowState(), Qt::WindowNoState);
    QVERIFY(window->isVisible());
}

QTEST_MAIN(TestGroups)
#include "tst_groups.moc"
