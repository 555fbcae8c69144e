#pragma once
// A value bound to an SQL parameter. Text from a filter or a record reaches SQLite only this way.

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace qly::store {

using SqlValue = std::variant<std::int64_t, double, QString>;
using SqlValues = std::vector<SqlValue>;

} // namespace qly::store
