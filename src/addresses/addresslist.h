#pragma once

#include "common/datevalue.h"
#include "views/listcolumns.h"

#include <QColor>
#include <QString>

#include <array>

class Database;
class Prompter;
class QTreeWidget;
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
std::array<int, kAddressColumnMeanings> addressColumnMap(const QTreeWidget& tree);

// The list's statement: every address with its birthday row, filtered by the search text (taken
// literally) in seven fields and sorted by the key (0-7) and direction (0 up, 1 down).
QString addressListQuery(const QString& searchText, int sortKey, int sortDirection);

// "dd.mm." and the birth year of a birthday row; empty without a birth year.
QString addressBirthdayText(DateValue date, qint64 year);

// Rose for "Frau" (0), light blue otherwise.
QColor addressRowTint(qint64 anrede);

// Rebuilds the page "Adressbuch" as the preferences sort it. The progress note is shown only when
// the search text is empty.
void reloadAddressList(QTreeWidget& tree, Database& db, Prompter& prompter,
                       const Preferences& prefs, const QString& searchText,
                       const ProgressNote& progressNote = {});

enum class AddressSortChoice { Key, Direction };

// Stores a new sort key (sortaddress) or direction (sortaddressdir) when it differs from the
// stored one and reloads the list without a search text. True when it did.
bool changeAddressSort(QTreeWidget& tree, Database& db, Prompter& prompter, Preferences& prefs,
                       AddressSortChoice choice, int value, const ProgressNote& progressNote = {});
