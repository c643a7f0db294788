#pragma once

#include "appointments/perioddialog.h"
#include "common/datevalue.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class DateField;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
struct Context;

// "Termine vom d.m.y": lists the appointments of one day, enters new ones (single or as a series)
// and changes or deletes existing ones. Run it with exec(); the caller redraws the overviews
// afterwards, and on appointmentsChanged() while it is open.
class DayDialog : public QDialog
{
    Q_OBJECT
public:
    using PeriodAsker = std::function<std::optional<SeriesPeriod>(const SeriesRequest&)>;

    DayDialog(Context& ctx, int day, int month, int year, QWidget* parent = nullptr);

    // Replaces the period dialog, e.g. by a scripted answer.
    void setPeriodAsker(PeriodAsker asker) { m_askPeriod = std::move(asker); }

    bool isEditMode() const { return m_editMode; }
    qint64 editedId() const { return m_editId; }

signals:
    // Appointments were deleted while the dialog stays open: the overviews must not go on
    // showing them beside it.
    void appointmentsChanged();

public slots:
    // "Abbrechen" and every close request: leaves edit mode, or closes the dialog.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillGroups();
    void fillDayList(const QString& ordering);

    void onStartTimeEdited();
    void onStartDateEdited();
    void onEndTimeEdited();
    void onGroupChosen(int index);
    void onAllDayClicked(bool checked);
    void onReminderTimeChosen(int index);
    void onRowActivated();
    void onDelete();
    void onSave();

    void enterEditMode(qint64 id);
    void leaveEditMode();
    void setAllDayTimes();
    void restoreRememberedTimes();
    void setTime(DateField* field, int hour, int minute, int second);
    void fillReminderRepetition(int count, int chosen);
    void setSpecialMode(const QString& groupName);
    void updateEnabledStates();
    QString defaultTitle() const;

    Context& m_ctx;
    const int m_day;
    const int m_month;
    const int m_year;

    bool m_editMode = false;
    qint64 m_editId = 0;
    qint64 m_editBelong = 0;
    QString m_editRedo;
    bool m_specialMode = false;
    bool m_reminderRepeatAllowed = true;
    QString m_startTimeText;
    QString m_endTimeText;
    PeriodAsker m_askPeriod;

    QComboBox* m_group = nullptr;
    QLineEdit* m_description = nullptr;
    QCheckBox* m_allDay = nullptr;
    QLabel* m_startLabel = nullptr;
    DateField* m_startDate = nullptr;
    QLabel* m_startAtLabel = nullptr;
    DateField* m_startTime = nullptr;
    QLabel* m_endLabel = nullptr;
    DateField* m_endDate = nullptr;
    QLabel* m_endAtLabel = nullptr;
    DateField* m_endTime = nullptr;
    QLabel* m_repeatLabel = nullptr;
    QComboBox* m_repeat = nullptr;
    QSpinBox* m_dayCount = nullptr;
    QLabel* m_reminderLabel = nullptr;
    QComboBox* m_reminderTime = nullptr;
    QComboBox* m_reminderRepeat = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_delete = nullptr;
};
