#pragma once
// The program's managers of the notes and Arcnotes tables, and the archive move.
//
// Set up once at start (relation managers' references first, then notes, then Arcnotes, each
// relation manager initialising its table manager first) and torn down after the main window
// has closed (notes, then Arcnotes). The references below are valid only in between.

#include "data/note_record.h"
#include "store/table.h"
#include "tables/table_manager.h"

#include <memory>

namespace qly {

class NotesTableManager final : public TableManager
{
public:
    using TableManager::TableManager;

protected:
    // A new note is not done; nothing else is filled in.
    void primeFields(Record& record) override { record.setText(NoteRecord::Done, u"N"); }
};

struct NoteManagers
{
    store::Table* notesTable = nullptr;
    store::Table* archiveTable = nullptr;
    TableManager* notes = nullptr;
    TableManager* archive = nullptr;
    RelationManager* notesRelation = nullptr;
    RelationManager* archiveRelation = nullptr;
};

// The global references; all null before set-up and after teardown.
const NoteManagers& noteManagers();
void setUpNoteManagers(ErrorManager& errors);
void tearDownNoteManagers();

// This thread's notes and archive buffers as notes.
NoteRecord& notesBuffer(Thread& thread);
NoteRecord& archiveBuffer(Thread& thread);

// Moving the current note into the archive, as one transaction: the copy is added to Arcnotes
// and, for a note already stored, the note leaves notes; when any step fails neither table
// changes. Nothing is reported here: the note form decides what to show.
enum class NoteOrigin { New, Stored };
enum class ArchiveMoveStep { Done, OpenFailed, AddToArchive, RemoveFromNotes, Commit };
struct ArchiveMoveOutcome
{
    ArchiveMoveStep failedStep = ArchiveMoveStep::Done;
    store::StoreError error;
    bool ok() const { return failedStep == ArchiveMoveStep::Done; }
};
QCoro::Task<ArchiveMoveOutcome> moveToArchive(Thread& thread, NoteOrigin origin);

} // namespace qly
