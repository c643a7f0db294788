#include "addresses/addressinterchange.h"

#include "addresses/vcard.h"
#include "common/datevalue.h"
#include "common/sqltext.h"
#include "common/textcodec.h"
#include "store/database.h"
#include "store/querycursor.h"

#include <QBuffer>
#include <QDateTime>
#include <QIODevice>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QUuid>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Our own cards name the house number in the ADR, so that an export imports back exactly even
// where the street alone would split otherwise ("Straße 7" without a house number).
const QString kHouseNumberParameter = u"X-RUVO-HAUSNR"_s;

// Fixed, so that the UID of an entry depends on nothing but its row.
const QUuid kUidNamespace{u"77884c1d-92db-4790-97bb-b877a0badb07"_s};

QString field(const QList<QStringList>& components, qsizetype index,
              const QString& separator = u" "_s)
{
    QStringList values;
    for (const QString& value : components.value(index)) {
        if (const QString trimmed = value.trimmed(); !trimmed.isEmpty())
            values << trimmed;
    }
    return values.join(separator);
}

// "Hauptstraße 12a", "Am Hang 3 b", "Weg 5-7": the street and its trailing house number.
std::pair<QString, QString> splitStreet(const QString& street)
{
    static const QRegularExpression kTrailingNumber(
            uR"(^(.*\S)\s+(\d+(?:\s?[A-Za-z])?(?:\s*[-/]\s*\d+(?:\s?[A-Za-z])?)?)$)"_s);
    const QRegularExpressionMatch match = kTrailingNumber.match(street);
    if (!match.hasMatch())
        return {street, QString()};
    return {match.captured(1), match.captured(2)};
}

std::pair<QString, QString> streetAndNumber(const VCardProperty& adr, const QString& street)
{
    const QStringList marked = adr.parameter(kHouseNumberParameter);
    if (marked.isEmpty())
        return splitStreet(street);
    const QString& number = marked.first();
    if (number.isEmpty())
        return {street, QString()};
    if (street == number)
        return {QString(), number};
    if (street.endsWith(u' ' + number))
        return {street.first(street.size() - number.size() - 1).trimmed(), number};
    return splitStreet(street);
}

// Home before any other address.
const VCardProperty* chosenAddress(const VCard& card)
{
    const QList<const VCardProperty*> addresses = card.all(u"ADR");
    for (const VCardProperty* adr : addresses) {
        if (adr->hasType(u"home"))
            return adr;
    }
    return addresses.value(0);
}

void readAddress(const VCard& card, AddressValues& values)
{
    const VCardProperty* adr = chosenAddress(card);
    if (!adr)
        return;
    const QList<QStringList> parts = adr->components();
    // The extended address ("c/o", a flat, a building) and the post office box have no field of
    // their own; they go before the street, so its house number still stands last.
    QStringList before;
    if (const QString extended = field(parts, 1, u", "_s); !extended.isEmpty())
        before << extended;
    if (const QString box = field(parts, 0); !box.isEmpty())
        before << (box.front().isDigit() ? u"Postfach "_s + box : box);
    const QString street = field(parts, 2, u", "_s);
    if (street.isEmpty()) {
        const auto [str, number] = splitStreet(before.join(u", "_s));
        values[AddressField::Str] = str;
        values[AddressField::Hausnr] = number;
    } else {
        const auto [str, number] = streetAndNumber(*adr, street);
        if (!str.isEmpty())
            before << str;
        values[AddressField::Str] = before.join(u", "_s);
        values[AddressField::Hausnr] = number;
    }
    values[AddressField::Plz] = field(parts, 5);
    values[AddressField::Ort] = field(parts, 3);
    if (const QString region = field(parts, 4); !region.isEmpty())
        values[AddressField::Ort] +=
                values[AddressField::Ort].isEmpty() ? region : u", "_s + region;
    values[AddressField::Land] = field(parts, 6);
}

QString withoutScheme(QString text, QStringView scheme)
{
    if (text.startsWith(scheme, Qt::CaseInsensitive))
        text.remove(0, scheme.size());
    return text.trimmed();
}

void readPhones(const VCard& card, AddressValues& values)
{
    QString fax, cell, home, other;
    for (const VCardProperty* tel : card.all(u"TEL")) {
        const QString number = withoutScheme(tel->text(), u"tel:");
        if (number.isEmpty())
            continue;
        const QStringList types = tel->types();
        QString* slot = &other;
        if (types.contains("fax"_L1))
            slot = &fax;
        else if (types.contains("cell"_L1))
            slot = &cell;
        else if (types.contains("home"_L1) || types.contains("voice"_L1))
            slot = &home;
        else if (types.contains("pager"_L1))
            continue;
        if (slot->isEmpty())
            *slot = number;
    }
    values[AddressField::Tel] = home.isEmpty() ? other : home;
    values[AddressField::Mobil] = cell;
    values[AddressField::Fax] = fax;
}

void readMessengers(const VCard& card, AddressValues& values)
{
    auto fill = [&values](AddressField target, const QString& text) {
        if (values[target].isEmpty())
            values[target] = text.trimmed();
    };
    for (const VCardProperty* impp : card.all(u"IMPP")) {
        const QString uri = impp->text().trimmed();
        const qsizetype colon = uri.indexOf(u':');
        if (colon <= 0)
            continue;
        const QString scheme = uri.first(colon).toLower();
        QString id = QUrl::fromPercentEncoding(uri.sliced(colon + 1).toUtf8());
        if (scheme == "icq"_L1) {
            fill(AddressField::Icq, id);
        } else if (scheme == "msn"_L1 || scheme == "msnim"_L1) {
            fill(AddressField::Msn, withoutScheme(id, u"chat?contact="));
        } else if (scheme == "aim"_L1) {
            // aim:goim?screenname=Name&message=...
            if (const qsizetype at = id.indexOf("screenname="_L1, 0, Qt::CaseInsensitive); at >= 0)
                id = id.sliced(at + 11).section(u'&', 0, 0);
            fill(AddressField::Aim, id);
        }
    }
    if (const VCardProperty* icq = card.first(u"X-ICQ"))
        fill(AddressField::Icq, icq->text());
    if (const VCardProperty* msn = card.first(u"X-MSN"))
        fill(AddressField::Msn, msn->text());
    if (const VCardProperty* aim = card.first(u"X-AIM"))
        fill(AddressField::Aim, aim->text());
}

// 0 "Frau", 1 "Herr", -1 when the card does not say.
int genderOf(const VCard& card, const QString& prefix)
{
    if (const VCardProperty* gender = card.first(u"GENDER")) {
        const QString sex = field(gender->components(), 0).toUpper();
        if (sex == "F"_L1)
            return 0;
        if (sex == "M"_L1)
            return 1;
    }
    if (const VCardProperty* gender = card.first(u"X-GENDER")) {
        const QString text = gender->text().trimmed().toLower();
        if (text.startsWith(u'f') || text.startsWith(u'w'))
            return 0;
        if (text.startsWith(u'm'))
            return 1;
    }
    if (const VCardProperty* gender = card.first(u"X-WAB-GENDER")) {
        const QString text = gender->text().trimmed();
        if (text == "1"_L1)
            return 0;
        if (text == "2"_L1)
            return 1;
    }
    const QString title = prefix.toLower().remove(u'.');
    if (title == "frau"_L1 || title == "fr"_L1 || title == "mrs"_L1 || title == "ms"_L1 ||
        title == "miss"_L1)
        return 0;
    if (title == "herr"_L1 || title == "hr"_L1 || title == "mr"_L1)
        return 1;
    return -1;
}

struct CalendarDay
{
    int year = 0; // 0: the card gives no year
    int month = 0;
    int day = 0;
};

// YYYYMMDD, YYYY-MM-DD, either with a time after "T", and the year-less --MMDD / --MM-DD.
std::optional<CalendarDay> parseBirthday(const VCardProperty& bday)
{
    QString text = bday.text().trimmed();
    if (const qsizetype t = text.indexOf(u'T', 0, Qt::CaseInsensitive); t >= 0)
        text.truncate(t);
    CalendarDay day;
    bool ok = true;
    if (text.startsWith("--"_L1)) {
        const QString digits = text.sliced(2).remove(u'-');
        if (digits.size() != 4)
            return std::nullopt;
        day.month = digits.first(2).toInt(&ok);
        day.day = ok ? digits.sliced(2).toInt(&ok) : 0;
    } else {
        const QString digits = QString(text).remove(u'-');
        if (digits.size() != 8)
            return std::nullopt;
        day.year = digits.first(4).toInt(&ok);
        day.month = ok ? digits.sliced(4, 2).toInt(&ok) : 0;
        day.day = ok ? digits.sliced(6).toInt(&ok) : 0;
        if (ok && day.year <= 0)
            return std::nullopt;
        // Some address books store a year-less birthday in a placeholder year and say which.
        if (bday.parameter(u"X-APPLE-OMIT-YEAR").contains(QString::number(day.year)))
            day.year = 0;
    }
    if (!ok || day.month < 1 || day.month > 12 || day.day < 1 ||
        day.day > daysInMonth(day.year > 0 ? day.year : 2000, day.month))
        return std::nullopt;
    return day;
}

void appendNote(AddressValues& values, const QString& line)
{
    QString& note = values[AddressField::Notiz];
    note = note.isEmpty() ? line : note + u'\n' + line;
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

void readBirthday(const VCard& card, AddressValues& values, QStringList& notes)
{
    const VCardProperty* bday = card.first(u"BDAY");
    if (!bday)
        return;
    const std::optional<CalendarDay> day = parseBirthday(*bday);
    if (!day) {
        const QString text = bday->text().trimmed();
        if (text.isEmpty())
            return;
        appendNote(values, u"Geburtstag: "_s + text);
        notes << u"Geburtstag „"_s + text + u"“ ist kein Datum; in die Notiz übernommen"_s;
        return;
    }
    const QString dayAndMonth = twoDigits(day->day) + u'.' + twoDigits(day->month) + u'.';
    if (day->year == 0) {
        // The calendar and the reminders need a birth year; an invented one would announce a
        // wrong age, so the day is kept in the note for the user to complete.
        appendNote(values, u"Geburtstag: "_s + dayAndMonth);
        notes << u"Geburtstag ohne Jahr ("_s + dayAndMonth +
                         u") in die Notiz übernommen, nicht in den Kalender"_s;
        return;
    }
    values[AddressField::Gebdat] = dayAndMonth + QString::number(day->year).rightJustified(4, u'0');
    values.birthday = true;
}

void readEmail(const VCard& card, AddressValues& values, QString& localPart, QStringList& notes)
{
    QString implausible;
    for (const VCardProperty* email : card.all(u"EMAIL")) {
        const QString address = withoutScheme(email->text(), u"mailto:");
        if (address.isEmpty())
            continue;
        if (localPart.isEmpty())
            localPart = address.section(u'@', 0, 0).trimmed();
        if (isPlausibleEmail(replaceApostrophes(address))) {
            values[AddressField::Email] = address;
            return;
        }
        if (implausible.isEmpty())
            implausible = address;
    }
    // The entry is worth more than a typo in one address: it comes in, the address stays out.
    if (!implausible.isEmpty())
        notes << u"E-Mail-Adresse „"_s + implausible +
                         u"“ kann nicht existieren und wurde weggelassen"_s;
}

QString firstNonEmpty(const QStringList& candidates, const QString& other)
{
    for (const QString& candidate : candidates) {
        if (!candidate.isEmpty() && candidate != other)
            return candidate;
    }
    return {};
}

struct ReadEntry
{
    AddressValues values;
    AddressImportHints hints;
};

ReadEntry readEntry(const VCard& card, int number)
{
    ReadEntry entry;
    AddressValues& values = entry.values;
    AddressImportHints& hints = entry.hints;

    QString prefix;
    if (const VCardProperty* n = card.first(u"N")) {
        const QList<QStringList> parts = n->components();
        values[AddressField::Nname] = field(parts, 0);
        values[AddressField::Vname] = field(parts, 1);
        values[AddressField::Zvname] = field(parts, 2);
        prefix = field(parts, 3);
    }
    const VCardProperty* fnProperty = card.first(u"FN");
    const QString fn = fnProperty ? fnProperty->text().simplified() : QString();
    if (const VCardProperty* nick = card.first(u"NICKNAME"))
        values[AddressField::Nick] = field(nick->components(), 0, u", "_s);
    const VCardProperty* orgProperty = card.first(u"ORG");
    const QString org = orgProperty ? field(orgProperty->components(), 0) : QString();

    readAddress(card, values);
    QString localPart;
    readEmail(card, values, localPart, hints.notes);
    readPhones(card, values);
    if (const VCardProperty* url = card.first(u"URL"))
        values[AddressField::Website] = url->text().trimmed();
    QStringList notes;
    for (const VCardProperty* note : card.all(u"NOTE"))
        notes << note->text();
    values[AddressField::Notiz] = notes.join(u'\n');
    readBirthday(card, values, hints.notes);
    readMessengers(card, values);
    values.anrede = genderOf(card, prefix);

    // Names to complete from: the formatted name's first words and last word, then the rest. A
    // single word ("Cher", "Stadtwerke") is the name the entry is listed and sorted by, unless the
    // card already gives the last name.
    const QStringList words = fn.split(u' ', Qt::SkipEmptyParts);
    QString fnFirst;
    QString fnLast;
    if (words.size() >= 2) {
        fnFirst = words.sliced(0, words.size() - 1).join(u' ');
        fnLast = words.last();
    } else if (values[AddressField::Nname].isEmpty()) {
        fnLast = fn;
    } else {
        fnFirst = fn;
    }
    const QString& nick = values[AddressField::Nick];
    QString vname = values[AddressField::Vname];
    QString nname = values[AddressField::Nname];
    if (nname.isEmpty())
        nname = firstNonEmpty({fnLast, nick, org, localPart}, vname);
    if (vname.isEmpty())
        vname = firstNonEmpty({fnFirst, nick, org, localPart}, nname);
    hints.vname = values[AddressField::Vname].isEmpty() ? vname : QString();
    hints.nname = values[AddressField::Nname].isEmpty() ? nname : QString();

    const QString names =
            (values[AddressField::Vname] + u' ' + values[AddressField::Nname]).trimmed();
    hints.label = !fn.isEmpty()      ? fn
                  : !names.isEmpty() ? names
                  : !org.isEmpty()   ? org
                  : !values[AddressField::Email].isEmpty()
                          ? values[AddressField::Email]
                          : u"Eintrag "_s + QString::number(number);

    values = withoutApostrophes(std::move(values));
    hints.vname = replaceApostrophes(hints.vname);
    hints.nname = replaceApostrophes(hints.nname);
    for (QString& note : hints.notes)
        note = u'„' + hints.label + u"“: "_s + note;
    return entry;
}

QString cardLabel(const VCard& card, int number)
{
    if (const VCardProperty* fn = card.first(u"FN"); fn && !fn->text().trimmed().isEmpty())
        return u'„' + fn->text().simplified() + u"“ ("_s + u"Eintrag "_s + QString::number(number) +
               u')';
    return u"Eintrag "_s + QString::number(number);
}

ImportReport failure(const QString& error)
{
    ImportReport report;
    report.failed = true;
    report.error = error;
    return report;
}

QString databaseFailure(Database& db)
{
    return u"Fehler der Datenbank: "_s + db.errorText();
}

// What peers should read: the apostrophes the user typed.
QString forPeers(QString text)
{
    return text.replace(u'`', u'\'');
}

QString messengerUri(const QString& scheme, const QString& id)
{
    return scheme + QString::fromLatin1(QUrl::toPercentEncoding(id, "@"));
}

// A URI value has no escapes, but a line break in it would end the content line.
QString withoutLineBreaks(QString text)
{
    return text.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
}

} // namespace

AddressImportPlan readAddressFile(const QByteArray& bytes)
{
    AddressImportPlan plan;
    int number = 0;
    const QString error = readVCards(bytes, [&plan, &number](VCard&& card) {
        ++number;
        if (!card.problem.isEmpty()) {
            plan.problems << cardLabel(card, number) + u": "_s + card.problem;
            return;
        }
        ReadEntry entry = readEntry(card, number);
        if (entry.values[AddressField::Vname].isEmpty() ||
            entry.values[AddressField::Nname].isEmpty())
            ++plan.withoutName;
        if (entry.values.anrede < 0)
            ++plan.withoutGender;
        plan.entries << std::move(entry.values);
        plan.hints << std::move(entry.hints);
    });
    if (!error.isEmpty()) {
        AddressImportPlan unusable;
        unusable.error = error;
        return unusable;
    }
    plan.notes = eightBitNotes(bytes);
    return plan;
}

ImportReport storeAddresses(Database& db, const AddressImportPlan& plan,
                            const AddressCompletion& completion)
{
    if (!plan.error.isEmpty())
        return failure(plan.error);

    // The duplicate rule of the editor, from one query instead of one per entry.
    QSet<QString> names;
    QSet<QString> birthdays;
    {
        QueryCursor cursor;
        if (!db.queryTable(u"SELECT vname,nname FROM adressbuch ;"_s, cursor))
            return failure(databaseFailure(db));
        names.reserve(cursor.rowCount() + plan.entries.size());
        while (cursor.nextRow())
            names.insert(cursor.text(1) + QChar(0) + cursor.text(2));
        if (!db.queryTable(u"SELECT desc FROM geburtstage ;"_s, cursor))
            return failure(databaseFailure(db));
        while (cursor.nextRow())
            birthdays.insert(cursor.text(1));
    }

    ImportReport report;
    report.problems = plan.problems;
    report.notes = plan.notes;
    Transaction transaction(db);
    for (qsizetype i = 0; i < plan.entries.size(); ++i) {
        AddressValues values = plan.entries.at(i);
        const AddressImportHints hints = plan.hints.value(i);
        const QString label =
                u'„' +
                (hints.label.isEmpty() ? u"Eintrag "_s + QString::number(i + 1) : hints.label) +
                u'“';
        QString& vname = values[AddressField::Vname];
        QString& nname = values[AddressField::Nname];
        if (vname.isEmpty() || nname.isEmpty()) {
            if (completion.completeNames) {
                if (vname.isEmpty())
                    vname = hints.vname;
                if (nname.isEmpty())
                    nname = hints.nname;
            }
            if (vname.isEmpty() || nname.isEmpty()) {
                report.problems << label + u": Vor- oder Nachname fehlt"_s;
                continue;
            }
        }
        if (values.anrede < 0) {
            if (completion.anrede != 0 && completion.anrede != 1) {
                report.problems << label + u": ohne Anrede (die vCard nennt kein Geschlecht)"_s;
                continue;
            }
            values.anrede = completion.anrede;
        }
        const QString key = vname + QChar(0) + nname;
        if (names.contains(key)) {
            ++report.duplicates;
            continue;
        }
        const QString description = birthdayDescription(values);
        if (!writeNewAddress(db, values, birthdays.contains(description)))
            return failure(databaseFailure(db));
        names.insert(key);
        if (values.birthday)
            birthdays.insert(description);
        ++report.addresses;
        report.notes << hints.notes;
    }
    if (!transaction.commit())
        return failure(databaseFailure(db));
    return report;
}

QString addressCardUid(qint64 id)
{
    return u"urn:uuid:"_s +
           QUuid::createUuidV5(kUidNamespace, u"ruvo-adresse-"_s + QString::number(id))
                   .toString(QUuid::WithoutBraces);
}

void writeAddressCard(VCardWriter& writer, const AddressValues& stored,
                      std::optional<BirthdayRow> birthday, qint64 id, const QDateTime& revision)
{
    AddressValues values = stored;
    for (QString& text : values.texts)
        text = forPeers(std::move(text));
    auto text = [&values](AddressField f) -> const QString& { return values[f]; };

    writer.beginCard();
    QStringList shown;
    for (AddressField f : {AddressField::Vname, AddressField::Zvname, AddressField::Nname}) {
        if (!text(f).isEmpty())
            shown << text(f);
    }
    QString fn = shown.join(u' ');
    if (fn.isEmpty())
        fn = !text(AddressField::Nick).isEmpty() ? text(AddressField::Nick)
                                                 : text(AddressField::Email);
    writer.addText(u"FN"_s, fn);
    writer.addStructured(u"N"_s, {text(AddressField::Nname), text(AddressField::Vname),
                                  text(AddressField::Zvname), QString(), QString()});
    if (!text(AddressField::Nick).isEmpty())
        writer.addText(u"NICKNAME"_s, text(AddressField::Nick));

    const QString& str = text(AddressField::Str);
    const QString& number = text(AddressField::Hausnr);
    if (!str.isEmpty() || !number.isEmpty() || !text(AddressField::Plz).isEmpty() ||
        !text(AddressField::Ort).isEmpty() || !text(AddressField::Land).isEmpty()) {
        const QString street =
                str.isEmpty() || number.isEmpty() ? str + number : str + u' ' + number;
        QList<VCardParameter> parameters{{u"TYPE"_s, {u"home"_s}}};
        if (!number.isEmpty() || !splitStreet(street).second.isEmpty())
            parameters << VCardParameter{kHouseNumberParameter, {number}};
        writer.addStructured(u"ADR"_s,
                             {QString(), QString(), street, text(AddressField::Ort), QString(),
                              text(AddressField::Plz), text(AddressField::Land)},
                             parameters);
    }
    if (!text(AddressField::Email).isEmpty())
        writer.addText(u"EMAIL"_s, text(AddressField::Email));
    if (!text(AddressField::Tel).isEmpty())
        writer.addText(u"TEL"_s, text(AddressField::Tel), {{u"TYPE"_s, {u"home"_s, u"voice"_s}}});
    if (!text(AddressField::Mobil).isEmpty())
        writer.addText(u"TEL"_s, text(AddressField::Mobil), {{u"TYPE"_s, {u"cell"_s}}});
    if (!text(AddressField::Fax).isEmpty())
        writer.addText(u"TEL"_s, text(AddressField::Fax), {{u"TYPE"_s, {u"fax"_s}}});
    if (birthday && birthday->date != kInvalidDate) {
        const DateParts day = dateParts(birthday->date);
        const QString monthDay = twoDigits(day.month) + twoDigits(day.day);
        writer.addRaw(u"BDAY"_s,
                      birthday->year > 0
                              ? QString::number(birthday->year).rightJustified(4, u'0') + monthDay
                              : u"--"_s + monthDay);
    }
    if (!text(AddressField::Website).isEmpty())
        writer.addRaw(u"URL"_s, withoutLineBreaks(text(AddressField::Website)));
    if (!text(AddressField::Notiz).isEmpty())
        writer.addText(u"NOTE"_s, text(AddressField::Notiz));
    const struct
    {
        AddressField field;
        const char16_t* scheme;
        const char16_t* property;
    } messengers[] = {{AddressField::Icq, u"icq:", u"X-ICQ"},
                      {AddressField::Msn, u"msn:", u"X-MSN"},
                      {AddressField::Aim, u"aim:", u"X-AIM"}};
    for (const auto& messenger : messengers) {
        if (text(messenger.field).isEmpty())
            continue;
        writer.addRaw(u"IMPP"_s,
                      messengerUri(QString::fromUtf16(messenger.scheme), text(messenger.field)));
        writer.addText(QString::fromUtf16(messenger.property), text(messenger.field));
    }
    if (values.anrede == 0 || values.anrede == 1)
        writer.addRaw(u"GENDER"_s, values.anrede == 0 ? u"F"_s : u"M"_s);
    if (id > 0)
        writer.addRaw(u"UID"_s, addressCardUid(id));
    if (revision.isValid())
        writer.addRaw(u"REV"_s, revision.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s));
    writer.endCard();
}

namespace {

// Every address with the birthday row the editor shows for it.
bool forEachAddress(
        Database& db, QString& error,
        const std::function<bool(const AddressValues&, std::optional<BirthdayRow>, qint64)>& visit)
{
    // One birthday row per name (the lowest id, should there be several), as the editor shows it.
    bool going = true;
    const bool read = db.forEachRecord(
            u"SELECT a.vname,a.zvname,a.nname,a.nick,a.str,a.hausnr,a.plz,a.ort,a.land,"
            u"a.email,a.tel,a.mobil,a.fax,a.gebdat,a.icq,a.msn,a.aim,a.website,a.notiz,"
            u"a.anrede,g.date,g.year,a.id FROM adressbuch AS a LEFT JOIN (SELECT desc,date,"
            u"year,MIN(id) FROM geburtstage GROUP BY desc) AS g ON (g.desc = a.vname ||' '|| "
            u"a.nname) ORDER BY a.id ;"_s,
            [&](const RecordReader& record) {
                if (!going)
                    return;
                AddressValues values;
                for (int i = 0; i < kAddressFieldCount; ++i)
                    values.texts[std::size_t(i)] = record.text(i);
                values.anrede = int(record.number(19));
                std::optional<BirthdayRow> birthday;
                if (!record.text(20).isEmpty())
                    birthday = BirthdayRow{record.number(20), int(record.number(21))};
                going = visit(values, birthday, record.number(22));
            });
    if (!read) {
        error = u"Das Adressbuch lässt sich nicht lesen: "_s + db.errorText();
        return false;
    }
    return going;
}

} // namespace

bool exportAddresses(Database& db, QIODevice& device, QString& error)
{
    if (!device.isWritable()) {
        error = u"Die Datei lässt sich nicht schreiben: "_s + device.errorString();
        return false;
    }
    VCardWriter writer(device);
    // The address book keeps no time of change; the export is the revision peers compare.
    const QDateTime revision =
            QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    const bool read = forEachAddress(
            db, error,
            [&](const AddressValues& values, std::optional<BirthdayRow> birthday, qint64 id) {
                writeAddressCard(writer, values, birthday, id, revision);
                return writer.ok();
            });
    if (!writer.ok()) {
        error = u"Die Datei lässt sich nicht schreiben: "_s + device.errorString();
        return false;
    }
    return read;
}

std::optional<QList<AddressCard>> exportAddressCards(Database& db, QString& error)
{
    QList<AddressCard> cards;
    const bool read = forEachAddress(
            db, error,
            [&](const AddressValues& values, std::optional<BirthdayRow> birthday, qint64 id) {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                VCardWriter writer(buffer);
                writeAddressCard(writer, values, birthday, id);
                cards.append({id, addressCardUid(id), buffer.data()});
                return true;
            });
    if (!read)
        return std::nullopt;
    return cards;
}
