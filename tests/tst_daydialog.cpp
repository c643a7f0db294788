#include "appointments/datefield.h"
#include "appointments/daydialog.h"
#include "appointments/perioddialog.h"
#include "common/programfont.h"
#include "common/sqltext.h"
#include "core/context.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kNoGroup = u"Fehler / Dem Termin muss eine Gruppe zugeteilt sein!"_s;
const QString kNoDescription = u"Warnung / Termin ohne Beschreibung speichern?"_s;
const QString kEndBeforeStart = u"Fehler / Das Enddatum darf nicht VOR den Anfangsdatum sein..."_s;
const QString kSeriesQuestion =
        u"Wie soll geändert werden? / Dieser Termin wird Jährlich/Monatlich/Wöchentlich "
        u"ausgeführt, sollen alle zugehörigen Temine geändert werden?\nWenn nein, dann wird der "
        u"Termin von den anderen abgespalten und einzeln geändert."_s;

DateValue at(int y, int m, int d, int h, int i, int s = 1)
{
    return makeDate(y, m, d, h, i, s);
}

QString stamp(DateValue v)
{
    return formatDate(u"%dd.%mm.%yyyy %hh:%ii:%ss", v);
}

void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void setClock(DateField* field, int hour, int minute)
{
    field->editor()->setTime(QTime(hour, minute));
}

QStringList itemTexts(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList rowTexts(const QTreeWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        out << QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join(
                u" | "_s);
    }
    return out;
}

} // namespace

class TestDayDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void geometry_data();
    void geometry();
    void defaults();
    void dayListShowsWhatTouchesTheDay();
    void startCarriesOverToEnd();
    void allDayGroupKeepsLastTimes();
    void yearlyGroupPresetsRepetition();
    void specialGroupMode_data();
    void specialGroupMode();
    void allDayToggle();
    void reminderRepetitionByLead_data();
    void reminderRepetitionByLead();
    void dayCountOnlyForAlle();

    void editModeByDoubleClick();
    void editModeAllDayRow();
    void editModeSeriesMember();
    void birthdayRowIsNotEdited();
    void keyboardOpensSelectedRow_data();
    void keyboardOpensSelectedRow();
    void cancelAndCloseRequest();
    void saveInEditMode_data();
    void saveInEditMode();

    void validationOrder_data();
    void validationOrder();
    void saveNewAppointment();
    void clearedEndTimeTakesStartTime();
    void saveSeriesAsksForPeriod();
    void yearlySeriesStartsWithEnteredDate_data();
    void yearlySeriesStartsWithEnteredDate();
    void deleteSelected();
    void deleteReportsTheChangeAtOnce();
    void deletingEditedRowLeavesEditMode();

    void periodDialog_data();
    void periodDialog();
    void periodDialogRefusesEndBeforeStart();
    void periodDialogRefusesEmptyPeriod();

private:
    std::unique_ptr<DayDialog> open(int day = 5, int month = 3, int year = 2007);
    qint64 addRow(DateValue start, DateValue end, int group, const QString& desc, qint64 belong = 0,
                  const QString& redo = QString());
    void doubleClickRow(DayDialog& dialog, int row);
    template<typename T>
    T* child(DayDialog& dialog, const QString& name)
    {
        T* w = dialog.findChild<T*>(name);
        if (!w)
            qWarning("missing control %s", qPrintable(name));
        return w;
    }

    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{at(2007, 3, 1, 8, 0)};
    std::unique_ptr<Context> m_ctx;
};

void TestDayDialog::initTestCase()
{
    QApplication::setFont(interfaceFont());
}

void TestDayDialog::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_prompter.clear();
    m_ctx = createTestContext(*m_dir, m_prompter, m_clock);
    QVERIFY(m_ctx);
}

void TestDayDialog::cleanup()
{
    m_ctx.reset();
    m_dir.reset();
}

std::unique_ptr<DayDialog> TestDayDialog::open(int day, int month, int year)
{
    auto dialog = std::make_unique<DayDialog>(*m_ctx, day, month, year);
    dialog->show();
    return dialog;
}

qint64 TestDayDialog::addRow(DateValue start, DateValue end, int group, const QString& desc,
                             qint64 belong, const QString& redo)
{
    return insertTestAppointment(*m_ctx->db, {start, end, group, desc, 3, 1, belong, redo});
}

void TestDayDialog::doubleClickRow(DayDialog& dialog, int row)
{
    auto* list = child<QTreeWidget>(dialog, u"dayList"_s);
    QTreeWidgetItem* item = list->topLevelItem(row);
    QVERIFY(item);
    const QPoint pos = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, pos);
}

void TestDayDialog::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Gruppe:") << u"groupLabel"_s << QRect(5, 5, 110, 15);
    QTest::newRow("group choice") << u"groupChoice"_s << QRect(120, 5, 150, 20);
    QTest::newRow("Beschreibung:") << u"descriptionLabel"_s << QRect(5, 32, 110, 15);
    QTest::newRow("description") << u"description"_s << QRect(120, 30, 270, 20);
    QTest::newRow("Ganztagstermin") << u"allDay"_s << QRect(120, 55, 110, 15);
    QTest::newRow("Anfang:") << u"startLabel"_s << QRect(5, 77, 110, 15);
    QTest::newRow("start date") << u"startDate"_s << QRect(120, 75, 80, 20);
    QTest::newRow("um (start)") << u"startAtLabel"_s << QRect(203, 77, 17, 15);
    QTest::newRow("start time") << u"startTime"_s << QRect(220, 75, 90, 20);
    QTest::newRow("Ende:") << u"endLabel"_s << QRect(5, 102, 110, 15);
    QTest::newRow("end date") << u"endDate"_s << QRect(120, 100, 80, 20);
    QTest::newRow("um (end)") << u"endAtLabel"_s << QRect(203, 102, 17, 15);
    QTest::newRow("end time") << u"endTime"_s << QRect(220, 100, 90, 20);
    QTest::newRow("repetition label") << u"repetitionLabel"_s << QRect(5, 127, 110, 15);
    QTest::newRow("repetition choice") << u"repetitionChoice"_s << QRect(120, 125, 110, 20);
    QTest::newRow("day count") << u"dayCount"_s << QRect(235, 125, 40, 20);
    QTest::newRow("Tage") << u"daysLabel"_s << QRect(280, 127, 70, 15);
    QTest::newRow("Benachrichtigung:") << u"reminderLabel"_s << QRect(5, 167, 110, 15);
    QTest::newRow("reminder time") << u"reminderTime"_s << QRect(120, 165, 120, 20);
    QTest::newRow("reminder repetition") << u"reminderRepetition"_s << QRect(245, 165, 100, 20);
    QTest::newRow("list label") << u"listLabel"_s << QRect(5, 195, 380, 15);
    QTest::newRow("day list") << u"dayList"_s << QRect(10, 215, 390, 115);
    QTest::newRow("Eintragen") << u"saveButton"_s << QRect(10, 335, 70, 20);
    QTest::newRow("Abbrechen") << u"cancelButton"_s << QRect(80, 335, 70, 20);
    QTest::newRow("Ausgewählten Löschen") << u"deleteButton"_s << QRect(170, 335, 120, 20);
}

void TestDayDialog::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    auto dialog = open();
    QWidget* w = child<QWidget>(*dialog, name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), rect);
    QCOMPARE(dialog->size(), QSize(400, 360));
}

void TestDayDialog::defaults()
{
    m_ctx->prefs.allgmsgtime = 3;
    m_ctx->prefs.allgremsg = 1;
    auto dialog = open(5, 3, 2007);
    auto& d = *dialog;

    QCOMPARE(d.windowTitle(), u"Termine vom 5.3.2007"_s);
    QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(d.windowFlags() & Qt::CustomizeWindowHint);

    auto* group = child<QComboBox>(d, u"groupChoice"_s);
    QCOMPARE(group->currentIndex(), -1);
    QCOMPARE(itemTexts(group),
             (QStringList{u"Feiertag"_s, u"Urlaub"_s, u"Schulaufgabe"_s, u"Geschäftlich"_s,
                          u"Termin Allg."_s, u"Arzt"_s, u"Geburtstag"_s}));
    QCOMPARE(group->itemData(5).toInt(), 7);
    QCOMPARE(group->itemData(6).toInt(), 20);

    QCOMPARE(child<QLineEdit>(d, u"description"_s)->text(), QString());
    auto* allDay = child<QCheckBox>(d, u"allDay"_s);
    QVERIFY(!allDay->isChecked());
    QCOMPARE(allDay->toolTip(),
             u"Termine ohne feste Zeitangabe (Geburtstage, Klausuren, Urlaube, etc.)"_s);

    auto* startDate = child<DateField>(d, u"startDate"_s);
    auto* startTime = child<DateField>(d, u"startTime"_s);
    auto* endDate = child<DateField>(d, u"endDate"_s);
    auto* endTime = child<DateField>(d, u"endTime"_s);
    QCOMPARE(startDate->text(), u"05.03.2007"_s);
    QCOMPARE(stamp(startDate->value()), u"05.03.2007 12:00:01"_s);
    QCOMPARE(startTime->text(), u"12:00 Uhr"_s);
    QCOMPARE(endDate->text(), u"05.03.2007"_s);
    QCOMPARE(endTime->text(), u"14:00 Uhr"_s);
    QCOMPARE(startDate->editor()->displayFormat(), u"dd.MM.yyyy"_s);
    QCOMPARE(startTime->editor()->displayFormat(), u"HH:mm' Uhr'"_s);
    QCOMPARE(startTime->editor()->text(), u"12:00 Uhr"_s);
    QVERIFY(startDate->editor()->calendarPopup());
    QVERIFY(!startTime->hasCheckBox());
    QVERIFY(endTime->hasCheckBox());
    QVERIFY(endTime->isChecked());

    const QString repeatTip =
            u"Termine,die sich regelmäßig wiederholen (Geburtstage, Vereinstreffen, etc.)"_s;
    auto* repeat = child<QComboBox>(d, u"repetitionChoice"_s);
    QCOMPARE(itemTexts(repeat),
             (QStringList{u"nicht"_s, u"jährlich"_s, u"monatlich"_s, u"wöchentlich"_s, u"Alle"_s}));
    QCOMPARE(repeat->currentIndex(), 0);
    QCOMPARE(repeat->toolTip(), repeatTip);
    QCOMPARE(child<QLabel>(d, u"repetitionLabel"_s)->toolTip(), repeatTip);
    auto* dayCount = child<QSpinBox>(d, u"dayCount"_s);
    QCOMPARE(dayCount->value(), 2);
    QCOMPARE(dayCount->minimum(), 1);
    QCOMPARE(dayCount->maximum(), 100);
    QVERIFY(!dayCount->isEnabled());

    auto* reminderTime = child<QComboBox>(d, u"reminderTime"_s);
    auto* reminderRepeat = child<QComboBox>(d, u"reminderRepetition"_s);
    QCOMPARE(itemTexts(reminderTime),
             (QStringList{u"keine"_s, u"eine Woche zuvor"_s, u"ein Tag zuvor"_s,
                          u"eine Stunde zuvor"_s, u"bei Terminbeginn"_s}));
    QCOMPARE(reminderTime->currentIndex(), 3);
    QCOMPARE(itemTexts(reminderRepeat),
             (QStringList{u"einmal"_s, u"viertelstündlich"_s, u"stündlich"_s, u"täglich"_s}));
    QCOMPARE(reminderRepeat->currentIndex(), 1);

    auto* list = child<QTreeWidget>(d, u"dayList"_s);
    QCOMPARE(list->columnCount(), 4);
    const QStringList titles{u"Gruppe"_s, u"Beschr.:"_s, u"Anfang:"_s, u"Ende:"_s};
    const int widths[] = {90, 90, 130, 130};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(list->headerItem()->text(i), titles[i]);
        QCOMPARE(list->header()->sectionSize(i), widths[i]);
    }
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);

    for (const QString& name :
         {u"groupLabel"_s, u"descriptionLabel"_s, u"startLabel"_s, u"endLabel"_s, u"allDay"_s}) {
        QVERIFY2(child<QWidget>(d, name)->font().bold(), qPrintable(name));
    }
    for (const QString& name : {u"repetitionLabel"_s, u"reminderLabel"_s, u"startAtLabel"_s})
        QVERIFY2(!child<QWidget>(d, name)->font().bold(), qPrintable(name));
    QCOMPARE(child<QLabel>(d, u"groupLabel"_s)->alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    QCOMPARE(child<QPushButton>(d, u"saveButton"_s)->text(), u"Eintragen"_s);
}

void TestDayDialog::dayListShowsWhatTouchesTheDay()
{
    addRow(at(2007, 3, 4, 10, 0), at(2007, 3, 5, 0, 0, 0), 5, u"endet um Mitternacht"_s);
    addRow(at(2007, 3, 5, 23, 59, 59), at(2007, 3, 6, 1, 0), 5, u"beginnt zu spät"_s);
    const qint64 spanning = addRow(at(2007, 3, 4, 22, 0), at(2007, 3, 5, 0, 0, 1), 3, u"Reise"_s);
    addRow(at(2007, 3, 5, 0, 0, 0), at(2007, 3, 5, 23, 59, 59), 2, u"ganzer Tag"_s);
    addRow(at(2007, 3, 5, 18, 0), at(2007, 3, 5, 19, 30), 6, u"Chor"_s, 9, u"Wöchentlich"_s);
    addRow(at(2007, 3, 6, 9, 0), at(2007, 3, 6, 10, 0), 6, u"morgen"_s);

    auto dialog = open();
    auto* list = child<QTreeWidget>(*dialog, u"dayList"_s);
    QCOMPARE(rowTexts(list),
             (QStringList{u"Urlaub | Reise | 04.03.2007 - 22:00 Uhr | 05.03.2007 - 00:00 Uhr"_s,
                          u"Feiertag | ganzer Tag | 05.03.2007 | "_s,
                          u"Termin Allg. | Chor (Wöchentlich) | 05.03.2007 - 18:00 Uhr | "
                          u"05.03.2007 - 19:30 Uhr"_s}));
    QCOMPARE(list->topLevelItem(0)->data(0, Qt::UserRole).toLongLong(), spanning);
    QVERIFY(!list->topLevelItem(0)->icon(0).isNull());
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestDayDialog::startCarriesOverToEnd()
{
    auto dialog = open();
    auto* startDate = child<DateField>(*dialog, u"startDate"_s);
    auto* startTime = child<DateField>(*dialog, u"startTime"_s);
    startDate->editor()->setDate(QDate(2007, 3, 9));
    QCOMPARE(child<DateField>(*dialog, u"endDate"_s)->text(), u"09.03.2007"_s);
    setClock(startTime, 9, 30);
    QCOMPARE(startTime->text(), u"09:30 Uhr"_s);
    QCOMPARE(child<DateField>(*dialog, u"endTime"_s)->text(), u"09:30 Uhr"_s);
}

void TestDayDialog::allDayGroupKeepsLastTimes()
{
    auto dialog = open();
    auto* startTime = child<DateField>(*dialog, u"startTime"_s);
    auto* endTime = child<DateField>(*dialog, u"endTime"_s);
    auto* allDay = child<QCheckBox>(*dialog, u"allDay"_s);
    auto* group = child<QComboBox>(*dialog, u"groupChoice"_s);
    setClock(startTime, 9, 30);
    setClock(endTime, 11, 15);

    choose(group, u"Urlaub"_s);
    QVERIFY(allDay->isChecked());
    QCOMPARE(startTime->text(), u"00:00 Uhr"_s);
    QCOMPARE(endTime->text(), u"23:59 Uhr"_s);
    QVERIFY(!startTime->isEnabled());
    QVERIFY(!endTime->isEnabled());

    choose(group, u"Arzt"_s);
    QVERIFY(!allDay->isChecked());
    QCOMPARE(startTime->text(), u"09:30 Uhr"_s);
    QCOMPARE(endTime->text(), u"11:15 Uhr"_s);
    QVERIFY(startTime->isEnabled());
    QVERIFY(endTime->isEnabled());
}

void TestDayDialog::yearlyGroupPresetsRepetition()
{
    m_ctx->db->execSql(u"UPDATE grups SET jahrl=1 WHERE id=7"_s);
    auto dialog = open();
    auto* group = child<QComboBox>(*dialog, u"groupChoice"_s);
    auto* repeat = child<QComboBox>(*dialog, u"repetitionChoice"_s);
    choose(group, u"Arzt"_s);
    QCOMPARE(repeat->currentText(), u"jährlich"_s);
    choose(group, u"Termin Allg."_s);
    QCOMPARE(repeat->currentText(), u"nicht"_s);
    repeat->setCurrentIndex(2);
    choose(group, u"Geschäftlich"_s);
    QCOMPARE(repeat->currentText(), u"monatlich"_s);
}

void TestDayDialog::specialGroupMode_data()
{
    QTest::addColumn<QString>("groupName");
    QTest::addColumn<QString>("text");
    QTest::newRow("Geburtstag")
            << u"Geburtstag"_s
            << u"Geburtstage werden automatisch über das Adressbuch generiert!"_s;
    QTest::newRow("Feiertag") << u"Feiertag"_s
                              << u"Feiertage können noch nicht hinzugefügt werden!"_s;
}

void TestDayDialog::specialGroupMode()
{
    QFETCH(QString, groupName);
    QFETCH(QString, text);
    auto dialog = open();
    auto& d = *dialog;
    auto* label = child<QLabel>(d, u"repetitionLabel"_s);
    const QStringList greyed{u"startLabel"_s,       u"startDate"_s,    u"startAtLabel"_s,
                             u"startTime"_s,        u"endLabel"_s,     u"endDate"_s,
                             u"endAtLabel"_s,       u"endTime"_s,      u"description"_s,
                             u"repetitionChoice"_s, u"reminderTime"_s, u"reminderRepetition"_s,
                             u"reminderLabel"_s,    u"saveButton"_s};
    const QStringList usable{u"groupChoice"_s, u"allDay"_s, u"dayList"_s, u"cancelButton"_s,
                             u"deleteButton"_s};

    choose(child<QComboBox>(d, u"groupChoice"_s), groupName);
    for (const QString& name : greyed)
        QVERIFY2(!child<QWidget>(d, name)->isEnabled(), qPrintable(name));
    for (const QString& name : usable)
        QVERIFY2(child<QWidget>(d, name)->isEnabled(), qPrintable(name));
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), QRect(5, 147, 380, 15));
    QVERIFY(label->font().bold());
    // Clearing the all-day box does not bring the times back while the group is special.
    child<QCheckBox>(d, u"allDay"_s)->click();
    child<QCheckBox>(d, u"allDay"_s)->click();
    QVERIFY(!child<QWidget>(d, u"startTime"_s)->isEnabled());

    choose(child<QComboBox>(d, u"groupChoice"_s), u"Arzt"_s);
    for (const QString& name : greyed + usable)
        QVERIFY2(child<QWidget>(d, name)->isEnabled(), qPrintable(name));
    QCOMPARE(label->text(), u"Termin wiederholt sich:"_s);
    QCOMPARE(label->geometry(), QRect(5, 127, 110, 15));
    QVERIFY(!label->font().bold());
}

void TestDayDialog::allDayToggle()
{
    auto dialog = open();
    auto* allDay = child<QCheckBox>(*dialog, u"allDay"_s);
    auto* startTime = child<DateField>(*dialog, u"startTime"_s);
    auto* endTime = child<DateField>(*dialog, u"endTime"_s);
    allDay->click();
    QCOMPARE(startTime->text(), u"00:00 Uhr"_s);
    QCOMPARE(endTime->text(), u"23:59 Uhr"_s);
    QVERIFY(!startTime->isEnabled());
    allDay->click();
    QCOMPARE(startTime->text(), u"12:00 Uhr"_s);
    QCOMPARE(endTime->text(), u"14:00 Uhr"_s);
    QVERIFY(startTime->isEnabled());
    QVERIFY(endTime->isEnabled());
}

void TestDayDialog::reminderRepetitionByLead_data()
{
    QTest::addColumn<QString>("lead");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("enabled");
    const QStringList all{u"einmal"_s, u"viertelstündlich"_s, u"stündlich"_s, u"täglich"_s};
    // The default repetition is "stündlich" (allgremsg 2).
    QTest::newRow("a week before") << u"eine Woche zuvor"_s << all << u"stündlich"_s << true;
    QTest::newRow("a day before") << u"ein Tag zuvor"_s << all.mid(0, 3) << u"stündlich"_s << true;
    QTest::newRow("an hour before")
            << u"eine Stunde zuvor"_s << all.mid(0, 2) << u"einmal"_s << true;
    QTest::newRow("at the start") << u"bei Terminbeginn"_s << all.mid(0, 1) << u"einmal"_s << true;
    QTest::newRow("none") << u"keine"_s << all << u"stündlich"_s << false;
}

void TestDayDialog::reminderRepetitionByLead()
{
    QFETCH(QString, lead);
    QFETCH(QStringList, items);
    QFETCH(QString, chosen);
    QFETCH(bool, enabled);
    m_ctx->prefs.allgremsg = 2;
    auto dialog = open();
    auto* repetition = child<QComboBox>(*dialog, u"reminderRepetition"_s);
    choose(child<QComboBox>(*dialog, u"reminderTime"_s), lead);
    QCOMPARE(itemTexts(repetition), items);
    QCOMPARE(repetition->currentText(), chosen);
    QCOMPARE(repetition->isEnabled(), enabled);
}

void TestDayDialog::dayCountOnlyForAlle()
{
    auto dialog = open();
    auto* repeat = child<QComboBox>(*dialog, u"repetitionChoice"_s);
    auto* dayCount = child<QSpinBox>(*dialog, u"dayCount"_s);
    choose(repeat, u"Alle"_s);
    QVERIFY(dayCount->isEnabled());
    dayCount->stepUp();
    QCOMPARE(dayCount->value(), 3);
    choose(repeat, u"wöchentlich"_s);
    QVERIFY(!dayCount->isEnabled());
}

void TestDayDialog::editModeByDoubleClick()
{
    addRow(at(2007, 3, 5, 8, 0), at(2007, 3, 5, 8, 30), 5, u"früh"_s);
    const qint64 id = addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 6, 11, 45), 7, u"Kontrolle"_s);
    auto dialog = open();
    auto& d = *dialog;
    child<DateField>(d, u"endTime"_s)->checkBox()->click();
    doubleClickRow(d, 1);

    QVERIFY(d.isEditMode());
    QCOMPARE(d.editedId(), id);
    QCOMPARE(d.windowTitle(), u"Bearbeiten des Termins Nr.:2 (Kontrolle)"_s);
    QCOMPARE(child<QPushButton>(d, u"saveButton"_s)->text(), u"Ändern"_s);
    QCOMPARE(child<QComboBox>(d, u"groupChoice"_s)->currentText(), u"Arzt"_s);
    QCOMPARE(child<QLineEdit>(d, u"description"_s)->text(), u"Kontrolle"_s);
    QCOMPARE(child<DateField>(d, u"startDate"_s)->text(), u"05.03.2007"_s);
    QCOMPARE(child<DateField>(d, u"startTime"_s)->text(), u"10:15 Uhr"_s);
    QCOMPARE(child<DateField>(d, u"endDate"_s)->text(), u"06.03.2007"_s);
    QCOMPARE(child<DateField>(d, u"endTime"_s)->text(), u"11:45 Uhr"_s);
    QVERIFY(child<DateField>(d, u"endTime"_s)->isChecked());
    QCOMPARE(child<QComboBox>(d, u"reminderTime"_s)->currentIndex(), 3);
    QCOMPARE(child<QComboBox>(d, u"reminderRepetition"_s)->currentIndex(), 1);
    QCOMPARE(child<QComboBox>(d, u"repetitionChoice"_s)->currentText(), u"nicht"_s);
    QVERIFY(!child<QWidget>(d, u"repetitionChoice"_s)->isEnabled());
    QVERIFY(!child<QWidget>(d, u"dayList"_s)->isEnabled());
    QVERIFY(!child<QCheckBox>(d, u"allDay"_s)->isChecked());
    QVERIFY(child<QWidget>(d, u"startTime"_s)->isEnabled());
}

void TestDayDialog::editModeAllDayRow()
{
    // A row that starts at 00:01 or ends at 23:59 counts as all-day.
    addRow(at(2007, 3, 5, 0, 1), at(2007, 3, 7, 20, 0), 3, u"Kurzurlaub"_s);
    auto dialog = open();
    doubleClickRow(*dialog, 0);
    QVERIFY(dialog->isEditMode());
    QVERIFY(child<QCheckBox>(*dialog, u"allDay"_s)->isChecked());
    QCOMPARE(child<DateField>(*dialog, u"startTime"_s)->text(), u"00:00 Uhr"_s);
    QCOMPARE(child<DateField>(*dialog, u"endTime"_s)->text(), u"23:59 Uhr"_s);
    QVERIFY(!child<QWidget>(*dialog, u"startTime"_s)->isEnabled());
    QCOMPARE(child<DateField>(*dialog, u"endDate"_s)->text(), u"07.03.2007"_s);
}

void TestDayDialog::editModeSeriesMember()
{
    addRow(at(2007, 3, 5, 18, 0), at(2007, 3, 5, 19, 0), 6, u"Chor"_s, 1, u"Wöchentlich"_s);
    auto dialog = open();
    doubleClickRow(*dialog, 0);
    QCOMPARE(child<QComboBox>(*dialog, u"repetitionChoice"_s)->currentText(), u"wöchentlich"_s);
    QVERIFY(!child<QWidget>(*dialog, u"repetitionChoice"_s)->isEnabled());
}

void TestDayDialog::birthdayRowIsNotEdited()
{
    addRow(at(2007, 3, 5, 0, 0), at(2007, 3, 5, 23, 59), 20, u"Anna"_s);
    auto dialog = open();
    doubleClickRow(*dialog, 0);
    QVERIFY(!dialog->isEditMode());
    QCOMPARE(dialog->windowTitle(), u"Termine vom 5.3.2007"_s);
}

void TestDayDialog::keyboardOpensSelectedRow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("edited");
    QTest::newRow("Return") << int(Qt::Key_Return) << 7 << true;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << 7 << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << 7 << true;
    QTest::newRow("Return on a birthday") << int(Qt::Key_Return) << 20 << false;
    QTest::newRow("Space on a birthday") << int(Qt::Key_Space) << 20 << false;
    QTest::newRow("other keys only move") << int(Qt::Key_Down) << 7 << false;
}

void TestDayDialog::keyboardOpensSelectedRow()
{
    QFETCH(int, key);
    QFETCH(int, group);
    QFETCH(bool, edited);
    addRow(at(2007, 3, 5, 8, 0), at(2007, 3, 5, 8, 30), 5, u"früh"_s);
    const qint64 id = addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 5, 11, 45), group, u"später"_s);
    auto dialog = open();
    auto* list = child<QTreeWidget>(*dialog, u"dayList"_s);
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key(key));
    QCOMPARE(dialog->isEditMode(), edited);
    QCOMPARE(dialog->editedId(), edited ? id : 0);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestDayDialog::cancelAndCloseRequest()
{
    addRow(at(2007, 3, 5, 10, 15), at(2007, 3, 5, 11, 45), 7, u"Kontrolle"_s);
    auto dialog = open();
    auto& d = *dialog;
    doubleClickRow(d, 0);
    QVERIFY(d.isEditMode());

    child<QPushButton>(d, u"cancelButton"_s)->click();
    QVERIFY(!d.isEditMode());
    QVERIFY(d.isVisible());
    QCOMPARE(d.windowTitle(), u"Termine vom 5.3.2007"_s);
    QCOMPARE(child<QPushButton>(d, u"saveButton"_s)->text(), u"Eintragen"_s);
    QCOMPARE(child<QLineEdit>(d, u"description"_s)->text(), QString());
    QCOMPARE(child<DateField>(d, u"startTime"_s)->text(), u"12:00 Uhr"_s);
    QCOMPARE(child<DateField>(d, u"endTime"_s)->text(), u"14:00 Uhr"_s);
    QVERIFY(child<QWidget>(d, u"dayList"_s)->isEnabled());
    QVERIFY(child<QWidget>(d, u"repetitionChoice"_s)->isEnabled());

    // A close request counts as "Abbrechen": in edit mode it only leaves edit mode.
    doubleClickRow(d, 0);
    QVERIFY(d.isEditMode());
    QVERIFY(!d.close());
    QVERIFY(d.isVisible());
    QVERIFY(!d.isEditMode());
    QVERIFY(d.close());
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s), qint64(1));
}

void TestDayDialog::saveInEditMode_data()
{
    QTest::addColumn<bool>("wholeSeries");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("yes moves every member")
            << true
            << QStringList{u"1|26.02.2007 19:00:01|Probe|1|Wöchentlich"_s,
                           u"2|05.03.2007 19:00:01|Probe|1|Wöchentlich"_s,
                           u"3|12.03.2007 19:00:01|Probe|1|Wöchentlich"_s};
    QTest::newRow("no detaches the member")
            << false
            << QStringList{u"1|26.02.2007 18:00:01|Chor|1|Wöchentlich"_s,
                           u"2|05.03.2007 19:00:01|Probe|0|"_s,
                           u"3|12.03.2007 18:00:01|Chor|1|Wöchentlich"_s};
}

void TestDayDialog::saveInEditMode()
{
    QFETCH(bool, wholeSeries);
    QFETCH(QStringList, rows);
    addRow(at(2007, 2, 26, 18, 0), at(2007, 2, 26, 19, 0), 6, u"Chor"_s, 1, u"Wöchentlich"_s);
    addRow(at(2007, 3, 5, 18, 0), at(2007, 3, 5, 19, 0), 6, u"Chor"_s, 1, u"Wöchentlich"_s);
    addRow(at(2007, 3, 12, 18, 0), at(2007, 3, 12, 19, 0), 6, u"Chor"_s, 1, u"Wöchentlich"_s);
    auto dialog = open();
    doubleClickRow(*dialog, 0);
    QCOMPARE(dialog->editedId(), qint64(2));
    child<QLineEdit>(*dialog, u"description"_s)->setText(u"Probe"_s);
    setClock(child<DateField>(*dialog, u"startTime"_s), 19, 0);
    setClock(child<DateField>(*dialog, u"endTime"_s), 20, 0);
    m_prompter.answer(wholeSeries);
    child<QPushButton>(*dialog, u"saveButton"_s)->click();

    QCOMPARE(m_prompter.transcript(), QStringList{kSeriesQuestion});
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QStringList stored;
    for (const QString& row :
         queryRows(*m_ctx->db, u"SELECT id, date, desc, belong, redo FROM termine ORDER BY id"_s)) {
        QStringList f = row.split(u'|');
        f[1] = stamp(f[1].toLongLong());
        stored << f.join(u'|');
    }
    QCOMPARE(stored, rows);
}

void TestDayDialog::validationOrder_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QTime>("startTime");
    QTest::addColumn<QTime>("endTime");
    QTest::addColumn<bool>("allDay");
    QTest::addColumn<int>("endDay");
    QTest::addColumn<QString>("repetition");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("transcript");
    QTest::addColumn<int>("rows");

    const QTime nine(9, 0);
    const QTime ten(10, 0);
    QTest::newRow("no group comes before the empty description")
            << QString() << QString() << nine << ten << false << 5 << u"nicht"_s << true
            << QStringList{kNoGroup} << 0;
    QTest::newRow("empty description declined")
            << u"Arzt"_s << QString() << nine << ten << false << 5 << u"nicht"_s << false
            << QStringList{kNoDescription} << 0;
    QTest::newRow("empty description accepted")
            << u"Arzt"_s << QString() << nine << ten << false << 5 << u"nicht"_s << true
            << QStringList{kNoDescription} << 1;
    QTest::newRow("end before start") << u"Arzt"_s << u"x"_s << ten << nine << false << 5
                                      << u"nicht"_s << true << QStringList{kEndBeforeStart} << 0;
    QTest::newRow("empty description first, then the end")
            << u"Arzt"_s << QString() << ten << nine << false << 5 << u"nicht"_s << true
            << QStringList{kNoDescription, kEndBeforeStart} << 0;
    QTest::newRow("equal end of a single appointment")
            << u"Arzt"_s << u"x"_s << ten << ten << false << 5 << u"nicht"_s << true
            << QStringList() << 1;
    QTest::newRow("equal end of a series")
            << u"Arzt"_s << u"x"_s << ten << ten << false << 5 << u"wöchentlich"_s << true
            << QStringList{kEndBeforeStart} << 0;
    QTest::newRow("series without group") << QString() << QString() << nine << ten << false << 5
                                          << u"monatlich"_s << true << QStringList{kNoGroup} << 0;
    QTest::newRow("all-day ending the day before")
            << u"Arzt"_s << u"x"_s << nine << ten << true << 4 << u"nicht"_s << true
            << QStringList{kEndBeforeStart} << 0;
    QTest::newRow("all-day on one day") << u"Arzt"_s << u"x"_s << nine << ten << true << 5
                                        << u"nicht"_s << true << QStringList() << 1;
}

void TestDayDialog::validationOrder()
{
    QFETCH(QString, group);
    QFETCH(QString, description);
    QFETCH(QTime, startTime);
    QFETCH(QTime, endTime);
    QFETCH(bool, allDay);
    QFETCH(int, endDay);
    QFETCH(QString, repetition);
    QFETCH(bool, answer);
    QFETCH(QStringList, transcript);
    QFETCH(int, rows);

    auto dialog = open();
    auto& d = *dialog;
    d.setPeriodAsker([](const SeriesRequest& r) {
        return std::optional<SeriesPeriod>(SeriesPeriod{r.start, r.start + 30 * kSecondsPerDay});
    });
    if (!group.isEmpty())
        choose(child<QComboBox>(d, u"groupChoice"_s), group);
    child<QLineEdit>(d, u"description"_s)->setText(description);
    child<DateField>(d, u"startTime"_s)->editor()->setTime(startTime);
    child<DateField>(d, u"endTime"_s)->editor()->setTime(endTime);
    child<DateField>(d, u"endDate"_s)->editor()->setDate(QDate(2007, 3, endDay));
    if (allDay)
        child<QCheckBox>(d, u"allDay"_s)->click();
    choose(child<QComboBox>(d, u"repetitionChoice"_s), repetition);
    m_prompter.answer(answer);

    child<QPushButton>(d, u"saveButton"_s)->click();
    QCOMPARE(m_prompter.transcript(), transcript);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s) > 0, rows > 0);
    QCOMPARE(d.isVisible(), rows == 0);
}

void TestDayDialog::saveNewAppointment()
{
    m_ctx->prefs.allgmsgtime = 1;
    m_ctx->prefs.allgremsg = 3;
    auto dialog = open();
    auto& d = *dialog;
    choose(child<QComboBox>(d, u"groupChoice"_s), u"Arzt"_s);
    child<QLineEdit>(d, u"description"_s)->setText(u"Peter's Termin"_s);
    setClock(child<DateField>(d, u"startTime"_s), 9, 30);
    child<DateField>(d, u"endDate"_s)->editor()->setDate(QDate(2007, 3, 6));
    setClock(child<DateField>(d, u"endTime"_s), 11, 15);
    child<QPushButton>(d, u"saveButton"_s)->click();

    QCOMPARE(m_prompter.transcript(), QStringList());
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.isVisible());
    // 5 March 2007 09:30:01 and 6 March 2007 11:15:01.
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT * FROM termine"_s),
             QStringList{u"1|1173087001|7|Peter`s Termin|1173179701|1|3|0||0"_s});
}

void TestDayDialog::clearedEndTimeTakesStartTime()
{
    auto dialog = open();
    auto& d = *dialog;
    choose(child<QComboBox>(d, u"groupChoice"_s), u"Arzt"_s);
    child<QLineEdit>(d, u"description"_s)->setText(u"kurz"_s);
    setClock(child<DateField>(d, u"startTime"_s), 9, 30);
    setClock(child<DateField>(d, u"endTime"_s), 11, 0);
    child<DateField>(d, u"endTime"_s)->checkBox()->click();
    QVERIFY(!child<DateField>(d, u"endTime"_s)->editor()->isEnabled());
    child<QPushButton>(d, u"saveButton"_s)->click();
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT date, enddate FROM termine"_s),
             QStringList{u"1173087001|1173087001"_s});
}

void TestDayDialog::saveSeriesAsksForPeriod()
{
    auto dialog = open();
    auto& d = *dialog;
    QList<SeriesRequest> requests;
    std::optional<SeriesPeriod> answer;
    d.setPeriodAsker([&](const SeriesRequest& r) {
        requests << r;
        return answer;
    });
    choose(child<QComboBox>(d, u"groupChoice"_s), u"Termin Allg."_s);
    child<QLineEdit>(d, u"description"_s)->setText(u"Gießen"_s);
    choose(child<QComboBox>(d, u"repetitionChoice"_s), u"Alle"_s);
    child<QSpinBox>(d, u"dayCount"_s)->stepUp();

    // Cancelled period: nothing saved, the dialog stays.
    child<QPushButton>(d, u"saveButton"_s)->click();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].kind, SeriesKind::EveryNDays);
    QCOMPARE(requests[0].dayCount, 3);
    QCOMPARE(stamp(requests[0].start), u"05.03.2007 12:00:01"_s);
    QCOMPARE(stamp(requests[0].end), u"05.03.2007 14:00:01"_s);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s), qint64(0));
    QVERIFY(d.isVisible());

    answer = SeriesPeriod{at(2007, 3, 5, 12, 0), at(2007, 3, 14, 0, 0)};
    child<QPushButton>(d, u"saveButton"_s)->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(queryRows(*m_ctx->db,
                       u"SELECT id, date, grup, desc, belong, redo FROM termine ORDER BY id"_s),
             (QStringList{u"1|1173096001|6|Gießen|1|Alle 3 Tage"_s,
                          u"2|1173355201|6|Gießen|1|Alle 3 Tage"_s,
                          u"3|1173614401|6|Gießen|1|Alle 3 Tage"_s,
                          u"4|1173873601|6|Gießen|1|Alle 3 Tage"_s}));
}

void TestDayDialog::yearlySeriesStartsWithEnteredDate_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("last");
    QTest::newRow("2007") << 2007 << u"07.03.2037 18:00:01"_s;
    QTest::newRow("2037") << 2037 << u"07.03.2067 18:00:01"_s;
    QTest::newRow("after 2037") << 2040 << u"07.03.2070 18:00:01"_s;
}

void TestDayDialog::yearlySeriesStartsWithEnteredDate()
{
    QFETCH(int, year);
    QFETCH(QString, last);
    auto dialog = open(7, 3, year);
    auto& d = *dialog;
    choose(child<QComboBox>(d, u"groupChoice"_s), u"Termin Allg."_s);
    child<QLineEdit>(d, u"description"_s)->setText(u"Jahrestag"_s);
    setClock(child<DateField>(d, u"startTime"_s), 18, 0);
    setClock(child<DateField>(d, u"endTime"_s), 19, 0);
    choose(child<QComboBox>(d, u"repetitionChoice"_s), u"jährlich"_s);

    // The real period dialog, confirmed with its defaults as soon as it shows.
    bool confirmed = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, &d, [&] {
        if (auto* period = qobject_cast<PeriodDialog*>(QApplication::activeModalWidget())) {
            confirmed = true;
            period->findChild<QPushButton*>(u"okButton"_s)->click();
        }
    });
    timer.start(10);
    child<QPushButton>(d, u"saveButton"_s)->click();
    QVERIFY(confirmed);
    QCOMPARE(m_prompter.transcript(), QStringList());

    QStringList starts;
    for (const QString& row : queryRows(*m_ctx->db, u"SELECT date FROM termine ORDER BY date"_s))
        starts << stamp(row.toLongLong());
    QCOMPARE(starts.size(), 31);
    QCOMPARE(starts.first(), u"07.03.%1 18:00:01"_s.arg(year));
    QCOMPARE(starts.last(), last);
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT belong FROM termine WHERE date="_s +
                                             QString::number(at(year, 3, 7, 18, 0))),
             queryNumber(*m_ctx->db, u"SELECT MIN(id) FROM termine"_s));
}

void TestDayDialog::deleteSelected()
{
    // Inserted against start order; equal starts are ordered by their end after a delete.
    addRow(at(2007, 3, 5, 9, 0), at(2007, 3, 5, 12, 0), 5, u"lang"_s);
    addRow(at(2007, 3, 5, 9, 0), at(2007, 3, 5, 10, 0), 5, u"kurz"_s);
    addRow(at(2007, 3, 5, 8, 0), at(2007, 3, 5, 8, 30), 5, u"weg"_s);
    auto dialog = open();
    auto& d = *dialog;
    auto* list = child<QTreeWidget>(d, u"dayList"_s);
    list->setCurrentItem(list->topLevelItem(0));

    m_prompter.answer(false);
    child<QPushButton>(d, u"deleteButton"_s)->click();
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Achtung! / Den ausgewählten Termin wirklich löschen?"_s});
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM termine"_s), qint64(3));

    m_prompter.clear();
    m_prompter.answer(true);
    child<QPushButton>(d, u"deleteButton"_s)->click();
    QCOMPARE(m_prompter.transcript(),
             (QStringList{u"Achtung! / Den ausgewählten Termin wirklich löschen?"_s,
                          u"Done / Erfolgreich gelöscht!"_s}));
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc FROM termine ORDER BY id"_s),
             (QStringList{u"lang"_s, u"kurz"_s}));
    QVERIFY(d.isVisible());
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(1), u"kurz"_s);
    QCOMPARE(list->topLevelItem(1)->text(1), u"lang"_s);
}

void TestDayDialog::deleteReportsTheChangeAtOnce()
{
    addRow(at(2007, 3, 5, 9, 0), at(2007, 3, 5, 12, 0), 5, u"weg"_s);
    addRow(at(2007, 3, 5, 14, 0), at(2007, 3, 5, 15, 0), 5, u"bleibt"_s);
    auto dialog = open();
    auto& d = *dialog;
    // What a redraw at the signal would read.
    QStringList seen;
    connect(&d, &DayDialog::appointmentsChanged, &d, [&] {
        seen << queryRows(*m_ctx->db, u"SELECT desc FROM termine ORDER BY id"_s).join(u',');
    });
    auto* list = child<QTreeWidget>(d, u"dayList"_s);
    auto* remove = child<QPushButton>(d, u"deleteButton"_s);

    remove->click(); // nothing selected
    list->setCurrentItem(list->topLevelItem(0));
    m_prompter.answer(false);
    remove->click(); // declined
    QCOMPARE(seen, QStringList());

    m_prompter.answer(true);
    remove->click();
    QCOMPARE(seen, QStringList{u"bleibt"_s});
    QVERIFY(d.isVisible());

    // A delete the database refuses changes nothing and asks for no redraw.
    list->setCurrentItem(list->topLevelItem(0));
    m_ctx->db->execSql(u"CREATE TRIGGER keep BEFORE DELETE ON termine BEGIN "
                       u"SELECT RAISE(ABORT, 'gesperrt'); END;"_s);
    m_prompter.answer(true);
    remove->click();
    QCOMPARE(seen, QStringList{u"bleibt"_s});
}

void TestDayDialog::deletingEditedRowLeavesEditMode()
{
    addRow(at(2007, 3, 5, 9, 0), at(2007, 3, 5, 12, 0), 5, u"lang"_s);
    auto dialog = open();
    doubleClickRow(*dialog, 0);
    QVERIFY(dialog->isEditMode());
    m_prompter.answer(true);
    child<QPushButton>(*dialog, u"deleteButton"_s)->click();
    QVERIFY(!dialog->isEditMode());
    QCOMPARE(dialog->windowTitle(), u"Termine vom 5.3.2007"_s);
}

void TestDayDialog::periodDialog_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("joining");
    QTest::addColumn<QString>("startMin");
    QTest::addColumn<QString>("startMax");
    QTest::addColumn<QString>("endMin");
    QTest::addColumn<QString>("endMax");
    QTest::addColumn<QString>("initialEnd");
    QTest::addColumn<int>("year");

    // The appointment: Wednesday, 7 March 2007. A yearly period begins in the appointment's year
    // and offers 30 years after it, at most 100.
    QTest::newRow("yearly") << 1 << u"Termin jeden 7.3. Im Zeitraum zwischen dem:"_s << u"yyyy"_s
                            << u"und"_s << u"01.01.2007 00:00:00"_s << u"31.12.2007 23:59:59"_s
                            << u"01.01.2007 00:00:00"_s << u"31.12.2107 23:59:59"_s
                            << u"31.12.2037 23:59:59"_s << 2007;
    QTest::newRow("yearly after 2037")
            << 1 << u"Termin jeden 7.3. Im Zeitraum zwischen dem:"_s << u"yyyy"_s << u"und"_s
            << u"01.01.2040 00:00:00"_s << u"31.12.2040 23:59:59"_s << u"01.01.2040 00:00:00"_s
            << u"31.12.2140 23:59:59"_s << u"31.12.2070 23:59:59"_s << 2040;
    QTest::newRow("yearly near the last year")
            << 1 << u"Termin jeden 7.3. Im Zeitraum zwischen dem:"_s << u"yyyy"_s << u"und"_s
            << u"01.01.9990 00:00:00"_s << u"31.12.9990 23:59:59"_s << u"01.01.9990 00:00:00"_s
            << u"31.12.9999 23:59:59"_s << u"31.12.9999 23:59:59"_s << 9990;
    QTest::newRow("monthly") << 2 << u"Termin jeden 7. des Monats Im Zeitraum zwischen dem:"_s
                             << u"dd.MM"_s << u"und dem"_s << u"01.01.2007 00:00:00"_s
                             << u"31.12.2007 23:59:59"_s << u"01.01.2007 00:00:00"_s
                             << u"31.12.2007 23:59:59"_s << u"31.12.2007 00:00:01"_s << 2007;
    QTest::newRow("weekly") << 3 << u"Termin jeden Mit Im Zeitraum zwischen dem:"_s << u"dd.MM"_s
                            << u"und dem"_s << u"01.01.2007 00:00:00"_s << u"31.12.2007 23:59:59"_s
                            << u"01.01.2007 00:00:00"_s << u"31.12.2007 23:59:59"_s
                            << u"31.12.2007 00:00:01"_s << 2007;
    QTest::newRow("every n days") << 4 << u"Termin alle 12 Tage Im Zeitraum zwischen dem:"_s
                                  << u"dd.MM"_s << u"und dem"_s << u"01.01.2007 00:00:00"_s
                                  << u"31.12.2007 23:59:59"_s << u"01.01.2007 00:00:00"_s
                                  << u"31.12.2007 23:59:59"_s << u"31.12.2007 00:00:01"_s << 2007;
}

void TestDayDialog::periodDialog()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(QString, joining);
    QFETCH(QString, startMin);
    QFETCH(QString, startMax);
    QFETCH(QString, endMin);
    QFETCH(QString, endMax);
    QFETCH(QString, initialEnd);
    QFETCH(int, year);

    const SeriesRequest request{static_cast<SeriesKind>(kind), at(year, 3, 7, 18, 0),
                                at(year, 3, 7, 19, 0), 12};
    PeriodDialog dialog(m_prompter, request);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), u"Zeitraum der Wiederholung"_s);
    QCOMPARE(dialog.size(), QSize(300, 90));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(dialog.findChild<QLabel*>(u"periodText"_s)->text(), text);
    QCOMPARE(dialog.findChild<QLabel*>(u"periodText"_s)->geometry(), QRect(5, 10, 290, 15));
    QCOMPARE(dialog.findChild<QLabel*>(u"joiningWord"_s)->text(), joining);
    QCOMPARE(dialog.findChild<QLabel*>(u"repeatWord"_s)->text(), u"Wiederholen"_s);
    QCOMPARE(dialog.findChild<QPushButton*>(u"okButton"_s)->geometry(), QRect(10, 60, 70, 20));
    QCOMPARE(dialog.findChild<QPushButton*>(u"cancelButton"_s)->text(), u"Abbrechen"_s);

    auto* start = dialog.findChild<DateField*>(u"periodStart"_s);
    auto* end = dialog.findChild<DateField*>(u"periodEnd"_s);
    QCOMPARE(start->geometry(), QRect(5, 30, 60, 20));
    QCOMPARE(end->geometry(), QRect(125, 30, 60, 20));
    QCOMPARE(start->editor()->displayFormat(), format);
    QCOMPARE(end->editor()->displayFormat(), format);
    QCOMPARE(stamp(start->value()), u"07.03.%1 18:00:01"_s.arg(year));
    QCOMPARE(stamp(end->value()), initialEnd);

    const auto bounds = [](DateField* field) {
        field->setValue(-100000000000);
        const QString low = stamp(field->value());
        field->setValue(400000000000);
        return QStringList{low, stamp(field->value())};
    };
    QCOMPARE(bounds(start), (QStringList{startMin, startMax}));
    QCOMPARE(bounds(end), (QStringList{endMin, endMax}));

    dialog.findChild<QPushButton*>(u"cancelButton"_s)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(m_prompter.transcript(), QStringList());
}

void TestDayDialog::periodDialogRefusesEndBeforeStart()
{
    const SeriesRequest request{SeriesKind::Weekly, at(2007, 3, 7, 18, 0), at(2007, 3, 7, 19, 0),
                                2};
    PeriodDialog dialog(m_prompter, request);
    dialog.show();
    auto* end = dialog.findChild<DateField*>(u"periodEnd"_s);
    end->editor()->setDate(QDate(2007, 3, 6));
    dialog.findChild<QPushButton*>(u"okButton"_s)->click();
    QCOMPARE(m_prompter.transcript(), QStringList{kEndBeforeStart});
    QVERIFY(dialog.isVisible());

    // The start's own day is no end before the start, whatever the time of the two values.
    end->editor()->setDate(QDate(2007, 3, 7));
    dialog.findChild<QPushButton*>(u"okButton"_s)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(stamp(dialog.period().end).left(10), u"07.03.2007"_s);
    QCOMPARE(m_prompter.transcript().size(), 1);
}

void TestDayDialog::periodDialogRefusesEmptyPeriod()
{
    // Monthly on the 10th with a period from 15 to 20 March holds no member.
    const SeriesRequest request{SeriesKind::Monthly, at(2007, 3, 10, 18, 0), at(2007, 3, 10, 19, 0),
                                2};
    PeriodDialog dialog(m_prompter, request);
    dialog.show();
    dialog.findChild<DateField*>(u"periodStart"_s)->editor()->setDate(QDate(2007, 3, 15));
    dialog.findChild<DateField*>(u"periodEnd"_s)->editor()->setDate(QDate(2007, 3, 20));
    dialog.findChild<QPushButton*>(u"okButton"_s)->click();
    QCOMPARE(m_prompter.transcript(),
             QStringList{u"Fehler / In diesem Zeitraum liegt kein Termin der Wiederholung."_s});
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestDayDialog)
#include "tst_daydialog.moc"
