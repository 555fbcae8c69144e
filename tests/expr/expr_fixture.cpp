#include "expr_fixture.h"

#include "core/dates.h"
#include "store/connection_setup.h"
#include "store/sql_text.h"

#include <QDate>
#include <QStringList>
#include <sqlite3.h>

namespace qly::test {

namespace {
std::vector<FieldDef> noteFields()
{
    return {
        {QStringLiteral("TOPIC"), FieldKind::Text, 60},
        {QStringLiteral("REMINDER"), FieldKind::Text, 1},
        {QStringLiteral("NOTEDATE"), FieldKind::Date, 4},
        {QStringLiteral("REMINDERDATE"), FieldKind::Date, 4},
        {QStringLiteral("MAINMEMO"), FieldKind::Text, 5050},
        {QStringLiteral("DONE"), FieldKind::Text, 1},
        {QStringLiteral("URL"), FieldKind::Text, 60},
        {QStringLiteral("EMAILADDRESS"), FieldKind::Text, 50},
    };
}

// Runs the statement with the store's parameters, then the filter's.
class Statement
{
public:
    Statement(sqlite3* db, const QString& sql)
    {
        const QByteArray utf8 = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt,
                                  nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    sqlite3_stmt* get() const { return m_stmt; }

    void bind(int index, const store::SqlValue& value)
    {
        if (const auto* i = std::get_if<std::int64_t>(&value)) {
            sqlite3_bind_int64(m_stmt, index, *i);
        } else if (const auto* d = std::get_if<double>(&value)) {
            sqlite3_bind_double(m_stmt, index, *d);
        } else {
            const QByteArray text = std::get_if<QString>(&value)->toUtf8();
            sqlite3_bind_text(m_stmt, index, text.constData(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
        }
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc = SQLITE_ERROR;
};
} // namespace

const RecordLayout& notesLayout()
{
    static const RecordLayout layout(QStringLiteral("SNO"), noteFields());
    return layout;
}

const RecordLayout& archiveLayout()
{
    static const RecordLayout layout(QStringLiteral("ARC"), noteFields());
    return layout;
}

DayCount testToday()
{
    return fromQDate(QDate(2024, 3, 15));
}

Record recordOf(const Note& note, const RecordLayout& layout)
{
    Record record(layout);
    record.setText(Topic, note.topic);
    record.setText(Done, note.done);
    record.setDate(ReminderDate, note.reminderDate);
    record.setDate(NoteDate, note.noteDate);
    record.setText(MainMemo, note.memo);
    record.setText(Reminder, note.reminder);
    record.setText(Url, note.url);
    record.setText(EmailAddress, note.email);
    return record;
}

QString shape(const expr::Node& node)
{
    using expr::NodeKind;
    QString head;
    switch (node.kind) {
    case NodeKind::Field:
        return node.text;
    case NodeKind::Text:
        return u'\'' + QString(node.text).replace(u'\'', QStringLiteral("''")) + u'\'';
    case NodeKind::Number:
        return QString::number(node.number, 'g', 17);
    case NodeKind::Today:
        return QStringLiteral("today");
    case NodeKind::Upper:
        head = QStringLiteral("upper");
        break;
    case NodeKind::Contains:
        head = QStringLiteral("contains");
        break;
    case NodeKind::Begins:
        head = QStringLiteral("begins");
        break;
    case NodeKind::Compare: {
        static const char* const ops[] = {"=", "<>", "<", "<=", ">", ">="};
        head = QString::fromLatin1(ops[static_cast<int>(node.op)]);
        break;
    }
    case NodeKind::And:
        head = QStringLiteral("and");
        break;
    case NodeKind::Or:
        head = QStringLiteral("or");
        break;
    case NodeKind::Not:
        head = QStringLiteral("not");
        break;
    case NodeKind::Add:
        head = QStringLiteral("+");
        break;
    case NodeKind::Subtract:
        head = QStringLiteral("-");
        break;
    case NodeKind::Negate:
        head = QStringLiteral("neg");
        break;
    }
    QStringList parts{head};
    for (const expr::Node& child : node.children)
        parts << shape(child);
    return u'(' + parts.join(u' ') + u')';
}

QString describe(const Record& record)
{
    QStringList parts;
    for (int i = 0; i < record.layout().fieldCount(); ++i) {
        const FieldDef& field = record.layout().field(i);
        parts << field.name + u'=' +
                     (field.kind == FieldKind::Date ? QString::number(record.date(i))
                                                    : u'"' + record.text(i) + u'"');
    }
    return parts.join(u' ');
}

NoteTable::NoteTable()
{
    m_def.storeName = QStringLiteral("QLY\\!notes");
    m_def.layout = &notesLayout();
    m_def.keys = {{QStringLiteral("SNOT"), QStringLiteral("sno:snot"), {Topic}},
                  {QStringLiteral("SNOR"), QStringLiteral("sno:snor"), {ReminderDate}}};
    store::addConnectionSetup(expr::installSqlFunctions);
    if (sqlite3_open(":memory:", &m_db) != SQLITE_OK || store::setUpConnection(m_db) != SQLITE_OK) {
        m_setupError = QStringLiteral("cannot open an in-memory database");
        return;
    }
    const QStringList schema = {
        store::sql::createTable(m_def),
        store::sql::createIndex(m_def, m_def.keys[0]),
        store::sql::createIndex(m_def, m_def.keys[1]),
    };
    for (const QString& sql : schema) {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            m_setupError = QString::fromUtf8(message) + QStringLiteral(" in ") + sql;
            sqlite3_free(message);
            return;
        }
    }
}

NoteTable::~NoteTable()
{
    sqlite3_close(m_db);
}

bool NoteTable::add(const Record& record)
{
    QStringList columns;
    QStringList marks;
    for (int i = 0; i < notesLayout().fieldCount(); ++i) {
        columns << store::sql::quoted(notesLayout().columnName(i));
        marks << QStringLiteral("?");
    }
    Statement insert(m_db,
                     QStringLiteral("INSERT INTO %1 (rowid, %2) VALUES (?, %3)")
                         .arg(store::sql::tableName(m_def), columns.join(u','), marks.join(u',')));
    if (!insert.ok())
        return false;
    insert.bind(1, std::int64_t{m_rows});
    for (int i = 0; i < record.layout().fieldCount(); ++i) {
        if (record.layout().field(i).kind == FieldKind::Date)
            insert.bind(i + 2, std::int64_t{record.date(i)});
        else
            insert.bind(i + 2, record.text(i));
    }
    if (sqlite3_step(insert.get()) != SQLITE_DONE)
        return false;
    ++m_rows;
    return true;
}

void NoteTable::clear()
{
    sqlite3_exec(m_db, "DELETE FROM notes", nullptr, nullptr, nullptr);
    m_rows = 0;
}

QString NoteTable::readSql(const expr::SqlFilter& filter, ReadOrder order) const
{
    // As the store reads: its own terms and parameters first, the filter's last.
    if (order == ReadOrder::AsAdded)
        return QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ? AND (%2) ORDER BY rowid")
            .arg(store::sql::tableName(m_def), filter.sql);
    const store::KeyDef& key = m_def.keys[order == ReadOrder::ByTopic ? 0 : 1];
    return QStringLiteral("SELECT rowid FROM %1 WHERE %2 AND (%3) >= (?) AND (%4) "
                          "ORDER BY %3, rowid LIMIT ?")
        .arg(store::sql::tableName(m_def), store::sql::keyPresent(m_def, key),
             store::sql::keyColumns(m_def, key), filter.sql);
}

std::optional<std::vector<int>> NoteTable::select(const expr::SqlFilter& filter)
{
    Statement read(m_db, readSql(filter, ReadOrder::AsAdded));
    if (!read.ok()) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        return std::nullopt;
    }
    read.bind(1, std::int64_t{-1});
    int index = 2;
    for (const store::SqlValue& value : filter.values)
        read.bind(index++, value);
    std::vector<int> rows;
    int rc;
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW)
        rows.push_back(sqlite3_column_int(read.get(), 0));
    if (rc != SQLITE_DONE) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        return std::nullopt;
    }
    return rows;
}

bool NoteTable::preparesInTopicOrder(const expr::SqlFilter& filter)
{
    Statement read(m_db, readSql(filter, ReadOrder::ByTopic));
    if (!read.ok())
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    return read.ok();
}

QString NoteTable::queryPlan(const expr::SqlFilter& filter, ReadOrder order)
{
    Statement plan(m_db, QStringLiteral("EXPLAIN QUERY PLAN ") + readSql(filter, order));
    if (!plan.ok())
        return QString::fromUtf8(sqlite3_errmsg(m_db));
    QStringList lines;
    while (sqlite3_step(plan.get()) == SQLITE_ROW)
        lines << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(plan.get(), 3)));
    return lines.join(u'\n');
}

} // namespace qly::test
