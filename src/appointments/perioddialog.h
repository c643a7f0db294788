#pragma once

#include "appointments/appointmentstore.h"
#include "common/datevalue.h"

#include <QDialog>

#include <optional>

class DateField;
class Prompter;

// What the day dialog asks the period for: the kind of series and the entered appointment.
struct SeriesRequest
{
    SeriesKind kind = SeriesKind::Yearly;
    DateValue start = 0;
    DateValue end = 0;
    int dayCount = 2;
};

struct SeriesPeriod
{
    DateValue start = 0;
    DateValue end = 0;
};

// "Zeitraum der Wiederholung": the user picks the period over which a new series is built.
class PeriodDialog : public QDialog
{
    Q_OBJECT
public:
    PeriodDialog(Prompter& prompter, const SeriesRequest& request, QWidget* parent = nullptr);

    SeriesPeriod period() const;

    // Runs the dialog modally; nothing when the user cancels.
    static std::optional<SeriesPeriod> ask(Prompter& prompter, const SeriesRequest& request,
                                           QWidget* parent);

    static QString periodText(const SeriesRequest& request);

private:
    void confirm();

    Prompter& m_prompter;
    SeriesRequest m_request;
    DateField* m_periodStart;
    DateField* m_periodEnd;
};
