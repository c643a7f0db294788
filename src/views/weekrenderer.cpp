#include "views/weekrenderer.h"

#include "common/germannames.h"
#include "common/imagepack.h"
#include "common/preferences.h"
#include "common/programfont.h"
#include "views/barstrips.h"
#include "views/overviewcanvas.h"
#include "views/overviewdata.h"
#include "views/overviewlegend.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kOrange = 0xFFFF8800;
constexpr int kMarkColumns = 625;
constexpr int kTile = 42;      // width of a whole-day overlay
constexpr int kHalfLine = 312; // width of the past-time picture, kHalfLine the time line

// One lane of a day row: its bars and the columns where they begin and end.
class Lane
{
public:
    Lane(OverviewCanvas& canvas, const OverviewImages& images, int length, int top)
        : m_canvas(canvas)
        , m_images(images)
        , m_length(length)
        , m_top(top)
        , m_marks(kMarkColumns, -1)
    {}

    void add(const OverviewAppointment& a, DateValue dayStart, DateValue dayEnd)
    {
        const int g = a.group;
        const qint64 L = m_length;
        constexpr int x0 = WeekRenderer::kTimelineX;
        if (a.start <= dayStart && a.end >= dayEnd) {
            int c = 0;
            for (; c <= m_length - (kTile + 1); c += kTile)
                m_canvas.overlay(m_images.image(g + 23), x0 + c, m_top);
            m_images.overlayRun(m_canvas, g - 1, x0 + c, m_top, m_length - 1 - c);
        } else if (a.start >= dayStart && a.start < dayEnd) {
            // Midnight itself counts as inside the day, as in the year picture.
            const qint64 duration = a.end / 60 - a.start / 60;
            qint64 p = L * dateParts(a.start).minuteOfDay() / 1440;
            qint64 w = L * duration / 1440 - 1;
            if (w >= L - p)
                w = L - p;
            else if (w < 10)
                w = 10;
            mark(p, g - 1);
            while (w > kTile) {
                m_canvas.overlay(m_images.image(g + 23), x0 + static_cast<int>(p) + 1, m_top);
                p += kTile;
                w -= kTile;
            }
            m_images.overlayRun(m_canvas, g - 1, x0 + static_cast<int>(p) + 1, m_top,
                                static_cast<int>(w) - 2);
            mark(p + w - 1, g - 1);
        } else if (a.start < dayStart && a.end < dayEnd) {
            qint64 p = 0;
            const qint64 duration = a.end / 60 - dayStart / 60;
            qint64 w = L * duration / 1440;
            if (w >= L)
                w = L - 1;
            else if (w < 10)
                w = 10;
            mark(w - 1, g - 1);
            while (w > kTile) {
                m_canvas.overlay(m_images.image(g + 23), x0 + static_cast<int>(p) + 1, m_top);
                p += kTile;
                w -= kTile;
            }
            m_images.overlayRun(m_canvas, g - 1, x0 + static_cast<int>(p), m_top,
                                static_cast<int>(w) - 1);
        }
    }

    void stampMarks(int y)
    {
        for (int c = 0; c < kMarkColumns; ++c) {
            if (m_marks[static_cast<std::size_t>(c)] >= 0)
                m_canvas.stamp(m_images.opaque(m_marks[static_cast<std::size_t>(c)]),
                               WeekRenderer::kTimelineX + c, y);
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
    int m_length;
    int m_top;
    std::vector<int> m_marks;
};

} // namespace

WeekRenderer::WeekRenderer(Database& db, Prompter& prompter, const ImagePack& images)
    : m_db(db)
    , m_prompter(prompter)
    , m_images(images)
{}

QImage WeekRenderer::render(QSize size, DateValue weekStart, DateValue now,
                            const Preferences& prefs, qreal ratio) const
{
    QImage image = OverviewCanvas::blank(size, ratio);
    OverviewCanvas canvas(image);

    const bool legend = prefs.legende != 0;
    const int L = timelineWidth(legend);
    const DateValue monday = startOfDay(weekStart);

    canvas.setFont(programFont(6));
    const QString number = QString::number(isoWeekNumber(monday));
    canvas.text((size.width() - canvas.textWidth(number)) / 2,
                (size.height() - canvas.textHeight()) / 2, number, 0xFFEEEEEE);

    const BarTextColors colors = barTextColors(prefs.r, prefs.g, prefs.b);
    if (legend)
        OverviewLegend::draw(canvas, size.height(), m_db, m_prompter, m_images,
                             yearBarStrip(prefs.r, prefs.g, prefs.b), colors);

    const OverviewData& data = m_data.load(m_db, m_prompter, prefs.showedterms, monday, 7);
    const int nowX = (L - 1) * dateParts(now).minuteOfDay() / 1440;
    const QImage strip = weekBarStrip(prefs.r, prefs.g, prefs.b);
    const QFont titleFont = programFont(1);
    const QFont scaleFont = programFont(3);

    for (int d = 0; d < 7; ++d) {
        const int y = kFirstRowY + kRowStep * d;
        const DateValue dayStart = monday + d * kSecondsPerDay;
        const DateValue dayEnd = dayStart + kSecondsPerDay - 1;

        canvas.setFont(titleFont);
        canvas.text(40, y - 18,
                    weekdayName((d + 1) % 7) + u", den "_s + formatDate(u"%dd.%mm.%yyyy", dayStart),
                    kBlack);
        canvas.stretch(strip, kTimelineX, y, L, kRowHeight);

        canvas.setFont(scaleFont);
        for (int h = 0; h <= 24; ++h) {
            const int x = kTimelineX + h * L / 24;
            canvas.fill(x, y, 1, kRowHeight, 0xFFC3C3C3);
            if (h % 2 == 1)
                canvas.centredText(x, y + kRowHeight,
                                   QString::number(h).rightJustified(2, u'0') + u":00"_s,
                                   0xFF888888);
        }
        if (data.stop() == OverviewData::Stop::BeforeHolidays)
            break;

        for (int n = data.holidayCount(d); n > 0; --n) {
            const int holiday = data.holidayGroup();
            int c = 0;
            for (; c <= L - (kTile + 1); c += kTile)
                canvas.overlay(m_images.image(holiday + 23), kTimelineX + c, y);
            m_images.overlayRun(canvas, holiday - 1, kTimelineX + c, y, L - c);
        }
        if (data.stop() == OverviewData::Stop::BeforeAppointments)
            break;

        Lane upper(canvas, m_images, L, y);
        Lane lower(canvas, m_images, L, y + 12);
        const std::span<const OverviewAppointment> rows = data.appointments(d);
        for (std::size_t i = 0; i < rows.size(); ++i)
            (i % 2 == 0 ? upper : lower).add(rows[i], dayStart, dayEnd);

        canvas.fill(kTimelineX, y + 12, L, 1, kBlack);
        if (data.stop() == OverviewData::Stop::BeforeBirthdays)
            break;

        if (data.birthdayGroup() != 0) {
            const DateParts parts = dateParts(dayStart);
            if (data.birthdayCount(parts.month, parts.day) > 0) {
                canvas.ellipse(110, y - 8, 95, 12, kRed);
                canvas.ellipse(110, y - 8, 96, 13, kRed);
            }
        }
        lower.stampMarks(y + 13);
        upper.stampMarks(y);

        if (dayEnd < now) {
            canvas.overlay(m_images.image(ImagePack::kWeekPast), kTimelineX, y);
            if (legend)
                m_images.overlayRun(canvas, ImagePack::kWeekPastColumn, kTimelineX + kHalfLine, y,
                                    L - kHalfLine + 1);
            else
                canvas.overlay(m_images.image(ImagePack::kWeekPast), kTimelineX + kHalfLine, y);
        } else if (dayStart < now && now < dayEnd) {
            if (nowX - 1 > kHalfLine) {
                canvas.overlay(m_images.image(ImagePack::kWeekPast), kTimelineX, y);
                m_images.overlayRun(canvas, ImagePack::kWeekPastColumn, kTimelineX + kHalfLine, y,
                                    nowX - 1 - kHalfLine);
            } else {
                m_images.overlayRun(canvas, ImagePack::kWeekPastColumn, kTimelineX + 1, y,
                                    nowX - 2);
            }
            canvas.frame(kTimelineX, y, L, kRowHeight, kRed);
            canvas.frame(kTimelineX - 1, y - 1, L + 2, kRowHeight + 2, kRed);
            canvas.frame(kTimelineX - 1 + nowX, y - 4, 2, 34, kOrange);
        }
    }
    return image;
}

QString weekLabelText(DateValue weekStart, int shownYear)
{
    const DateValue s = weekStart;
    const DateValue e = s + 6 * kSecondsPerDay;
    const DateValue n = s + 7 * kSecondsPerDay;
    const DateParts sp = dateParts(s);
    const DateParts ep = dateParts(e);
    const bool sameMonth = sp.month == ep.month;
    const QString range = sameMonth ? formatDate(u"%dd.", s) + formatDate(u"-%dd.", e)
                                    : formatDate(u"%dd.%mm", s) + formatDate(u"-%dd.%mm", e);
    const QString month = sameMonth ? u' ' + monthName(ep.month - 1).left(3) : QString();
    if (sp.year < dateParts(n).year)
        return range + month + u' ' + formatDate(u"%yy", s) + u'/' + formatDate(u"%yy", n);
    return range + month + u' ' + QString::number(shownYear);
}
