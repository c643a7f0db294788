#pragma once

#include <QWidget>

class QMenu;
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

    // Fills the editor from the notes file; a missing file gives empty notes.
    void loadNotes(const QString& path, int activePicture);
    // Writes every editor line; false when the file could not be written.
    bool saveNotes(const QString& path) const;

    static QString insertButtonText(int activePicture);

private:
    QTextEdit* m_editor;
    QMenu* m_menu;
    QPushButton* m_insert;
    QPushButton* m_remove;
};
