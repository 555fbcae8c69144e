#include "tables/table_manager.h"

#include "errors/builtin_messages.h"

// GCC 12 leaks a coroutine frame when co_await stands in an if or loop condition, so every
// awaited result here is taken into a local first.

namespace qly {

using store::Access;
using store::Status;

struct TableManager::ThreadState : ThreadLocal
{
    int opens = 0;        // windows on this thread that announced the table
    bool usable = false;  // the deferred open has happened
};

TableManager::TableManager(store::Table& table, ErrorManager& errors, TableManagerConfig config)
    : m_table(table), m_errors(errors), m_config(config)
{
}

TableManager::~TableManager()
{
    Thread::dropLocalsOf(this);
}

TableManager::ThreadState& TableManager::state(Thread& thread)
{
    return thread.local<ThreadState>(this, [] { return std::make_unique<ThreadState>(); });
}

void TableManager::open(Thread& thread)
{
    ++state(thread).opens;
}

void TableManager::close(Thread& thread)
{
    ThreadState& s = state(thread);
    if (s.opens == 0)
        return;
    if (--s.opens == 0) {
        instance(thread).close();
        s.usable = false;
    }
}

bool TableManager::isOpenedBy(Thread& thread)
{
    return state(thread).opens > 0;
}

void TableManager::noteError(const store::StoreError& error)
{
    m_errors.setTableError({name(), error.code, error.text, error.osCode, error.osText});
}

QCoro::Task<bool> TableManager::use(Thread& thread)
{
    ThreadState& s = state(thread);
    if (s.opens == 0) {
        noteError(store::StoreError::of(store::FileNotFound));
        co_await m_errors.raise(thread, msg::FileUsageError);
        co_return false;
    }
    if (s.usable)
        co_return true;
    const bool opened = co_await openSequence(thread);
    // The thread may have closed the table while a box was up.
    state(thread).usable = opened && state(thread).opens > 0;
    co_return state(thread).usable;
}

QCoro::Task<bool> TableManager::openSequence(Thread& thread)
{
    store::TableInstance& table = instance(thread);
    Access access = m_config.access;
    Status last;
    for (int attempt = 0; attempt < 2; ++attempt) {
        last = table.open(access);
        if (last.code() == store::AccessDenied || last.code() == store::RecordIsAlreadyHeld) {
            (void)table.recoverLocks(m_config.lockRecoverTime);
            last = table.open(access);
        }
        switch (last.code()) {
        case store::NoError:
        case store::FileAlreadyOpen:
            co_return true;
        case store::FileNotFound:
            if (Status created = table.create(); !created) {
                noteError(created.error());
                co_await m_errors.raise(thread, msg::FileCreationError);
                co_return false;
            }
            continue;
        case store::KeyFileMustBeRebuilt:
            noteError(last.error());
            co_await m_errors.raise(thread, msg::InvalidKey);
            if (Status rebuilt = table.rebuildKeys(); !rebuilt) {
                noteError(rebuilt.error());
                co_await m_errors.raise(thread, msg::KeyWasNotBuilt);
                co_return false;
            }
            continue;
        case store::AccessDenied:
            if (access == Access::ReadWrite) {
                access = Access::ReadOnly;
                noteError(last.error());
                co_await m_errors.raise(thread, msg::AccessDenied);
                continue;
            }
            break;
        default:
            break;
        }
        break;
    }
    noteError(last.ok() ? store::StoreError::of(store::FileSystemError) : last.error());
    co_await m_errors.raise(thread, msg::FileAccessError);
    co_return false;
}

QCoro::Task<bool> TableManager::primeRecord(Thread& thread)
{
    const bool usable = co_await use(thread);
    if (!usable)
        co_return false;
    instance(thread).clearBuffer();
    primeFields(instance(thread).buffer());
    co_return true;
}

QCoro::Task<bool> TableManager::insert(Thread& thread)
{
    const bool usable = co_await use(thread);
    if (!usable)
        co_return false;
    if (Status added = instance(thread).insert(); !added) {
        noteError(added.error());
        co_await m_errors.raise(thread, msg::RecordInsertError);
        co_return false;
    }
    co_return true;
}

QCoro::Task<bool> TableManager::fetch(Thread& thread, int key)
{
    const bool usable = co_await use(thread);
    if (!usable)
        co_return false;
    const Status found = instance(thread).fetch(key);
    if (found.code() == store::RecordNotAvailable)
        co_return false; // not there is an answer, not a failure
    if (!found) {
        noteError(found.error());
        co_await m_errors.raise(thread, msg::RecordRetrievalError);
        co_return false;
    }
    co_return true;
}

QCoro::Task<ReadOutcome> TableManager::read(Thread& thread, store::Direction direction)
{
    const bool usable = co_await use(thread);
    if (!usable)
        co_return ReadOutcome::Failed;
    store::TableInstance& table = instance(thread);
    const store::Result<bool> read = direction == store::Direction::Forward ? table.next() : table.previous();
    if (!read) {
        noteError(read.error());
        co_await m_errors.raise(thread, msg::RecordRetrievalError);
        co_return ReadOutcome::Failed;
    }
    co_return read.value() ? ReadOutcome::Record : ReadOutcome::EndOfTable;
}

QCoro::Task<ReadOutcome> TableManager::next(Thread& thread)
{
    return read(thread, store::Direction::Forward);
}

QCoro::Task<ReadOutcome> TableManager::previous(Thread& thread)
{
    return read(thread, store::Direction::Backward);
}

RelationManager::RelationManager(TableManager& table, Transactions transactions)
    : m_table(table), m_transactions(transactions)
{
}

QCoro::Task<bool> RelationManager::update(Thread& thread)
{
    const bool usable = co_await m_table.use(thread);
    if (!usable)
        co_return false;
    store::TableInstance& table = m_table.instance(thread);
    ErrorManager& errors = m_table.errors();
    const bool framed = m_transactions == Transactions::On;
    if (framed) {
        if (Status started = table.begin(kTransactionWait); !started) {
            m_table.noteError(started.error());
            co_await errors.raise(thread, msg::TransactionCancelled);
            co_return false;
        }
    }
    Status written = table.update();
    if (written && framed)
        written = table.commit();
    if (!written) {
        table.rollback();
        m_table.noteError(written.error());
        co_await errors.raise(thread, msg::RecordWasNotUpdated);
        co_return false;
    }
    co_return true;
}

QCoro::Task<bool> RelationManager::remove(Thread& thread, Confirm confirm)
{
    const bool usable = co_await m_table.use(thread);
    if (!usable)
        co_return false;
    ErrorManager& errors = m_table.errors();
    if (confirm == Confirm::Yes) {
        const Answer sure = co_await errors.raise(thread, msg::ConfirmDelete);
        if (sure != Answer::Continue)
            co_return false;
    }
    const bool framed = m_transactions == Transactions::On;
    for (;;) {
        store::TableInstance& table = m_table.instance(thread);
        if (framed) {
            if (Status started = table.begin(kTransactionWait); !started) {
                m_table.noteError(started.error());
                co_await errors.raise(thread, msg::TransactionCancelled);
                co_return false;
            }
        }
        Status removed = table.remove();
        if (removed && framed)
            removed = table.commit();
        if (removed)
            co_return true;
        table.rollback();
        m_table.noteError(removed.error());
        co_await errors.raise(thread, msg::RecordWasNotDeleted);
        const Answer again = co_await errors.raise(thread, msg::RecordDeleteError);
        if (again != Answer::Continue)
            co_return false;
    }
}

} // namespace qly
