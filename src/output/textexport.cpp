#include "output/textexport.h"

#include "common/datevalue.h"
#include "common/prompter.h"
#include "common/textcodec.h"
#include "store/database.h"
#include "store/querycursor.h"

#include <QDir>
#include <QIODevice>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace TextExport {

namespace {

// Column positions of "SELECT *" over termine joined with grups, 1-based as the cursor counts.
constexpr int kDate = 2;
constexpr int kDesc = 4;
constexpr int kEndDate = 5;
constexpr int kBelong = 8;
constexpr int kRedo = 9;
constexpr int kGroupName = 12;

QString appointmentLine(int number, const QueryCursor& row)
{
    return QString::number(number).rightJustified(3, u'0') +
           formatDate(u" %dd.%mm.%yyyy %hh:%ii Uhr", row.number(kDate)) + u" bis "_s +
           formatDate(u"%dd.%mm.%yyyy %hh:%ii Uhr", row.number(kEndDate)) + u": "_s +
           row.text(kGroupName) + u" ("_s + row.text(kDesc) + u")"_s;
}

} // namespace

QString withTextEnding(const QString& name)
{
    return name.endsWith(u".txt"_s, Qt::CaseSensitive) ? name : name + u".txt"_s;
}

Outcome writeAppointments(QIODevice& device, Database& db, Prompter& prompter, QuitState& quitState)
{
    QString text = u"########## Ruvo Textexport ##########\r\n"_s;

    // Numbers count every row of the query, also those written in the other part.
    QueryCursor cursor;
    if (!db.queryTable(u"Select * FROM termine JOIN grups ON grups.id=grup ORDER BY date ASC ;"_s,
                       cursor)) {
        reportDatabaseError(db, prompter, quitState);
        return Outcome::DatabaseFailed;
    }
    for (int count = 1; cursor.nextRow(); ++count) {
        if (cursor.number(kBelong) == 0)
            text += appointmentLine(count, cursor) + u"\r\n"_s;
    }

    // min(date) makes SQLite take the other columns from each series' first member.
    if (!db.queryTable(u"Select *, min(date) FROM termine JOIN grups ON grups.id=grup GROUP BY "
                       u"belong ORDER BY date ASC ;"_s,
                       cursor)) {
        reportDatabaseError(db, prompter, quitState);
        return Outcome::DatabaseFailed;
    }
    for (int count = 1; cursor.nextRow(); ++count) {
        if (cursor.number(kBelong) != 0)
            text += appointmentLine(count, cursor) + u" Wiederholt sich "_s + cursor.text(kRedo) +
                    u"\r\n"_s;
    }

    const QByteArray bytes = encodeText(text);
    return device.write(bytes) == bytes.size() ? Outcome::Written : Outcome::WriteFailed;
}

void exportAppointmentsAsText(Database& db, Prompter& prompter, QuitState& quitState)
{
    const QString chosen =
            prompter.saveFileName(u"Textexport erstellen in:"_s, QString(), u"Textfiles | *.txt"_s);
    if (chosen.isEmpty())
        return;
    const QString path = withTextEnding(chosen);

    QSaveFile file(path);
    Outcome outcome = Outcome::WriteFailed;
    if (file.open(QIODevice::WriteOnly))
        outcome = writeAppointments(file, db, prompter, quitState);
    if (outcome == Outcome::DatabaseFailed) {
        // The database error has been shown; an old file of that name stays as it was.
        file.cancelWriting();
        return;
    }
    if (outcome != Outcome::Written || !file.commit()) {
        prompter.warn(u"Fehler"_s, u"Die Textdatei \""_s + QDir::toNativeSeparators(path) +
                                           u"\" konnte nicht geschrieben werden."_s);
    }
}

} // namespace TextExport
