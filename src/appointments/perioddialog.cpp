#include "appointments/perioddialog.h"

#include "appointments/datefield.h"
#include "common/germannames.h"
#include "common/prompter.h"
#include "views/controls.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kEndBeforeStart = u"Das Enddatum darf nicht VOR den Anfangsdatum sein..."_s;
// Years after the entered one that a yearly series offers at most, and by default.
constexpr int kLongestYearlyPeriod = 100;
constexpr int kDefaultYearlyPeriod = 30;
// The last year a date field can show.
constexpr int kLastYear = 9999;

} // namespace

QString PeriodDialog::periodText(const SeriesRequest& request)
{
    const DateParts s = dateParts(request.start);
    switch (request.kind) {
    case SeriesKind::Yearly:
        return u"Termin jeden %1.%2. Im Zeitraum zwischen dem:"_s.arg(s.day).arg(s.month);
    case SeriesKind::Monthly:
        return u"Termin jeden %1. des Monats Im Zeitraum zwischen dem:"_s.arg(s.day);
    case SeriesKind::Weekly:
        return u"Termin jeden "_s + weekdayName(s.weekday) + u" Im Zeitraum zwischen dem:"_s;
    case SeriesKind::EveryNDays:
        break;
    }
    return u"Termin alle %1 Tage Im Zeitraum zwischen dem:"_s.arg(request.dayCount);
}

PeriodDialog::PeriodDialog(Prompter& prompter, const SeriesRequest& request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_prompter(prompter)
    , m_request(request)
{
    using namespace Controls;
    setObjectName(u"periodDialog"_s);
    Controls::keepCaptionOnly(this);
    setWindowTitle(u"Zeitraum der Wiederholung"_s);
    setFixedSize(300, 90);

    const bool yearly = request.kind == SeriesKind::Yearly;
    const QString mask = yearly ? u"%yyyy"_s : u"%dd.%mm"_s;
    const int year = dateParts(request.start).year;

    label(this, u"periodText"_s, periodText(request), {5, 10, 290, 15});
    m_periodStart = new DateField(mask, false, this);
    m_periodStart->setObjectName(u"periodStart"_s);
    m_periodStart->setGeometry(5, 30, 60, 20);
    label(this, u"joiningWord"_s, yearly ? u"und"_s : u"und dem"_s, {70, 32, 50, 15});
    m_periodEnd = new DateField(mask, false, this);
    m_periodEnd->setObjectName(u"periodEnd"_s);
    m_periodEnd->setGeometry(125, 30, 60, 20);
    label(this, u"repeatWord"_s, u"Wiederholen"_s, {190, 32, 60, 15});
    auto* ok = button(this, u"okButton"_s, u"OK"_s, {10, 60, 70, 20});
    auto* cancel = button(this, u"cancelButton"_s, u"Abbrechen"_s, {80, 60, 70, 20});
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);

    if (yearly) {
        // The series starts with the entered date, so the period starts in its year; fixed year
        // limits would silently drop that date for appointments outside them.
        m_periodStart->setRange(makeDate(year, 1, 1), makeDate(year, 12, 31, 23, 59, 59));
        const auto lastDayOf = [](int y) {
            return makeDate(std::min(y, kLastYear), 12, 31, 23, 59, 59);
        };
        m_periodEnd->setRange(makeDate(year, 1, 1), lastDayOf(year + kLongestYearlyPeriod));
        m_periodEnd->setValue(lastDayOf(year + kDefaultYearlyPeriod));
    } else {
        const DateValue first = makeDate(year, 1, 1);
        const DateValue last = makeDate(year, 12, 31, 23, 59, 59);
        m_periodStart->setRange(first, last);
        m_periodEnd->setRange(first, last);
        m_periodEnd->setValue(makeDate(year, 12, 31, 0, 0, 1));
    }
    m_periodStart->setValue(request.start);

    connect(ok, &QPushButton::clicked, this, &PeriodDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SeriesPeriod PeriodDialog::period() const
{
    return {m_periodStart->value(), m_periodEnd->value()};
}

void PeriodDialog::confirm()
{
    const SeriesPeriod p = period();
    // Compared as the fields show them: the same day (or year) is no end before the start.
    const bool endBeforeStart = m_request.kind == SeriesKind::Yearly
                                        ? dateParts(p.end).year < dateParts(p.start).year
                                        : startOfDay(p.end) < startOfDay(p.start);
    if (endBeforeStart) {
        m_prompter.warn(u"Fehler"_s, kEndBeforeStart);
        return;
    }
    if (seriesMembers(m_request.kind, m_request.start, m_request.end, m_request.dayCount, p.start,
                      p.end)
                .isEmpty()) {
        m_prompter.warn(u"Fehler"_s, u"In diesem Zeitraum liegt kein Termin der Wiederholung."_s);
        return;
    }
    accept();
}

std::optional<SeriesPeriod> PeriodDialog::ask(Prompter& prompter, const SeriesRequest& request,
                                              QWidget* parent)
{
    PeriodDialog dialog(prompter, request, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.period();
}
