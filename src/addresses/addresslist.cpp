#include "addresses/addresslist.h"

#include "common/preferences.h"
#include "common/prompter.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/databaseerror.h"

#include <QTreeView>

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

std::array<int, kAddressColumnMeanings> addressColumnMap(const QTreeView& list)
{
    std::array<int, kAddressColumnMeanings> map;
    mapColumnsByTitle(list, kMeaningTitles, map);
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

AddressListModel::AddressListModel(QStringList titles, QObject* parent)
    : RecordListModel(std::move(titles), parent)
{}

bool AddressListModel::refill(Database& db, const QString& sql,
                              const std::array<int, kAddressColumnMeanings>& columnOfMeaning)
{
    beginResetModel();
    m_rows.clear();
    setMeaningColumns(columnOfMeaning);
    const bool read = db.forEachRecord(sql, [this](const RecordReader& record) {
        // Columns: 0 id, 1 nname, 2 vname, 3 nick, 4 zvname, 5 str, 6 hausnr, 7 plz, 8 ort,
        // 9 land, 10 email, 11 tel, 12 mobil, 13 fax, 14 gebdat, 15 icq, 16 msn, 17 aim,
        // 18 website, 19 notiz, 20 anrede, 21 birthday date, 22 birth year.
        Row row{record.number(0), record.number(20), {}, {}};
        std::size_t meaning = 0;
        const auto cell = [&](const QString& text) {
            row.texts += text;
            row.ends[meaning++] = static_cast<int>(row.texts.size());
        };
        for (int column = 1; column <= 4; ++column)
            cell(record.text(column));
        cell(record.text(5) + u' ' + record.text(6));
        cell(record.text(7) + u' ' + record.text(8));
        for (int column = 9; column <= 13; ++column)
            cell(record.text(column));
        cell(addressBirthdayText(record.number(21), record.number(22)));
        for (int column = 15; column <= 19; ++column)
            cell(record.text(column));
        row.texts.squeeze();
        m_rows.push_back(std::move(row));
    });
    if (!read)
        m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
    return read;
}

int AddressListModel::recordCount() const
{
    return static_cast<int>(m_rows.size());
}

qint64 AddressListModel::recordId(int row) const
{
    return m_rows[static_cast<std::size_t>(row)].id;
}

QColor AddressListModel::recordTint(int row) const
{
    return addressRowTint(m_rows[static_cast<std::size_t>(row)].anrede);
}

QString AddressListModel::recordText(int row, int meaning) const
{
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    const auto m = static_cast<std::size_t>(meaning);
    const int begin = m == 0 ? 0 : r.ends[m - 1];
    return r.texts.mid(begin, r.ends[m] - begin);
}

void reloadAddressList(QTreeView& list, Database& db, Prompter& prompter, const Preferences& prefs,
                       const QString& searchText, const ProgressNote& progressNote)
{
    const bool noteShown = searchText.isEmpty() && progressNote;
    if (noteShown)
        progressNote(true);

    auto* model = qobject_cast<AddressListModel*>(list.model());
    Q_ASSERT(model);
    if (!model->refill(db, addressListQuery(searchText, prefs.sortaddress, prefs.sortaddressdir),
                       addressColumnMap(list)))
        showDatabaseError(db, prompter);

    if (noteShown)
        progressNote(false);
}

bool changeAddressSort(QTreeView& list, Database& db, Prompter& prompter, Preferences& prefs,
                       AddressSortChoice choice, int value, const ProgressNote& progressNote)
{
    int& stored = choice == AddressSortChoice::Key ? prefs.sortaddress : prefs.sortaddressdir;
    if (stored == value || value < 0)
        return false;
    stored = value;
    reloadAddressList(list, db, prompter, prefs, QString(), progressNote);
    return true;
}
