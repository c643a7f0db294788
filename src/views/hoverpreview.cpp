#include "views/hoverpreview.h"

#include "common/imagepack.h"
#include "common/programfont.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"
#include "views/overviewcanvas.h"
#include "views/overviewdata.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QRgb kHeaderColor = 0xFF0000AA;
constexpr QRgb kDetailColor = 0xFFAA0000;
constexpr QRgb kBlack = 0xFF000000;

// Rows of "SELECT * FROM termine JOIN grups ...": the appointment's columns, then the group's.
enum AppointmentColumn { kDate = 2, kDesc = 4, kEndDate = 5, kGroupName = 12 };

using Entries = QList<PreviewEntry>;

bool full(const Entries& entries)
{
    return entries.size() >= HoverPreview::kMaxEntries;
}

bool appendAppointments(Database& db, const QString& sql, Entries& entries)
{
    QueryCursor cursor;
    if (!db.queryTable(sql, cursor))
        return false;
    while (!full(entries) && cursor.nextRow()) {
        PreviewEntry e;
        e.kind = PreviewEntry::Kind::Appointment;
        e.start = cursor.number(kDate);
        e.end = cursor.number(kEndDate);
        e.text = cursor.text(kDesc);
        e.detail = cursor.text(kGroupName);
        entries.append(e);
    }
    return true;
}

// A holiday is keyed at 00:00:01 of its day, or 00:00:02 once the reminder scan announced it.
bool appendHolidays(Database& db, DateValue dayStart, Entries& entries)
{
    QueryCursor cursor;
    const DateValue key = dayStart + 1;
    if (!db.queryTable(u"SELECT * FROM feiertage WHERE date>="_s + QString::number(key) +
                               u" And date<="_s + QString::number(key + 1) + u" ;"_s,
                       cursor))
        return false;
    while (!full(entries) && cursor.nextRow()) {
        PreviewEntry e;
        e.kind = PreviewEntry::Kind::Holiday;
        e.start = cursor.number(2);
        e.text = cursor.text(3);
        e.detail = cursor.text(4);
        entries.append(e);
    }
    return true;
}

bool appendBirthdays(Database& db, DateValue dayStart, Entries& entries)
{
    const DateParts day = dateParts(dayStart);
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM geburtstage WHERE date="_s +
                               QString::number(birthdayKey(day.month, day.day)) + u" ;"_s,
                       cursor))
        return false;
    while (!full(entries) && cursor.nextRow()) {
        PreviewEntry e;
        e.kind = PreviewEntry::Kind::Birthday;
        e.start = cursor.number(2);
        e.birthYear = static_cast<int>(cursor.number(3));
        e.text = cursor.text(4);
        entries.append(e);
    }
    return true;
}

// Holidays and birthdays of the day, after whatever is already listed.
void appendDayMarks(Database& db, Prompter& prompter, QuitState& quitState, DateValue dayStart,
                    Entries& entries)
{
    if (!full(entries) && !appendHolidays(db, dayStart, entries)) {
        reportDatabaseError(db, prompter, quitState);
        return;
    }
    if (!full(entries) && !appendBirthdays(db, dayStart, entries))
        reportDatabaseError(db, prompter, quitState);
}

bool fromMidnight(DateValue start)
{
    return dateParts(start).minuteOfDay() < 1;
}

bool toDayEnd(DateValue end)
{
    return dateParts(end).minuteOfDay() >= 1439;
}

qint64 minutesBetween(DateValue start, DateValue end)
{
    return end / 60 - start / 60;
}

PreviewLines markLines(const PreviewEntry& entry, DateValue dayStart)
{
    if (entry.kind == PreviewEntry::Kind::Birthday)
        return {QString::number(dateParts(dayStart).year - entry.birthYear) + u". Geburtstag von"_s,
                entry.text, false};
    return {entry.text, u'(' + entry.detail + u')', false};
}

QString appointmentDetail(const PreviewEntry& entry)
{
    return entry.detail.left(12) + u" ("_s + entry.text.left(37) + u')';
}

} // namespace

QList<PreviewEntry> HoverPreview::loadDay(Database& db, Prompter& prompter, QuitState& quitState,
                                          int year, int month, int day)
{
    Entries entries;
    const DateValue dayStart = makeDate(year, month, day);
    if (dayStart == kInvalidDate)
        return entries;
    const DateValue dayEnd = dayStart + kSecondsPerDay - 1;
    // The unary plus keeps SQLite off the index on the start, which would walk every earlier
    // row; the day is found through the ends after its start.
    if (!appendAppointments(db,
                            u"SELECT * FROM termine JOIN grups ON grups.id=grup WHERE (enddate>"_s +
                                    QString::number(dayStart) + u" And +date<"_s +
                                    QString::number(dayEnd) +
                                    u") ORDER BY +date ASC, termine.id ASC ;"_s,
                            entries)) {
        reportDatabaseError(db, prompter, quitState);
        return entries;
    }
    appendDayMarks(db, prompter, quitState, dayStart, entries);
    return entries;
}

QList<PreviewEntry> HoverPreview::loadMoment(Database& db, Prompter& prompter, QuitState& quitState,
                                             DateValue moment,
                                             const std::array<int, 20>& displaySlots)
{
    Entries entries;
    // Without a shown group there is nothing to ask for (and "grup IN ()" would be no SQL).
    const QString groups = OverviewData::groupCondition(OverviewData::groupsOfSlots(displaySlots));
    if (!groups.isEmpty()) {
        const QString t = QString::number(moment);
        if (!appendAppointments(
                    db,
                    u"SELECT * FROM termine JOIN grups ON grups.id=grup WHERE ((date<="_s + t +
                            u" And enddate>="_s + t + u") OR ( date == enddate AND date <= "_s + t +
                            u" AND date >="_s + QString::number(moment - 1200) + u")) And ( "_s +
                            groups + u" ) ORDER BY date ASC, termine.id ASC ;"_s,
                    entries)) {
            reportDatabaseError(db, prompter, quitState);
            return entries;
        }
    }
    appendDayMarks(db, prompter, quitState, startOfDay(moment), entries);
    return entries;
}

QString HoverPreview::dayHeader(int year, int month, int day)
{
    return formatDate(u"%dd.%mm.%yyyy:", makeDate(year, month, day));
}

QString HoverPreview::momentHeader(DateValue moment)
{
    return formatDate(u"%dd.%mm.%yyyy %hh:%iiUhr:", moment);
}

PreviewLines HoverPreview::dayLines(const PreviewEntry& entry, DateValue dayStart)
{
    if (entry.kind != PreviewEntry::Kind::Appointment)
        return markLines(entry, dayStart);
    const DateValue s = entry.start;
    const DateValue e = entry.end;
    const bool startsThatDay = s >= dayStart;
    const bool wholeDays = fromMidnight(s) && toDayEnd(e);
    PreviewLines lines{{}, appointmentDetail(entry), false};
    if (startsThatDay && minutesBetween(s, e) > 1440) {
        lines.first = wholeDays ? formatDate(u"Von %dd.%mm.", s) + u" Bis "_s +
                                          formatDate(u"%dd.%mm. :", e)
                                : formatDate(u"%dd.%mm (%hh:%ii Uhr)", s) + u" Bis "_s +
                                          formatDate(u"%dd.%mm (%hh:%ii Uhr):", e);
    } else if (startsThatDay && e != s) {
        lines.first = wholeDays ? u"Ganztags:"_s
                                : formatDate(u"Von %hh:%ii Uhr", s) + u" Bis "_s +
                                          formatDate(u"%hh:%ii Uhr:", e);
    } else if (e == s) {
        lines.first = formatDate(u" (%dd.%mm.) um %hh:%ii Uhr", s);
        lines.firstInBlack = true;
    } else {
        lines.first = formatDate(u"Von %dd.%mm", s) + u" Bis "_s + formatDate(u"%dd.%mm:", e);
    }
    return lines;
}

PreviewLines HoverPreview::momentLines(const PreviewEntry& entry, DateValue dayStart)
{
    if (entry.kind != PreviewEntry::Kind::Appointment)
        return markLines(entry, dayStart);
    const DateValue s = entry.start;
    const DateValue e = entry.end;
    const bool wholeDays = fromMidnight(s) && toDayEnd(e);
    PreviewLines lines{{}, appointmentDetail(entry), false};
    if (minutesBetween(s, e) > 1440) {
        lines.first =
                wholeDays ? formatDate(u"%dd.%mm.", s) + u" Bis "_s + formatDate(u"%dd.%mm. :", e)
                          : formatDate(u"%dd.%mm (%hh:%ii Uhr)", s) + u" Bis "_s +
                                    formatDate(u"%dd.%mm (%hh:%ii Uhr):", e);
    } else if (e != s) {
        lines.first = wholeDays ? u"Ganztags:"_s
                                : formatDate(u"%hh:%ii Uhr", s) + u" Bis "_s +
                                          formatDate(u"%hh:%ii Uhr:", e);
    } else {
        lines.first = formatDate(u" (%dd.%mm.) um %hh:%ii Uhr", s);
        lines.firstInBlack = true;
    }
    return lines;
}

QImage HoverPreview::picture(const QString& header, const QList<PreviewLines>& lines,
                             const ImagePack& images, qreal ratio)
{
    const int height = pictureHeight(static_cast<int>(lines.size()));
    QImage image = OverviewCanvas::blank({kWidth, height}, ratio);
    OverviewCanvas canvas(image);
    const QImage& background = images.previewBackground();
    if (height >= 120)
        canvas.overlay(background, 25, (height - 120) / 2);
    else
        canvas.stretch(background, 25, 0, 200, height);

    canvas.setFont(programFont(1));
    canvas.text(3, 1, header, kHeaderColor);
    canvas.setFont(programFont(3));
    for (int i = 0; i < lines.size(); ++i) {
        const PreviewLines& entry = lines.at(i);
        canvas.text(5, 25 * i + 28, entry.first, entry.firstInBlack ? kBlack : kHeaderColor);
        canvas.text(15, 25 * i + 38, entry.second, kDetailColor);
    }
    return image;
}

QImage HoverPreview::progressNote(const ImagePack& images, const QString& listName, qreal ratio)
{
    QImage image = OverviewCanvas::blank({200, 120}, ratio);
    OverviewCanvas canvas(image);
    canvas.overlay(images.previewBackground(), 0, 0);
    canvas.setFont(programFont(1));
    constexpr QRgb kNoteColor = 0xFF0000AA; // dark blue
    canvas.text(20, 40, listName, kNoteColor);
    canvas.text(20, 55, u"wird neu gelesen"_s, kNoteColor);
    canvas.text(20, 70, u"und sortiert"_s, kNoteColor);
    return image;
}
