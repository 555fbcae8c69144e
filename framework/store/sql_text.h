#pragma once
// The SQL the store writes for a table declaration: table, key indexes and key-order queries.
// Text columns hold values without trailing blanks and declare the QNOCASE collation; date
// columns hold day counts. A key's index is partial (records with every component empty are
// left out) and every key-order query repeats the index's WHERE text verbatim so that SQLite's
// planner can use the index.

#include "store/table_def.h"

#include <QByteArray>
#include <QString>

namespace qly::store::sql {

QString quoted(const QString& identifier);
QString tableName(const TableDef& def);                 // "notes", quoted
QString indexName(const TableDef& def, const KeyDef& key);  // notes_SNOT, unquoted
QString createTable(const TableDef& def);
QString createIndex(const TableDef& def, const KeyDef& key);
// The conditions of a subset as AND terms, literal values written out (they come from the
// table declaration, never from a user): "reminderdate" > 0, "done" = 'N'.
QStringList subsetTerms(const TableDef& def, const KeySubset& subset);
QString subsetIndexName(const TableDef& def, const KeyDef& key, const KeySubset& subset);

struct IndexText
{
    QString name;
    QString create;
};
// Every index a key has: its own, then one per subset.
std::vector<IndexText> indexesOf(const TableDef& def, const KeyDef& key);
// ("reminder" <> '' OR "reminderdate" <> 0 OR "topic" <> '')
QString keyPresent(const TableDef& def, const KeyDef& key);
// "rowid", then every field's column, in layout order.
QString selectColumns(const TableDef& def);
// "reminder","reminderdate","topic" (first count components; all when count < 0)
QString keyColumns(const TableDef& def, const KeyDef& key, int count = -1);
// The ORDER BY list of reading in key order: every order column, then the row id; reversed
// when reading backward.
QString orderBy(const TableDef& def, const KeyDef& key, bool backward);

} // namespace qly::store::sql
