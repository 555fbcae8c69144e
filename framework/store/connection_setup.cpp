#include "store/connection_setup.h"

#include "store/collation.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace qly::store {

namespace {
std::vector<ConnectionSetup>& setups()
{
    static std::vector<ConnectionSetup> list;
    return list;
}
} // namespace

void addConnectionSetup(ConnectionSetup setup)
{
    auto& list = setups();
    if (std::find(list.begin(), list.end(), setup) == list.end())
        list.push_back(setup);
}

int setUpConnection(sqlite3* db)
{
    if (const int rc = installCollation(db); rc != SQLITE_OK)
        return rc;
    for (ConnectionSetup setup : setups()) {
        if (const int rc = setup(db); rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

} // namespace qly::store
