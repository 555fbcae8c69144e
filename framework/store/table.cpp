#include "store/table.h"

#include "store/collation.h"
#include "store/faults.h"
#include "store/sql_text.h"

#include <QStringList>

#include <sqlite3.h>

namespace qly::store {

// ---- Table ----

Table::Table(TableDef def) : m_def(std::move(def)) {}

Table::~Table()
{
    Thread::dropLocalsOf(this);
}

TableInstance& Table::on(Thread& thread)
{
    return thread.local<TableInstance>(this, [this] {
        auto record = m_def.makeRecord ? m_def.makeRecord() : std::make_unique<Record>(*m_def.layout);
        return std::make_unique<TableInstance>(*this, std::move(record));
    });
}

// ---- TableInstance ----

TableInstance::TableInstance(const Table& table, std::unique_ptr<Record> buffer)
    : m_def(table.def()), m_buffer(std::move(buffer))
{
    m_buffer->clear();
}

TableInstance::~TableInstance()
{
    close();
}

QString TableInstance::path() const
{
    return m_file ? m_file->path() : resolveDataFilePath(m_def.dataFileName());
}

Status TableInstance::open(Access access)
{
    if (isOpen())
        return StoreError::of(FileAlreadyOpen, m_def.storeName);
    Result<std::shared_ptr<DataFile>> file = DataFile::open(path(), access);
    if (!file)
        return file.error();
    if (Status checked = file.value()->checkTable(m_def); !checked)
        return checked;
    m_file = std::move(file).value();
    m_access = access;
    m_current = 0;
    return {};
}

void TableInstance::close()
{
    if (m_file && m_file->inTransaction())
        m_file->rollback();
    m_file.reset();
    m_current = 0;
}

Status TableInstance::create()
{
    if (m_def.create == CreateWhenMissing::No)
        return StoreError::of(NoCreateAttribute, m_def.storeName);
    Result<std::shared_ptr<DataFile>> file = DataFile::create(path());
    if (!file)
        return file.error();
    return file.value()->createTable(m_def);
}

Status TableInstance::rebuildKeys()
{
    std::shared_ptr<DataFile> file = m_file;
    if (!file || file->access() != Access::ReadWrite) {
        Result<std::shared_ptr<DataFile>> opened = DataFile::open(path(), Access::ReadWrite);
        if (!opened)
            return opened.error();
        file = std::move(opened).value();
    }
    return file->rebuildKeys(m_def);
}

Status TableInstance::recoverLocks(std::chrono::seconds)
{
    return {};
}

Status TableInstance::requireOpen() const
{
    if (!m_file)
        return StoreError::of(FileNotFound, m_def.storeName + QStringLiteral(" is not open"));
    return {};
}

Status TableInstance::requireWritable() const
{
    if (Status open = requireOpen(); !open)
        return open;
    if (m_access != Access::ReadWrite || m_file->access() != Access::ReadWrite)
        return StoreError::of(AccessDenied, m_def.storeName + QStringLiteral(" is open read-only"));
    return {};
}

void TableInstance::bindRecord(Statement& stmt, int firstIndex) const
{
    for (int i = 0; i < m_def.layout->fieldCount(); ++i)
        stmt.bind(firstIndex + i, columnValue(*m_buffer, i));
}

void TableInstance::readRecord(sqlite3_stmt* stmt, Record& into) const
{
    const RecordLayout& layout = *m_def.layout;
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const int column = i + 1; // column 0 is the row id
        if (layout.field(i).kind == FieldKind::Text) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            into.setText(i, QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
        } else {
            const sqlite3_int64 days = sqlite3_column_int64(stmt, column);
            into.setDate(i, days > 0 && days <= lastDayCount() ? static_cast<DayCount>(days) : 0);
        }
    }
}

SqlValue TableInstance::columnValue(const Record& record, int field) const
{
    if (m_def.layout->field(field).kind == FieldKind::Text)
        return record.text(field);
    return std::int64_t{record.date(field)};
}

SqlValues TableInstance::keyValues(const Record& record, int key, int components) const
{
    const KeyDef& def = m_def.keys.at(static_cast<size_t>(key));
    const int n = components < 0 ? static_cast<int>(def.components.size()) : components;
    SqlValues values;
    for (int i = 0; i < n; ++i)
        values.push_back(columnValue(record, def.components[static_cast<size_t>(i)]));
    return values;
}

SqlValues TableInstance::orderValues(const Record& record, int key) const
{
    SqlValues values;
    for (const OrderPart& part : m_def.keys.at(static_cast<size_t>(key)).orderParts())
        values.push_back(columnValue(record, part.field));
    return values;
}

Status TableInstance::insert()
{
    if (Status writable = requireWritable(); !writable)
        return writable;
    if (auto fault = Faults::take(Operation::Insert))
        return *fault;
    const RecordLayout& layout = *m_def.layout;
    QStringList columns, marks;
    for (int i = 0; i < layout.fieldCount(); ++i) {
        columns << sql::quoted(layout.columnName(i));
        marks << QStringLiteral("?");
    }
    Result<Statement> stmt = m_file->prepare(QStringLiteral("INSERT INTO %1(%2) VALUES (%3)")
                                                 .arg(sql::tableName(m_def), columns.join(u','),
                                                      marks.join(u',')));
    if (!stmt)
        return stmt.error();
    bindRecord(stmt.value(), 1);
    const int rc = sqlite3_step(stmt.value().get());
    if (rc != SQLITE_DONE)
        return m_file->errorFrom(rc, m_def.storeName);
    m_current = sqlite3_last_insert_rowid(m_file->handle());
    return {};
}

Status TableInstance::update()
{
    if (Status writable = requireWritable(); !writable)
        return writable;
    if (m_current == 0)
        return StoreError::of(RecordNotAvailable, m_def.storeName);
    if (auto fault = Faults::take(Operation::Update))
        return *fault;
    const RecordLayout& layout = *m_def.layout;
    QStringList assignments;
    for (int i = 0; i < layout.fieldCount(); ++i)
        assignments << sql::quoted(layout.columnName(i)) + QStringLiteral(" = ?");
    Result<Statement> stmt = m_file->prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                                 .arg(sql::tableName(m_def), assignments.join(u',')));
    if (!stmt)
        return stmt.error();
    bindRecord(stmt.value(), 1);
    stmt.value().bind(layout.fieldCount() + 1, std::int64_t{m_current});
    const int rc = sqlite3_step(stmt.value().get());
    if (rc != SQLITE_DONE)
        return m_file->errorFrom(rc, m_def.storeName);
    if (sqlite3_changes(m_file->handle()) == 0)
        return StoreError::of(RecordNotAvailable, m_def.storeName);
    return {};
}

Status TableInstance::remove()
{
    if (Status writable = requireWritable(); !writable)
        return writable;
    if (m_current == 0)
        return StoreError::of(RecordNotAvailable, m_def.storeName);
    if (auto fault = Faults::take(Operation::Delete))
        return *fault;
    Result<Statement> stmt = m_file->prepare(
        QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(sql::tableName(m_def)));
    if (!stmt)
        return stmt.error();
    stmt.value().bind(1, std::int64_t{m_current});
    const int rc = sqlite3_step(stmt.value().get());
    if (rc != SQLITE_DONE)
        return m_file->errorFrom(rc, m_def.storeName);
    if (sqlite3_changes(m_file->handle()) == 0)
        return StoreError::of(RecordNotAvailable, m_def.storeName);
    m_current = 0;
    return {};
}

Status TableInstance::fetch(int key)
{
    if (Status open = requireOpen(); !open)
        return open;
    if (auto fault = Faults::take(Operation::Read))
        return *fault;
    const KeyDef& keyDef = m_def.keys.at(static_cast<size_t>(key));
    QStringList terms{sql::keyPresent(m_def, keyDef)};
    for (int field : keyDef.components)
        terms << sql::quoted(m_def.layout->columnName(field)) + QStringLiteral(" = ?");
    Result<Statement> stmt = m_file->prepare(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4 LIMIT 1")
            .arg(sql::selectColumns(m_def), sql::tableName(m_def), terms.join(QStringLiteral(" AND ")),
                 sql::orderBy(m_def, keyDef, false)));
    if (!stmt)
        return stmt.error();
    const SqlValues values = keyValues(*m_buffer, key, -1);
    stmt.value().bindAll(1, values);
    const int rc = sqlite3_step(stmt.value().get());
    if (rc == SQLITE_DONE)
        return StoreError::of(RecordNotAvailable, m_def.storeName);
    if (rc != SQLITE_ROW)
        return m_file->errorFrom(rc, m_def.storeName);
    m_current = sqlite3_column_int64(stmt.value().get(), 0);
    readRecord(stmt.value().get(), *m_buffer);
    m_order = key;
    m_positionKind = After;
    m_positionValues = orderValues(*m_buffer, key);
    m_positionRow = m_current;
    return {};
}

Status TableInstance::fetchRow(qint64 id)
{
    if (Status open = requireOpen(); !open)
        return open;
    if (auto fault = Faults::take(Operation::Read))
        return *fault;
    Result<Statement> stmt = m_file->prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                                 .arg(sql::selectColumns(m_def), sql::tableName(m_def)));
    if (!stmt)
        return stmt.error();
    stmt.value().bind(1, std::int64_t{id});
    const int rc = sqlite3_step(stmt.value().get());
    if (rc == SQLITE_DONE)
        return StoreError::of(RecordNotAvailable, m_def.storeName);
    if (rc != SQLITE_ROW)
        return m_file->errorFrom(rc, m_def.storeName);
    m_current = id;
    readRecord(stmt.value().get(), *m_buffer);
    return {};
}

void TableInstance::setOrder(int key)
{
    m_order = key;
    m_positionKind = Unbounded;
    m_positionValues.clear();
    m_positionRow = 0;
}

void TableInstance::setPosition(int components)
{
    setPosition(*m_buffer, components);
}

void TableInstance::setPosition(const Record& values, int components)
{
    if (m_order < 0) {
        setOrder(-1);
        return;
    }
    m_positionKind = Seek;
    m_positionValues = keyValues(values, m_order, components);
    m_positionRow = 0;
}

void TableInstance::setPositionAfter(const Row& row)
{
    m_positionKind = After;
    m_positionValues = m_order < 0 ? SqlValues{} : orderValues(row.record, m_order);
    m_positionRow = row.id;
}

void TableInstance::setSubset(int key, int subset)
{
    m_subsetKey = key;
    m_subset = subset;
    m_readSetupOwner = nullptr;
    m_sqlCache.clear();
}

void TableInstance::setRange(SqlValues leading)
{
    m_range = std::move(leading);
    m_readSetupOwner = nullptr;
    m_sqlCache.clear();
}

TableInstance::Side TableInstance::positionSide() const
{
    if (m_range.empty() || m_positionKind == Unbounded)
        return Side::Inside;
    const size_t n = std::min(m_range.size(), m_positionValues.size());
    for (size_t i = 0; i < n; ++i) {
        const SqlValue& at = m_positionValues[i];
        const SqlValue& bound = m_range[i];
        int c = 0;
        if (const auto* a = std::get_if<QString>(&at); a && std::holds_alternative<QString>(bound))
            c = collate(*a, std::get<QString>(bound));
        else if (const auto* x = std::get_if<std::int64_t>(&at); x && std::holds_alternative<std::int64_t>(bound))
            c = *x < std::get<std::int64_t>(bound) ? -1 : (*x > std::get<std::int64_t>(bound) ? 1 : 0);
        if (c != 0)
            return c < 0 ? Side::Before : Side::After;
    }
    return Side::Inside;
}

void TableInstance::setFilter(QString sql, SqlValues params)
{
    m_filterSql = std::move(sql);
    m_filterParams = std::move(params);
    m_readSetupOwner = nullptr;
    m_sqlCache.clear();
}

QString TableInstance::readSql(Direction direction, Part part, int level) const
{
    const bool forward = direction == Direction::Forward;
    QString from = sql::tableName(m_def);
    QStringList terms;
    QString orderBy;
    if (m_order < 0) {
        if (m_positionKind == After)
            terms << (forward ? QStringLiteral("rowid > ?") : QStringLiteral("rowid < ?"));
        orderBy = forward ? QStringLiteral("rowid") : QStringLiteral("rowid DESC");
    } else {
        const KeyDef& key = m_def.keys.at(static_cast<size_t>(m_order));
        const std::vector<OrderPart> parts = key.orderParts();
        const auto column = [this](int field) { return sql::quoted(m_def.layout->columnName(field)); };
        // Whether "after" means greater for this column in this direction.
        const auto after = [forward](const OrderPart& p) {
            return (p.order == SortOrder::Ascending) == forward ? QStringLiteral(" > ?") : QStringLiteral(" < ?");
        };
        terms << sql::keyPresent(m_def, key);
        if (m_subsetKey == m_order && m_subset >= 0) {
            const KeySubset& subset = key.subsets.at(static_cast<size_t>(m_subset));
            from += QStringLiteral(" INDEXED BY ") + sql::quoted(sql::subsetIndexName(m_def, key, subset));
            terms << sql::subsetTerms(m_def, subset);
        }
        for (size_t i = 0; i < m_range.size() && i < key.components.size(); ++i)
            terms << column(key.components[i]) + QStringLiteral(" = ?");
        orderBy = sql::orderBy(m_def, key, !forward);
        switch (part) {
        case Part::FromPosition:
            if (m_positionKind == Seek) {
                const auto n = static_cast<int>(m_positionValues.size());
                terms << QStringLiteral("(%1) %2 (%3)")
                             .arg(sql::keyColumns(m_def, key, n), forward ? u">=" : u"<=",
                                  QStringList(n, QStringLiteral("?")).join(u','));
            }
            break;
        case Part::RestOfGroup:
            for (const OrderPart& p : parts)
                terms << column(p.field) + QStringLiteral(" = ?");
            terms << (forward ? QStringLiteral("rowid > ?") : QStringLiteral("rowid < ?"));
            break;
        case Part::Beyond:
            for (int i = 0; i < level; ++i)
                terms << column(parts[static_cast<size_t>(i)].field) + QStringLiteral(" = ?");
            terms << column(parts[static_cast<size_t>(level)].field) + after(parts[static_cast<size_t>(level)]);
            break;
        }
    }
    if (!m_filterSql.isEmpty())
        terms << u'(' + m_filterSql + u')';
    return QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT ?")
        .arg(sql::selectColumns(m_def), from,
             terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND ")),
             orderBy);
}

QStringList TableInstance::readQueries(Direction direction) const
{
    if (m_order < 0 || m_positionKind != After)
        return {readSql(direction, Part::FromPosition, 0)};
    QStringList queries{readSql(direction, Part::RestOfGroup, 0)};
    for (int level = static_cast<int>(m_positionValues.size()) - 1; level >= 0; --level)
        queries << readSql(direction, Part::Beyond, level);
    return queries;
}

const QString& TableInstance::cachedReadSql(Direction direction, Part part, int level)
{
    // Pages are read often and their SQL depends only on these few things.
    const int key = ((((m_order + 1) * 4 + m_positionKind) * 4 + static_cast<int>(part)) * 2 +
                     static_cast<int>(direction)) * 64 + level +
                    static_cast<int>(m_positionValues.size()) * 1000000;
    auto it = m_sqlCache.find(key);
    if (it == m_sqlCache.end())
        it = m_sqlCache.insert(key, readSql(direction, part, level));
    return *it;
}

Status TableInstance::readInto(std::vector<Row>& rows, Direction direction, Part part, int level, int count)
{
    Result<Statement> stmt = m_file->prepare(cachedReadSql(direction, part, level));
    if (!stmt)
        return stmt.error();
    int index = 1;
    if (m_order >= 0) {
        stmt.value().bindAll(index, m_range);
        index += static_cast<int>(m_range.size());
    }
    switch (part) {
    case Part::FromPosition:
        if (m_positionKind == Seek) {
            stmt.value().bindAll(index, m_positionValues);
            index += static_cast<int>(m_positionValues.size());
        } else if (m_positionKind == After) { // table order
            stmt.value().bind(index++, std::int64_t{m_positionRow});
        }
        break;
    case Part::RestOfGroup:
        stmt.value().bindAll(index, m_positionValues);
        index += static_cast<int>(m_positionValues.size());
        stmt.value().bind(index++, std::int64_t{m_positionRow});
        break;
    case Part::Beyond:
        for (int i = 0; i <= level; ++i)
            stmt.value().bind(index++, m_positionValues[static_cast<size_t>(i)]);
        break;
    }
    stmt.value().bindAll(index, m_filterParams);
    index += static_cast<int>(m_filterParams.size());
    stmt.value().bind(index, std::int64_t{count});

    int rc;
    while ((rc = sqlite3_step(stmt.value().get())) == SQLITE_ROW) {
        Row row{sqlite3_column_int64(stmt.value().get(), 0), Record(*m_def.layout)};
        readRecord(stmt.value().get(), row.record);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        return m_file->errorFrom(rc, m_def.storeName);
    return {};
}

Result<std::vector<Row>> TableInstance::readPage(Direction direction, int count)
{
    if (Status open = requireOpen(); !open)
        return open.error();
    if (auto fault = Faults::take(Operation::Read))
        return *fault;
    std::vector<Row> rows;
    if (count <= 0)
        return rows;
    rows.reserve(static_cast<size_t>(count));
    const Side side = positionSide();
    const bool forward = direction == Direction::Forward;
    if ((side == Side::After && forward) || (side == Side::Before && !forward))
        return rows; // the whole range lies behind the position
    if (side != Side::Inside) {
        // The whole range lies ahead: read it from its start (or end).
        const PositionKind kept = m_positionKind;
        m_positionKind = Unbounded;
        const Status read = readInto(rows, direction, Part::FromPosition, 0, count);
        m_positionKind = kept;
        if (!read)
            return read.error();
    } else if (m_order >= 0 && m_positionKind == After) {
        // The rest of the group of equal order values, then beyond it one column at a time from
        // the last: each query is a seek into the index, never a walk through duplicates. Levels
        // inside the range's fixed components cannot hold anything in the range.
        if (Status read = readInto(rows, direction, Part::RestOfGroup, 0, count); !read)
            return read.error();
        const int fixed = static_cast<int>(m_range.size());
        for (int level = static_cast<int>(m_positionValues.size()) - 1;
             level >= fixed && static_cast<int>(rows.size()) < count; --level) {
            if (Status read = readInto(rows, direction, Part::Beyond, level, count - static_cast<int>(rows.size())); !read)
                return read.error();
        }
    } else if (Status read = readInto(rows, direction, Part::FromPosition, 0, count); !read) {
        return read.error();
    }
    if (!rows.empty())
        setPositionAfter(rows.back());
    return rows;
}

Result<bool> TableInstance::readOne(Direction direction)
{
    Result<std::vector<Row>> page = readPage(direction, 1);
    if (!page)
        return page.error();
    if (page.value().empty())
        return false;
    m_current = page.value().front().id;
    *m_buffer = std::move(page.value().front().record);
    return true;
}

Result<bool> TableInstance::next()
{
    return readOne(Direction::Forward);
}

Result<bool> TableInstance::previous()
{
    return readOne(Direction::Backward);
}

Result<qint64> TableInstance::count()
{
    if (Status open = requireOpen(); !open)
        return open.error();
    Result<Statement> stmt =
        m_file->prepare(QStringLiteral("SELECT count(*) FROM %1").arg(sql::tableName(m_def)));
    if (!stmt)
        return stmt.error();
    const int rc = sqlite3_step(stmt.value().get());
    if (rc != SQLITE_ROW)
        return m_file->errorFrom(rc, m_def.storeName);
    return qint64{sqlite3_column_int64(stmt.value().get(), 0)};
}

SavedState TableInstance::saveState() const
{
    return SavedState{*m_buffer, m_current, m_order, m_positionKind, m_positionValues, m_positionRow};
}

void TableInstance::restoreState(const SavedState& state)
{
    *m_buffer = state.buffer;
    m_current = state.current;
    m_order = state.order;
    m_positionKind = static_cast<PositionKind>(state.positionKind);
    m_positionValues = state.positionValues;
    m_positionRow = state.positionRow;
}

Status TableInstance::begin(std::chrono::milliseconds wait)
{
    if (Status writable = requireWritable(); !writable)
        return writable;
    return m_file->begin(wait);
}

Status TableInstance::commit()
{
    if (Status open = requireOpen(); !open)
        return open;
    return m_file->commit();
}

void TableInstance::rollback()
{
    if (m_file)
        m_file->rollback();
}

} // namespace qly::store
