#include "appointments/appointmentlist.h"

#include "common/grouppalette.h"
#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"
#include "views/preferences.h"

#include <QBrush>
#include <QColor>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, kAppointmentColumnMeanings> kMeaningTitles{
        u"Nr"_s,   u"Gruppe"_s,       u"Beschreibung"_s,    u"Anfang"_s,
        u"Ende"_s, u"Wiederholung"_s, u"Benachrichtigung"_s};

QString listQuery(const Preferences& prefs, DateValue now, const QString& searchText)
{
    QString sql = u"Select * FROM termine JOIN grups ON grups.id=grup WHERE date > "_s +
                  QString::number(now);
    if (searchText.isEmpty()) {
        sql += u" And  (belong=0 or belong=termine.id)"_s;
    } else {
        // Typed quotes and wildcards are searched for as they are.
        const QString pattern = sqlLikeContains(searchText);
        sql += u" And ( belong = 0 Or belong = termine.id ) And (grupname LIKE "_s + pattern +
               u" Or desc LIKE "_s + pattern + u')';
    }
    switch (prefs.sortterms) {
    case 1:
        sql += u"ORDER BY desc"_s;
        break;
    case 2:
        sql += u"ORDER BY date"_s;
        break;
    case 3:
        sql += u"ORDER BY enddate"_s;
        break;
    default:
        sql += u" ORDER BY grup"_s;
        break;
    }
    sql += prefs.sorttermsdir == 1 ? u" DESC ;"_s : u" ASC ;"_s;
    return sql;
}

} // namespace

std::array<int, kAppointmentColumnMeanings> appointmentColumnMap(const QTreeWidget& tree)
{
    std::array<int, kAppointmentColumnMeanings> map;
    mapColumnsByTitle(tree, kMeaningTitles, map);
    return map;
}

QString appointmentReminderText(int msg, int remsg)
{
    static const std::array<QString, 5> leads{u"Keine"_s, u"Eine Woche zuvor"_s,
                                              u"Einen Tag zuvor"_s, u"Eine Stunde zuvor"_s,
                                              u"Bei Beginn"_s};
    static const std::array<QString, 4> repeats{u" einmal"_s, u" viertelstündlich"_s,
                                                u" stündlich"_s, u" täglich"_s};
    QString text;
    if (msg >= 0 && msg < 5)
        text = leads[static_cast<std::size_t>(msg)];
    if (remsg >= 0 && remsg < 4)
        text += repeats[static_cast<std::size_t>(remsg)];
    return text;
}

void fillAppointmentList(QTreeWidget& tree, Database& db, Prompter& prompter,
                         const Preferences& prefs, DateValue now, const QString& searchText,
                         const ProgressNote& progressNote)
{
    const bool noteShown = searchText.isEmpty() && progressNote;
    if (noteShown)
        progressNote(true);

    tree.clear();
    const std::array<int, kAppointmentColumnMeanings> map = appointmentColumnMap(tree);

    QueryCursor cursor;
    if (!db.queryTable(listQuery(prefs, now, searchText), cursor)) {
        showDatabaseError(db, prompter);
    } else {
        const QString stampMask = u"%dd.%mm.%yyyy - %hh:%ii"_s;
        const int columns = tree.columnCount();
        QList<QTreeWidgetItem*> items;
        items.reserve(cursor.rowCount());
        while (cursor.nextRow()) {
            const int group = static_cast<int>(cursor.number(3));
            std::array<QString, kAppointmentColumnMeanings> cells{
                    QString::number(items.size() + 1),
                    cursor.text(12),
                    cursor.text(4),
                    formatDate(stampMask, cursor.number(2)),
                    formatDate(stampMask, cursor.number(5)),
                    cursor.text(9),
                    appointmentReminderText(static_cast<int>(cursor.number(6)),
                                            static_cast<int>(cursor.number(7)))};
            items.append(makeListRow(cells, map, columns, QColor::fromRgb(groupColor(group)),
                                     cursor.number(1)));
        }
        tree.addTopLevelItems(items);
    }

    if (noteShown)
        progressNote(false);
}

bool changeAppointmentSort(QTreeWidget& tree, Database& db, Prompter& prompter, Preferences& prefs,
                           AppointmentSortChoice choice, int value, DateValue now,
                           const ProgressNote& progressNote)
{
    int& stored = choice == AppointmentSortChoice::Key ? prefs.sortterms : prefs.sorttermsdir;
    if (stored == value)
        return false;
    stored = value;
    fillAppointmentList(tree, db, prompter, prefs, now, QString(), progressNote);
    return true;
}
