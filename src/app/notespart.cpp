#include "app/organiserwindow.h"
#include "app/parts.h"
#include "notes/notesactions.h"

NotesPart::NotesPart(const PartContext& parts, QObject* parent)
    : QObject(parent)
    , m_notes(new NotesActions(parts.ctx, *parts.window.notesPage()))
{
    connect(m_notes, &NotesActions::preferencesChanged, this, &NotesPart::preferencesChanged);
}

void NotesPart::save()
{
    m_notes->saveNotes();
}
