#pragma once

#include "common/datevalue.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QDateTimeEdit;

// A date or time field that shows and edits its value through a date mask ("%dd.%mm.%yyyy",
// "%hh:%ii Uhr", "%yyyy", ...). It keeps the whole value; editing changes only the parts the mask
// shows. A time mask keeps its value on 1 December 2000. Optionally a tick box in front switches
// the field off.
class DateField : public QWidget
{
    Q_OBJECT
public:
    DateField(const QString& mask, bool withCheckBox, QWidget* parent = nullptr);

    DateValue value() const { return m_value; }
    // Does not count as an edit: no edited() signal.
    void setValue(DateValue value);
    void setRange(DateValue minimum, DateValue maximum);

    const QString& mask() const { return m_mask; }
    // The value written with the mask, as the field shows it.
    QString text() const;

    bool hasCheckBox() const { return m_checkBox != nullptr; }
    bool isChecked() const;
    // Does not count as an edit either.
    void setChecked(bool checked);

    QDateTimeEdit* editor() const { return m_editor; }
    QCheckBox* checkBox() const { return m_checkBox; }

    // The mask as a display format of QDateTimeEdit.
    static QString displayFormat(QStringView mask);

signals:
    // The user changed the value or the tick box.
    void edited();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void takeEditorValue();
    void showValue();
    DateValue normalized(DateValue value) const;

    QString m_mask;
    bool m_timeOnly;
    DateValue m_value = 0;
    DateValue m_minimum = 0;
    DateValue m_maximum = 0;
    QCheckBox* m_checkBox = nullptr;
    QDateTimeEdit* m_editor;
};
