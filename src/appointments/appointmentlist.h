#pragma once

#include "common/datevalue.h"
#include "store/database.h"
#include "views/listcolumns.h"
#include "views/recordlistmodel.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class Prompter;
class QTreeView;
struct Preferences;

enum class AppointmentColumn { Number, Group, Description, Start, End, Repetition, Reminder };
inline constexpr int kAppointmentColumnMeanings = 7;

// For each meaning, the tree column whose header title is "Nr", "Gruppe", "Beschreibung",
// "Anfang", "Ende", "Wiederholung" or "Benachrichtigung"; -2 when no column has that title. Moving
// a column by its header keeps its title, so the cells follow it.
std::array<int, kAppointmentColumnMeanings> appointmentColumnMap(const QTreeView& list);

// "Keine einmal", "Eine Woche zuvor täglich", ...: the list's text of the two reminder codes.
QString appointmentReminderText(int msg, int remsg);

// The rows of the page "Terminübersicht", a few numbers and the description each; dates and
// reminder texts are written only for the cells in sight. Every coming appointment is read once
// per change of the data or of the order; a search picks from those rows, so that typing asks
// nothing of the database.
class AppointmentListModel : public RecordListModel
{
    Q_OBJECT
public:
    // What a read depended on: while it holds, the rows read are still those of the database.
    struct ReadKey
    {
        Database::ChangeStamp stamp;
        int sortKey = 0;
        int sortDirection = 0;
        DateValue now = 0;
    };

    explicit AppointmentListModel(QStringList titles, QObject* parent = nullptr);

    // Shows the coming appointments that start after key.now and whose group name or
    // description contains the search text (as SQLite's LIKE finds it), in the order read,
    // numbered from 1. The rows are read with the query (the columns of termine joined with
    // grups) only when those of the last read no longer hold; false when that read failed,
    // leaving the list empty.
    bool update(Database& db, const QString& sql, const ReadKey& key, const QString& searchText,
                const std::array<int, kAppointmentColumnMeanings>& columnOfMeaning);

protected:
    int recordCount() const override;
    qint64 recordId(int row) const override;
    QColor recordTint(int row) const override;
    QString recordText(int row, int meaning) const override;

private:
    struct Row
    {
        qint64 id;
        DateValue start;
        DateValue end;
        QString description;
        QString repetition;
        int group;
        qint8 msg;
        qint8 remsg;
    };
    bool holds(const ReadKey& key) const;
    bool read(Database& db, const QString& sql, const ReadKey& key);
    void pick(const QString& searchText, DateValue now);
    const Row& shownRow(int row) const;

    std::vector<Row> m_rows;
    // Indexes into m_rows, in list order.
    std::vector<int> m_shown;
    // Every row of a group carries the same name.
    QHash<int, QString> m_groupNames;
    std::optional<ReadKey> m_read;
};

// Rebuilds the page "Terminübersicht" (the list's model is an AppointmentListModel): the coming
// appointments (a series by its first member), filtered by the search text in group name or
// description and sorted as the preferences say. The progress note is shown only when the
// search text is empty.
void fillAppointmentList(QTreeView& list, Database& db, Prompter& prompter,
                         const Preferences& prefs, DateValue now, const QString& searchText,
                         const ProgressNote& progressNote = {});

enum class AppointmentSortChoice { Key, Direction };

// Stores a new sort key (sortterms) or direction (sorttermsdir) when it differs from the stored
// one and refills the list without a search text. True when it did.
bool changeAppointmentSort(QTreeView& list, Database& db, Prompter& prompter, Preferences& prefs,
                           AppointmentSortChoice choice, int value, DateValue now,
                           const ProgressNote& progressNote = {});
