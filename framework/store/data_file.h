#pragma once
// One open data file: the SQLite connection every table instance of the process shares, the
// sidecar lock that denies other processes write access, the statement cache and transactions.
// Used only by the store's own table code; it never shows anything and reports errors as values.

#include "store/sql_value.h"
#include "store/store_error.h"
#include "store/table_def.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace qly::store {

enum class Access { ReadWrite, ReadOnly };

// The file a data-file name stands for in the current working folder: an existing "<name>.db"
// whose name matches without regard to case, else "<NAME>.db" (upper case) to be created.
QString resolveDataFilePath(const QString& dataFileName);

// A prepared statement from the cache; reset and unbound when the handle goes away.
class Statement
{
public:
    explicit Statement(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~Statement();
    Statement(Statement&& other) noexcept : m_stmt(std::exchange(other.m_stmt, nullptr)) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    sqlite3_stmt* get() const { return m_stmt; }
    void bind(int index, const SqlValue& value);
    void bindAll(int firstIndex, const SqlValues& values);

private:
    sqlite3_stmt* m_stmt;
};

class DataFile
{
public:
    // The file at path, opened (or shared when already open in this process) for access.
    static Result<std::shared_ptr<DataFile>> open(const QString& path, Access access);
    // Creates an empty data file at path (readable by the user only) and opens it for writing.
    static Result<std::shared_ptr<DataFile>> create(const QString& path);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    const QString& path() const { return m_path; }
    Access access() const { return m_access; }
    sqlite3* handle() const { return m_db; }

    Result<Statement> prepare(const QString& sql);
    Status exec(const QString& sql);
    StoreError errorFrom(int rc, const QString& detail) const;

    // Transactions over the whole file; begin waits at most wait for other processes' locks.
    Status begin(std::chrono::milliseconds wait);
    Status commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Is the table there, are its keys as declared and built under this collation?
    // ok, FileNotFound or KeyFileMustBeRebuilt, or another failure.
    Status checkTable(const TableDef& def);
    Status createTable(const TableDef& def);
    Status rebuildKeys(const TableDef& def);
    // Problems with a table's key definitions (missing, different, built under another order).
    QStringList keyProblems(const TableDef& def);
    // SQLite's own integrity check; empty when the file is sound.
    QStringList integrityProblems();

    static constexpr int kSchemaVersion = 1;

private:
    DataFile(QString path, Access access);
    Status connect();
    Status takeWriteLock();
    void disconnect();
    Status ensureMeta();
    Status writeKeys(const TableDef& def);
    QString metaValue(const QString& key);
    Status setMetaValue(const QString& key, const QString& value);

    QString m_path;
    Access m_access;
    sqlite3* m_db = nullptr;
    int m_lockFd = -1;
    bool m_inTransaction = false;
    QHash<QString, sqlite3_stmt*> m_statements;
};

} // namespace qly::store
