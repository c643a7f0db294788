#include "common/preferences.h"
#include "notes/notesfile.h"
#include "notes/notespage.h"

#include "support/testdatabase.h"

#include <QFile>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

class TestNotes : public QObject
{
    Q_OBJECT
private slots:
    void placeholderLines_data();
    void placeholderLines();
    void separatorLinesAreDropped();
    void serializeEndsEveryLineWithCrLf();
    void loadKeepsTextAndDropsPicturesWithoutActiveOne();
    void saveAndLoadRoundTrip_data();
    void saveAndLoadRoundTrip();
    void missingFileGivesEmptyNotes();
};

void TestNotes::placeholderLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("picture");
    QTest::newRow("new picture") << u"BBBBBBBBBBBBBBBBBBBBBBB07"_s << 7;
    QTest::newRow("rendered row with blanks") << u"   BBBBBBBBBBBBBBBBBBBB12"_s << 12;
    QTest::newRow("fifteen B") << u"BBBBBBBBBBBBBBB03"_s << 3;
    QTest::newRow("fourteen B") << u"BBBBBBBBBBBBBB03"_s << 0;
    QTest::newRow("no number") << u"BBBBBBBBBBBBBBBBBBBBBB"_s << 0;
    QTest::newRow("text") << u"Bücher kaufen"_s << 0;
}

void TestNotes::placeholderLines()
{
    QFETCH(QString, line);
    QFETCH(int, picture);
    QCOMPARE(NotesFile::placeholderNumber(line), picture);
}

void TestNotes::separatorLinesAreDropped()
{
    const auto lines = NotesFile::parse("eins\r\n-\r\n - \r\nzwei\r\n");
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0].text, u"eins"_s);
    QCOMPARE(lines[1].text, u" - "_s);
    QCOMPARE(lines[2].text, u"zwei"_s);
}

void TestNotes::serializeEndsEveryLineWithCrLf()
{
    QCOMPARE(NotesFile::serialize({u"a"_s, QString(), u"Größe"_s}), QByteArray("a\r\n\r\nGr\xf6\xdf"
                                                                               "e\r\n"));
    QCOMPARE(NotesFile::serialize({u"🙂"_s}), QByteArray("\xf0\x9f\x99\x82\r\n"));
}

void TestNotes::loadKeepsTextAndDropsPicturesWithoutActiveOne()
{
    TestDirectory dir;
    const QString path = dir.filePath(u"notizen.zr"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Anfang\r\nBBBBBBBBBBBBBBBBBBBBBBB01\r\nBBBBBBBBBBBBBBBBBBBBBBB01\r\n-\r\nEnde\r\n");
    file.close();

    NotesPage page(645, 500, Preferences());
    page.loadNotes(path, dir.filePath(u"ascii/"_s), 0);
    QCOMPARE(page.editor()->toPlainText(), u"Anfang\nEnde"_s);
    // With a picture active but its file missing, the placeholder goes too.
    page.loadNotes(path, dir.filePath(u"ascii/"_s), 1);
    QCOMPARE(page.editor()->toPlainText(), u"Anfang\nEnde"_s);
}

void TestNotes::saveAndLoadRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << u"Einkaufen\nMilch, Brot"_s;
    QTest::newRow("empty lines") << u"\n\nmitten\n\n"_s;
    QTest::newRow("umlauts and emoji") << u"Grüße 🎉\n'quoted' 100%"_s;
    QTest::newRow("empty") << QString();
}

void TestNotes::saveAndLoadRoundTrip()
{
    QFETCH(QString, text);
    TestDirectory dir;
    const QString path = dir.filePath(u"notizen.zr"_s);
    NotesPage page(645, 500, Preferences());
    page.editor()->setPlainText(text);
    QVERIFY(page.saveNotes(path));
    NotesPage again(645, 500, Preferences());
    again.loadNotes(path, dir.filePath(u"ascii/"_s), 0);
    QCOMPARE(again.editor()->toPlainText(), text);
}

void TestNotes::missingFileGivesEmptyNotes()
{
    NotesPage page(645, 500, Preferences());
    page.editor()->setPlainText(u"old"_s);
    page.loadNotes(u"/nonexistent/notizen.zr"_s, u"/nonexistent/ascii/"_s, 0);
    QCOMPARE(page.editor()->toPlainText(), QString());
}

QTEST_MAIN(TestNotes)
#include "tst_notes.moc"
