#include "data/note_managers.h"

#include "data/note_tables.h"

namespace qly {

namespace {

struct Owned
{
    std::unique_ptr<store::Table> notesTable;
    std::unique_ptr<store::Table> archiveTable;
    std::unique_ptr<TableManager> notes;
    std::unique_ptr<TableManager> archive;
    std::unique_ptr<RelationManager> notesRelation;
    std::unique_ptr<RelationManager> archiveRelation;
};

Owned g_owned;
NoteManagers g_refs;

} // namespace

const NoteManagers& noteManagers()
{
    return g_refs;
}

void setUpNoteManagers(ErrorManager& errors)
{
    Owned& o = g_owned;
    o.notesTable = std::make_unique<store::Table>(notesTableDef());
    o.archiveTable = std::make_unique<store::Table>(archiveTableDef());
    o.notes = std::make_unique<NotesTableManager>(*o.notesTable, errors);
    o.notesRelation = std::make_unique<RelationManager>(*o.notes, Transactions::On);
    o.archive = std::make_unique<TableManager>(*o.archiveTable, errors);
    o.archiveRelation = std::make_unique<RelationManager>(*o.archive, Transactions::On);
    g_refs = {o.notesTable.get(), o.archiveTable.get(), o.notes.get(), o.archive.get(),
              o.notesRelation.get(), o.archiveRelation.get()};
}

void tearDownNoteManagers()
{
    Owned& o = g_owned;
    g_refs = {};
    // notes first, then Arcnotes; each relation manager after the table manager it holds.
    o.notes.reset();
    o.notesRelation.reset();
    o.archive.reset();
    o.archiveRelation.reset();
    o.notesTable.reset();
    o.archiveTable.reset();
}

NoteRecord& notesBuffer(Thread& thread)
{
    return static_cast<NoteRecord&>(g_refs.notes->buffer(thread));
}

NoteRecord& archiveBuffer(Thread& thread)
{
    return static_cast<NoteRecord&>(g_refs.archive->buffer(thread));
}

QCoro::Task<ArchiveMoveOutcome> moveToArchive(Thread& thread, NoteOrigin origin)
{
    TableManager& notes = *g_refs.notes;
    TableManager& archive = *g_refs.archive;
    // The archive is opened on this thread for the move; being open already is fine.
    archive.open(thread);
    // Each awaited on its own line: an await inside a condition leaks its frame on this compiler.
    const bool notesUsable = co_await notes.use(thread);
    bool archiveUsable = false;
    if (notesUsable)
        archiveUsable = co_await archive.use(thread);
    ArchiveMoveOutcome outcome;
    if (!archiveUsable) {
        archive.close(thread);
        outcome.failedStep = ArchiveMoveStep::OpenFailed;
        co_return outcome;
    }
    store::TableInstance& current = notes.instance(thread);
    store::TableInstance& archived = archive.instance(thread);
    const auto fail = [&](ArchiveMoveStep step, const store::StoreError& error) {
        current.rollback();
        archive.close(thread);
        outcome.failedStep = step;
        outcome.error = error;
        return outcome;
    };
    if (store::Status started = current.begin(RelationManager::kTransactionWait); !started)
        co_return fail(ArchiveMoveStep::AddToArchive, started.error());
    archived.buffer().copyFieldsByName(current.buffer());
    if (store::Status added = archived.insert(); !added)
        co_return fail(ArchiveMoveStep::AddToArchive, added.error());
    if (origin == NoteOrigin::Stored) {
        if (store::Status removed = current.remove(); !removed)
            co_return fail(ArchiveMoveStep::RemoveFromNotes, removed.error());
    }
    if (store::Status committed = current.commit(); !committed)
        co_return fail(ArchiveMoveStep::Commit, committed.error());
    archive.close(thread);
    co_return outcome;
}

} // namespace qly
