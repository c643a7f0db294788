#include "notes/notespage.h"

#include "common/programfont.h"
#include "notes/notesfile.h"
#include "notes/urlhighlighter.h"
#include "views/controls.h"
#include "views/preferences.h"

#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>
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

void NotesPage::loadNotes(const QString& path, int activePicture)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();

    QStringList lines;
    int previousPicture = 0;
    for (const NotesFile::Line& line : NotesFile::parse(bytes)) {
        if (line.picture != 0) {
            // Consecutive placeholder lines belong to one picture.
            if (line.picture == previousPicture)
                continue;
            previousPicture = line.picture;
            // Without an active picture, pictures are not shown at all.
            if (activePicture == 0)
                continue;
        }
        lines << line.text;
    }
    m_editor->setPlainText(lines.join(u'\n'));
}

bool NotesPage::saveNotes(const QString& path) const
{
    QStringList lines;
    for (QTextBlock block = m_editor->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(NotesFile::serialize(lines));
    return file.commit();
}
