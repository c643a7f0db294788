#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

struct Context;
class NotesPage;

// Connects the notes page to its file and its pictures: loading, saving shortly after typing
// pauses, inserting a picture and removing all of them.
class NotesActions : public QObject
{
    Q_OBJECT
public:
    // How long typing has to pause before the notes are saved.
    static constexpr int kSaveDelayMs = 2000;

    // Loads the notes into the page.
    NotesActions(Context& context, NotesPage& page);

    void loadNotes();
    // Saves now unless nothing changed since the last save; false when the file could not be
    // written, or could not be read at load and so must stay as it is.
    bool saveNotes();
    void insertPicture();
    void removeAllPictures();

signals:
    // The settings and notes are to be written whole (the owner's writePreferences).
    void preferencesChanged();

private:
    QString notesPath() const;
    void writePreferences();

    Context& m_ctx;
    NotesPage& m_page;
    QTimer m_saveTimer;
    QByteArray m_saved;
    bool m_loading = false;
    // A notes file that could not be read is never replaced by the editor's contents.
    bool m_unreadable = false;
};
