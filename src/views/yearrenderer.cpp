#include "views/yearrenderer.h"

#include "common/germannames.h"
#include "common/imagepack.h"
#include "common/preferences.h"
#include "common/programfont.h"
#include "views/barstrips.h"
#include "views/overviewcanvas.h"
#include "views/overviewdata.h"
#include "views/overviewlegend.h"

#include <QPainter>

#include <algorithm>
#include <array>

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kOrange = 0xFFFF8800;
constexpr int kMarkColumns = 43; // the cell's 42 columns and the one just right of it

// The bar of one appointment inside one day cell, as marked columns and tinted runs.
class CellBars
{
public:
    CellBars(OverviewCanvas& canvas, const OverviewImages& images, int x, int y)
        : m_canvas(canvas)
        , m_images(images)
        , m_x(x)
        , m_y(y)
    {
        m_marks.fill(-1);
    }

    void add(const OverviewAppointment& a, DateValue dayStart, DateValue dayEnd)
    {
        const int g = a.group;
        if (a.start <= dayStart && a.end >= dayEnd) {
            m_canvas.overlay(m_images.image(g + 23), m_x, m_y);
        } else if (a.start >= dayStart && a.start < dayEnd) {
            // Starting at exactly midnight counts as starting inside the day: such an
            // appointment would otherwise fit none of the cases and vanish from the picture.
            const qint64 duration = a.end / 60 - a.start / 60;
            const qint64 p = dateParts(a.start).minuteOfDay() * 42 / 1440;
            qint64 w = duration * 42 / 1440 - 1;
            if (w >= 42 - p)
                w = 42 - p;
            else if (w < 6)
                w = 6;
            mark(p, g - 1);
            m_images.overlayRun(m_canvas, g - 1, m_x + static_cast<int>(p) + 1, m_y,
                                static_cast<int>(w) - 1);
            mark(p + w, g - 1);
        } else if (a.start < dayStart && a.end < dayEnd) {
            const qint64 duration = a.end / 60 - dayStart / 60;
            const qint64 w = std::max<qint64>(std::min<qint64>(duration * 42 / 1440 - 1, 42), 6);
            if (w < 41)
                m_images.overlayRun(m_canvas, g - 1, m_x + 1, m_y, static_cast<int>(w) - 1);
            else
                m_canvas.overlay(m_images.image(g + 23), m_x, m_y);
            mark(w, g - 1);
            mark(0, g - 1);
        }
    }

    // Bar ends go on top of everything else in the cell.
    void stampMarks()
    {
        for (int c = 0; c < kMarkColumns; ++c) {
            if (m_marks[c] >= 0)
                m_canvas.stamp(m_images.opaque(m_marks[c]), m_x + c, m_y);
        }
    }

private:
    void mark(qint64 column, int position)
    {
        if (column >= 0 && column < kMarkColumns)
            m_marks[static_cast<std::size_t>(column)] = position;
    }

    OverviewCanvas& m_canvas;
    const OverviewImages& m_images;
    int m_x;
    int m_y;
    std::array<int, kMarkColumns> m_marks{};
};

} // namespace

YearRenderer::YearRenderer(Database& db, Prompter& prompter, const ImagePack& images)
    : m_db(db)
    , m_prompter(prompter)
    , m_images(images)
{}

int YearRenderer::cellX(int month, bool legendShown)
{
    return firstColumnX(legendShown) + kColumnStep * (month - 1);
}

int YearRenderer::cellY(int day)
{
    return kFirstRowY + kRowStep * (day - 1);
}

QImage YearRenderer::render(QSize size, int shownYear, DateValue now, const Preferences& prefs,
                            qreal ratio) const
{
    QImage image = OverviewCanvas::blank(size, ratio);
    OverviewCanvas canvas(image);

    const DateParts today = dateParts(now);
    const bool legend = prefs.legende != 0;
    const QImage strip = yearBarStrip(prefs.r, prefs.g, prefs.b);
    const BarTextColors colors = barTextColors(prefs.r, prefs.g, prefs.b);

    QImage cellBackground(kCellWidth, kCellHeight, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&cellBackground);
        p.drawImage(cellBackground.rect(), strip);
    }

    const DateValue firstDay = makeDate(shownYear, 1, 1);
    const int dayCount = isLeapYear(shownYear) ? 366 : 365;
    const OverviewData& data = m_data.load(m_db, m_prompter, prefs.showedterms, firstDay, dayCount);

    // Its message was shown by the data that failed.
    if (legend && data.stop() == OverviewData::Stop::Nothing)
        OverviewLegend::draw(canvas, size.height(), m_db, m_prompter, m_images, strip, colors);

    const QFont titleFont = programFont(1);
    const QFont cellFont = programFont(2);
    for (int month = 1; month <= 12; ++month) {
        const int x = cellX(month, legend);
        canvas.setFont(titleFont);
        const QString title = monthName(month - 1);
        canvas.text(x + std::max(0, (40 - canvas.textWidth(title)) / 2), 5, title, 0xFF000000);
        canvas.setFont(cellFont);

        for (int day = 1; day <= daysInMonth(shownYear, month); ++day) {
            const int y = cellY(day);
            canvas.stamp(cellBackground, x, y);
            if (data.stop() == OverviewData::Stop::BeforeHolidays)
                break;
            const DateValue dayStart = makeDate(shownYear, month, day);
            const DateValue dayEnd = dayStart + kSecondsPerDay - 1;
            const int dayIndex = static_cast<int>((dayStart - firstDay) / kSecondsPerDay);

            for (int n = data.holidayCount(dayIndex); n > 0; --n)
                canvas.overlay(m_images.image(data.holidayGroup() + 23), x, y);
            if (data.stop() == OverviewData::Stop::BeforeAppointments)
                break;

            CellBars bars(canvas, m_images, x, y);
            for (const OverviewAppointment& a : data.appointments(dayIndex))
                bars.add(a, dayStart, dayEnd);

            const int weekday = weekdayOf(dayStart);
            canvas.text(x + 25, y - 1, weekdayName(weekday),
                        weekday == 0 ? colors.sunday : colors.name);
            canvas.text(x + 1, y - 1, QString::number(day), colors.number);
            if (data.stop() == OverviewData::Stop::BeforeBirthdays)
                break;

            if (data.birthdayGroup() != 0 && data.birthdayCount(month, day) > 0) {
                canvas.ellipse(x + 21, y + 6, 23, 7, kRed);
                canvas.ellipse(x + 21, y + 6, 24, 6, kRed);
            }
            const bool past = shownYear < today.year ||
                              (shownYear == today.year &&
                               (month < today.month || (month == today.month && day < today.day)));
            if (past)
                canvas.overlay(m_images.image(ImagePack::kPastDay), x, y);
            bars.stampMarks();
        }
    }

    if (shownYear == today.year) {
        const int x = cellX(today.month, legend);
        const int y = cellY(today.day);
        const int p = today.minuteOfDay() * 41 / 1440;
        m_images.overlayRun(canvas, ImagePack::kPastTint, x + 1, y, p - 1);
        canvas.frame(x, y, 42, 13, kRed);
        canvas.frame(x - 1, y - 1, 44, 15, kRed);
        canvas.frame(x + std::max(p, 1), y - 3, 2, 19, kOrange);
    }
    return image;
}
