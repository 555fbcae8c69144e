#pragma once
// A small table declaration of the store's own, two tables in one data file written in two
// letter cases, and raw-SQLite helpers for damaging a file the way another tool could.

#include "core/thread.h"
#include "store/table.h"
#include "support/foreign_lock.h"
#include "support/temp_workdir.h"

#include <QString>

#include <memory>

struct sqlite3;

namespace qly::test {

enum ItemField { Name, Flag, Day, Memo };
enum ItemKey { ByName, ByDay, ByFlag };

const RecordLayout& itemLayout();
store::TableDef itemsDef();   // "TDB\!items": keys ByName (NAME, DAY), ByDay (DAY), ByFlag (FLAG, DAY, then NAME descending)
store::TableDef othersDef();  // "tdb\!others": same layout, key ByName only

// Opens (creating when missing) and returns the thread's instance; QVERIFY-style failures abort.
store::Status openCreating(store::TableInstance& table, store::Access access = store::Access::ReadWrite);

// A raw connection to the data file with the store's collation, for tampering.
class RawConnection
{
public:
    explicit RawConnection(const QString& path);
    ~RawConnection();
    bool exec(const QString& sql);
    QString lastError() const;
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

} // namespace qly::test
