#pragma once
// Tables and their per-thread instances.
//
// A Table is the process-wide handle of one declared table. Every Thread that uses it gets its
// own TableInstance: its own record buffer, its own position in a key's order and its own open
// state, so a window on one thread never disturbs the buffer of another.
//
// Opening follows the outcomes the table managers need: ok, FileAlreadyOpen, FileNotFound (the
// data file or the table is missing: create() it), AccessDenied (another program holds the data
// file for writing: open read-only), KeyFileMustBeRebuilt (rebuildKeys(), then open again), or
// another failure. The store never shows anything; callers report.
//
// Reading in key order is keyset pagination: a position is the key values of the last record
// read plus its row id, so next and previous pages cost the same anywhere in a million notes.

#include "core/thread.h"
#include "store/data_file.h"
#include "store/record.h"
#include "store/sql_value.h"
#include "store/store_error.h"
#include "store/table_def.h"

#include <QStringList>

#include <chrono>
#include <memory>
#include <vector>

namespace qly::store {

class TableInstance;

class Table
{
public:
    explicit Table(TableDef def);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const TableDef& def() const { return m_def; }
    // This thread's instance, made on first use with a cleared buffer.
    TableInstance& on(Thread& thread);

private:
    TableDef m_def;
};

// A record read in key order, with the row id that identifies it.
struct Row
{
    qint64 id;
    Record record;
};

enum class Direction { Forward, Backward };

// The whole position of an instance, to go back to after a lookup.
struct SavedState
{
    Record buffer;
    qint64 current;
    int order;
    int positionKind;
    SqlValues positionValues;
    qint64 positionRow;
};

class TableInstance final : public ThreadLocal
{
public:
    TableInstance(const Table& table, std::unique_ptr<Record> buffer);
    ~TableInstance() override;

    const TableDef& def() const { return m_def; }
    Record& buffer() { return *m_buffer; }
    const Record& buffer() const { return *m_buffer; }

    // ---- opening ----
    Status open(Access access);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    Access access() const { return m_access; }
    // Creates the data file when missing and the table in it; leaves the instance closed.
    Status create();
    Status rebuildKeys();
    // Locks left by programs that ended vanish with them (the lock is an flock), so there is
    // never a stale lock to recover; kept so the open sequence reads as the managers describe it.
    Status recoverLocks(std::chrono::seconds olderThan);
    QString path() const;

    // ---- the buffer ----
    void clearBuffer() { m_buffer->clear(); }

    // ---- changes ----
    Status insert();         // adds the buffer as a new record, which becomes the current one
    Status update();         // writes the buffer back over the current record
    Status remove();         // deletes the current record
    qint64 currentRow() const { return m_current; }

    // ---- reading ----
    // Exact match on the buffer's values of key's components; the first such record in key order.
    Status fetch(int key);
    // Reads the record with this row id into the buffer.
    Status fetchRow(qint64 id);
    // Key order (key -1: the order records were added). Positions before the first record for
    // reading forward and after the last for reading backward.
    void setOrder(int key);
    int order() const { return m_order; }
    // Positions at the buffer's values of the first `components` components of the order's key
    // (all when -1): next() reads the first record at or after them, previous() the last at or
    // before them. A text component matches as a prefix would sort, so a typed topic prefix
    // positions at the first topic that starts with it.
    void setPosition(int components = -1);
    // The same, at values's key values, leaving the buffer alone.
    void setPosition(const Record& values, int components);
    // Positions on a row read earlier (next() reads the record after it).
    void setPositionAfter(const Row& row);
    // A further condition on every read: an SQL fragment with positional parameters.
    void setFilter(QString sql, SqlValues params);
    // Reads only the records whose first key components equal these values (compared as the key
    // compares them): the index is sought to them, and a position outside them reads as the
    // range's start or end. Empty for the whole order.
    void setRange(SqlValues leading);
    // Reads key's order through its subset index number subset (-1: the key's own index).
    // Only for a filter that asks for every term of the subset.
    void setSubset(int key, int subset);
    // Who set the filter, range and subset last: two views over one instance (two lists of one
    // thread) each find their own settings again. Changing any of them clears it.
    void setReadSetupOwner(const void* owner) { m_readSetupOwner = owner; }
    const void* readSetupOwner() const { return m_readSetupOwner; }
    // Read one record into the buffer; false at the end of the table.
    Result<bool> next();
    Result<bool> previous();
    // Reads up to count records from the position in direction, moving the position past them;
    // the buffer is left alone. Backward pages are returned in the order read (last first).
    Result<std::vector<Row>> readPage(Direction direction, int count);
    Result<qint64> count();
    // The SQL the next readPage in direction runs (one or two queries), for checking query plans.
    QStringList readQueries(Direction direction) const;

    SavedState saveState() const;
    void restoreState(const SavedState& state);

    // ---- transactions over the whole data file ----
    Status begin(std::chrono::milliseconds wait = std::chrono::seconds(2));
    Status commit();
    void rollback();

    // The file this instance has open, for maintenance (integrity checks); null when closed.
    DataFile* file() const { return m_file.get(); }

private:
    enum PositionKind { Unbounded, Seek, After };
    // After a record, a page first reads the rest of that record's group of equal order values
    // (by row id, which the index holds last), then what lies beyond the group one order column
    // at a time, from the last column to the first. Each part is a seek into the index: a single
    // row-value comparison would make SQLite seek on a prefix and step through every duplicate,
    // and cannot express columns of mixed direction.
    enum class Part { FromPosition, RestOfGroup, Beyond };
    enum class Side { Inside, Before, After };
    Side positionSide() const;
    Status requireOpen() const;
    Status requireWritable() const;
    void bindRecord(Statement& stmt, int firstIndex) const;
    void readRecord(sqlite3_stmt* stmt, Record& into) const;
    SqlValue columnValue(const Record& record, int field) const;
    SqlValues keyValues(const Record& record, int key, int components) const;
    SqlValues orderValues(const Record& record, int key) const;
    QString readSql(Direction direction, Part part, int level) const;
    const QString& cachedReadSql(Direction direction, Part part, int level);
    Result<bool> readOne(Direction direction);
    Status readInto(std::vector<Row>& rows, Direction direction, Part part, int level, int count);

    const TableDef& m_def;
    std::unique_ptr<Record> m_buffer;
    std::shared_ptr<DataFile> m_file;
    Access m_access = Access::ReadWrite;
    qint64 m_current = 0;
    int m_order = -1;
    PositionKind m_positionKind = Unbounded;
    SqlValues m_positionValues;
    qint64 m_positionRow = 0;
    QString m_filterSql;
    SqlValues m_filterParams;
    SqlValues m_range;
    int m_subsetKey = -1;
    int m_subset = -1;
    const void* m_readSetupOwner = nullptr;
    QHash<int, QString> m_sqlCache;
};

} // namespace qly::store
