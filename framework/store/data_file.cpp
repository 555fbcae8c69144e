#include "store/data_file.h"

#include "store/collation.h"
#include "store/connection_setup.h"
#include "store/faults.h"
#include "store/sql_text.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qly::store {

namespace {

constexpr auto kMetaTable = "quillary_meta";

QHash<QString, std::weak_ptr<DataFile>>& openFiles()
{
    static QHash<QString, std::weak_ptr<DataFile>> files;
    return files;
}

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString collationKey(const TableDef& def)
{
    return QStringLiteral("collation:") + def.tableName();
}

} // namespace

QString resolveDataFilePath(const QString& dataFileName)
{
    const QDir folder = QDir::current();
    const QString wanted = dataFileName + QStringLiteral(".db");
    if (folder.exists(wanted))
        return folder.absoluteFilePath(wanted);
    const QStringList candidates = folder.entryList({QStringLiteral("*.db"), QStringLiteral("*.DB")},
                                                    QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& candidate : candidates) {
        if (candidate.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder.absoluteFilePath(candidate);
    }
    return folder.absoluteFilePath(dataFileName.toUpper() + QStringLiteral(".db"));
}

// ---- Statement ----

Statement::~Statement()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

void Statement::bind(int index, const SqlValue& value)
{
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(m_stmt, index, *i);
    } else if (const auto* d = std::get_if<double>(&value)) {
        sqlite3_bind_double(m_stmt, index, *d);
    } else {
        const QByteArray utf8 = std::get<QString>(value).toUtf8();
        sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                          SQLITE_TRANSIENT);
    }
}

void Statement::bindAll(int firstIndex, const SqlValues& values)
{
    for (const SqlValue& value : values)
        bind(firstIndex++, value);
}

// ---- DataFile ----

DataFile::DataFile(QString path, Access access) : m_path(std::move(path)), m_access(access) {}

DataFile::~DataFile()
{
    disconnect();
    if (m_lockFd >= 0)
        ::close(m_lockFd); // closing the descriptor releases the flock
    openFiles().remove(m_path);
}

Result<std::shared_ptr<DataFile>> DataFile::open(const QString& path, Access access)
{
    if (auto fault = Faults::take(Operation::Open))
        return *fault;
    if (auto shared = openFiles().value(path).lock()) {
        if (access == Access::ReadWrite && shared->m_access == Access::ReadOnly) {
            if (Status locked = shared->takeWriteLock(); !locked)
                return locked.error();
            shared->disconnect();
            shared->m_access = Access::ReadWrite;
            if (Status connected = shared->connect(); !connected)
                return connected.error();
        }
        return shared;
    }
    if (!QFileInfo::exists(path))
        return StoreError::of(FileNotFound, path);

    std::shared_ptr<DataFile> file(new DataFile(path, access));
    if (access == Access::ReadWrite) {
        if (Status locked = file->takeWriteLock(); !locked)
            return locked.error();
    }
    if (Status connected = file->connect(); !connected)
        return connected.error();
    openFiles().insert(path, file);
    return file;
}

Result<std::shared_ptr<DataFile>> DataFile::create(const QString& path)
{
    if (auto fault = Faults::take(Operation::Create))
        return *fault;
    if (!QFileInfo::exists(path)) {
        // Made here rather than by SQLite so that only the user can read the notes; SQLite gives
        // its journal the same permissions.
        const QByteArray name = QFile::encodeName(path);
        const int fd = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return StoreError::fileSystem(errno, systemErrorText(errno), path);
        if (fd >= 0)
            ::close(fd);
    }
    return open(path, Access::ReadWrite);
}

Status DataFile::takeWriteLock()
{
    if (m_lockFd >= 0)
        return {};
    const QByteArray name = QFile::encodeName(m_path + QStringLiteral(".lock"));
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EACCES || errno == EROFS || errno == EPERM)
            return StoreError::of(AccessDenied, m_path);
        return StoreError::fileSystem(errno, systemErrorText(errno), m_path);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return StoreError::of(AccessDenied, m_path + QStringLiteral(" is in use by another program"));
        return StoreError::fileSystem(error, systemErrorText(error), m_path);
    }
    m_lockFd = fd;
    return {};
}

Status DataFile::connect()
{
    const int flags = (m_access == Access::ReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                      SQLITE_OPEN_NOMUTEX;
    const QByteArray name = m_path.toUtf8();
    int rc = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const StoreError error = errorFrom(rc, m_path);
        disconnect();
        return error;
    }
    sqlite3_extended_result_codes(m_db, 1);
    if ((rc = setUpConnection(m_db)) != SQLITE_OK) {
        const StoreError error = errorFrom(rc, m_path);
        disconnect();
        return error;
    }
    // Reading the schema here tells at once whether the file is a database at all.
    QStringList pragmas{QStringLiteral("PRAGMA synchronous=FULL"), QStringLiteral("PRAGMA foreign_keys=OFF")};
    if (m_access == Access::ReadWrite)
        pragmas.prepend(QStringLiteral("PRAGMA journal_mode=DELETE"));
    sqlite3_busy_timeout(m_db, 2000);
    for (const QString& pragma : pragmas) {
        if (Status done = exec(pragma); !done) {
            disconnect();
            return done;
        }
    }
    Result<Statement> version = prepare(QStringLiteral("PRAGMA user_version"));
    if (!version) {
        disconnect();
        return version.error();
    }
    rc = sqlite3_step(version.value().get());
    const int found = rc == SQLITE_ROW ? sqlite3_column_int(version.value().get(), 0) : 0;
    if (rc != SQLITE_ROW) {
        const StoreError error = errorFrom(rc, m_path);
        disconnect();
        return error;
    }
    if (found > kSchemaVersion) {
        disconnect();
        return StoreError::fileSystem(0, QStringLiteral("%1 was written by a newer version of Quillary").arg(m_path), m_path);
    }
    return {};
}

void DataFile::disconnect()
{
    for (sqlite3_stmt* stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
    if (m_db) {
        if (m_inTransaction)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_inTransaction = false;
}

StoreError DataFile::errorFrom(int rc, const QString& detail) const
{
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                 : QString::fromUtf8(sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return StoreError::of(AccessDenied, detail + QStringLiteral(": ") + message);
    case SQLITE_CANTOPEN: {
        const int error = m_db ? sqlite3_system_errno(m_db) : 0;
        if (error == ENOENT)
            return StoreError::of(FileNotFound, detail);
        if (error == EACCES || error == EPERM || error == EROFS)
            return StoreError::of(AccessDenied, detail);
        break;
    }
    default:
        break;
    }
    const int error = m_db ? sqlite3_system_errno(m_db) : 0;
    if (error != 0 && (rc & 0xff) == SQLITE_IOERR)
        return StoreError::fileSystem(error, systemErrorText(error), detail + QStringLiteral(": ") + message);
    return StoreError::fileSystem(rc, message, detail);
}

Result<Statement> DataFile::prepare(const QString& sql)
{
    if (!m_db)
        return StoreError::of(FileNotFound, m_path);
    if (sqlite3_stmt* cached = m_statements.value(sql))
        return Statement(cached);
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, text.constData(), static_cast<int>(text.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK)
        return errorFrom(rc, sql);
    m_statements.insert(sql, stmt);
    return Statement(stmt);
}

Status DataFile::exec(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_exec(m_db, text.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return errorFrom(rc, sql);
    return {};
}

Status DataFile::begin(std::chrono::milliseconds wait)
{
    if (auto fault = Faults::take(Operation::Begin))
        return *fault;
    if (m_access != Access::ReadWrite)
        return StoreError::of(AccessDenied, m_path);
    if (m_inTransaction)
        return StoreError::fileSystem(0, QStringLiteral("a transaction is already in progress"), m_path);
    sqlite3_busy_timeout(m_db, static_cast<int>(wait.count()));
    const Status started = exec(QStringLiteral("BEGIN IMMEDIATE"));
    sqlite3_busy_timeout(m_db, 2000);
    if (started)
        m_inTransaction = true;
    return started;
}

Status DataFile::commit()
{
    if (!m_inTransaction)
        return StoreError::fileSystem(0, QStringLiteral("no transaction is in progress"), m_path);
    if (auto fault = Faults::take(Operation::Commit)) {
        rollback();
        return *fault;
    }
    if (Status done = exec(QStringLiteral("COMMIT")); !done) {
        rollback();
        return done;
    }
    m_inTransaction = false;
    return {};
}

void DataFile::rollback()
{
    if (m_inTransaction && m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_inTransaction = false;
}

Status DataFile::ensureMeta()
{
    return exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1(\"key\" TEXT PRIMARY KEY, \"value\" TEXT NOT NULL)")
                    .arg(QString::fromLatin1(kMetaTable)));
}

QString DataFile::metaValue(const QString& key)
{
    Result<Statement> query = prepare(QStringLiteral("SELECT \"value\" FROM %1 WHERE \"key\" = ?")
                                          .arg(QString::fromLatin1(kMetaTable)));
    if (!query)
        return {};
    query.value().bind(1, key);
    if (sqlite3_step(query.value().get()) != SQLITE_ROW)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.value().get(), 0)));
}

Status DataFile::setMetaValue(const QString& key, const QString& value)
{
    Result<Statement> query = prepare(QStringLiteral("INSERT OR REPLACE INTO %1(\"key\", \"value\") VALUES (?, ?)")
                                          .arg(QString::fromLatin1(kMetaTable)));
    if (!query)
        return query.error();
    query.value().bind(1, key);
    query.value().bind(2, value);
    const int rc = sqlite3_step(query.value().get());
    if (rc != SQLITE_DONE)
        return errorFrom(rc, m_path);
    return {};
}

QStringList DataFile::keyProblems(const TableDef& def)
{
    QStringList problems;
    Result<Statement> query = prepare(QStringLiteral(
        "SELECT \"sql\" FROM sqlite_schema WHERE \"type\" = 'index' AND \"name\" = ?"));
    if (!query)
        return {query.error().describe()};
    for (const KeyDef& key : def.keys) {
        for (const sql::IndexText& index : sql::indexesOf(def, key)) {
            Statement& stmt = query.value();
            stmt.bind(1, index.name);
            const int rc = sqlite3_step(stmt.get());
            const QString found = rc == SQLITE_ROW
                ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0)))
                : QString();
            sqlite3_reset(stmt.get());
            if (rc != SQLITE_ROW)
                problems << QStringLiteral("key %1 of %2 is missing index %3").arg(key.description, def.tableName(), index.name);
            else if (found != index.create)
                problems << QStringLiteral("key %1 of %2 is not defined as expected (%3)").arg(key.description, def.tableName(), index.name);
        }
    }
    const QString identity = metaValue(collationKey(def));
    if (identity != collationIdentity())
        problems << QStringLiteral("keys of %1 were built under text order \"%2\", not \"%3\"")
                        .arg(def.tableName(), identity, collationIdentity());
    return problems;
}

Status DataFile::checkTable(const TableDef& def)
{
    Result<Statement> query = prepare(QStringLiteral(
        "SELECT count(*) FROM sqlite_schema WHERE \"type\" = 'table' AND \"name\" = ?"));
    if (!query)
        return query.error();
    query.value().bind(1, def.tableName());
    const int rc = sqlite3_step(query.value().get());
    if (rc != SQLITE_ROW)
        return errorFrom(rc, m_path);
    if (sqlite3_column_int(query.value().get(), 0) == 0)
        return StoreError::of(FileNotFound, def.storeName);
    // Preparing the row query checks that every column is there.
    if (Result<Statement> columns = prepare(QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                                                .arg(sql::selectColumns(def), sql::tableName(def)));
        !columns)
        return columns.error();
    if (!keyProblems(def).isEmpty())
        return StoreError::of(KeyFileMustBeRebuilt, def.storeName);
    return {};
}

Status DataFile::writeKeys(const TableDef& def)
{
    Status done = ensureMeta();
    for (const KeyDef& key : def.keys) {
        for (const sql::IndexText& index : sql::indexesOf(def, key)) {
            if (done)
                done = exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(sql::quoted(index.name)));
            if (done)
                done = exec(index.create);
        }
    }
    if (done)
        done = setMetaValue(collationKey(def), collationIdentity());
    return done;
}

Status DataFile::createTable(const TableDef& def)
{
    if (m_access != Access::ReadWrite)
        return StoreError::of(AccessDenied, m_path);
    if (Status started = begin(std::chrono::seconds(2)); !started)
        return started;
    Status done = exec(sql::createTable(def).replace(QStringLiteral("CREATE TABLE"),
                                                     QStringLiteral("CREATE TABLE IF NOT EXISTS")));
    if (done)
        done = writeKeys(def);
    if (done)
        done = exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    if (!done) {
        rollback();
        return done;
    }
    return commit();
}

Status DataFile::rebuildKeys(const TableDef& def)
{
    if (auto fault = Faults::take(Operation::RebuildKeys))
        return *fault;
    if (m_access != Access::ReadWrite)
        return StoreError::of(AccessDenied, m_path);
    if (Status started = begin(std::chrono::seconds(2)); !started)
        return started;
    if (Status done = writeKeys(def); !done) {
        rollback();
        return done;
    }
    return commit();
}

QStringList DataFile::integrityProblems()
{
    QStringList problems;
    Result<Statement> query = prepare(QStringLiteral("PRAGMA integrity_check"));
    if (!query)
        return {query.error().describe()};
    int rc;
    while ((rc = sqlite3_step(query.value().get())) == SQLITE_ROW) {
        const QString line = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(query.value().get(), 0)));
        if (line != QLatin1String("ok"))
            problems << line;
    }
    if (rc != SQLITE_DONE)
        problems << errorFrom(rc, m_path).describe();
    return problems;
}

} // namespace qly::store
