#include "store/sql_text.h"

#include <QStringList>

namespace qly::store::sql {

QString quoted(const QString& identifier)
{
    QString escaped = identifier;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString tableName(const TableDef& def)
{
    return quoted(def.tableName());
}

QString indexName(const TableDef& def, const KeyDef& key)
{
    return def.tableName() + u'_' + key.name;
}

QString createTable(const TableDef& def)
{
    const RecordLayout& layout = *def.layout;
    QStringList columns;
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const QString column = quoted(layout.columnName(i));
        columns << (layout.field(i).kind == FieldKind::Text
                        ? column + QStringLiteral(" TEXT NOT NULL DEFAULT '' COLLATE QNOCASE")
                        : column + QStringLiteral(" INTEGER NOT NULL DEFAULT 0"));
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(tableName(def), columns.join(QStringLiteral(", ")));
}

QString keyColumns(const TableDef& def, const KeyDef& key, int count)
{
    QStringList columns;
    const int n = count < 0 ? static_cast<int>(key.components.size()) : count;
    for (int i = 0; i < n; ++i)
        columns << quoted(def.layout->columnName(key.components[static_cast<size_t>(i)]));
    return columns.join(u',');
}

QString orderBy(const TableDef& def, const KeyDef& key, bool backward)
{
    QStringList columns;
    for (const OrderPart& part : key.orderParts()) {
        const bool descending = (part.order == SortOrder::Descending) != backward;
        columns << quoted(def.layout->columnName(part.field)) + (descending ? QStringLiteral(" DESC") : QString());
    }
    columns << (backward ? QStringLiteral("rowid DESC") : QStringLiteral("rowid"));
    return columns.join(u',');
}

QString keyPresent(const TableDef& def, const KeyDef& key)
{
    QStringList terms;
    for (int field : key.components) {
        const QString column = quoted(def.layout->columnName(field));
        terms << (def.layout->field(field).kind == FieldKind::Text ? column + QStringLiteral(" <> ''")
                                                                   : column + QStringLiteral(" <> 0"));
    }
    return u'(' + terms.join(QStringLiteral(" OR ")) + u')';
}

QString createIndex(const TableDef& def, const KeyDef& key)
{
    QStringList columns;
    for (const OrderPart& part : key.orderParts())
        columns << quoted(def.layout->columnName(part.field)) +
                       (part.order == SortOrder::Descending ? QStringLiteral(" DESC") : QString());
    return QStringLiteral("CREATE INDEX %1 ON %2(%3) WHERE %4")
        .arg(quoted(indexName(def, key)), tableName(def), columns.join(u','), keyPresent(def, key));
}

QStringList subsetTerms(const TableDef& def, const KeySubset& subset)
{
    QStringList terms;
    for (const SubsetTerm& term : subset.terms) {
        QString value;
        if (const auto* number = std::get_if<std::int64_t>(&term.value)) {
            value = QString::number(*number);
        } else {
            QString text = std::get<QString>(term.value);
            text.replace(u'\'', QStringLiteral("''"));
            value = u'\'' + text + u'\'';
        }
        terms << QStringLiteral("%1 %2 %3")
                     .arg(quoted(def.layout->columnName(term.field)),
                          term.op == SubsetTerm::Op::Equal ? QStringLiteral("=") : QStringLiteral(">"), value);
    }
    return terms;
}

QString subsetIndexName(const TableDef& def, const KeyDef& key, const KeySubset& subset)
{
    return indexName(def, key) + u'_' + subset.name;
}

std::vector<IndexText> indexesOf(const TableDef& def, const KeyDef& key)
{
    std::vector<IndexText> indexes{{indexName(def, key), createIndex(def, key)}};
    const QString keyIndex = createIndex(def, key);
    for (const KeySubset& subset : key.subsets) {
        QString create = keyIndex;
        create.replace(quoted(indexName(def, key)), quoted(subsetIndexName(def, key, subset)));
        create += QStringLiteral(" AND ") + subsetTerms(def, subset).join(QStringLiteral(" AND "));
        indexes.push_back({subsetIndexName(def, key, subset), create});
    }
    return indexes;
}

QString selectColumns(const TableDef& def)
{
    QStringList columns{QStringLiteral("rowid")};
    for (int i = 0; i < def.layout->fieldCount(); ++i)
        columns << quoted(def.layout->columnName(i));
    return columns.join(u',');
}

} // namespace qly::store::sql
