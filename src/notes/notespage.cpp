#include "notes/notespage.h"

#include "common/preferences.h"
#include "common/programfont.h"
#include "notes/asciipicture.h"
#include "notes/notesfile.h"
#include "notes/urlhighlighter.h"
#include "views/controls.h"

#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {
// Stored colours are 0x00BBGGRR.
QColor fromColorRef(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
} // namespace

QString NotesPage::insertButtonText(int activePicture)
{
    if (activePicture != 0)
        return u"ASCII-Bild einfügen (derzeit ist "_s + QString::number(activePicture) +
               u" aktiv)"_s;
    return u"ASCII-Bild einfügen (derzeit ist keins aktiv)"_s;
}

NotesPage::NotesPage(int w, int h, const Preferences& prefs, QWidget* parent)
    : QWidget(parent)
{
    m_editor = new QTextEdit(this);
    m_editor->setObjectName(u"notesEditor"_s);
    m_editor->setAccessibleName(u"Notizen"_s);
    m_editor->setGeometry(0, 0, w, h);
    m_editor->setFont(programFont(5));
    m_editor->setAcceptRichText(false);
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Base, fromColorRef(prefs.notizbackcolor));
    palette.setColor(QPalette::Text, fromColorRef(prefs.notizfrontcolor));
    m_editor->setPalette(palette);
    new UrlHighlighter(m_editor->document());

    m_remove = Controls::button(this, u"removePicturesButton"_s, u"Alle ASCII-Bilder entfernen"_s,
                                {410, h, 200, 20});
    m_insert = Controls::button(this, u"insertPictureButton"_s, insertButtonText(prefs.asciiimage),
                                {5, h, 400, 20});

    m_menu = new QMenu(this);
    m_menu->setObjectName(u"notesEditMenu"_s);
    m_menu->addAction(u"&Rückgängig"_s, m_editor, &QTextEdit::undo);
    m_menu->addAction(u"&Wiederholen"_s, m_editor, &QTextEdit::redo);
    m_menu->addSeparator();
    m_menu->addAction(u"&Ausschneiden"_s, m_editor, &QTextEdit::cut);
    m_menu->addAction(u"&Kopieren"_s, m_editor, &QTextEdit::copy);
    m_menu->addAction(u"&Einfügen"_s, m_editor, &QTextEdit::paste);
    m_menu->addAction(u"&Alles Markieren"_s, m_editor, &QTextEdit::selectAll);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(m_editor->viewport()->mapToGlobal(pos)); });
}

void NotesPage::loadNotes(const QString& path, const QString& pictureFolder, int activePicture)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();

    QTextDocument* document = m_editor->document();
    // Loading is no edit the user could undo; one edit block keeps layout and repaint to one
    // pass however many letters the pictures bring.
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    bool firstLine = true;
    const auto startLine = [&cursor, &firstLine] {
        if (!firstLine)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        firstLine = false;
    };
    int caret = -1;
    int previousPicture = 0;
    for (const NotesFile::Line& line : NotesFile::parse(bytes)) {
        if (line.picture == 0) {
            startLine();
            cursor.insertText(line.text, QTextCharFormat());
            continue;
        }
        // Consecutive placeholder lines are the rows of one rendered picture.
        if (line.picture == previousPicture)
            continue;
        previousPicture = line.picture;
        // Without an active picture, pictures are not shown at all.
        if (activePicture == 0)
            continue;
        const QImage picture(pictureFolder + QString::number(line.picture).rightJustified(2, u'0') +
                             u".png"_s);
        if (picture.isNull())
            continue;
        startLine();
        renderPicture(cursor, picture, line.text.right(2));
        caret = cursor.position();
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(true);

    QTextCursor place(document);
    if (caret >= 0)
        place.setPosition(caret);
    m_editor->setTextCursor(place);
    m_editor->setCurrentCharFormat(QTextCharFormat());
}

void NotesPage::renderPicture(QTextCursor& cursor, const QImage& picture, const QString& number)
{
    QTextCharFormat letter;
    letter.setFontPointSize(3);
    letter.setForeground(QColor(0x11, 0x11, 0x11));
    QTextCharFormat digits = letter;
    digits.setForeground(Qt::black);

    const QList<QList<QRgb>> rows = AsciiPicture::cellColours(picture);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            cursor.insertBlock(QTextBlockFormat(), letter);
        const QList<QRgb>& cells = rows[r];
        // Neighbours of one colour go in as one run: the same letters, far fewer fragments.
        for (qsizetype i = 0; i < cells.size();) {
            qsizetype end = i + 1;
            while (end < cells.size() && cells[end] == cells[i])
                ++end;
            letter.setForeground(QColor::fromRgb(cells[i]));
            cursor.insertText(QString(end - i, u'B'), letter);
            i = end;
        }
        cursor.insertText(number, digits);
    }

    QTextCharFormat separator;
    separator.setFontPointSize(12);
    separator.setForeground(QColor(0xAA, 0x00, 0x00));
    cursor.insertBlock(QTextBlockFormat(), separator);
    cursor.insertText(u"-"_s, separator);
}

QStringList NotesPage::lines() const
{
    QStringList lines;
    for (QTextBlock block = m_editor->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

bool NotesPage::saveNotes(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(NotesFile::serialize(lines()));
    return file.commit();
}

void NotesPage::appendLine(const QString& text)
{
    QTextCursor cursor(m_editor->document());
    cursor.movePosition(QTextCursor::End);
    if (!m_editor->document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(text, QTextCharFormat());
}

void NotesPage::removePictureLines()
{
    QStringList kept;
    for (const QString& line : lines()) {
        if (!line.trimmed().startsWith(u"BBBBBBBBBBBBBBB"_s))
            kept << line;
    }
    m_editor->setPlainText(kept.join(u'\n'));
}
