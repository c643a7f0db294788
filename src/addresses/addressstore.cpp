#include "addresses/addressstore.h"

#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, kAddressFieldCount> kColumns{
        u"vname"_s, u"zvname"_s, u"nname"_s, u"nick"_s,    u"str"_s,   u"hausnr"_s, u"plz"_s,
        u"ort"_s,   u"land"_s,   u"email"_s, u"tel"_s,     u"mobil"_s, u"fax"_s,    u"gebdat"_s,
        u"icq"_s,   u"msn"_s,    u"aim"_s,   u"website"_s, u"notiz"_s};

const QString kDateMask = u"%dd.%mm.%yyyy"_s;

QString num(qint64 value)
{
    return QString::number(value);
}

QString descriptionOf(const QString& vname, const QString& nname)
{
    return vname + u' ' + nname;
}

// The statements that give the description its one birthday row, or take it away.
bool writeBirthday(Database& db, const QString& description, const AddressValues& values,
                   bool clear = true)
{
    if (clear &&
        !db.execSql(u"DELETE FROM geburtstage WHERE desc="_s + sqlQuote(description) + u" ;"_s))
        return false;
    if (!values.birthday)
        return true;
    const std::optional<BirthdayRow> row = birthdayRowFrom(values[AddressField::Gebdat]);
    if (!row)
        return true;
    return db.execSql(u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES ("_s +
                      num(row->date) + u", "_s + num(row->year) + u", "_s + sqlQuote(description) +
                      u",0) ;"_s);
}

struct StoredNames
{
    bool found = false;
    QString nname;
    QString vname;
};

std::optional<StoredNames> storedNames(Database& db, qint64 id)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT nname,vname FROM adressbuch WHERE id="_s + num(id) + u";"_s,
                       cursor))
        return std::nullopt;
    StoredNames names;
    if (cursor.nextRow()) {
        names.found = true;
        names.nname = cursor.text(1);
        names.vname = cursor.text(2);
    }
    return names;
}

bool fail(Database& db, Prompter& prompter)
{
    // Shown before the transaction rolls back, so the text is that of the failed statement.
    showDatabaseError(db, prompter);
    return false;
}

// Whether an entry other than `id` goes by the description; nothing when the query failed.
std::optional<bool> sharesDescription(Database& db, const QString& description, qint64 id)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT id FROM adressbuch WHERE vname || ' ' || nname = "_s +
                               sqlQuote(description) + u" AND id<>"_s + num(id) + u" LIMIT 1;"_s,
                       cursor))
        return std::nullopt;
    return cursor.rowCount() > 0;
}

// The first birthday row of the description, if any; false when the query failed.
bool birthdayRowOf(Database& db, const QString& description, std::optional<BirthdayRow>& row)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT date, year FROM geburtstage WHERE desc="_s + sqlQuote(description) +
                               u" ORDER BY id LIMIT 1;"_s,
                       cursor))
        return false;
    row.reset();
    if (cursor.nextRow())
        row = BirthdayRow{cursor.number(1), int(cursor.number(2))};
    return true;
}

} // namespace

QString addressColumnName(AddressField field)
{
    return kColumns[std::size_t(field)];
}

AddressValues withoutApostrophes(AddressValues values)
{
    for (QString& text : values.texts)
        text = replaceApostrophes(std::move(text));
    return values;
}

bool isPlausibleEmail(QStringView email)
{
    const qsizetype at = email.indexOf(u'@', 1);
    return at >= 1 && email.indexOf(u'.', at) > at;
}

QString addressInputError(const AddressValues& values)
{
    if (values[AddressField::Vname].isEmpty() || values[AddressField::Nname].isEmpty() ||
        values.anrede < 0)
        return u"Vor- und Nachname, sowie Anrede müssen eingetragen sein!"_s;
    const QString& email = values[AddressField::Email];
    if (!email.isEmpty() && !isPlausibleEmail(email))
        return u"Die eingegebene Mailadresse kann nicht existieren, bitte korrigieren"_s;
    return {};
}

QString birthdayDescription(const AddressValues& values)
{
    return descriptionOf(values[AddressField::Vname], values[AddressField::Nname]);
}

std::optional<BirthdayRow> birthdayRowFrom(QStringView dateText)
{
    const MaskedFields fields = readMaskedText(kDateMask, dateText);
    // The day must exist in its own year, so 29 February needs a leap year of birth.
    if (makeDate(fields.year, fields.month, fields.day) == kInvalidDate)
        return std::nullopt;
    return BirthdayRow{birthdayKey(fields.month, fields.day), fields.year};
}

bool writeNewAddress(Database& db, const AddressValues& values, bool clearBirthday)
{
    QStringList quoted;
    quoted.reserve(kAddressFieldCount);
    for (const QString& text : values.texts)
        quoted << sqlQuote(text);
    return db.execSql(u"INSERT INTO adressbuch (vname,zvname,nname,nick,str,hausnr,plz,ort,land,"
                      u"email,tel,mobil,fax,gebdat,icq,msn,aim,website,notiz,anrede) VALUES ("_s +
                      quoted.join(u',') + u", "_s + num(values.anrede) + u')') &&
           writeBirthday(db, birthdayDescription(values), values, clearBirthday);
}

bool insertAddress(Database& db, Prompter& prompter, const AddressValues& values)
{
    const QString& vname = values[AddressField::Vname];
    const QString& nname = values[AddressField::Nname];
    QueryCursor duplicates;
    if (!db.queryTable(u"SELECT * FROM adressbuch WHERE vname="_s + sqlQuote(vname) +
                               u" AND nname="_s + sqlQuote(nname) + u";"_s,
                       duplicates)) {
        showDatabaseError(db, prompter);
    } else if (duplicates.rowCount() > 0) {
        prompter.warn(u"Warnung"_s, u"Es existiert bereits ein Adressbucheintrag für den Namen "_s +
                                            descriptionOf(vname, nname));
        return false;
    }

    Transaction transaction(db);
    if (!writeNewAddress(db, values) || !transaction.commit())
        return fail(db, prompter);
    return true;
}

bool updateAddress(Database& db, Prompter& prompter, const AddressValues& values, qint64 id)
{
    const std::optional<StoredNames> stored = storedNames(db, id);
    if (!stored)
        return fail(db, prompter);
    // Deleted meanwhile (a restore under the open editor): what was typed is kept as a new entry.
    if (!stored->found)
        return insertAddress(db, prompter, values);

    const QString oldDescription = descriptionOf(stored->vname, stored->nname);
    const QString newDescription = birthdayDescription(values);
    const bool renamed = oldDescription != newDescription;

    // A birthday row is shared by every entry whose names give its description. When the entry
    // takes the name of another one, that row is the other person's and stays as it is.
    bool newNameTaken = false;
    std::optional<BirthdayRow> takenRow;
    if (renamed) {
        const std::optional<bool> taken = sharesDescription(db, newDescription, id);
        if (!taken)
            return fail(db, prompter);
        newNameTaken = *taken;
        if (newNameTaken && !birthdayRowOf(db, newDescription, takenRow))
            return fail(db, prompter);
    }
    const std::optional<BirthdayRow> typed =
            values.birthday ? birthdayRowFrom(values[AddressField::Gebdat]) : std::nullopt;
    if (takenRow && typed && (takenRow->date != typed->date || takenRow->year != typed->year)) {
        prompter.warn(u"Warnung"_s,
                      u"Für den Namen "_s + newDescription +
                              u" ist bereits ein anderer Geburtstag eingetragen. Bitte den Haken "
                              u"beim Geburtsdatum entfernen oder einen anderen Namen wählen."_s);
        return false;
    }
    bool oldNameShared = false;
    if (renamed) {
        const std::optional<bool> shared = sharesDescription(db, oldDescription, id);
        if (!shared)
            return fail(db, prompter);
        oldNameShared = *shared;
    }

    Transaction transaction(db);

    // The old row goes when the names change, so the birthday moves with them, unless another
    // entry still goes by the old name.
    if (!oldNameShared &&
        !db.execSql(u"DELETE FROM geburtstage WHERE desc="_s + sqlQuote(oldDescription) + u" ;"_s))
        return fail(db, prompter);

    QString sql = u"UPDATE adressbuch SET "_s;
    for (int i = 0; i < kAddressFieldCount; ++i) {
        if (i > 0)
            sql += u',';
        sql += kColumns[std::size_t(i)] + u'=' + sqlQuote(values.texts[std::size_t(i)]);
    }
    sql += u", anrede="_s + num(values.anrede) + u" WHERE id="_s + num(id);
    if (!db.execSql(sql))
        return fail(db, prompter);
    // Under a taken name the other person's row is never cleared; the entry only adds the same
    // birthday when that person has none yet.
    const bool writeRow = !newNameTaken || !takenRow;
    if ((writeRow && !writeBirthday(db, newDescription, values, !newNameTaken)) ||
        !transaction.commit())
        return fail(db, prompter);
    return true;
}

DeleteOutcome deleteAddress(Database& db, Prompter& prompter, qint64 id)
{
    if (!prompter.askYesNo(u"Achtung!"_s,
                           u"Soll dieser Adressbucheintrag wirklich gelöscht werden?"_s))
        return DeleteOutcome::Declined;

    Transaction transaction(db);
    const std::optional<StoredNames> stored = storedNames(db, id);
    if (!stored) {
        fail(db, prompter);
        return DeleteOutcome::Failed;
    }
    if (!stored->found)
        return DeleteOutcome::Deleted;
    const QString description = sqlQuote(descriptionOf(stored->vname, stored->nname));
    // Another entry with the same names shows the same birthday row and keeps it.
    if (!db.execSql(u"DELETE FROM adressbuch WHERE id="_s + num(id)) ||
        !db.execSql(u"DELETE FROM geburtstage WHERE desc="_s + description +
                    u" AND NOT EXISTS (SELECT 1 FROM adressbuch WHERE vname || ' ' || nname = "_s +
                    description + u") ;"_s) ||
        !transaction.commit()) {
        fail(db, prompter);
        return DeleteOutcome::Failed;
    }
    prompter.inform(u"Achtung!"_s, u"Eintrag erfolgreich gelöscht!"_s);
    return DeleteOutcome::Deleted;
}

std::optional<StoredAddress> loadAddress(Database& db, Prompter& prompter, qint64 id)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM adressbuch WHERE id="_s + num(id) + u" ;"_s, cursor)) {
        showDatabaseError(db, prompter);
        return std::nullopt;
    }
    if (!cursor.nextRow())
        return std::nullopt;

    // Table order: id, nname, vname, nick, zvname, str, hausnr, plz, ort, land, email, tel,
    // mobil, fax, gebdat, icq, msn, aim, website, notiz, anrede.
    static constexpr std::array<AddressField, kAddressFieldCount> kTableOrder{
            AddressField::Nname, AddressField::Vname,   AddressField::Nick, AddressField::Zvname,
            AddressField::Str,   AddressField::Hausnr,  AddressField::Plz,  AddressField::Ort,
            AddressField::Land,  AddressField::Email,   AddressField::Tel,  AddressField::Mobil,
            AddressField::Fax,   AddressField::Gebdat,  AddressField::Icq,  AddressField::Msn,
            AddressField::Aim,   AddressField::Website, AddressField::Notiz};
    StoredAddress stored;
    AddressValues& values = stored.values;
    for (int i = 0; i < kAddressFieldCount; ++i)
        values[kTableOrder[std::size_t(i)]] = cursor.text(i + 2);
    const qint64 anrede = cursor.number(21);
    values.anrede = anrede == 0 || anrede == 1 ? int(anrede) : -1;

    const MaskedFields gebdat = readMaskedText(kDateMask, values[AddressField::Gebdat]);
    stored.shownDate = makeDate(gebdat.year, gebdat.month, gebdat.day, 0, 0, 1);

    QueryCursor birthday;
    if (!db.queryTable(u"SELECT * FROM geburtstage WHERE desc="_s +
                               sqlQuote(birthdayDescription(values)) + u"  ;"_s,
                       birthday)) {
        showDatabaseError(db, prompter);
    } else if (birthday.nextRow() && birthday.number(3) != 0) {
        // Built from the calendar fields, so a birth year before 1970 shows as it is.
        const int year = int(birthday.number(3));
        const DateParts day = dateParts(birthday.number(2));
        const DateValue shown =
                makeDate(year, day.month, std::min(day.day, daysInMonth(year, day.month)), 0, 0, 1);
        if (shown != kInvalidDate) {
            stored.shownDate = shown;
            values.birthday = true;
        }
    }
    return stored;
}

QStringList addressHistory(Database& db, Prompter& prompter, const QString& column)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT DISTINCT "_s + column + u" FROM adressbuch ORDER BY id DESC;"_s,
                       cursor)) {
        showDatabaseError(db, prompter);
        return {};
    }
    QStringList values;
    values.reserve(cursor.rowCount());
    while (cursor.nextRow()) {
        // An empty line in the list would offer nothing to pick.
        if (QString value = cursor.text(1); !value.isEmpty())
            values << value;
    }
    return values;
}
