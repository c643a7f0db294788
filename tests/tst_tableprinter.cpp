#include "common/datevalue.h"
#include "common/grouppalette.h"
#include "common/programfont.h"
#include "output/tableprintdialog.h"
#include "output/tableprinter.h"
#include "store/database.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const DateValue kNow = makeDate(2026, 12, 8, 10, 0, 0);

DateValue at(int y, int m, int d, int h, int i)
{
    return makeDate(y, m, d, h, i, 1);
}

// A weekly series of `weeks` members from `first`, each `length` seconds, in group 7; its key.
qint64 insertWeeklySeries(Database& db, DateValue first, int weeks, DateValue length,
                          const QString& description)
{
    const qint64 head = insertTestAppointment(db, {first, first + length, 7, description});
    db.execSql(u"UPDATE termine SET belong=%1 WHERE id=%1"_s.arg(head));
    for (int week = 1; week < weeks; ++week) {
        const DateValue start = first + week * 7 * kSecondsPerDay;
        insertTestAppointment(db, {start, start + length, 7, description, 0, 0, head});
    }
    return head;
}

} // namespace

class TestTablePrinter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyTableIsOnePageWithHeadingAndHeader();
    void seriesPrintedOnceAndPastAppointmentAbsent();
    void overflowingRowStartsPageTwo();
    void longTextsAreCutToTheirColumn();
    void failedQueryIsReported();
    void previewPixels_data();
    void previewPixels();
    void dialogRedrawsPreviewWithOption();
    void dialogControlsFitTheirTexts();
    void datesAndTimesFitTheirColumns();
    void runningSeriesIsPrintedAsItsNextMember();

private:
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;

    // Prints onto a 4 x 4 inch page at 256 dpi: 1024 pixels over 102 mm, 10 pixels a millimetre,
    // and returns the pages' texts (empty texts when pdftotext is missing) and the page count.
    int print(QStringList* pageTexts);
    bool m_haveTextTool = false;
};

void TestTablePrinter::initTestCase()
{
    QApplication::setFont(interfaceFont());
}

void TestTablePrinter::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_haveTextTool = !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty();
}

void TestTablePrinter::cleanup()
{
    m_db.reset();
    m_dir.reset();
    m_prompter.clear();
}

int TestTablePrinter::print(QStringList* pageTexts)
{
    const QString pdf = m_dir->filePath(u"table.pdf"_s);
    {
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(256);
        printer.setPageSize(QPageSize(QSizeF(4, 4), QPageSize::Inch));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        printer.setFullPage(true);
        if (printer.height() != 1024 || printer.height() / printer.heightMM() != 10)
            return -1;
        TablePrinter::printAppointmentTable(printer, *m_db, m_prompter, kNow, false);
    }
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    const int pages = static_cast<int>(
            QString::fromLatin1(bytes).count(QRegularExpression(u"/Type\\s*/Page[^s]"_s)));
    pageTexts->clear();
    for (int page = 1; page <= pages; ++page) {
        QString text;
        if (m_haveTextTool) {
            QProcess tool;
            tool.start(u"pdftotext"_s, {u"-raw"_s, u"-f"_s, QString::number(page), u"-l"_s,
                                        QString::number(page), pdf, u"-"_s});
            tool.waitForFinished();
            text = QString::fromUtf8(tool.readAllStandardOutput()).simplified();
        }
        *pageTexts << text;
    }
    return pages;
}

void TestTablePrinter::emptyTableIsOnePageWithHeadingAndHeader()
{
    QStringList pages;
    QCOMPARE(print(&pages), 1);
    if (!m_haveTextTool)
        QSKIP("pdftotext is not installed");
    QVERIFY2(pages[0].contains(u"Termine 2026 (Seite 1):"_s), qPrintable(pages[0]));
    for (const QString& title :
         {u"Nr:"_s, u"Gruppe:"_s, u"Berschreibung:"_s, u"Anfang:"_s, u"Ende:"_s})
        QVERIFY2(pages[0].contains(title), qPrintable(title));
}

void TestTablePrinter::seriesPrintedOnceAndPastAppointmentAbsent()
{
    const qint64 head = insertWeeklySeries(*m_db, at(2026, 12, 10, 9, 0), 50, 3600, u"Gymnastik"_s);
    // Started a minute ago: no longer coming.
    insertTestAppointment(*m_db, {kNow - 60, kNow + 3600, 7, u"Vergangen"_s});
    insertTestAppointment(*m_db, {at(2027, 1, 5, 14, 30), at(2027, 1, 5, 15, 0), 7, u"Zahnarzt"_s});

    QStringList pages;
    QCOMPARE(print(&pages), 1);
    if (!m_haveTextTool)
        QSKIP("pdftotext is not installed");
    const QString& text = pages[0];
    QCOMPARE(text.count(u"Gymnastik"_s), 1);
    QVERIFY2(text.contains(u"Wiederholt sich. (Termingruppe: %1)"_s.arg(head)), qPrintable(text));
    QVERIFY(!text.contains(u"Vergangen"_s));
    // The series first, then the single appointment; dates as day.month.two-digit year.
    QVERIFY(text.indexOf(u"Gymnastik"_s) < text.indexOf(u"Zahnarzt"_s));
    QVERIFY(text.contains(u"10.12.26"_s));
    QVERIFY(text.contains(u"09:00 Uhr"_s));
    QVERIFY(text.contains(u"05.01.27"_s));
    QVERIFY(text.contains(u"14:30 Uhr"_s));
    QVERIFY(text.contains(u"Arzt"_s));
}

void TestTablePrinter::overflowingRowStartsPageTwo()
{
    // 1024 pixels high at 10 a millimetre: the table starts at 250, rows sit 120 apart from
    // 370 on, and a row whose text would begin below 924 goes to the next page. Rows at 370,
    // 490, 610, 730 and 850 fit; the sixth would start at 970.
    const QStringList names{u"Alpha"_s, u"Bravo"_s, u"Charlie"_s,
                            u"Delta"_s, u"Echo"_s,  u"Foxtrot"_s};
    for (int i = 0; i < names.size(); ++i)
        insertTestAppointment(*m_db,
                              {at(2027, 2, 1 + i, 8, 0), at(2027, 2, 1 + i, 9, 0), 7, names[i]});
    QStringList pages;
    QCOMPARE(print(&pages), 2);
    if (!m_haveTextTool)
        QSKIP("pdftotext is not installed");
    for (int i = 0; i < 5; ++i)
        QVERIFY2(pages[0].contains(names[i]), qPrintable(names[i]));
    QVERIFY(!pages[0].contains(names[5]));
    QVERIFY2(pages[1].contains(u"Termine 2026 (Seite 2):"_s), qPrintable(pages[1]));
    QVERIFY(pages[1].contains(u"Nr:"_s));
    QVERIFY(pages[1].contains(names[5]));
}

void TestTablePrinter::longTextsAreCutToTheirColumn()
{
    const QString longText = u"Sehr lange Beschreibung "_s.repeated(12) + u"ENDE"_s;
    insertTestAppointment(*m_db, {at(2027, 3, 1, 8, 0), at(2027, 3, 1, 9, 0), 7, longText});
    QStringList pages;
    QCOMPARE(print(&pages), 1);
    if (!m_haveTextTool)
        QSKIP("pdftotext is not installed");
    QVERIFY2(pages[0].contains(u"Sehr lange Beschreibung"_s), qPrintable(pages[0]));
    QVERIFY(!pages[0].contains(u"ENDE"_s));
}

void TestTablePrinter::failedQueryIsReported()
{
    QVERIFY(m_db->execSql(u"DROP TABLE termine"_s));
    QStringList pages;
    QCOMPARE(print(&pages), 1);
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls().first().title, u"Datenbankfehler"_s);

    m_prompter.clear();
    const QImage preview = TablePrinter::drawTablePreview(*m_db, m_prompter, kNow, false);
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(preview.pixel(100, 10), qRgb(255, 255, 255));
}

void TestTablePrinter::previewPixels_data()
{
    QTest::addColumn<bool>("groupColours");
    QTest::newRow("plain") << false;
    QTest::newRow("group colours") << true;
}

void TestTablePrinter::previewPixels()
{
    QFETCH(bool, groupColours);
    insertTestAppointment(*m_db, {at(2027, 3, 1, 8, 0), at(2027, 3, 1, 9, 0), 7, u"x"_s});
    const QImage image = TablePrinter::drawTablePreview(*m_db, m_prompter, kNow, groupColours);
    QCOMPARE(image.size(), QSize(200, 200));
    const QRgb grey = qRgb(195, 195, 195);
    // Header: top line at y 10 from x 10 to 180, the left edge down from it, the line under
    // the header texts at 10 + 12 - 2.
    QCOMPARE(image.pixel(100, 10), grey);
    QCOMPARE(image.pixel(10, 15), grey);
    QCOMPARE(image.pixel(100, 20), grey);
    // The first row fills y 22 to 33; its closing line lies at 10 + 24 - 2.
    QCOMPARE(image.pixel(100, 32), grey);
    QCOMPARE(image.pixel(100, 30), groupColours ? groupColor(7) | 0xFF000000 : qRgb(255, 255, 255));
    // Below the table the page stays white.
    QCOMPARE(image.pixel(100, 60), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(190, 100), qRgb(255, 255, 255));
}

void TestTablePrinter::dialogRedrawsPreviewWithOption()
{
    QList<bool> requests;
    TablePrintDialog dialog([&requests](bool colours) {
        requests << colours;
        return QImage(200, 200, QImage::Format_RGB32);
    });
    QCOMPARE(dialog.windowTitle(), u"Termintabelle drucken"_s);
    QCOMPARE(dialog.size(), QSize(200, 250));
    QCOMPARE(dialog.groupColourBox()->text(), u"Tabellenzeilen mit Gruppenfarbe füllen"_s);
    QCOMPARE(dialog.previewLabel()->geometry(), QRect(0, 0, 200, 200));
    dialog.groupColourBox()->click();
    dialog.groupColourBox()->click();
    QCOMPARE(requests, (QList<bool>{false, true, false}));
    QVERIFY(!dialog.groupColours());
}

void TestTablePrinter::dialogControlsFitTheirTexts()
{
    TablePrintDialog dialog([](bool) { return QImage(200, 200, QImage::Format_RGB32); });
    QCheckBox* box = dialog.groupColourBox();
    QVERIFY2(box->sizeHint().width() <= box->width(),
             qPrintable(QString::number(box->sizeHint().width())));
    QCOMPARE(box->geometry(), QRect(0, 210, 200, 15));
    for (const QString& name : {u"cancelButton"_s, u"okButton"_s}) {
        auto* button = dialog.findChild<QPushButton*>(name);
        QVERIFY(button);
        // The text itself and a few pixels of the frame on either side.
        const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
        QVERIFY2(needed <= button->width(), qPrintable(name + u' ' + QString::number(needed)));
        QCOMPARE(button->font(), dialog.font());
        QCOMPARE(button->y(), 227);
    }
    const QRect cancel = dialog.findChild<QPushButton*>(u"cancelButton"_s)->geometry();
    const QRect ok = dialog.findChild<QPushButton*>(u"okButton"_s)->geometry();
    QCOMPARE(cancel.left(), 10);
    QVERIFY(ok.left() > cancel.right());
    QVERIFY(ok.right() < dialog.width());
}

void TestTablePrinter::datesAndTimesFitTheirColumns()
{
    if (!m_haveTextTool)
        QSKIP("pdftotext is not installed");
    insertTestAppointment(*m_db, {at(2027, 3, 1, 8, 0), at(2027, 12, 31, 23, 59), 7, u"x"_s});
    QStringList pages;
    QCOMPARE(print(&pages), 1);
    QProcess tool;
    tool.start(u"pdftotext"_s, {u"-bbox"_s, m_dir->filePath(u"table.pdf"_s), u"-"_s});
    QVERIFY(tool.waitForFinished());
    const QString boxes = QString::fromUtf8(tool.readAllStandardOutput());
    // The 4 inch page is 288 points for 1024 pixels; the table starts at 30 pixels and is 934
    // wide, so "Anfang:" spans 30 + 747 to 30 + 841 and "Ende:" ends at 30 + 934.
    const double pointsPerPixel = 288.0 / 1024.0;
    const QRegularExpression word(
            u"<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)</word>"_s);
    int checked = 0;
    for (auto match = word.globalMatch(boxes); match.hasNext();) {
        const auto m = match.next();
        const QString text = m.captured(3);
        if (text != u"01.03.27"_s && text != u"31.12.27"_s && text != u"Uhr"_s)
            continue;
        const double xMin = m.captured(1).toDouble() / pointsPerPixel;
        const double xMax = m.captured(2).toDouble() / pointsPerPixel;
        const bool start = xMin < 30 + 841;
        QVERIFY2(xMax <= (start ? 30 + 841 : 30 + 934),
                 qPrintable(text + u' ' + QString::number(xMax)));
        ++checked;
    }
    QCOMPARE(checked, 4);
}

void TestTablePrinter::runningSeriesIsPrintedAsItsNextMember()
{
    // A weekly series that began a month ago, and one wholly past.
    const qint64 head = insertWeeklySeries(*m_db, at(2026, 11, 5, 18, 0), 10, 3600, u"Chor"_s);
    insertWeeklySeries(*m_db, at(2026, 10, 1, 8, 0), 2, 60, u"Vorbei"_s);

    QStringList pages;
    QCOMPARE(print(&pages), 1);
    if (!m_haveTextTool)
        QSKIP("pdftotext is not installed");
    const QString& text = pages[0];
    QCOMPARE(text.count(u"Chor"_s), 1);
    QVERIFY(!text.contains(u"Vorbei"_s));
    // 5 November + 5 weeks = 10 December, the first member after 8 December, 10:00.
    QVERIFY2(text.contains(u"10.12.26"_s), qPrintable(text));
    QVERIFY(!text.contains(u"03.12.26"_s));
    QVERIFY(text.contains(u"Wiederholt sich. (Termingruppe: %1)"_s.arg(head)));
}

QTEST_MAIN(TestTablePrinter)
#include "tst_tableprinter.moc"
