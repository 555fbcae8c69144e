#pragma once
// Functions that every connection to a data file gets before first use. The store installs its
// collation itself; upper layers (filter expressions) add their SQL functions here at start-up.

struct sqlite3;

namespace qly::store {

// setup returns an SQLite result code (SQLITE_OK on success).
using ConnectionSetup = int (*)(sqlite3* db);

// Adds setup to every connection opened from now on; adding the same function twice is harmless.
void addConnectionSetup(ConnectionSetup setup);

// Runs the collation and every added setup on db; returns the first failing result code.
int setUpConnection(sqlite3* db);

} // namespace qly::store
