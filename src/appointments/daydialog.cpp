#include "appointments/daydialog.h"

#include "appointments/appointmentstore.h"
#include "appointments/datefield.h"
#include "common/programfont.h"
#include "common/remindercodes.h"
#include "common/sqltext.h"
#include "core/context.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"
#include "views/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kDateMask = u"%dd.%mm.%yyyy"_s;
const QString kTimeMask = u"%hh:%ii Uhr"_s;
const QString kRepeatTip =
        u"Termine,die sich regelmäßig wiederholen (Geburtstage, Vereinstreffen, etc.)"_s;
const QString kRepeatLabel = u"Termin wiederholt sich:"_s;
const QString kEndBeforeStart = u"Das Enddatum darf nicht VOR den Anfangsdatum sein..."_s;

const QStringList kRepeatChoices{u"nicht"_s, u"jährlich"_s, u"monatlich"_s, u"wöchentlich"_s,
                                 u"Alle"_s};
const QStringList kReminderTimes = ReminderCodes::leadChoices();
const QStringList kReminderRepeats = ReminderCodes::repeatChoices();

enum RepeatChoice { RepeatNot, RepeatYearly, RepeatMonthly, RepeatWeekly, RepeatEveryN };

QString num(qint64 value)
{
    return QString::number(value);
}

int clampIndex(qint64 value, qsizetype count)
{
    return static_cast<int>(std::clamp<qint64>(value, 0, count - 1));
}

} // namespace

DayDialog::DayDialog(Context& ctx, int day, int month, int year, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_ctx(ctx)
    , m_day(day)
    , m_month(month)
    , m_year(year)
{
    setObjectName(u"dayDialog"_s);
    Controls::keepCaptionOnly(this);
    setWindowTitle(defaultTitle());
    setFixedSize(400, 360);
    m_askPeriod = [this](const SeriesRequest& request) {
        return PeriodDialog::ask(m_ctx.prompter, request, this);
    };

    buildControls();
    fillGroups();
    fillDayList(u"ORDER BY +date ASC ;"_s);
    m_startTimeText = m_startTime->text();
    m_endTimeText = m_endTime->text();
    updateEnabledStates();
}

QString DayDialog::defaultTitle() const
{
    return u"Termine vom %1.%2.%3"_s.arg(m_day).arg(m_month).arg(m_year);
}

void DayDialog::buildControls()
{
    using namespace Controls;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    const auto boldLabel = [&](const QString& name, const QString& text, const QRect& geometry) {
        QLabel* l = label(this, name, text, geometry, right);
        l->setFont(programFont(3));
        return l;
    };
    const auto dateField = [&](const QString& name, const QString& mask, bool withCheckBox,
                               const QRect& geometry) {
        auto* field = new DateField(mask, withCheckBox, this);
        field->setObjectName(name);
        field->setGeometry(geometry);
        field->setRange(makeDate(1970, 1, 1), makeDate(9999, 12, 31, 23, 59, 59));
        return field;
    };

    boldLabel(u"groupLabel"_s, u"Gruppe:"_s, {5, 5, 110, 15});
    m_group = dropDown(this, u"groupChoice"_s, {}, {120, 5, 150, 80});
    boldLabel(u"descriptionLabel"_s, u"Beschreibung:"_s, {5, 32, 110, 15});
    m_description = textField(this, u"description"_s, {120, 30, 270, 20});
    m_allDay = checkBox(this, u"allDay"_s, u"Ganztagstermin"_s, {120, 55, 110, 15});
    m_allDay->setFont(programFont(3));
    m_allDay->setToolTip(
            u"Termine ohne feste Zeitangabe (Geburtstage, Klausuren, Urlaube, etc.)"_s);

    m_startLabel = boldLabel(u"startLabel"_s, u"Anfang:"_s, {5, 77, 110, 15});
    m_startDate = dateField(u"startDate"_s, kDateMask, false, {120, 75, 80, 20});
    m_startAtLabel = label(this, u"startAtLabel"_s, u"um"_s, {203, 77, 17, 15});
    m_startTime = dateField(u"startTime"_s, kTimeMask, false, {220, 75, 90, 20});
    m_endLabel = boldLabel(u"endLabel"_s, u"Ende:"_s, {5, 102, 110, 15});
    m_endDate = dateField(u"endDate"_s, kDateMask, false, {120, 100, 80, 20});
    m_endAtLabel = label(this, u"endAtLabel"_s, u"um"_s, {203, 102, 17, 15});
    m_endTime = dateField(u"endTime"_s, kTimeMask, true, {220, 100, 90, 20});

    m_startDate->setValue(makeDate(m_year, m_month, m_day, 12, 0, 1));
    m_endDate->setValue(makeDate(m_year, m_month, m_day, 14, 0, 1));
    setTime(m_startTime, 12, 0, 1);
    setTime(m_endTime, 14, 0, 1);

    m_repeatLabel = label(this, u"repetitionLabel"_s, kRepeatLabel, {5, 127, 110, 15}, right);
    m_repeatLabel->setToolTip(kRepeatTip);
    m_repeat = dropDown(this, u"repetitionChoice"_s, kRepeatChoices, {120, 125, 110, 80});
    m_repeat->setToolTip(kRepeatTip);
    m_dayCount = new QSpinBox(this);
    m_dayCount->setObjectName(u"dayCount"_s);
    m_dayCount->setGeometry(235, 125, 40, 20);
    m_dayCount->setRange(1, 100);
    m_dayCount->setValue(2);
    // Only the arrow buttons change the number.
    if (auto* edit = m_dayCount->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    label(this, u"daysLabel"_s, u"Tage"_s, {280, 127, 70, 15});

    m_reminderLabel =
            label(this, u"reminderLabel"_s, u"Benachrichtigung:"_s, {5, 167, 110, 15}, right);
    m_reminderTime = dropDown(this, u"reminderTime"_s, kReminderTimes, {120, 165, 120, 80});
    m_reminderTime->setCurrentIndex(clampIndex(m_ctx.prefs.allgmsgtime, kReminderTimes.size()));
    m_reminderRepeat = dropDown(this, u"reminderRepetition"_s, {}, {245, 165, 100, 80});
    fillReminderRepetition(4, clampIndex(m_ctx.prefs.allgremsg, kReminderRepeats.size()));

    label(this, u"listLabel"_s, u"Derzeitige Termine (Bearbeiten durch Doppelklick)"_s,
          {5, 195, 380, 15});
    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"dayList"_s);
    m_list->setGeometry(10, 215, 390, 115);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({u"Gruppe"_s, u"Beschr.:"_s, u"Anfang:"_s, u"Ende:"_s});
    m_list->header()->setStretchLastSection(false);
    const int widths[] = {90, 90, 130, 130};
    for (int i = 0; i < 4; ++i)
        m_list->header()->resizeSection(i, widths[i]);

    m_save = button(this, u"saveButton"_s, u"Eintragen"_s, {10, 335, 70, 20});
    m_cancel = button(this, u"cancelButton"_s, u"Abbrechen"_s, {80, 335, 70, 20});
    m_delete = button(this, u"deleteButton"_s, u"Ausgewählten Löschen"_s, {170, 335, 120, 20});
    // Enter in the description must not save by accident.
    for (QPushButton* b : {m_save, m_cancel, m_delete})
        b->setAutoDefault(false);

    connect(m_startTime, &DateField::edited, this, &DayDialog::onStartTimeEdited);
    connect(m_startDate, &DateField::edited, this, &DayDialog::onStartDateEdited);
    connect(m_endTime, &DateField::edited, this, &DayDialog::onEndTimeEdited);
    connect(m_repeat, &QComboBox::currentIndexChanged, this, &DayDialog::updateEnabledStates);
    connect(m_group, &QComboBox::activated, this, &DayDialog::onGroupChosen);
    connect(m_allDay, &QCheckBox::clicked, this, &DayDialog::onAllDayClicked);
    connect(m_reminderTime, &QComboBox::activated, this, &DayDialog::onReminderTimeChosen);
    // Enter (and whatever else the platform counts as activating) opens a row as a double click
    // does; Space is caught by the event filter.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &DayDialog::onRowActivated);
    connect(m_list, &QTreeWidget::itemActivated, this, &DayDialog::onRowActivated);
    m_list->installEventFilter(this);
    connect(m_save, &QPushButton::clicked, this, &DayDialog::onSave);
    connect(m_cancel, &QPushButton::clicked, this, &DayDialog::reject);
    connect(m_delete, &QPushButton::clicked, this, &DayDialog::onDelete);
}

void DayDialog::fillGroups()
{
    Database& db = *m_ctx.db;
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM grups WHERE grupname != '' ;"_s, cursor)) {
        showDatabaseError(db, m_ctx.prompter);
        return;
    }
    while (cursor.nextRow())
        m_group->addItem(cursor.text(2), cursor.number(1));
    m_group->setCurrentIndex(-1);
}

void DayDialog::fillDayList(const QString& ordering)
{
    m_list->clear();
    Database& db = *m_ctx.db;
    const DateValue dayStart = makeDate(m_year, m_month, m_day, 0, 0, 0);
    const DateValue dayEnd = makeDate(m_year, m_month, m_day, 23, 59, 59);
    QueryCursor cursor;
    // The unary plus keeps SQLite off the index on the start, which would walk every earlier
    // row; the day is found through the ends after its start (the orderings carry it too).
    if (!db.queryTable(u"SELECT * FROM termine JOIN grups ON grups.id=grup WHERE (+date<"_s +
                               num(dayEnd) + u" And enddate>"_s + num(dayStart) + u") "_s +
                               ordering,
                       cursor)) {
        showDatabaseError(db, m_ctx.prompter);
        return;
    }
    while (cursor.nextRow()) {
        const qint64 id = cursor.number(1);
        const DateValue date = cursor.number(2);
        const int group = static_cast<int>(cursor.number(3));
        const DateValue endDate = cursor.number(5);
        const qint64 belong = cursor.number(8);

        QString description = cursor.text(4);
        if (belong != 0)
            description += u" ("_s + cursor.text(9) + u')';
        QString startText;
        QString endText;
        if (date == dayStart && endDate == dayEnd) {
            startText = formatDate(kDateMask, date);
        } else {
            startText = formatDate(kDateMask, date) + formatDate(u" - %hh:%ii Uhr", date);
            endText = formatDate(kDateMask, endDate) + formatDate(u" - %hh:%ii Uhr", endDate);
        }

        auto* item =
                new QTreeWidgetItem(m_list, {cursor.text(12), description, startText, endText});
        item->setData(0, Qt::UserRole, id);
        if (m_ctx.images && group >= 1 && group <= 20)
            item->setIcon(0, m_ctx.images->groupIcon(group));
    }
}

void DayDialog::setTime(DateField* field, int hour, int minute, int second)
{
    field->setValue(makeDate(2000, 12, 1, hour, minute, second));
}

void DayDialog::setAllDayTimes()
{
    setTime(m_startTime, 0, 0, 0);
    setTime(m_endTime, 23, 59, 59);
}

void DayDialog::restoreRememberedTimes()
{
    const MaskedFields start = readMaskedText(kTimeMask, m_startTimeText);
    const MaskedFields end = readMaskedText(kTimeMask, m_endTimeText);
    if (start.hour >= 0 && start.minute >= 0)
        setTime(m_startTime, start.hour, start.minute, 0);
    if (end.hour >= 0 && end.minute >= 0)
        setTime(m_endTime, end.hour, end.minute, 0);
}

void DayDialog::fillReminderRepetition(int count, int chosen)
{
    m_reminderRepeat->clear();
    m_reminderRepeat->addItems(kReminderRepeats.mid(0, count));
    m_reminderRepeat->setCurrentIndex(chosen < count ? chosen : 0);
}

void DayDialog::onStartTimeEdited()
{
    m_startTimeText = m_startTime->text();
    m_endTime->setValue(m_startTime->value());
    // The end field now shows the start time, and that is what a restore must bring back.
    m_endTimeText = m_startTimeText;
}

void DayDialog::onStartDateEdited()
{
    m_endDate->setValue(m_startDate->value());
}

void DayDialog::onEndTimeEdited()
{
    m_endTimeText = m_endTime->isChecked() ? m_endTime->text() : m_startTimeText;
}

void DayDialog::onGroupChosen(int index)
{
    if (index < 0)
        return;
    Database& db = *m_ctx.db;
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM grups WHERE id ="_s +
                               num(m_group->itemData(index).toLongLong()) + u" ;"_s,
                       cursor)) {
        showDatabaseError(db, m_ctx.prompter);
        return;
    }
    if (!cursor.nextRow())
        return;

    if (cursor.number(3) == 1)
        m_repeat->setCurrentIndex(RepeatYearly);
    else if (m_repeat->currentIndex() == RepeatYearly)
        m_repeat->setCurrentIndex(RepeatNot);

    if (cursor.number(4) == 1) {
        m_allDay->setChecked(true);
        setAllDayTimes();
    } else {
        m_allDay->setChecked(false);
        restoreRememberedTimes();
    }
    setSpecialMode(cursor.text(2));
    updateEnabledStates();
}

void DayDialog::setSpecialMode(const QString& groupName)
{
    QString text;
    if (groupName == u"Geburtstag")
        text = u"Geburtstage werden automatisch über das Adressbuch generiert!"_s;
    else if (groupName == u"Feiertag")
        text = u"Feiertage können noch nicht hinzugefügt werden!"_s;
    m_specialMode = !text.isEmpty();
    if (m_specialMode) {
        m_repeatLabel->setGeometry(5, 147, 380, 15);
        m_repeatLabel->setFont(programFont(3));
        m_repeatLabel->setText(text);
    } else {
        m_repeatLabel->setGeometry(5, 127, 110, 15);
        m_repeatLabel->setFont(QFont());
        m_repeatLabel->setText(kRepeatLabel);
    }
}

void DayDialog::onAllDayClicked(bool checked)
{
    if (checked)
        setAllDayTimes();
    else
        restoreRememberedTimes();
    updateEnabledStates();
}

void DayDialog::onReminderTimeChosen(int index)
{
    const int count = ReminderCodes::repeatChoiceCount(index);
    m_reminderRepeatAllowed = count > 0;
    if (count > 0)
        fillReminderRepetition(count, m_ctx.prefs.allgremsg);
    updateEnabledStates();
}

void DayDialog::updateEnabledStates()
{
    const bool normal = !m_specialMode;
    for (QWidget* w : std::initializer_list<QWidget*>{
                 m_startLabel, m_startDate, m_startAtLabel, m_endLabel, m_endDate, m_endAtLabel,
                 m_description, m_reminderLabel, m_reminderTime, m_save}) {
        w->setEnabled(normal);
    }
    const bool timesUsable = normal && !m_allDay->isChecked();
    m_startTime->setEnabled(timesUsable);
    m_endTime->setEnabled(timesUsable);
    // A changed appointment stays what it is; only a new one can become a series.
    const bool repeatUsable = normal && !m_editMode;
    m_repeat->setEnabled(repeatUsable);
    m_dayCount->setEnabled(repeatUsable && m_repeat->currentIndex() == RepeatEveryN);
    m_reminderRepeat->setEnabled(normal && m_reminderRepeatAllowed);
    m_list->setEnabled(!m_editMode);
}

bool DayDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            onRowActivated();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DayDialog::onRowActivated()
{
    // A double click also reports an activation; the first one has already opened the row.
    if (m_editMode)
        return;
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty() || selected.first()->text(0) == u"Geburtstag")
        return;
    enterEditMode(selected.first()->data(0, Qt::UserRole).toLongLong());
}

void DayDialog::enterEditMode(qint64 id)
{
    Database& db = *m_ctx.db;
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM termine WHERE id="_s + num(id) + u";"_s, cursor)) {
        showDatabaseError(db, m_ctx.prompter);
        return;
    }
    if (!cursor.nextRow())
        return;
    const DateValue date = cursor.number(2);
    const DateValue endDate = cursor.number(5);
    const QString description = cursor.text(4);
    const QString redo = cursor.text(9);

    m_group->setCurrentIndex(m_group->findData(cursor.number(3)));
    m_description->setText(description);
    m_reminderTime->setCurrentIndex(clampIndex(cursor.number(6), kReminderTimes.size()));
    // The full list, so the stored repetition shows as it is.
    fillReminderRepetition(4, clampIndex(cursor.number(7), kReminderRepeats.size()));
    m_reminderRepeatAllowed = true;
    m_editMode = true;
    m_editId = id;
    m_editBelong = cursor.number(8);
    m_editRedo = redo;

    setWindowTitle(u"Bearbeiten des Termins Nr.:"_s + num(id) + u" ("_s + description + u')');
    m_save->setText(u"Ändern"_s);
    m_startDate->setValue(date);
    m_endDate->setValue(endDate);
    const DateParts start = dateParts(date);
    const DateParts end = dateParts(endDate);
    setTime(m_startTime, start.hour, start.minute, 1);

    if (redo == u"Jährlich")
        m_repeat->setCurrentIndex(RepeatYearly);
    else if (redo == u"Monatlich")
        m_repeat->setCurrentIndex(RepeatMonthly);
    else if (redo == u"Wöchentlich")
        m_repeat->setCurrentIndex(RepeatWeekly);
    else
        m_repeat->setCurrentIndex(RepeatNot);

    const bool timed = endDate != 0 && end.minuteOfDay() < 1439 && start.minuteOfDay() >= 2;
    if (timed) {
        setTime(m_endTime, end.hour, end.minute, 1);
        // The stored end must not be replaced by the start at saving.
        m_endTime->setChecked(true);
        m_allDay->setChecked(false);
        m_startTimeText = m_startTime->text();
        m_endTimeText = m_endTime->text();
    } else {
        m_allDay->setChecked(true);
        setAllDayTimes();
    }
    setSpecialMode(m_group->currentIndex() >= 0 ? m_group->currentText() : QString());
    updateEnabledStates();
}

void DayDialog::leaveEditMode()
{
    m_editMode = false;
    m_editId = 0;
    m_editBelong = 0;
    m_editRedo.clear();
    setWindowTitle(defaultTitle());
    m_description->clear();
    m_repeat->setCurrentIndex(RepeatNot);
    m_reminderTime->setCurrentIndex(clampIndex(m_ctx.prefs.allgmsgtime, kReminderTimes.size()));
    fillReminderRepetition(4, clampIndex(m_ctx.prefs.allgremsg, kReminderRepeats.size()));
    m_reminderRepeatAllowed = true;
    m_allDay->setChecked(false);
    m_startDate->setValue(makeDate(m_year, m_month, m_day, 12, 0, 1));
    setTime(m_startTime, 12, 0, 1);
    m_endDate->setValue(makeDate(m_year, m_month, m_day, 14, 0, 1));
    setTime(m_endTime, 14, 0, 1);
    m_endTime->setChecked(true);
    m_startTimeText = m_startTime->text();
    m_endTimeText = m_endTime->text();
    m_save->setText(u"Eintragen"_s);
    updateEnabledStates();
}

void DayDialog::reject()
{
    if (m_editMode)
        leaveEditMode();
    else
        QDialog::reject();
}

void DayDialog::onDelete()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    Prompter& prompter = m_ctx.prompter;
    if (!prompter.askYesNo(u"Achtung!"_s, u"Den ausgewählten Termin wirklich löschen?"_s))
        return;
    Database& db = *m_ctx.db;
    const bool deleted =
            deleteAppointment(db, prompter, selected.first()->data(0, Qt::UserRole).toLongLong());
    fillDayList(u"ORDER BY +date,enddate ASC ;"_s);
    if (deleted)
        emit appointmentsChanged();
    if (!m_editMode)
        return;
    // Changing a row that no longer exists would save nothing, or change the rest of its series.
    QueryCursor cursor;
    if (db.queryTable(u"SELECT id FROM termine WHERE id="_s + num(m_editId) + u";"_s, cursor) &&
        cursor.rowCount() == 0) {
        leaveEditMode();
    }
}

void DayDialog::onSave()
{
    Prompter& prompter = m_ctx.prompter;
    Database& db = *m_ctx.db;

    const int repeat = m_repeat->currentIndex();
    const QString startTimeText = m_startTime->text();
    const QString endTimeText = m_endTime->isChecked() ? m_endTime->text() : startTimeText;
    const MaskedFields startDay = readMaskedText(kDateMask, m_startDate->text());
    const MaskedFields endDay = readMaskedText(kDateMask, m_endDate->text());
    const MaskedFields startClock = readMaskedText(kTimeMask, startTimeText);
    const MaskedFields endClock = readMaskedText(kTimeMask, endTimeText);

    AppointmentValues values;
    values.start = makeDate(startDay.year, startDay.month, startDay.day, startClock.hour,
                            startClock.minute, 1);
    values.end = makeDate(endDay.year, endDay.month, endDay.day, endClock.hour, endClock.minute, 1);
    values.group = m_group->currentIndex() >= 0 ? m_group->currentData().toInt() : 0;
    values.description = replaceApostrophes(m_description->text());
    values.msg = std::max(0, m_reminderTime->currentIndex());
    values.remsg = std::max(0, m_reminderRepeat->currentIndex());

    const auto checkGroupAndDescription = [&] {
        if (values.group == 0) {
            prompter.warn(u"Fehler"_s, u"Dem Termin muss eine Gruppe zugeteilt sein!"_s);
            return false;
        }
        return !values.description.isEmpty() ||
               prompter.askYesNo(u"Warnung"_s, u"Termin ohne Beschreibung speichern?"_s);
    };

    if (m_editMode) {
        qint64 seriesKey = m_editBelong;
        if (seriesKey != 0 &&
            !prompter.askYesNo(u"Wie soll geändert werden?"_s,
                               u"Dieser Termin wird Jährlich/Monatlich/Wöchentlich ausgeführt, "
                               u"sollen alle zugehörigen Temine geändert werden?\nWenn nein, dann "
                               u"wird der Termin von den anderen abgespalten und einzeln "
                               u"geändert."_s)) {
            seriesKey = 0;
        }
        if (!checkGroupAndDescription())
            return;
        if (values.end < values.start) {
            prompter.warn(u"Fehler"_s, kEndBeforeStart);
            return;
        }
        updateAppointment(db, prompter, values, seriesKey, m_editId);
        accept();
        return;
    }

    if (!checkGroupAndDescription())
        return;
    if (repeat <= RepeatNot) {
        if (values.end < values.start) {
            prompter.warn(u"Fehler"_s, kEndBeforeStart);
            return;
        }
        insertAppointment(db, prompter, values, 0, QString());
        accept();
        return;
    }

    // Every member of a series needs a real duration.
    if (values.start >= values.end) {
        prompter.warn(u"Fehler"_s, kEndBeforeStart);
        return;
    }
    SeriesRequest request;
    request.kind = static_cast<SeriesKind>(repeat);
    request.start = values.start;
    request.end = values.end;
    request.dayCount = m_dayCount->value();
    const std::optional<SeriesPeriod> period = m_askPeriod(request);
    if (!period)
        return;
    createSeries(db, prompter, request.kind, values, request.dayCount, period->start, period->end);
    accept();
}
