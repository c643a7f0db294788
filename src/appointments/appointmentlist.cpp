#include "appointments/appointmentlist.h"

#include "common/grouppalette.h"
#include "common/preferences.h"
#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"

#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, kAppointmentColumnMeanings> kMeaningTitles{
        u"Nr"_s,   u"Gruppe"_s,       u"Beschreibung"_s,    u"Anfang"_s,
        u"Ende"_s, u"Wiederholung"_s, u"Benachrichtigung"_s};

// Every coming appointment, a series by its first member; a search picks from these rows.
QString listQuery(const Preferences& prefs, DateValue now)
{
    QString sql = u"Select * FROM termine JOIN grups ON grups.id=grup WHERE date > "_s +
                  QString::number(now) + u" And  (belong=0 or belong=termine.id)"_s;
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

// A reminder code as the row keeps it; codes no list text knows become -1.
qint8 smallCode(qint64 code)
{
    return code >= 0 && code <= 127 ? static_cast<qint8>(code) : qint8(-1);
}

} // namespace

std::array<int, kAppointmentColumnMeanings> appointmentColumnMap(const QTreeView& list)
{
    std::array<int, kAppointmentColumnMeanings> map;
    mapColumnsByTitle(list, kMeaningTitles, map);
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

AppointmentListModel::AppointmentListModel(QStringList titles, QObject* parent)
    : RecordListModel(std::move(titles), parent)
{}

bool AppointmentListModel::holds(const ReadKey& key) const
{
    return m_read && m_read->stamp == key.stamp && m_read->sortKey == key.sortKey &&
           m_read->sortDirection == key.sortDirection && m_read->now <= key.now;
}

bool AppointmentListModel::update(
        Database& db, const QString& sql, const ReadKey& key, const QString& searchText,
        const std::array<int, kAppointmentColumnMeanings>& columnOfMeaning)
{
    beginResetModel();
    setMeaningColumns(columnOfMeaning);
    const bool current = holds(key) || read(db, sql, key);
    if (current)
        pick(searchText, key.now);
    endResetModel();
    return current;
}

bool AppointmentListModel::read(Database& db, const QString& sql, const ReadKey& key)
{
    m_rows.clear();
    m_shown.clear();
    m_groupNames.clear();
    m_read.reset();
    // Columns of "Select *": 0 id, 1 date, 2 grup, 3 desc, 4 enddate, 5 msg, 6 remsg, 7 belong,
    // 8 redo, 9 nextmsg, then grups: 10 id, 11 grupname, ...
    const bool read = db.forEachRecord(sql, [this](const RecordReader& record) {
        const int group = static_cast<int>(record.number(2));
        if (!m_groupNames.contains(group))
            m_groupNames.insert(group, record.text(11));
        m_rows.push_back(Row{record.number(0), record.number(1), record.number(4), record.text(3),
                             record.text(8), group, smallCode(record.number(5)),
                             smallCode(record.number(6))});
    });
    if (read) {
        m_read = key;
    } else {
        m_rows.clear();
        m_groupNames.clear();
    }
    m_rows.shrink_to_fit();
    return read;
}

void AppointmentListModel::pick(const QString& searchText, DateValue now)
{
    m_shown.clear();
    QHash<int, bool> groupMatches;
    for (auto it = m_groupNames.cbegin(); it != m_groupNames.cend(); ++it)
        groupMatches.insert(it.key(), likeContains(it.value(), searchText));
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if (row.start > now && (searchText.isEmpty() || groupMatches.value(row.group) ||
                                likeContains(row.description, searchText)))
            m_shown.push_back(static_cast<int>(i));
    }
}

const AppointmentListModel::Row& AppointmentListModel::shownRow(int row) const
{
    return m_rows[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(row)])];
}

int AppointmentListModel::recordCount() const
{
    return static_cast<int>(m_shown.size());
}

qint64 AppointmentListModel::recordId(int row) const
{
    return shownRow(row).id;
}

QColor AppointmentListModel::recordTint(int row) const
{
    return QColor::fromRgb(groupColor(shownRow(row).group));
}

QString AppointmentListModel::recordText(int row, int meaning) const
{
    const Row& r = shownRow(row);
    static const QString stampMask = u"%dd.%mm.%yyyy - %hh:%ii"_s;
    switch (static_cast<AppointmentColumn>(meaning)) {
    case AppointmentColumn::Number:
        return QString::number(row + 1);
    case AppointmentColumn::Group:
        return m_groupNames.value(r.group);
    case AppointmentColumn::Description:
        return r.description;
    case AppointmentColumn::Start:
        return formatDate(stampMask, r.start);
    case AppointmentColumn::End:
        return formatDate(stampMask, r.end);
    case AppointmentColumn::Repetition:
        return r.repetition;
    case AppointmentColumn::Reminder:
        return appointmentReminderText(r.msg, r.remsg);
    }
    return {};
}

void fillAppointmentList(QTreeView& list, Database& db, Prompter& prompter,
                         const Preferences& prefs, DateValue now, const QString& searchText,
                         const ProgressNote& progressNote)
{
    const bool noteShown = searchText.isEmpty() && progressNote;
    if (noteShown)
        progressNote(true);

    auto* model = qobject_cast<AppointmentListModel*>(list.model());
    Q_ASSERT(model);
    const AppointmentListModel::ReadKey key{db.changeStamp(), prefs.sortterms, prefs.sorttermsdir,
                                            now};
    // A search picks from the coming appointments as read; only a change reads them anew.
    if (!model->update(db, listQuery(prefs, now), key, searchText, appointmentColumnMap(list)))
        showDatabaseError(db, prompter);

    if (noteShown)
        progressNote(false);
}

bool changeAppointmentSort(QTreeView& list, Database& db, Prompter& prompter, Preferences& prefs,
                           AppointmentSortChoice choice, int value, DateValue now,
                           const ProgressNote& progressNote)
{
    int& stored = choice == AppointmentSortChoice::Key ? prefs.sortterms : prefs.sorttermsdir;
    if (stored == value)
        return false;
    stored = value;
    fillAppointmentList(list, db, prompter, prefs, now, QString(), progressNote);
    return true;
}
