#pragma once
// The note form, procedure "UpdateSNotes": adds or changes one note of the notes table, or
// deletes one without showing itself, and moves a note into the archive.
//
// The main window calls it on its own thread with a request and the note in the thread's notes
// buffer (primed for an insert, the highlighted note for a change or a delete). The controls
// edit the buffer in place; nothing is written until OK saves. The form resolves Completed when
// a note was added, changed, archived or deleted, Cancelled otherwise.
//
// "Archive This Record?" ticked on OK moves the note in one transaction: the copy goes into
// Arcnotes and the note leaves notes (a new note never enters it), only once that has all
// succeeded; when any of it fails, neither table has changed. Should the archive refuse the
// copy, the "Stop" box offers Abort (the program ends) or Ignore (the note is saved with its
// mark and a later OK tries again).
//
// The values of the last note accepted with OK stay for the whole run of the program: Ctrl+'
// in one of the seven edit controls brings that note's value back.

#include "core/request.h"
#include "ui/procedure_window.h"

#include <QPointer>

namespace qly {

class DocumentOpener;
class MessagePresenter;
class NoteRecord;
class Thread;

struct NoteFormServices
{
    WindowServices windows;
    MessagePresenter* presenter = nullptr; // the Send Mail notice, the Stop box, the calendar's
    DocumentOpener* documents = nullptr;   // Send Mail and GoToURL; none: nothing opens
};

QCoro::Task<Response> updateSNotes(NoteFormServices services, Thread& thread, Request request,
                                   QPointer<QWidget> caller);

// The last note accepted with OK in this run of the program, the source of Ctrl+'.
NoteRecord& noteFormHistory();

} // namespace qly
