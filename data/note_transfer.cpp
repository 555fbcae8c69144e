#include "data/note_transfer.h"

#include "core/clock.h"
#include "core/fixed_text.h"
#include "core/thread.h"
#include "expr/view.h"
#include "store/table.h"

#include <QDate>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

namespace qly {

namespace {

using store::Access;
using store::Status;

void appendJsonString(QByteArray& out, const QString& text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out += QByteArray("\\u00") + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += '"';
}

QString describe(const store::StoreError& error)
{
    QString text = error.describe();
    if (!error.detail.isEmpty())
        text += QStringLiteral(": ") + error.detail;
    return text;
}

// The tool's open: create what is missing when asked, rebuild keys that need it.
Status openForTool(store::TableInstance& table, Access access, store::CreateWhenMissing create)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Status opened = table.open(access);
        switch (opened.code()) {
        case store::NoError:
            return opened;
        case store::FileNotFound:
            if (create == store::CreateWhenMissing::No)
                return opened;
            if (Status created = table.create(); !created)
                return created;
            break;
        case store::KeyFileMustBeRebuilt:
            if (Status rebuilt = table.rebuildKeys(); !rebuilt)
                return rebuilt;
            break;
        default:
            return opened;
        }
    }
    return store::StoreError::of(store::FileSystemError, table.path());
}

} // namespace

QByteArray recordToJsonLine(const Record& record)
{
    const RecordLayout& layout = record.layout();
    QByteArray line = "{";
    for (int i = 0; i < layout.fieldCount(); ++i) {
        if (i > 0)
            line += ',';
        appendJsonString(line, layout.columnName(i));
        line += ':';
        if (layout.field(i).kind == FieldKind::Text) {
            appendJsonString(line, record.text(i));
        } else if (const DayCount days = record.date(i); days == 0) {
            line += "null";
        } else {
            appendJsonString(line, toQDate(days).toString(Qt::ISODate));
        }
    }
    line += '}';
    return line;
}

std::optional<QString> recordFromJsonLine(const QByteArray& line, Record& record)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QStringLiteral("not valid JSON (%1 at column %2)").arg(parseError.errorString()).arg(parseError.offset + 1);
    if (!document.isObject())
        return QStringLiteral("not a JSON object");
    const QJsonObject object = document.object();
    const RecordLayout& layout = record.layout();
    record.clear();
    QSet<QString> known;
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const QString key = layout.columnName(i);
        known.insert(key);
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            continue;
        const FieldDef& field = layout.field(i);
        if (field.kind == FieldKind::Text) {
            if (!value.isString())
                return QStringLiteral("\"%1\" must be text").arg(key);
            const QString text = value.toString();
            if (codePointCount(withoutTrailingBlanks(text)) > field.width)
                return QStringLiteral("\"%1\" is longer than %2 characters").arg(key).arg(field.width);
            record.setText(i, text);
        } else if (!value.isNull()) {
            const QDate date = value.isString() ? QDate::fromString(value.toString(), Qt::ISODate) : QDate();
            const DayCount days = fromQDate(date);
            if (days == 0 || value.toString().size() != 10)
                return QStringLiteral("\"%1\" must be a date written YYYY-MM-DD (from 1800-12-29 to 9999-12-31) or null").arg(key);
            record.setDate(i, days);
        }
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!known.contains(it.key()))
            return QStringLiteral("unknown key \"%1\"").arg(it.key());
    }
    return std::nullopt;
}

TransferOutcome exportTable(const store::TableDef& def, QIODevice& out, const ExportSelection& selection)
{
    TransferOutcome outcome;
    int key = -1;
    if (!selection.key.isEmpty()) {
        key = def.keyIndex(selection.key);
        if (key < 0) {
            QStringList known;
            for (const store::KeyDef& k : def.keys)
                known << k.description;
            outcome.error = QStringLiteral("%1 has no key %2 (keys: %3)")
                                .arg(def.tableName(), selection.key, known.join(QStringLiteral(", ")));
            return outcome;
        }
    }
    Thread thread(QStringLiteral("quillary-data"));
    store::Table table(def);
    store::TableInstance& notes = table.on(thread);
    if (Status opened = openForTool(notes, Access::ReadOnly, store::CreateWhenMissing::No); !opened) {
        // A data file without this table yet (the archive before the first archived note)
        // simply has no notes in it.
        if (opened.code() == store::FileNotFound && QFileInfo::exists(notes.path()))
            return outcome;
        outcome.error = opened.code() == store::FileNotFound
                            ? QStringLiteral("there is no data file %1").arg(notes.path())
                            : describe(opened.error());
        return outcome;
    }
    expr::View view(notes, key);
    const auto problem = [](const QString& what, const expr::Error& error) {
        return QStringLiteral("%1: %2 (at character %3)").arg(what, error.message).arg(error.position + 1);
    };
    if (const auto error = view.setAppendedOrder(selection.order)) {
        outcome.error = problem(QStringLiteral("order"), *error);
        return outcome;
    }
    view.setFilters({selection.filter});
    if (const auto error = view.open(clock().todayCount())) {
        outcome.error = problem(QStringLiteral("filter"), *error);
        return outcome;
    }
    for (auto page = view.first(500);; page = view.next(500)) {
        if (!page) {
            outcome.error = describe(page.error());
            return outcome;
        }
        if (page.value().empty())
            break;
        for (const store::Row& row : page.value()) {
            QByteArray line = recordToJsonLine(row.record);
            line += '\n';
            if (out.write(line) != line.size()) {
                outcome.error = QStringLiteral("cannot write: %1").arg(out.errorString());
                return outcome;
            }
            ++outcome.count;
        }
    }
    return outcome;
}

TransferOutcome importTable(const store::TableDef& def, QIODevice& in)
{
    TransferOutcome outcome;
    Thread thread(QStringLiteral("quillary-data"));
    store::Table table(def);
    store::TableInstance& notes = table.on(thread);
    if (Status opened = openForTool(notes, Access::ReadWrite, store::CreateWhenMissing::Yes); !opened) {
        outcome.error = opened.code() == store::AccessDenied
                            ? QStringLiteral("%1 is in use by another program or cannot be written").arg(notes.path())
                            : describe(opened.error());
        return outcome;
    }
    if (Status started = notes.begin(); !started) {
        outcome.error = describe(started.error());
        return outcome;
    }
    qint64 lineNumber = 0;
    while (!in.atEnd()) {
        QByteArray line = in.readLine();
        ++lineNumber;
        if (line.trimmed().isEmpty())
            continue;
        if (const auto problem = recordFromJsonLine(line, notes.buffer())) {
            notes.rollback();
            outcome.error = QStringLiteral("line %1: %2").arg(lineNumber).arg(*problem);
            outcome.count = 0;
            return outcome;
        }
        if (Status added = notes.insert(); !added) {
            notes.rollback();
            outcome.error = QStringLiteral("line %1: %2").arg(lineNumber).arg(describe(added.error()));
            outcome.count = 0;
            return outcome;
        }
        ++outcome.count;
    }
    if (Status committed = notes.commit(); !committed) {
        outcome.error = describe(committed.error());
        outcome.count = 0;
    }
    return outcome;
}

QStringList checkDataFile(const std::vector<const store::TableDef*>& defs, QString* error)
{
    QStringList problems;
    if (defs.empty())
        return problems;
    const QString path = store::resolveDataFilePath(defs.front()->dataFileName());
    auto file = store::DataFile::open(path, Access::ReadOnly);
    if (!file) {
        *error = file.error().code == store::FileNotFound ? QStringLiteral("there is no data file %1").arg(path)
                                                          : describe(file.error());
        return problems;
    }
    problems << file.value()->integrityProblems();
    for (const store::TableDef* def : defs) {
        if (Status present = file.value()->checkTable(*def); present.code() == store::FileNotFound)
            continue; // a table not created yet is not a problem
        problems << file.value()->keyProblems(*def);
    }
    return problems;
}

} // namespace qly
