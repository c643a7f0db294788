#include "core/context.h"
#include "notes/asciipicture.h"
#include "notes/notesactions.h"
#include "notes/notespage.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kPlaceholder01 = u"BBBBBBBBBBBBBBBBBBBBBBB01"_s;

// Runs of rendered rows shown as "01: rows x letters", other lines as they are.
QStringList summary(const QStringList& lines)
{
    QStringList out;
    QString current;
    int rows = 0;
    qsizetype letters = 0;
    const auto flush = [&] {
        if (rows > 0)
            out << u"%1: %2 x %3"_s.arg(current).arg(rows).arg(letters);
        rows = 0;
    };
    for (const QString& line : lines) {
        if (line.startsWith(u"BBBBBBBBBBBBBBB"_s)) {
            if (rows > 0 && line.right(2) == current) {
                ++rows;
                continue;
            }
            flush();
            current = line.right(2);
            letters = line.size() - 2;
            rows = 1;
            continue;
        }
        flush();
        out << line;
    }
    flush();
    return out;
}

QImage filled(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestNotesPictures : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void insertedPictureIsStoredAndDrawn_data();
    void insertedPictureIsStoredAndDrawn();
    void tallPictureIsPlacedAsAlways();
    void cellColourIsTheAverageOfItsPixels();
    void drawnLettersCarryTheCellColours();
    void loadNotes_data();
    void loadNotes();
    void cancelledDialogHidesAllPicturesAndKeepsTypedText();
    void hundredthPictureIsRefused();
    void unreadablePictureIsReported();
    void removeAllPictures();
    void notesAreSavedAfterTypingPauses();

private:
    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{makeDate(2026, 12, 8, 10, 0, 0)};
    std::unique_ptr<Context> m_ctx;
    std::unique_ptr<NotesPage> m_page;

    void writeNotes(const QByteArray& bytes);
    void savePicture(int number, const QImage& image);
};

void TestNotesPictures::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_ctx = std::make_unique<Context>(m_dir->path(), m_prompter, m_clock);
    m_page = std::make_unique<NotesPage>(645, 500, m_ctx->prefs);
}

void TestNotesPictures::cleanup()
{
    m_page.reset();
    m_ctx.reset();
    m_dir.reset();
    m_prompter.clear();
}

void TestNotesPictures::writeNotes(const QByteArray& bytes)
{
    QFile file(m_dir->filePath(u"notizen.zr"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestNotesPictures::savePicture(int number, const QImage& image)
{
    QVERIFY(QDir().mkpath(m_dir->filePath(u"ascii"_s)));
    QVERIFY(image.save(m_dir->filePath(AsciiPicture::fileName(number)), "PNG"));
}

void TestNotesPictures::insertedPictureIsStoredAndDrawn_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QString>("rows");
    // Rows: the first always, then while row x height < picture height - row height.
    QTest::newRow("wide 1000 x 500") << QSize(1000, 500) << QSize(500, 250) << u"01: 31 x 90"_s;
    QTest::newRow("tall 500 x 750") << QSize(500, 750) << QSize(250, 500) << u"01: 124 x 40"_s;
    QTest::newRow("very tall 400 x 1000")
            << QSize(400, 1000) << QSize(500, 500) << u"01: 62 x 90"_s;
    QTest::newRow("flat 2000 x 400") << QSize(2000, 400) << QSize(500, 100) << u"01: 33 x 200"_s;
    QTest::newRow("square 300 x 300") << QSize(300, 300) << QSize(500, 500) << u"01: 62 x 90"_s;
    QTest::newRow("banner 500 x 200") << QSize(500, 200) << QSize(500, 200) << u"01: 49 x 160"_s;
    // 48 megapixels: over Qt's default allocation limit when decoded whole.
    QTest::newRow("camera photo 8000 x 6000")
            << QSize(8000, 6000) << QSize(500, 375) << u"01: 46 x 90"_s;
}

void TestNotesPictures::insertedPictureIsStoredAndDrawn()
{
    QFETCH(QSize, source);
    QFETCH(QSize, stored);
    QFETCH(QString, rows);
    writeNotes("Urlaub\r\n");
    NotesActions actions(*m_ctx, *m_page);
    const QString photo = m_dir->filePath(u"foto.jpg"_s);
    QVERIFY(filled(source.width(), source.height(), QColor(30, 120, 200)).save(photo, "JPEG"));

    m_prompter.answerFile(photo);
    actions.insertPicture();

    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls()[0].title, u"Bild auswählen"_s);
    QCOMPARE(m_prompter.calls()[0].filter, u"Bilder | *.jpg;*.png;*.bmp"_s);
    QCOMPARE(m_ctx->prefs.asciiimage, 1);
    QCOMPARE(m_page->insertPictureButton()->text(), u"ASCII-Bild einfügen (derzeit ist 1 aktiv)"_s);
    const QImage file(m_dir->filePath(u"ascii/01.png"_s));
    QCOMPARE(file.size(), stored);
    QCOMPARE(summary(m_page->lines()), (QStringList{u"Urlaub"_s, rows, u"-"_s}));

    // The rendered rows are what the file keeps; a reload draws the picture once again.
    QVERIFY(actions.saveNotes());
    actions.loadNotes();
    QCOMPARE(summary(m_page->lines()), (QStringList{u"Urlaub"_s, rows, u"-"_s}));
}

void TestNotesPictures::tallPictureIsPlacedAsAlways()
{
    QImage source = filled(500, 750, Qt::red);
    const QImage stored = AsciiPicture::prepareForStorage(source);
    QCOMPARE(stored.size(), QSize(250, 500));
    // 250 x 375 of picture at the top, black below it, drawn from x = 100 - 167 / 2 = 17 on.
    QCOMPARE(stored.pixel(16, 10), qRgb(0, 0, 0));
    QCOMPARE(stored.pixel(17, 10), qRgb(255, 0, 0));
    QCOMPARE(stored.pixel(249, 370), qRgb(255, 0, 0));
    QCOMPARE(stored.pixel(125, 380), qRgb(0, 0, 0));
    // Very tall: 200 x 500 centred in 500 x 500.
    const QImage letterboxed = AsciiPicture::prepareForStorage(filled(400, 1000, Qt::red));
    QCOMPARE(letterboxed.pixel(100, 250), qRgb(0, 0, 0));
    QCOMPARE(letterboxed.pixel(160, 250), qRgb(255, 0, 0));
    QCOMPARE(letterboxed.pixel(340, 250), qRgb(255, 0, 0));
    QCOMPARE(letterboxed.pixel(360, 250), qRgb(0, 0, 0));
}

void TestNotesPictures::cellColourIsTheAverageOfItsPixels()
{
    // 250 x 500: 40 letters per row, rows of 4. Cell 0 covers x 1-6 (250 / 41 = 6) and y 1-4;
    // column 0 and row 0 are never sampled.
    QImage image = filled(250, 500, Qt::blue);
    for (int y = 0; y < 500; ++y)
        for (int x = 1; x <= 3; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    for (int y = 0; y < 500; ++y)
        image.setPixel(0, y, qRgb(0, 255, 0));
    for (int x = 0; x < 250; ++x)
        image.setPixel(x, 0, qRgb(0, 255, 0));
    // The last column (x 244-249 from 250 * 41 / 41 on) is never sampled either.
    for (int y = 0; y < 500; ++y)
        image.setPixel(249, y, qRgb(0, 255, 0));

    const QList<QList<QRgb>> cells = AsciiPicture::cellColours(image);
    QCOMPARE(cells.size(), 124);
    QCOMPARE(cells[0].size(), 40);
    QCOMPARE(cells[0][0], qRgb(127, 0, 127)); // three red, three blue: 765 / 6 truncated
    QCOMPARE(cells[0][1], qRgb(0, 0, 255));
    QCOMPARE(cells[5][0], qRgb(127, 0, 127));
    QCOMPARE(cells[0][39], qRgb(0, 0, 255)); // x 237-243
}

void TestNotesPictures::drawnLettersCarryTheCellColours()
{
    QImage image = filled(250, 500, Qt::blue);
    for (int y = 0; y < 500; ++y)
        for (int x = 1; x <= 3; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    savePicture(1, image);
    writeNotes(kPlaceholder01.toLatin1() + "\r\n");
    m_page->loadNotes(m_dir->filePath(u"notizen.zr"_s), m_dir->filePath(u"ascii/"_s), 1);

    const QTextBlock row = m_page->editor()->document()->firstBlock();
    QCOMPARE(row.text(), QString(40, u'B') + u"01"_s);
    const auto formatAt = [&row](int offset) {
        QTextCursor cursor(row);
        cursor.setPosition(row.position() + offset + 1);
        return cursor.charFormat();
    };
    QCOMPARE(formatAt(0).foreground().color(), QColor(127, 0, 127));
    QCOMPARE(formatAt(0).fontPointSize(), 3.0);
    QCOMPARE(formatAt(1).foreground().color(), QColor(0, 0, 255));
    QCOMPARE(formatAt(40).foreground().color(), QColor(Qt::black));

    const QTextBlock separator = m_page->editor()->document()->lastBlock();
    QCOMPARE(separator.text(), u"-"_s);
    QTextCursor cursor(separator);
    cursor.setPosition(separator.position() + 1);
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(0xAA, 0x00, 0x00));
    QCOMPARE(cursor.charFormat().fontPointSize(), 12.0);
    // The caret waits after the separator.
    QCOMPARE(m_page->editor()->textCursor().position(), separator.position() + 1);
}

void TestNotesPictures::loadNotes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("active");
    QTest::addColumn<QStringList>("lines");
    const QByteArray twice =
            "A\r\n" + kPlaceholder01.toLatin1() + "\r\n   BBBBBBBBBBBBBBBBBB01\r\nB\r\n";
    QTest::newRow("two placeholder lines drawn once")
            << twice << 1 << QStringList{u"A"_s, u"01: 124 x 40"_s, u"-"_s, u"B"_s};
    QTest::newRow("no active picture") << twice << 0 << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("lone separator dropped")
            << QByteArray("x\r\n-\r\ny\r\n") << 1 << QStringList{u"x"_s, u"y"_s};
    QTest::newRow("missing picture file") << QByteArray("x\r\nBBBBBBBBBBBBBBBBBBBBBBB02\r\ny\r\n")
                                          << 2 << QStringList{u"x"_s, u"y"_s};
    QTest::newRow("picture first, empty lines kept")
            << "\r\n" + kPlaceholder01.toLatin1() + "\r\n-\r\n\r\nz\r\n"
            << 1 << QStringList{QString(), u"01: 124 x 40"_s, u"-"_s, QString(), u"z"_s};
}

void TestNotesPictures::loadNotes()
{
    QFETCH(QByteArray, file);
    QFETCH(int, active);
    QFETCH(QStringList, lines);
    savePicture(1, filled(250, 500, Qt::darkGreen));
    writeNotes(file);
    m_page->loadNotes(m_dir->filePath(u"notizen.zr"_s), m_dir->filePath(u"ascii/"_s), active);
    QCOMPARE(summary(m_page->lines()), lines);
    // Loading is nothing the user can undo.
    QVERIFY(!m_page->editor()->document()->isUndoAvailable());
}

void TestNotesPictures::cancelledDialogHidesAllPicturesAndKeepsTypedText()
{
    savePicture(1, filled(250, 500, Qt::darkGreen));
    writeNotes("A\r\n" + kPlaceholder01.toLatin1() + "\r\n");
    m_ctx->prefs.asciiimage = 1;
    NotesActions actions(*m_ctx, *m_page);
    QCOMPARE(summary(m_page->lines()), (QStringList{u"A"_s, u"01: 124 x 40"_s, u"-"_s}));
    m_page->appendLine(u"eben getippt"_s);

    actions.insertPicture();
    QCOMPARE(m_ctx->prefs.asciiimage, 0);
    QCOMPARE(m_page->lines(), (QStringList{u"A"_s, u"eben getippt"_s}));
    QCOMPARE(m_page->insertPictureButton()->text(),
             u"ASCII-Bild einfügen (derzeit ist keins aktiv)"_s);
}

void TestNotesPictures::hundredthPictureIsRefused()
{
    m_ctx->prefs.asciiimage = 99;
    NotesActions actions(*m_ctx, *m_page);
    m_prompter.answerFile(m_dir->filePath(u"foto.png"_s));
    actions.insertPicture();
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls()[0].kind, ScriptedPrompter::Kind::Warn);
    QCOMPARE(m_prompter.calls()[0].title, u"ASCII-Bild"_s);
    QCOMPARE(m_ctx->prefs.asciiimage, 99);
    QVERIFY(!QFile::exists(m_dir->filePath(u"ascii/100.png"_s)));
}

void TestNotesPictures::unreadablePictureIsReported()
{
    const QString junk = m_dir->filePath(u"kaputt.png"_s);
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    NotesActions actions(*m_ctx, *m_page);
    m_prompter.answerFile(junk);
    actions.insertPicture();
    QCOMPARE(m_prompter.transcript().last(), u"Fehler / Das Bild \""_s +
                                                     QDir::toNativeSeparators(junk) +
                                                     u"\" konnte nicht geladen werden."_s);
    QCOMPARE(m_ctx->prefs.asciiimage, 0);
    QCOMPARE(m_page->lines(), QStringList{QString()});
}

void TestNotesPictures::removeAllPictures()
{
    savePicture(1, filled(250, 500, Qt::darkGreen));
    savePicture(2, filled(500, 250, Qt::darkGreen));
    writeNotes("A\r\n" + kPlaceholder01.toLatin1() + "\r\nB\r\nBBBBBBBBBBBBBBBBBBBBBBB02\r\n");
    m_ctx->prefs.asciiimage = 2;
    NotesActions actions(*m_ctx, *m_page);
    QCOMPARE(summary(m_page->lines()),
             (QStringList{u"A"_s, u"01: 124 x 40"_s, u"-"_s, u"B"_s, u"02: 31 x 90"_s, u"-"_s}));

    actions.removeAllPictures();
    QCOMPARE(m_ctx->prefs.asciiimage, 0);
    QVERIFY(!QDir(m_dir->filePath(u"ascii"_s)).exists());
    QCOMPARE(m_page->lines(), (QStringList{u"A"_s, u"B"_s}));
    QFile notes(m_dir->filePath(u"notizen.zr"_s));
    QVERIFY(notes.open(QIODevice::ReadOnly));
    QVERIFY(!notes.readAll().contains("BBBBBBBBBBBBBBB"));
    notes.close();
    QVERIFY(actions.saveNotes());
    QVERIFY(notes.open(QIODevice::ReadOnly));
    QCOMPARE(notes.readAll(), QByteArray("A\r\nB\r\n"));
}

void TestNotesPictures::notesAreSavedAfterTypingPauses()
{
    writeNotes("alt\r\n");
    NotesActions actions(*m_ctx, *m_page);
    m_page->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(m_page->editor(), u" und neu"_s);
    QFile notes(m_dir->filePath(u"notizen.zr"_s));
    const auto contents = [&notes] {
        notes.open(QIODevice::ReadOnly);
        const QByteArray bytes = notes.readAll();
        notes.close();
        return bytes;
    };
    QCOMPARE(contents(), QByteArray("alt\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(contents(), QByteArray("alt und neu\r\n"),
                              NotesActions::kSaveDelayMs * 3);
}

QTEST_MAIN(TestNotesPictures)
#include "tst_notespictures.moc"
