#pragma once
// Table managers and relation managers: how every window reaches a table.
//
// A TableManager opens its table (deferred to first use, with the open sequence below), primes
// new records, adds, fetches and reads; a RelationManager on top of it opens and closes the table
// for a window, writes back changed records and deletes records, inside transactions. Both are
// shared by all threads; what is open is per Thread. Failures are reported through the error
// manager by message number, so the operations that may show a box are coroutines; they resolve
// with whether the operation succeeded (a fatal message has then already ended the program).
//
// The open sequence, at most two attempts: open in the configured mode (after a refusal, recover
// stale locks and try once more); not found -> create, next attempt ("File Creation Error" when
// that fails); keys need rebuilding -> "Invalid Key", rebuild, next attempt ("Key was not built"
// when that fails); access denied in read-write -> "Access Denied", read-only, next attempt; any
// other failure or no attempt left -> "File Access Error".

#include "core/thread.h"
#include "errors/error_manager.h"
#include "store/table.h"

#include <qcoro/qcorotask.h>

#include <chrono>

namespace qly {

struct TableManagerConfig
{
    store::Access access = store::Access::ReadWrite; // other processes are always denied writing
    std::chrono::seconds lockRecoverTime{10};
};

enum class ReadOutcome { Record, EndOfTable, Failed };
enum class Confirm { No, Yes };
enum class Transactions { Off, On };

class TableManager
{
public:
    TableManager(store::Table& table, ErrorManager& errors, TableManagerConfig config = {});
    virtual ~TableManager();
    TableManager(const TableManager&) = delete;
    TableManager& operator=(const TableManager&) = delete;

    const store::TableDef& def() const { return m_table.def(); }
    // The name in messages: "QLY\!notes".
    const QString& name() const { return m_table.def().storeName; }
    ErrorManager& errors() const { return m_errors; }

    // The thread's table instance, whether open or not.
    store::TableInstance& instance(Thread& thread) { return m_table.on(thread); }
    Record& buffer(Thread& thread) { return instance(thread).buffer(); }

    // Announces that a window on thread uses the table; the real open waits for first use.
    void open(Thread& thread);
    // A window is done with the table; the last close on the thread closes it.
    void close(Thread& thread);
    bool isOpenedBy(Thread& thread);

    // Opens for real on first use (the open sequence). False after a fatal message.
    QCoro::Task<bool> use(Thread& thread);

    // Clears the buffer, then primeFields() fills in a new record's defaults.
    QCoro::Task<bool> primeRecord(Thread& thread);
    QCoro::Task<bool> insert(Thread& thread);
    QCoro::Task<bool> fetch(Thread& thread, int key);
    QCoro::Task<ReadOutcome> next(Thread& thread);
    QCoro::Task<ReadOutcome> previous(Thread& thread);

    // Records what failed for the next message about this table.
    void noteError(const store::StoreError& error);

protected:
    virtual void primeFields(Record&) {}

private:
    struct ThreadState;
    ThreadState& state(Thread& thread);
    QCoro::Task<bool> openSequence(Thread& thread);
    QCoro::Task<ReadOutcome> read(Thread& thread, store::Direction direction);

    store::Table& m_table;
    ErrorManager& m_errors;
    TableManagerConfig m_config;
};

class RelationManager
{
public:
    RelationManager(TableManager& table, Transactions transactions = Transactions::On);
    virtual ~RelationManager() = default;
    RelationManager(const RelationManager&) = delete;
    RelationManager& operator=(const RelationManager&) = delete;

    TableManager& table() const { return m_table; }

    void open(Thread& thread) { m_table.open(thread); }
    void close(Thread& thread) { m_table.close(thread); }

    // Writes the buffer back over the current record; reports and rolls back on failure.
    QCoro::Task<bool> update(Thread& thread);
    // Deletes the current record, after "Confirm Delete" when asked; true when it is gone.
    QCoro::Task<bool> remove(Thread& thread, Confirm confirm);

    static constexpr std::chrono::seconds kTransactionWait{2};

private:
    TableManager& m_table;
    Transactions m_transactions;
};

} // namespace qly
