#include "addresses/addressinterchange.h"
#include "addresses/addressstore.h"
#include "addresses/vcard.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kColumns = u"vname,zvname,nname,nick,str,hausnr,plz,ort,land,email,tel,mobil,fax,"
                         u"gebdat,icq,msn,aim,website,notiz,anrede"_s;

// The non-empty columns of each row as "column=value", joined by " | ".
QStringList filledColumns(Database& db, const QString& where = QString())
{
    const QStringList names = kColumns.split(u',');
    QStringList result;
    for (const QString& row : queryRows(db, u"SELECT "_s + kColumns + u" FROM adressbuch "_s +
                                                    where + u" ORDER BY id"_s)) {
        const QStringList values = row.split(u'|');
        QStringList filled;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (!values.value(i).isEmpty())
                filled << names.at(i) + u'=' + values.value(i);
        }
        result << filled.join(u" | "_s);
    }
    return result;
}

QByteArray card(const QByteArray& version, const QByteArray& body)
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + body + "END:VCARD\r\n";
}

} // namespace

class TestVCard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readsCards_data();
    void readsCards();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void completion_data();
    void completion();
    void failedWriteChangesNothing();
    void folding_data();
    void folding();
    void roundTrip();
    void exportNamesEachCardStably();

private:
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
};

void TestVCard::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
}

void TestVCard::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestVCard::readsCards_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("birthdays");
    QTest::addColumn<QStringList>("problems");

    QTest::newRow("2.1 quoted-printable Latin-1")
            << card("2.1",
                    "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen;Karl;Herr;"
                    "\r\n"
                    "ADR;HOME;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:;;Hauptstra=DFe "
                    "12a;K=F6ln;;50667;Deutschland\r\n"
                    "TEL;HOME;VOICE:0221 12345\r\nTEL;CELL:0170 1111\r\nTEL;WORK;FAX:0221 999\r\n"
                    "BDAY:19650815\r\n"
                    "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Gr=FC=DFe an die=\r\n "
                    "Familie\r\n")
            << QStringList{u"vname=Jürgen | zvname=Karl | nname=Müller | str=Hauptstraße | "
                           u"hausnr=12a | "
                           u"plz=50667 | ort=Köln | land=Deutschland | tel=0221 12345 | mobil=0170 "
                           u"1111 | "
                           u"fax=0221 999 | gebdat=15.08.1965 | notiz=Grüße an die Familie | anrede=1"_s}
            << QStringList{u"966297601|1965|Jürgen Müller"_s} << QStringList();
    QTest::newRow("2.1 quoted-printable UTF-8, undeclared Windows-1252")
            << card("2.1",
                    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Gr=C3=BC=C3=9Fer;=C3=84nne\r\n"
                    "TEL;PREF;VOICE:030 555\r\nEMAIL;INTERNET:aenne@example.org\r\n"
                    "X-GENDER:Female\r\nBDAY:1950-03-01\r\n"
                    "NOTE;ENCODING=BASE64;CHARSET=UTF-8:R3LDvMOfZQ==\r\n") +
                       card("2.1", "N:M\xFCller;Hans\r\nX-GENDER:M\r\n")
            << QStringList{u"vname=Änne | nname=Grüßer | email=aenne@example.org | tel=030 555 | "
                           u"gebdat=01.03.1950 | notiz=Grüße | anrede=0"_s,
                           u"vname=Hans | nname=Müller | anrede=1"_s}
            << QStringList{u"951868801|1950|Änne Grüßer"_s}
            << QStringList{u"Zeile 12 ist kein gültiges UTF-8; als Windows-1252 gelesen"_s};
    QTest::newRow("3.0 folded, escaped, grouped")
            << card("3.0",
                    "N:O'Brien;Siobh\xC3\xA1n;;;\r\nFN:Siobh\xC3\xA1n O'Brien\r\n"
                    "NICKNAME:Shiv,Vonnie\r\nORG:Beispiel AG\r\n"
                    "item1.EMAIL;type=INTERNET;type=pref:shiv@example.ie\r\n"
                    "item1.X-ABLabel:_$!<Other>!$_\r\n"
                    "TEL;TYPE=work,voice:+353 1 234\r\nTEL;TYPE=\"cell\":+353 87 1\r\n"
                    "ADR;TYPE=work:;;Work Road 1;Dublin;;D01;Irland\r\n"
                    "ADR;TYPE=home,pref:;;Am Hang 3 b;Cork;Munster;T12;Irland\r\n"
                    "NOTE:Erste Zeile\\, mit Komma\\; und Semikolon\\nzweite Zei\r\n"
                    " le mit Backslash \\\\ am\r\n\t Ende\r\n"
                    "BDAY:1972-02-29T00:00:00Z\r\nX-ICQ:123456\r\nX-MSN:shiv@hotmail.example\r\n"
                    "X-AIM:ShivAim\r\nX-GENDER:F\r\nURL:https://example.ie/shiv\r\n")
            << QStringList{u"vname=Siobhán | nname=O`Brien | nick=Shiv, Vonnie | str=Am Hang | "
                           u"hausnr=3 b | plz=T12 | ort=Cork, Munster | land=Irland | "
                           u"email=shiv@example.ie | tel=+353 1 234 | mobil=+353 87 1 | "
                           u"gebdat=29.02.1972 | icq=123456 | msn=shiv@hotmail.example | "
                           u"aim=ShivAim | "
                           u"website=https://example.ie/shiv | notiz=Erste Zeile, mit Komma; und "
                           u"Semikolon\nzweite Zeile mit Backslash \\ am Ende | anrede=0"_s}
            << QStringList{u"951782401|1972|Siobhán O`Brien"_s} << QStringList();
    QTest::newRow("4.0 gender, birthday without year, IMPP")
            << card("4.0", "FN:Kai Uwe Lange\r\nN:Lange;Kai;Uwe;;\r\nGENDER:M\r\nBDAY:--1224\r\n"
                           "EMAIL:kaputt@nirgends\r\nEMAIL:kai@example.org\r\n"
                           "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+49-30-1234\r\n"
                           "TEL;VALUE=uri;TYPE=cell:tel:+49-170-5678\r\nIMPP:icq:987654\r\n"
                           "IMPP:msn:kai@example.org\r\nIMPP:aim:goim?screenname=Kai%20L\r\n"
                           "NOTE:Kollege\r\n")
            << QStringList{u"vname=Kai | zvname=Uwe | nname=Lange | email=kai@example.org | "
                           u"tel=+49-30-1234 | mobil=+49-170-5678 | icq=987654 | "
                           u"msn=kai@example.org | "
                           u"aim=Kai L | notiz=Kollege\nGeburtstag: 24.12. | anrede=1"_s}
            << QStringList()
            << QStringList{u"„Kai Uwe Lange“: Geburtstag ohne Jahr (24.12.) in die Notiz "
                           u"übernommen, nicht in den Kalender"_s};
    QTest::newRow("one-word FN, post office box and extended address")
            << card("3.0", "FN:Stadtwerke\r\nORG:Stadtwerke Bonn;Vertrieb\r\nX-GENDER:M\r\n"
                           "ADR;TYPE=work:1234;Haus B;Hauptstra\xC3\x9F"
                           "e 5;Bonn;;53111;\r\n") +
                       card("4.0", "N:Meier;;;;\r\nFN:Hans\r\nGENDER:M\r\n"
                                   "ADR:Postfach 77;;;K\xC3\xB6ln;;50667;\r\n")
            << QStringList{u"vname=Stadtwerke Bonn | nname=Stadtwerke | str=Haus B, Postfach 1234, "
                           u"Hauptstraße | hausnr=5 | plz=53111 | ort=Bonn | anrede=1"_s,
                           u"vname=Hans | nname=Meier | str=Postfach | hausnr=77 | plz=50667 | "
                           u"ort=Köln | anrede=1"_s}
            << QStringList() << QStringList();
    QTest::newRow("implausible e-mail, broken card, LF and BOM")
            << QByteArray("\xEF\xBB\xBF"
                          "BEGIN:VCARD\nVERSION:4.0\nN:Roth;Rita\nGENDER:F\nEMAIL:rita.example."
                          "org\nEND:"
                          "VCARD\n"
                          "BEGIN:VCARD\nVERSION:4.0\nN:Kaputt;Karl\ndas ist keine "
                          "Eigenschaft\nEND:VCARD\n")
            << QStringList{u"vname=Rita | nname=Roth | anrede=0"_s} << QStringList()
            << QStringList{u"Eintrag 2: Zeile 10 ist keine vCard-Eigenschaft."_s,
                           u"„Rita Roth“: E-Mail-Adresse „rita.example.org“ kann nicht existieren "
                           u"und wurde weggelassen"_s};
}

void TestVCard::readsCards()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, birthdays);
    QFETCH(QStringList, problems);
    const AddressImportPlan plan = readAddressFile(file);
    QCOMPARE(plan.error, QString());
    const ImportReport report = storeAddresses(*m_db, plan, {});
    QCOMPARE(report.failed, false);
    QCOMPARE(filledColumns(*m_db), rows);
    QCOMPARE(queryRows(*m_db, u"SELECT date, year, desc FROM geburtstage ORDER BY id"_s),
             birthdays);
    QCOMPARE(report.problems + report.notes, problems);
}

void TestVCard::badInputChangesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");

    const QByteArray whole = card("3.0", "N:Eins;Erna\r\nGENDER:F\r\n");
    QTest::newRow("not a vCard")
            << QByteArray("Hallo Welt\r\n")
            << u"Die Datei ist keine vCard-Datei (sie beginnt nicht mit BEGIN:VCARD)."_s;
    QTest::newRow("empty") << QByteArray("\r\n \r\n") << u"Die Datei enthält keine vCard."_s;
    QTest::newRow("truncated")
            << whole + "BEGIN:VCARD\r\nN:Zwei;Zora\r\n"
            << u"Die Datei endet mitten in einer vCard: zu BEGIN:VCARD in Zeile 6 fehlt END:VCARD."_s;
    QTest::newRow("nested") << QByteArray(
                                       "BEGIN:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\nEND:VCARD\r\n")
                            << u"Zeile 2: BEGIN:VCARD innerhalb der vCard ab Zeile 1."_s;
    QTest::newRow("wrong end")
            << QByteArray("BEGIN:VCARD\r\nN:A;B\r\nEND:VCALENDAR\r\n")
            << u"Zeile 3: END:VCALENDAR passt nicht zu BEGIN:VCARD in Zeile 1."_s;
    QTest::newRow("outside") << whole + "Hallo\r\n" << u"Zeile 6 steht außerhalb einer vCard."_s;
    QTest::newRow("unknown charset") << whole + card("2.1", "N;CHARSET=KOI8-R:A;B\r\n")
                                     << u"Zeile 8: unbekannter Zeichensatz „KOI8-R“."_s;
    QTest::newRow("unknown encoding") << card("2.1", "N;ENCODING=UUENCODE:A;B\r\n")
                                      << u"Zeile 3: unbekannte Kodierung „UUENCODE“."_s;
    QTest::newRow("file too large")
            << whole + QByteArray(32 * 1024 * 1024, 'x') << u"Die Datei ist größer als 32 MiB."_s;
    QTest::newRow("line too long")
            << card("3.0", "NOTE:" + QByteArray(2 * 1024 * 1024, 'x') + "\r\n " +
                                   QByteArray(2 * 1024 * 1024, 'y') + "\r\n")
            << u"Zeile 3 ist länger als 4 MiB."_s;
}

void TestVCard::badInputChangesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    ScriptedPrompter prompter;
    AddressValues kept;
    kept[AddressField::Vname] = u"Erna"_s;
    kept[AddressField::Nname] = u"Alt"_s;
    kept.anrede = 0;
    QVERIFY(insertAddress(*m_db, prompter, kept));

    const AddressImportPlan plan = readAddressFile(file);
    QCOMPARE(plan.error, error);
    QCOMPARE(plan.entries.size(), 0);
    const ImportReport report = storeAddresses(*m_db, plan, {true, 0});
    QCOMPARE(report.failed, true);
    QCOMPARE(report.summaryText(), u"Es wurde nichts importiert: "_s + error);
    QCOMPARE(queryRows(*m_db, u"SELECT vname, nname FROM adressbuch"_s),
             QStringList{u"Erna|Alt"_s});
}

void TestVCard::completion_data()
{
    QTest::addColumn<bool>("completeNames");
    QTest::addColumn<int>("anrede");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("problems");

    const QString noName = u"„carla@example.org“: Vor- oder Nachname fehlt"_s;
    const QString noGender = u"„Fritz Frei“: ohne Anrede (die vCard nennt kein Geschlecht)"_s;
    QTest::newRow("complete names, skip gender-less")
            << true << -1
            << QStringList{u"Anna Maria|Schmidt|0"_s, u"Bernd|Bernie|1"_s, u"Doris|Dorn|0"_s}
            << QStringList{noName, noGender};
    QTest::newRow("skip incomplete names, Herr for gender-less")
            << false << 1 << QStringList{u"Doris|Dorn|0"_s, u"Fritz|Frei|1"_s}
            << QStringList{u"„Anna Maria Schmidt“: Vor- oder Nachname fehlt"_s,
                           u"„Bernd“: Vor- oder Nachname fehlt"_s, noName};
    QTest::newRow("complete names, Frau for gender-less")
            << true << 0
            << QStringList{u"Anna Maria|Schmidt|0"_s, u"Bernd|Bernie|1"_s, u"Doris|Dorn|0"_s,
                           u"Fritz|Frei|0"_s}
            << QStringList{noName};
}

void TestVCard::completion()
{
    QFETCH(bool, completeNames);
    QFETCH(int, anrede);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, problems);
    ScriptedPrompter prompter;
    AddressValues existing;
    existing[AddressField::Vname] = u"Gerd"_s;
    existing[AddressField::Nname] = u"Gast"_s;
    existing.anrede = 1;
    QVERIFY(insertAddress(*m_db, prompter, existing));

    const AddressImportPlan plan = readAddressFile(
            card("4.0", "FN:Anna Maria Schmidt\r\nGENDER:F\r\n") +
            card("4.0", "N:;Bernd;;;\r\nNICKNAME:Bernie\r\nGENDER:M\r\n") +
            card("4.0", "EMAIL:carla@example.org\r\n") +
            card("4.0", "N:Dorn;Doris;;;\r\nGENDER:F\r\n") +
            card("3.0", "N:Dorn;Doris;;;\r\nX-GENDER:F\r\n") + card("4.0", "N:Frei;Fritz;;;\r\n") +
            card("4.0", "N:Gast;Gerd;;;\r\nGENDER:M\r\n"));
    QCOMPARE(plan.withoutName, 3);
    QCOMPARE(plan.withoutGender, 2);
    const ImportReport report = storeAddresses(*m_db, plan, {completeNames, anrede});
    QCOMPARE(queryRows(*m_db, u"SELECT vname, nname, anrede FROM adressbuch WHERE id > 1"_s), rows);
    QCOMPARE(report.problems + report.notes, problems);
    QCOMPARE(report.duplicates, 2);
}

void TestVCard::failedWriteChangesNothing()
{
    QVERIFY(m_db->execSql(u"CREATE TRIGGER refuse BEFORE INSERT ON adressbuch WHEN "
                          u"NEW.vname='Zora' BEGIN SELECT RAISE(ABORT, 'verweigert'); END;"_s));
    const AddressImportPlan plan =
            readAddressFile(card("3.0", "N:Eins;Erna\r\nGENDER:F\r\nBDAY:19800101\r\n") +
                            card("3.0", "N:Zwei;Zora\r\nGENDER:F\r\n"));
    const ImportReport report = storeAddresses(*m_db, plan, {});
    QCOMPARE(report.failed, true);
    QCOMPARE(report.error, u"Fehler der Datenbank: verweigert"_s);
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM adressbuch"_s), 0);
    QCOMPARE(queryNumber(*m_db, u"SELECT COUNT(*) FROM geburtstage"_s), 0);
}

void TestVCard::folding_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("folded");

    const QByteArray a74(74, 'a');
    QTest::newRow("short") << QByteArray("NOTE:x") << QByteArray("NOTE:x\r\n");
    QTest::newRow("75 octets") << a74 + 'b' << a74 + "b\r\n";
    QTest::newRow("76 octets") << a74 + "bc" << a74 + "b\r\n c\r\n";
    QTest::newRow("two folds") << a74 + 'b' + a74 + 'c' << a74 + "b\r\n " + a74 + "\r\n c\r\n";
    QTest::newRow("umlaut on the edge") << a74 + "\xC3\xA4" << a74 + "\r\n \xC3\xA4\r\n";
    QTest::newRow("emoji on the edge")
            << a74.first(73) + "\xF0\x9F\x98\x80" << a74.first(73) + "\r\n \xF0\x9F\x98\x80\r\n";
}

void TestVCard::folding()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, folded);
    QCOMPARE(VCardWriter::foldedLine(line), folded);
}

void TestVCard::roundTrip()
{
    ScriptedPrompter prompter;
    auto add = [&](const QList<std::pair<AddressField, QString>>& fields, int anrede) {
        AddressValues values;
        for (const auto& [f, text] : fields)
            values[f] = text;
        values.anrede = anrede;
        values.birthday = !values[AddressField::Gebdat].isEmpty();
        QVERIFY(insertAddress(*m_db, prompter, withoutApostrophes(values)));
    };
    using F = AddressField;
    add({{F::Vname, u"Ann"_s},
         {F::Zvname, u"Mary"_s},
         {F::Nname, u"O'Neil"_s},
         {F::Nick, u"Annie, die Große"_s},
         {F::Str, u"Hauptstraße"_s},
         {F::Hausnr, u"12a"_s},
         {F::Plz, u"10115"_s},
         {F::Ort, u"Berlin"_s},
         {F::Land, u"Deutschland"_s},
         {F::Email, u"ann.o'neil@example.org"_s},
         {F::Tel, u"030 1234"_s},
         {F::Mobil, u"0170 5"_s},
         {F::Fax, u"030 9"_s},
         {F::Gebdat, u"29.02.1964"_s},
         {F::Icq, u"123456"_s},
         {F::Msn, u"ann@msn.example"_s},
         {F::Aim, u"Ann O'Neil"_s},
         {F::Website, u"https://example.org/a?b=c;d,e"_s},
         {F::Notiz, u"Grüße; mit Semikolon, Komma \\ Backslash\nund zweiter Zeile 😀"_s}},
        0);
    add({{F::Vname, u"Jürgen"_s},
         {F::Nname, u"Weiß"_s},
         {F::Str, u"Am Weg 7"_s},
         {F::Gebdat, u"01.01.1930"_s},
         {F::Notiz, u"`Gravis` und 'Apostroph'"_s}},
        1);
    add({{F::Vname, u"Émile"_s},
         {F::Nname, u"Zola-Ötzi 🦔"_s},
         {F::Hausnr, u"5"_s},
         {F::Ort, u"Köln"_s},
         {F::Gebdat, u"24.12.1899"_s},
         {F::Notiz, u"Ein langer Text über fünfundsiebzig Oktette hinaus, mit Ümläuten und "
                    u"Emoji 😀😀😀😀😀😀 damit das Falten eine UTF-8-Folge treffen könnte."_s}},
        1);
    add({{F::Vname, u"Zoë"_s}, {F::Nname, u"Ohne"_s}}, 0);

    QBuffer buffer;
    QString error;
    QVERIFY(!exportAddresses(*m_db, buffer, error));
    QCOMPARE(error, u"Die Datei lässt sich nicht schreiben: "_s + buffer.errorString());
    buffer.open(QIODevice::WriteOnly);
    error.clear();
    QVERIFY(exportAddresses(*m_db, buffer, error));
    QCOMPARE(error, QString());
    const QByteArray exported = buffer.data();
    QVERIFY(exported.endsWith("END:VCARD\r\n"));
    QList<QByteArray> lines = exported.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    for (const QByteArray& line : std::as_const(lines))
        QVERIFY2(line.endsWith('\r') && line.size() <= 76, line.constData());
    for (const char* expected :
         {"\r\nN:O'Neil;Ann;Mary;;\r\n", "\r\nNICKNAME:Annie\\, die Große\r\n",
          "\r\nBDAY:19640229\r\n", "\r\nBDAY:18991224\r\n", "\r\nGENDER:F\r\n",
          "\r\nTEL;TYPE=home,voice:030 1234\r\n", "\r\nIMPP:aim:Ann%20O%27Neil\r\n",
          "\r\nADR;TYPE=home;X-RUVO-HAUSNR=12a:;;Hauptstraße 12a;Berlin;;10115;Deutschlan\r\n "
          "d\r\n"})
        QVERIFY2(exported.contains(expected), expected);

    const QString allColumns = u"SELECT "_s + kColumns + u" FROM adressbuch ORDER BY id"_s;
    const QString allBirthdays = u"SELECT date, year, desc, nextmsg FROM geburtstage ORDER BY id"_s;
    TestDirectory otherDir;
    auto other = createBootstrappedDatabase(otherDir.filePath(u"data.zr"_s));
    QVERIFY(other);
    const AddressImportPlan plan = readAddressFile(exported);
    QCOMPARE(plan.error, QString());
    QCOMPARE(plan.withoutName + plan.withoutGender, 0);
    ImportReport report = storeAddresses(*other, plan, {});
    QCOMPARE(report.addresses, 4);
    QCOMPARE(report.problems, QStringList());
    QCOMPARE(queryRows(*other, allColumns), queryRows(*m_db, allColumns));
    QCOMPARE(queryRows(*other, allBirthdays), queryRows(*m_db, allBirthdays));
    QCOMPARE(queryRows(*other, u"SELECT date, year FROM geburtstage ORDER BY id"_s),
             (QStringList{u"951782401|1964"_s, u"946684801|1930"_s, u"977616001|1899"_s}));

    report = storeAddresses(*other, readAddressFile(exported), {});
    QCOMPARE(report.addresses, 0);
    QCOMPARE(report.duplicates, 4);
    QCOMPARE(queryNumber(*other, u"SELECT COUNT(*) FROM adressbuch"_s), 4);
}

void TestVCard::exportNamesEachCardStably()
{
    ScriptedPrompter prompter;
    for (const QString& name : {u"Erst"_s, u"Zweit"_s, u"Dritt"_s}) {
        AddressValues values;
        values[AddressField::Vname] = u"Vera"_s;
        values[AddressField::Nname] = name;
        values.anrede = 0;
        QVERIFY(insertAddress(*m_db, prompter, values));
    }
    // Each card's UID and REV, in the order of the cards.
    auto stamps = [this] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        [&] { QVERIFY(exportAddresses(*m_db, buffer, error)); }();
        QMap<QString, QString> uids;
        static const QRegularExpression kCard(
                uR"(N:(\w+);Vera;;;\r\n(?:.*\r\n)*?UID:(urn:uuid:[0-9a-f-]{36})\r\nREV:(\d{8}T\d{6}Z)\r\nEND:VCARD)"_s);
        auto it = kCard.globalMatch(QString::fromUtf8(buffer.data()));
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            uids.insert(match.captured(1), match.captured(2));
        }
        return uids;
    };
    const QMap<QString, QString> first = stamps();
    QCOMPARE(first.size(), 3);
    QCOMPARE(QSet<QString>(first.begin(), first.end()).size(), 3);

    // Neither a changed name nor a deleted earlier entry moves the others' UIDs.
    QVERIFY(m_db->execSql(u"UPDATE adressbuch SET nname='Neu' WHERE nname='Dritt'"_s));
    QVERIFY(m_db->execSql(u"DELETE FROM adressbuch WHERE nname='Erst'"_s));
    const QMap<QString, QString> second = stamps();
    QCOMPARE(second, (QMap<QString, QString>{{u"Zweit"_s, first.value(u"Zweit"_s)},
                                             {u"Neu"_s, first.value(u"Dritt"_s)}}));
}

QTEST_GUILESS_MAIN(TestVCard)
#include "tst_vcard.moc"
