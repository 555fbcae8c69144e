#include "store_fixture.h"

#include "store/connection_setup.h"

#include <QFile>

#include <sqlite3.h>


namespace qly::test {

const RecordLayout& itemLayout()
{
    static const RecordLayout layout(QStringLiteral("TST"),
                                     {{QStringLiteral("NAME"), FieldKind::Text, 20},
                                      {QStringLiteral("FLAG"), FieldKind::Text, 1},
                                      {QStringLiteral("DAY"), FieldKind::Date, 4},
                                      {QStringLiteral("MEMO"), FieldKind::Text, 100}});
    return layout;
}

store::TableDef itemsDef()
{
    store::TableDef def;
    def.storeName = QStringLiteral("TDB\\!items");
    def.layout = &itemLayout();
    def.keys = {{QStringLiteral("BYNAME"), QStringLiteral("tst:byname"), {Name, Day}},
                {QStringLiteral("BYDAY"), QStringLiteral("tst:byday"), {Day}},
                {QStringLiteral("BYFLAG"), QStringLiteral("tst:byflag"), {Flag, Day}, {{Name, store::SortOrder::Descending}}}};
    return def;
}

store::TableDef othersDef()
{
    store::TableDef def = itemsDef();
    def.storeName = QStringLiteral("tdb\\!others");
    def.keys.resize(1);
    return def;
}

store::Status openCreating(store::TableInstance& table, store::Access access)
{
    store::Status opened = table.open(access);
    if (opened.code() == store::FileNotFound) {
        if (store::Status created = table.create(); !created)
            return created;
        opened = table.open(access);
    }
    return opened;
}

RawConnection::RawConnection(const QString& path)
{
    sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    store::setUpConnection(m_db);
}

RawConnection::~RawConnection()
{
    sqlite3_close_v2(m_db);
}

bool RawConnection::exec(const QString& sql)
{
    return sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString RawConnection::lastError() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

} // namespace qly::test
