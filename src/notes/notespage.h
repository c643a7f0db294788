#pragma once

#include <QStringList>
#include <QWidget>

class QImage;
class QMenu;
class QTextCursor;
class QPushButton;
class QTextEdit;
struct Preferences;

// Page "Notizen": the notes editor with its picture buttons and its edit menu.
class NotesPage : public QWidget
{
    Q_OBJECT
public:
    NotesPage(int w, int h, const Preferences& prefs, QWidget* parent = nullptr);

    QTextEdit* editor() const { return m_editor; }
    QMenu* editMenu() const { return m_menu; }
    QPushButton* insertPictureButton() const { return m_insert; }
    QPushButton* removePicturesButton() const { return m_remove; }

    // Fills the editor from the notes file, each placeholder drawn as its picture from the
    // folder (when a picture is active at all); a missing file gives empty notes.
    void loadNotes(const QString& path, const QString& pictureFolder, int activePicture);
    // Writes every editor line; false when the file could not be written.
    bool saveNotes(const QString& path) const;

    // Every line of the editor, as the notes file stores it.
    QStringList lines() const;
    void appendLine(const QString& text);
    // Drops the lines that stand for pictures.
    void removePictureLines();

    static QString insertButtonText(int activePicture);

private:
    void renderPicture(QTextCursor& cursor, const QImage& picture, const QString& number);

    QTextEdit* m_editor;
    QMenu* m_menu;
    QPushButton* m_insert;
    QPushButton* m_remove;
};
