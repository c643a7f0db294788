#pragma once

#include "common/datevalue.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class Database;
class Prompter;

// The texts of an address in the order the editor shows them and the statements write them.
enum class AddressField {
    Vname,
    Zvname,
    Nname,
    Nick,
    Str,
    Hausnr,
    Plz,
    Ort,
    Land,
    Email,
    Tel,
    Mobil,
    Fax,
    Gebdat,
    Icq,
    Msn,
    Aim,
    Website,
    Notiz,
};
inline constexpr int kAddressFieldCount = 19;

// The column of adressbuch that holds the field.
QString addressColumnName(AddressField field);

// What the editor hands over for one entry.
struct AddressValues
{
    std::array<QString, kAddressFieldCount> texts;
    int anrede = -1; // 0 "Frau", 1 "Herr", -1 none chosen
    // The birthday box is ticked; the date is then the text of Gebdat, "dd.mm.yyyy".
    bool birthday = false;

    QString& operator[](AddressField field) { return texts[std::size_t(field)]; }
    const QString& operator[](AddressField field) const { return texts[std::size_t(field)]; }
};

// Every apostrophe of the texts becomes a grave accent, as stored values always have it.
AddressValues withoutApostrophes(AddressValues values);

// An e-mail text is plausible when an "@" stands at its second character or later and a "." comes
// after the first such "@".
bool isPlausibleEmail(QStringView email);

// The message for values the editor must not save, or an empty text when they may be saved.
QString addressInputError(const AddressValues& values);

// vname, one blank, nname: the only link between an address and its birthday row.
QString birthdayDescription(const AddressValues& values);

// The birthday row an address owns: its day in 2000 at 00:00:01 and the birth year.
struct BirthdayRow
{
    DateValue date = kInvalidDate;
    int year = 0;
};
// From a "dd.mm.yyyy" text; nothing when the text is no such day.
std::optional<BirthdayRow> birthdayRowFrom(QStringView dateText);

// The INSERT of a new entry and its birthday sync, with no duplicate check and no message; the
// caller holds the transaction and reports a failure. An importer that knows no birthday row of
// the name exists passes false for `clearBirthday` and saves a table scan per entry.
bool writeNewAddress(Database& db, const AddressValues& values, bool clearBirthday = true);

// Each returns true when the editor may close. Nothing is written unless every statement of the
// change succeeds; a failure is shown as a database error and keeps the editor open.

// Refuses, with a warning, a second entry with the same first and last name.
bool insertAddress(Database& db, Prompter& prompter, const AddressValues& values);
// Moves the birthday row with the names; never checks for duplicates. A name another entry
// already goes by keeps that entry's birthday row: a ticked, different date is refused with a
// warning and nothing is written.
bool updateAddress(Database& db, Prompter& prompter, const AddressValues& values, qint64 id);

enum class DeleteOutcome { Declined, Deleted, Failed };
// Asks first; deletes the entry and its birthday row and says so.
DeleteOutcome deleteAddress(Database& db, Prompter& prompter, qint64 id);

// An entry as the editor shows it. The birthday comes from the birthday row; without one the box
// is unticked and the date field keeps the day of gebdat.
struct StoredAddress
{
    AddressValues values;
    DateValue shownDate = kInvalidDate;
};
// Nothing when the entry does not exist or the query failed (which is shown).
std::optional<StoredAddress> loadAddress(Database& db, Prompter& prompter, qint64 id);

// The distinct earlier values of the column, the most recently added first. A failed query is
// shown and gives an empty list.
QStringList addressHistory(Database& db, Prompter& prompter, const QString& column);
