#include "store/schema.h"

#include "common/sqltext.h"
#include "store/database.h"
#include "store/holidays.h"
#include "store/querycursor.h"

#include <array>

using namespace Qt::StringLiterals;

namespace Schema {

QStringList createStatements()
{
    return {
            u"CREATE TABLE termine (id INTEGER PRIMARY KEY AUTOINCREMENT, date INTEGER, grup INTEGER, desc TEXT, enddate INTEGER, msg INTEGER, remsg INTEGER, belong INTEGER,redo VARCHAR(25), nextmsg INTEGER)"_s,
            u"CREATE TABLE geburtstage (id INTEGER PRIMARY KEY AUTOINCREMENT, date INTEGER, year INTEGER, desc TEXT, nextmsg INTEGER)"_s,
            u"CREATE TABLE feiertage (id INTEGER PRIMARY KEY AUTOINCREMENT, date INTEGER, desc TEXT, location TEXT)"_s,
            u"CREATE TABLE adressbuch (id INTEGER PRIMARY KEY AUTOINCREMENT, nname VARCHAR(150), vname VARCHAR(150), nick VARCHAR(150), zvname VARCHAR(150), str VARCHAR(150), hausnr VARCHAR(5), plz VARCHAR(25), ort VARCHAR(150), land VARCHAR(150), email VARCHAR(255), tel VARCHAR(25), mobil VARCHAR(25), fax VARCHAR(25), gebdat VARCHAR(10), icq INTEGER, msn VARCHAR(255), aim VARCHAR(255), website VARCHAR(255), notiz VARCHAR(255), anrede INTEGER)"_s,
            u"CREATE TABLE todo (id INTEGER PRIMARY KEY AUTOINCREMENT, enddate INTEGER, desc TEXT, remsg INTEGER, checked INTEGER DEFAULT 0, nextmsg INTEGER)"_s,
            u"CREATE TABLE grups (id INTEGER PRIMARY KEY AUTOINCREMENT, grupname VARCHAR(255), jahrl INTEGER, ganztag INTEGER)"_s,
    };
}

namespace {

// Every column of every table, read as nothing: a table or column the program uses that is
// missing fails here once, instead of in every picture and list that reads it.
bool hasEveryColumn(Database& db)
{
    QueryCursor cursor;
    for (const QString& create : createStatements()) {
        const qsizetype open = create.indexOf(u'(');
        const QString table = create.sliced(13, open - 13).trimmed(); // after "CREATE TABLE "
        QStringList columns;
        for (const QString& definition :
             create.sliced(open + 1, create.size() - open - 2).split(u','))
            columns << definition.trimmed().section(u' ', 0, 0);
        if (!db.queryTable(u"SELECT %1 FROM %2 WHERE 0 ;"_s.arg(columns.join(u", "_s), table),
                           cursor))
            return false;
    }
    return true;
}

} // namespace

State examine(Database& db)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT COUNT(*) FROM sqlite_master ;"_s, cursor) || !cursor.nextRow())
        return State::Unreadable;
    if (cursor.number(1) == 0)
        return State::Empty;
    return passesReadTest(db) && hasEveryColumn(db) ? State::Usable : State::Unreadable;
}

bool ensureIndexes(Database& db)
{
    static const char16_t* const statements[] = {
            u"CREATE INDEX IF NOT EXISTS termine_date ON termine(date)",
            u"CREATE INDEX IF NOT EXISTS termine_belong ON termine(belong)",
            // Holds all a picture reads of a range: days touching it are found without
            // reading the rows themselves.
            u"CREATE INDEX IF NOT EXISTS termine_span ON termine(enddate, date, grup)",
            // The reminder scan looks for rows not yet reminded of or due again.
            u"CREATE INDEX IF NOT EXISTS termine_nextmsg ON termine(nextmsg, msg, date)",
            u"CREATE INDEX IF NOT EXISTS geburtstage_desc ON geburtstage(desc)",
            // Led SQLite to walk every row of a group in place of a short range of dates.
            u"DROP INDEX IF EXISTS termine_grup",
    };
    bool made = true;
    for (const char16_t* statement : statements)
        made = db.execSql(QString::fromUtf16(statement)) && made;
    return made;
}

bool passesReadTest(Database& db)
{
    QueryCursor cursor;
    return db.queryTable(u"SELECT * FROM grups where id=1 ;"_s, cursor) &&
           db.queryTable(u"SELECT * FROM adressbuch where id=1 ;"_s, cursor) &&
           db.queryTable(u"SELECT * FROM termine where id=1 ;"_s, cursor);
}

bool bootstrap(Database& db, const std::function<void(const QString&)>& progress)
{
    auto report = [&progress](const QString& text) {
        if (progress)
            progress(text);
    };

    Transaction transaction(db);

    const QStringList creates = createStatements();
    for (qsizetype i = 0; i < creates.size(); ++i) {
        report(u"Tabellen werden angelegt..(%1 von 6)"_s.arg(i + 1));
        db.execSql(creates[i]);
    }

    report(u"Gruppen werden generiert..."_s);
    static const std::array<const char16_t*, 20> groupNames{u"",
                                                            u"Feiertag",
                                                            u"Urlaub",
                                                            u"Schulaufgabe",
                                                            u"Geschäftlich",
                                                            u"Termin Allg.",
                                                            u"Arzt",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"",
                                                            u"Geburtstag"};
    for (const char16_t* name : groupNames) {
        db.execSql(u"INSERT INTO grups (grupname) VALUES ("_s + sqlQuote(QString::fromUtf16(name)) +
                   u")"_s);
    }

    for (int year = kFirstHolidayYear; year <= kLastHolidayYear; ++year) {
        report(u"Feiertage im Jahr %1 berechnen\n"_s.arg(year) +
               u"Danke an Carl Friedrich Gauss für seine großartigen mathematischen Leistungen!"_s);
        insertHolidays(db, year);
    }

    db.execSql(u"UPDATE grups SET jahrl=1, ganztag=1 WHERE id=1 ;"_s);
    db.execSql(u"UPDATE grups SET ganztag=1 WHERE id=4 or id=3 or id=2 ;"_s);

    return transaction.commit();
}

} // namespace Schema
