#include "notes/notesactions.h"

#include "common/fileaccess.h"
#include "core/context.h"
#include "notes/asciipicture.h"
#include "notes/notesfile.h"
#include "notes/notespage.h"

#include <QDir>
#include <QImageWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTextEdit>

using namespace Qt::StringLiterals;

NotesActions::NotesActions(Context& context, NotesPage& page)
    : QObject(&page)
    , m_ctx(context)
    , m_page(page)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &NotesActions::saveNotes);
    connect(page.editor(), &QTextEdit::textChanged, this, [this] {
        if (!m_loading)
            m_saveTimer.start();
    });
    connect(page.insertPictureButton(), &QPushButton::clicked, this, &NotesActions::insertPicture);
    connect(page.removePicturesButton(), &QPushButton::clicked, this,
            &NotesActions::removeAllPictures);
    loadNotes();
}

QString NotesActions::notesPath() const
{
    return m_ctx.filePath(u"notizen.zr"_s);
}

void NotesActions::loadNotes()
{
    if (!m_unreadable && existsButUnreadable(notesPath())) {
        m_unreadable = true;
        m_ctx.prompter.warn(u"Fehler"_s, unreadableFileText(notesPath()));
    }
    m_loading = true;
    m_page.loadNotes(notesPath(), m_ctx.filePath(u"ascii/"_s), m_ctx.prefs.asciiimage);
    m_loading = false;
    m_saveTimer.stop();
    // The file may hold the short form of a picture; the next save writes the drawn rows.
    m_saved.clear();
}

bool NotesActions::saveNotes()
{
    m_saveTimer.stop();
    if (m_unreadable)
        return false;
    const QByteArray bytes = NotesFile::serialize(m_page.lines());
    if (bytes == m_saved)
        return true;
    QSaveFile file(notesPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return false;
    m_saved = bytes;
    return true;
}

void NotesActions::writePreferences()
{
    saveNotes();
    emit preferencesChanged();
}

void NotesActions::insertPicture()
{
    if (m_ctx.prefs.asciiimage >= AsciiPicture::kMaxNumber) {
        m_ctx.prompter.warn(u"ASCII-Bild"_s,
                            u"Es können höchstens 99 ASCII-Bilder eingefügt werden. Bitte "
                            u"zuerst mit \"Alle ASCII-Bilder entfernen\" Platz schaffen."_s);
        return;
    }
    const QString path = m_ctx.prompter.openFileName(u"Bild auswählen"_s, QString(),
                                                     u"Bilder | *.jpg;*.png;*.bmp"_s);
    if (path.isEmpty()) {
        // A cancelled choice switches the pictures off, as it always has.
        m_ctx.prefs.asciiimage = 0;
        m_page.insertPictureButton()->setText(NotesPage::insertButtonText(0));
        writePreferences();
        loadNotes();
        return;
    }

    const QImage picture = AsciiPicture::readForStorage(path);
    if (picture.isNull()) {
        m_ctx.prompter.warn(u"Fehler"_s, u"Das Bild \""_s + QDir::toNativeSeparators(path) +
                                                 u"\" konnte nicht geladen werden."_s);
        return;
    }

    const int number = m_ctx.prefs.asciiimage + 1;
    const QString target = m_ctx.filePath(AsciiPicture::fileName(number));
    QDir().mkpath(m_ctx.filePath(u"ascii"_s));
    QSaveFile file(target);
    bool saved = file.open(QIODevice::WriteOnly);
    if (saved) {
        QImageWriter writer(&file, "png");
        saved = writer.write(picture) && file.commit();
    }
    if (!saved) {
        m_ctx.prompter.warn(u"Fehler"_s, u"Das Bild konnte nicht unter \""_s +
                                                 QDir::toNativeSeparators(target) +
                                                 u"\" gespeichert werden."_s);
        return;
    }

    m_ctx.prefs.asciiimage = number;
    m_page.insertPictureButton()->setText(NotesPage::insertButtonText(number));
    m_page.appendLine(AsciiPicture::placeholderLine(number));
    writePreferences();
    loadNotes();
}

void NotesActions::removeAllPictures()
{
    m_ctx.prefs.asciiimage = 0;
    QDir(m_ctx.filePath(u"ascii"_s)).removeRecursively();
    m_page.removePictureLines();
    m_page.insertPictureButton()->setText(NotesPage::insertButtonText(0));
    writePreferences();
    loadNotes();
}
