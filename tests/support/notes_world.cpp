#include "support/notes_world.h"

#include "core/thread.h"
#include "data/note_managers.h"
#include "errors/builtin_messages.h"

namespace qly::test {

namespace {

QLocale settingUnitedStates()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return previous;
}

} // namespace

NotesWorld::NotesWorld(QDate today, MessagePresenter& presenter)
    : m_locale(settingUnitedStates()), m_clock(today),
      m_errors(presenter, [this](int code) { m_terminated << code; })
{
    setClock(&m_clock);
    m_errors.addRows(builtinMessages());
    m_errors.setCategory(builtinCategory());
    setUpNoteManagers(m_errors);
    Thread maker(QStringLiteral("maker"));
    for (store::Table* table : {noteManagers().notesTable, noteManagers().archiveTable}) {
        store::TableInstance& instance = table->on(maker);
        if (!instance.open(store::Access::ReadWrite).ok())
            (void)instance.create(); // a test that needs the table finds it missing
        instance.close();
    }
}

qint64 NotesWorld::store(const Record& note)
{
    Thread writer(QStringLiteral("writer"));
    store::TableInstance& notes = noteManagers().notesTable->on(writer);
    if (!notes.open(store::Access::ReadWrite).ok())
        return 0;
    notes.buffer() = note;
    const qint64 id = notes.insert().ok() ? notes.currentRow() : 0;
    notes.close();
    return id;
}

NotesWorld::~NotesWorld()
{
    tearDownNoteManagers();
    setClock(nullptr);
    QLocale::setDefault(m_locale);
}

} // namespace qly::test
