#include "output/tableprinter.h"

#include "common/grouppalette.h"
#include "output/tablelayout.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace TablePrinter {

namespace {

// Single appointments that are still to come, and of each series its next coming member: a
// running series whose first member is past is printed too.
QString comingAppointmentsSql(DateValue now)
{
    const QString after = QString::number(now);
    return u"SELECT ALL grupname,desc,date,enddate,grup,belong FROM termine JOIN grups ON "
           u"grup=grups.id WHERE date>"_s +
           after +
           u" and belong=0 UNION ALL SELECT grupname,desc,min(date),enddate,grup,belong FROM "
           u"termine JOIN grups ON grup=grups.id WHERE date>"_s +
           after + u" and belong<>0 GROUP BY belong ORDER BY belong DESC,date ASC;"_s;
}

// The table font, made smaller where needed so that a date and a time fit into the start and
// end columns (digits have one width in the table face, so samples measure every value).
QFont dateFont(const TableLayout& layout, QPaintDevice* device)
{
    const int room = layout.columns[3] - layout.columns[2] - 3 * layout.mmX;
    QFont font = layout.tableFont;
    const auto widest = [device](const QFont& f) {
        const QFontMetrics metrics(f, device);
        return std::max(metrics.horizontalAdvance(u"00.00.00"_s),
                        metrics.horizontalAdvance(u"00:00 Uhr"_s));
    };
    int width = widest(font);
    if (width <= room || room <= 0)
        return font;
    int size = std::max(1, font.pixelSize() * room / width);
    font.setPixelSize(size);
    while (size > 1 && widest(font) > room)
        font.setPixelSize(--size);
    return font;
}

// The longest start of the text that fits, cut at whole characters (never inside a surrogate
// pair). Widths grow with the length, so the cut is found by halving.
QString shortened(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    if (metrics.horizontalAdvance(text) <= maxWidth)
        return text;
    qsizetype fits = 0;
    qsizetype tooLong = text.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= maxWidth)
            fits = middle;
        else
            tooLong = middle;
    }
    if (fits > 0 && text.at(fits - 1).isHighSurrogate())
        --fits;
    return text.left(fits);
}

class TablePainter
{
public:
    TablePainter(QPainter& painter, const TableLayout& layout, int year)
        : m_p(painter)
        , m_l(layout)
        , m_year(year)
        , m_headingMetrics(layout.headingFont, painter.device())
        , m_tableMetrics(layout.tableFont, painter.device())
        , m_dateFont(dateFont(layout, painter.device()))
        , m_dateMetrics(m_dateFont, painter.device())
    {
        m_p.setPen(QPen(m_l.lineColor, m_l.lineWidth));
        m_p.setBackgroundMode(Qt::TransparentMode);
    }

    int x(int column) const { return m_l.left + (column == 0 ? 0 : m_l.columns[column - 1]); }

    void hLine(int y) { line(m_l.left, y, m_l.left + m_l.width, y); }
    void vLine(int atX, int y, int height) { line(atX, y, atX, y + height); }
    void line(int x1, int y1, int x2, int y2)
    {
        m_p.setPen(QPen(m_l.lineColor, m_l.lineWidth));
        m_p.drawLine(x1, y1, x2, y2);
    }

    // Text placed by the top of its line, as the layout measures it.
    void text(int atX, int y, const QString& s, const QFont& font, const QFontMetrics& metrics,
              const QColor& color = Qt::black)
    {
        m_p.setFont(font);
        m_p.setPen(color);
        m_p.drawText(atX, y + metrics.ascent(), s);
    }

    void frame(int page)
    {
        const int mmX = m_l.mmX;
        const int mmY = m_l.mmY;
        const QString heading = u"Termine "_s + QString::number(m_year) + u" (Seite "_s +
                                QString::number(page) + u"):"_s;
        const int headingWidth = m_headingMetrics.horizontalAdvance(heading);
        text(m_l.left + (m_l.width - headingWidth) / 2, m_l.headingY, heading, m_l.headingFont,
             m_headingMetrics, QColor(0, 170, 0));

        hLine(m_l.top);
        for (int column = 0; column <= 5; ++column)
            vLine(x(column), m_l.top, 9 * mmY + 4);
        hLine(m_l.top + 9 * mmY + 4);
        hLine(m_l.top + 12 * mmY - 2);

        const int t = m_l.top + 2 * mmY;
        const QString titles[] = {u"Nr:"_s, u"Gruppe:"_s, u"Berschreibung:"_s, u"Anfang:"_s,
                                  u"Ende:"_s};
        for (int column = 0; column < 5; ++column)
            text(x(column) + 2 * mmX, t, titles[column], m_l.tableFont, m_tableMetrics);
    }

    void row(int r, int number, const QueryCursor& row, bool groupColours)
    {
        const int mmX = m_l.mmX;
        const int mmY = m_l.mmY;
        const QString group =
                shortened(row.text(1), m_tableMetrics, m_l.columns[1] - m_l.columns[0] - 2 * mmX);
        const QString description =
                shortened(row.text(2), m_tableMetrics, m_l.columns[2] - m_l.columns[1] - 2 * mmX);
        const DateValue start = row.number(3);
        const DateValue end = row.number(4);
        const qint64 series = row.number(6);

        const int y = m_l.top + 6 * r * mmY;
        const int t = y + 2 * mmY;
        if (groupColours)
            m_p.fillRect(m_l.left, y, m_l.width, 12 * mmY,
                         QColor::fromRgb(groupColor(static_cast<int>(row.number(5)))));

        vLine(m_l.left, y, 12 * mmY + 4);
        for (int column = 1; column <= 5; ++column)
            vLine(x(column), y, 12 * mmY);

        const QString numberText = QString::number(number);
        text(x(1) - 2 * mmX - m_tableMetrics.horizontalAdvance(numberText), t, numberText,
             m_l.tableFont, m_tableMetrics);
        text(x(1) + 2 * mmX, t, group, m_l.tableFont, m_tableMetrics);
        text(x(2) + 2 * mmX, t, description, m_l.tableFont, m_tableMetrics);
        if (series != 0)
            text(x(2) + 2 * mmX, t + 5 * mmY,
                 u"Wiederholt sich. (Termingruppe: "_s + QString::number(series) + u")"_s,
                 m_l.tableFont, m_tableMetrics);
        text(x(3) + 2 * mmX, t, formatDate(u"%dd.%mm.%yy", start), m_dateFont, m_dateMetrics);
        text(x(3) + 2 * mmX, t + 5 * mmY, formatDate(u"%hh:%ii Uhr", start), m_dateFont,
             m_dateMetrics);
        text(x(4) + 2 * mmX, t, formatDate(u"%dd.%mm.%yy", end), m_dateFont, m_dateMetrics);
        text(x(4) + 2 * mmX, t + 5 * mmY, formatDate(u"%hh:%ii Uhr", end), m_dateFont,
             m_dateMetrics);

        hLine(m_l.top + 6 * (r + 2) * mmY - 2);
    }

private:
    QPainter& m_p;
    const TableLayout& m_l;
    int m_year;
    QFontMetrics m_headingMetrics;
    QFontMetrics m_tableMetrics;
    QFont m_dateFont;
    QFontMetrics m_dateMetrics;
};

// Draws the table; newPage starts the next page and is not called for a single-page layout.
void drawTable(QPainter& painter, const TableLayout& layout, QueryCursor& cursor, int year,
               bool groupColours, const std::function<void()>& newPage)
{
    TablePainter table(painter, layout, year);
    int page = 1;
    table.frame(page);
    int r = 0;
    for (int number = 1; cursor.nextRow(); ++number) {
        r += 2;
        if (layout.bottom < layout.top + 2 * layout.mmY + 6 * r * layout.mmY) {
            if (layout.singlePage)
                return;
            newPage();
            table.frame(++page);
            r = 2;
        }
        table.row(r, number, cursor, groupColours);
    }
}

} // namespace

bool printAppointmentTable(QPagedPaintDevice& device, Database& db, Prompter& prompter,
                           DateValue now, bool groupColours)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const TableLayout layout = TableLayout::forDevice(device);
    QueryCursor cursor;
    if (!db.queryTable(comingAppointmentsSql(now), cursor)) {
        showDatabaseError(db, prompter);
        painter.end();
        return false;
    }
    drawTable(painter, layout, cursor, dateParts(now).year, groupColours,
              [&device] { device.newPage(); });
    return painter.end();
}

QImage drawTablePreview(Database& db, Prompter& prompter, DateValue now, bool groupColours)
{
    QImage image(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QueryCursor cursor;
    if (!db.queryTable(comingAppointmentsSql(now), cursor)) {
        showDatabaseError(db, prompter);
        return image;
    }
    QPainter painter(&image);
    drawTable(painter, TableLayout::forPreview(), cursor, dateParts(now).year, groupColours, {});
    return image;
}

} // namespace TablePrinter
