#include "addresses/addresslist.h"

#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"
#include "views/preferences.h"

#include <QBrush>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, kAddressColumnMeanings> kMeaningTitles{
        u"Nachname"_s, u"Vorname"_s,    u"Spitzname"_s, u"2. Vorname"_s, u"Straße/HausNr"_s,
        u"PLZ/Ort"_s,  u"Land"_s,       u"Email"_s,     u"Tel"_s,        u"Mobil"_s,
        u"Fax"_s,      u"Geb. Datum"_s, u"ICQ"_s,       u"MSN"_s,        u"AIM"_s,
        u"Website"_s,  u"Notiz"_s};

const QString kSelect =
        u"SELECT adressbuch.id,nname,vname,nick,zvname,str,hausnr,plz,ort,land,email,tel,mobil,"
        u"fax,gebdat,icq,msn,aim,website,notiz,anrede,geburtstage.date,geburtstage.year FROM "
        u"adressbuch LEFT JOIN geburtstage ON (geburtstage.desc = adressbuch.vname ||' '|| "
        u"adressbuch.nname)"_s;

QString filterClause(const QString& searchText)
{
    if (searchText.isEmpty())
        return {};
    // Typed apostrophes are stored as grave accents, so both forms are looked for.
    QStringList patterns{sqlLikeContains(searchText)};
    if (searchText.contains(u'\''))
        patterns << sqlLikeContains(replaceApostrophes(searchText));
    QStringList terms;
    for (const QString& field :
         {u"nname"_s, u"vname"_s, u"zvname"_s, u"nick"_s, u"notiz"_s, u"ort"_s, u"str"_s}) {
        for (const QString& pattern : patterns)
            terms << field + u" LIKE "_s + pattern;
    }
    return u" WHERE "_s + terms.join(u" OR "_s);
}

QStringList sortTerms(int sortKey)
{
    switch (sortKey) {
    case 0:
        return {u"nname"_s};
    case 1:
        return {u"vname"_s};
    case 2:
        return {u"nick"_s};
    case 3:
        return {u"zvname"_s};
    case 4:
        return {u"str"_s, u"hausnr"_s};
    case 5:
        return {u"plz"_s, u"ort"_s};
    case 6:
        return {u"land"_s};
    case 7:
        // A birthday calendar: month and day (the row's day in 2000), then the year. Entries
        // without a birthday have NULL here and come first going up, last going down.
        return {u"geburtstage.date"_s, u"geburtstage.year"_s};
    default:
        return {};
    }
}

} // namespace

std::array<int, kAddressColumnMeanings> addressColumnMap(const QTreeWidget& tree)
{
    std::array<int, kAddressColumnMeanings> map;
    mapColumnsByTitle(tree, kMeaningTitles, map);
    return map;
}

QString addressListQuery(const QString& searchText, int sortKey, int sortDirection)
{
    QString sql = kSelect + filterClause(searchText);
    const QStringList terms = sortTerms(sortKey);
    if (!terms.isEmpty() && (sortDirection == 0 || sortDirection == 1)) {
        // Every key gets the direction, so "Abst." also turns the order of the streets round.
        const QString direction = sortDirection == 1 ? u" DESC"_s : u" ASC"_s;
        sql += u" ORDER BY "_s;
        for (const QString& term : terms)
            sql += term + direction + u',';
        // Equal keys keep the order of entry.
        sql += u"adressbuch.id ASC"_s;
    }
    return sql + u" ;"_s;
}

QString addressBirthdayText(DateValue date, qint64 year)
{
    if (year == 0)
        return {};
    return formatDate(u"%dd.%mm.", date) + QString::number(year);
}

QColor addressRowTint(qint64 anrede)
{
    return anrede == 0 ? QColor(255, 204, 204) : QColor(204, 204, 255);
}

void reloadAddressList(QTreeWidget& tree, Database& db, Prompter& prompter,
                       const Preferences& prefs, const QString& searchText,
                       const ProgressNote& progressNote)
{
    const bool noteShown = searchText.isEmpty() && progressNote;
    if (noteShown)
        progressNote(true);

    tree.clear();
    const std::array<int, kAddressColumnMeanings> map = addressColumnMap(tree);

    QueryCursor cursor;
    if (!db.queryTable(addressListQuery(searchText, prefs.sortaddress, prefs.sortaddressdir),
                       cursor)) {
        showDatabaseError(db, prompter);
    } else {
        const int columns = tree.columnCount();
        QList<QTreeWidgetItem*> items;
        items.reserve(cursor.rowCount());
        while (cursor.nextRow()) {
            // Columns: 1 id, 2 nname, 3 vname, 4 nick, 5 zvname, 6 str, 7 hausnr, 8 plz, 9 ort,
            // 10 land, 11 email, 12 tel, 13 mobil, 14 fax, 15 gebdat, 16 icq, 17 msn, 18 aim,
            // 19 website, 20 notiz, 21 anrede, 22 birthday date, 23 birth year.
            const std::array<QString, kAddressColumnMeanings> cells{
                    cursor.text(2),
                    cursor.text(3),
                    cursor.text(4),
                    cursor.text(5),
                    cursor.text(6) + u' ' + cursor.text(7),
                    cursor.text(8) + u' ' + cursor.text(9),
                    cursor.text(10),
                    cursor.text(11),
                    cursor.text(12),
                    cursor.text(13),
                    cursor.text(14),
                    addressBirthdayText(cursor.number(22), cursor.number(23)),
                    cursor.text(16),
                    cursor.text(17),
                    cursor.text(18),
                    cursor.text(19),
                    cursor.text(20)};
            items.append(makeListRow(cells, map, columns, addressRowTint(cursor.number(21)),
                                     cursor.number(1)));
        }
        tree.addTopLevelItems(items);
    }

    if (noteShown)
        progressNote(false);
}

bool changeAddressSort(QTreeWidget& tree, Database& db, Prompter& prompter, Preferences& prefs,
                       AddressSortChoice choice, int value, const ProgressNote& progressNote)
{
    int& stored = choice == AddressSortChoice::Key ? prefs.sortaddress : prefs.sortaddressdir;
    if (stored == value || value < 0)
        return false;
    stored = value;
    reloadAddressList(tree, db, prompter, prefs, QString(), progressNote);
    return true;
}
