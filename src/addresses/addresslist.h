#pragma once

#include "common/datevalue.h"
#include "views/listcolumns.h"
#include "views/recordlistmodel.h"

#include <QColor>
#include <QString>

#include <array>
#include <vector>

class Database;
class Prompter;
class QTreeView;
struct Preferences;

// What the address list can show, in the order of the known column titles.
enum class AddressColumn {
    Nachname,
    Vorname,
    Spitzname,
    ZweiterVorname,
    StrasseHausNr,
    PlzOrt,
    Land,
    Email,
    Tel,
    Mobil,
    Fax,
    GebDatum,
    Icq,
    Msn,
    Aim,
    Website,
    Notiz,
};
inline constexpr int kAddressColumnMeanings = 17;

// For each meaning, the tree column titled "Nachname", "Vorname", ..., "Notiz"; -2 when the list
// has no such column.
std::array<int, kAddressColumnMeanings> addressColumnMap(const QTreeView& list);

// The list's statement: every address with its birthday row, filtered by the search text (taken
// literally) in seven fields and sorted by the key (0-7) and direction (0 up, 1 down).
QString addressListQuery(const QString& searchText, int sortKey, int sortDirection);

// "dd.mm." and the birth year of a birthday row; empty without a birth year.
QString addressBirthdayText(DateValue date, qint64 year);

// Rose for "Frau" (0), light blue otherwise.
QColor addressRowTint(qint64 anrede);

// The rows of the page "Adressbuch": the texts of an entry kept in one string, cut into cells
// only for the cells in sight.
class AddressListModel : public RecordListModel
{
    Q_OBJECT
public:
    explicit AddressListModel(QStringList titles, QObject* parent = nullptr);

    // Replaces every row by those of addressListQuery's statement; false when it failed, leaving
    // the list empty.
    bool refill(Database& db, const QString& sql,
                const std::array<int, kAddressColumnMeanings>& columnOfMeaning);

protected:
    int recordCount() const override;
    qint64 recordId(int row) const override;
    QColor recordTint(int row) const override;
    QString recordText(int row, int meaning) const override;

private:
    struct Row
    {
        qint64 id;
        qint64 anrede;
        // The cells one after the other; ends[m] is where the cell of meaning m ends.
        QString texts;
        std::array<int, kAddressColumnMeanings> ends;
    };
    std::vector<Row> m_rows;
};

// Rebuilds the page "Adressbuch" (the list's model is an AddressListModel) as the preferences
// sort it. The progress note is shown only when the search text is empty.
void reloadAddressList(QTreeView& list, Database& db, Prompter& prompter, const Preferences& prefs,
                       const QString& searchText, const ProgressNote& progressNote = {});

enum class AddressSortChoice { Key, Direction };

// Stores a new sort key (sortaddress) or direction (sortaddressdir) when it differs from the
// stored one and reloads the list without a search text. True when it did.
bool changeAddressSort(QTreeView& list, Database& db, Prompter& prompter, Preferences& prefs,
                       AddressSortChoice choice, int value, const ProgressNote& progressNote = {});
