#pragma once
// The text order of every key: case ignored, accents kept but sorted beside their base letter,
// independent of the user's locale. "Émile" equals "émile" and sorts among the E's, after
// "Emile". Registered on each connection under kCollationName and declared on the text columns.

#include <QString>
#include <QStringView>

struct sqlite3;

namespace qly::store {

inline constexpr const char* kCollationName = "QNOCASE";

// Changes whenever the order could change (the rules here or the Unicode tables below them);
// a data file whose keys were built under another identity has its keys rebuilt at open.
QString collationIdentity();

// <0, 0, >0 in key order.
int collate(QStringView a, QStringView b);
int collateUtf8(const char* a, int aLength, const char* b, int bLength);

// Registers the collation on a connection; returns an SQLite result code.
int installCollation(sqlite3* db);

} // namespace qly::store
