#include "appointments/datefield.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

struct Token
{
    QStringView mask;
    QStringView format;
};

constexpr std::array<Token, 7> kTokens{{
        {u"%yyyy", u"yyyy"},
        {u"%yy", u"yy"},
        {u"%mm", u"MM"},
        {u"%dd", u"dd"},
        {u"%hh", u"HH"},
        {u"%ii", u"mm"},
        {u"%ss", u"ss"},
}};

// Every value is shown as UTC so that no local daylight-saving gap or overlap can reach it.
QDateTime toQt(DateValue value)
{
    return QDateTime::fromSecsSinceEpoch(value, Qt::UTC);
}

const DateValue kTimeDay = makeDate(2000, 12, 1);

} // namespace

QString DateField::displayFormat(QStringView mask)
{
    QString format;
    QString literal;
    const auto flushLiteral = [&] {
        if (literal.isEmpty())
            return;
        const bool needsQuotes = std::any_of(literal.cbegin(), literal.cend(),
                                             [](QChar c) { return c.isLetter() || c == u'\''; });
        if (needsQuotes)
            format += u'\'' + QString(literal).replace(u"'"_s, u"''"_s) + u'\'';
        else
            format += literal;
        literal.clear();
    };
    for (qsizetype i = 0; i < mask.size();) {
        const auto token = std::find_if(kTokens.cbegin(), kTokens.cend(), [&](const Token& t) {
            return mask.mid(i).startsWith(t.mask);
        });
        if (token == kTokens.cend()) {
            literal += mask[i];
            ++i;
            continue;
        }
        flushLiteral();
        format += token->format;
        i += token->mask.size();
    }
    flushLiteral();
    return format;
}

DateField::DateField(const QString& mask, bool withCheckBox, QWidget* parent)
    : QWidget(parent)
    , m_mask(mask)
    , m_timeOnly(!mask.contains(u"%yy"_s) && !mask.contains(u"%mm"_s) && !mask.contains(u"%dd"_s))
{
    if (withCheckBox) {
        m_checkBox = new QCheckBox(this);
        m_checkBox->setObjectName(u"check"_s);
        m_checkBox->setChecked(true);
        connect(m_checkBox, &QCheckBox::toggled, this, [this](bool checked) {
            m_editor->setEnabled(checked);
            emit edited();
        });
    }
    m_editor = new QDateTimeEdit(this);
    m_editor->setObjectName(u"editor"_s);
    m_editor->setTimeSpec(Qt::UTC);
    m_minimum = m_timeOnly ? kTimeDay : 0;
    m_maximum = m_timeOnly ? kTimeDay + kSecondsPerDay - 1 : makeDate(9999, 12, 31, 23, 59, 59);
    m_value = m_minimum;
    {
        const QSignalBlocker blocker(m_editor);
        // A time-only format pins the editor to the date it holds, so that date comes first.
        m_editor->setDateTime(toQt(m_value));
        m_editor->setDisplayFormat(displayFormat(mask));
        m_editor->setDateTimeRange(toQt(m_minimum), toQt(m_maximum));
        m_editor->setDateTime(toQt(m_value));
    }
    m_editor->setCalendarPopup(mask.contains(u"%dd"_s));
    connect(m_editor, &QDateTimeEdit::dateTimeChanged, this, &DateField::takeEditorValue);
}

DateValue DateField::normalized(DateValue value) const
{
    if (m_timeOnly)
        value = kTimeDay + (value - startOfDay(value));
    return std::clamp(value, m_minimum, m_maximum);
}

void DateField::setValue(DateValue value)
{
    m_value = normalized(value);
    showValue();
}

void DateField::setRange(DateValue minimum, DateValue maximum)
{
    if (m_timeOnly)
        return;
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    {
        const QSignalBlocker blocker(m_editor);
        m_editor->setDateTimeRange(toQt(m_minimum), toQt(m_maximum));
    }
    setValue(m_value);
}

QString DateField::text() const
{
    return formatDate(m_mask, m_value);
}

bool DateField::isChecked() const
{
    return !m_checkBox || m_checkBox->isChecked();
}

void DateField::setChecked(bool checked)
{
    if (!m_checkBox)
        return;
    const QSignalBlocker blocker(m_checkBox);
    m_checkBox->setChecked(checked);
    m_editor->setEnabled(checked);
}

void DateField::showValue()
{
    const QSignalBlocker blocker(m_editor);
    m_editor->setDateTime(toQt(m_value));
}

void DateField::takeEditorValue()
{
    // Only the parts the mask shows come from the editor; the rest of the value stays.
    const DateParts shown = dateParts(m_editor->dateTime().toSecsSinceEpoch());
    DateParts next = dateParts(m_value);
    if (m_mask.contains(u"%yy"_s))
        next.year = shown.year;
    if (m_mask.contains(u"%mm"_s))
        next.month = shown.month;
    if (m_mask.contains(u"%dd"_s))
        next.day = shown.day;
    if (m_mask.contains(u"%hh"_s))
        next.hour = shown.hour;
    if (m_mask.contains(u"%ii"_s))
        next.minute = shown.minute;
    if (m_mask.contains(u"%ss"_s))
        next.second = shown.second;
    next.day = std::min(next.day, daysInMonth(next.year, next.month));
    const DateValue value =
            makeDate(next.year, next.month, next.day, next.hour, next.minute, next.second);
    if (value == kInvalidDate || normalized(value) == m_value)
        return;
    m_value = normalized(value);
    emit edited();
}

void DateField::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    int x = 0;
    if (m_checkBox) {
        m_checkBox->setGeometry(2, 0, 16, height());
        x = 18;
    }
    m_editor->setGeometry(x, 0, width() - x, height());
}
