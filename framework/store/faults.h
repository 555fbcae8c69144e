#pragma once
// The seam through which tests make store operations fail as a broken disk or a damaged file
// would. Nothing outside tests arms it; an unarmed seam costs one branch per operation.

#include "store/store_error.h"

#include <optional>

namespace qly::store {

enum class Operation { Open, Create, RebuildKeys, Insert, Update, Delete, Read, Begin, Commit };

class Faults
{
public:
    // The next count calls of op fail with error (all of them when count is 0).
    static void arm(Operation op, StoreError error, int count = 1);
    static void disarmAll();
    // Called by the store at the start of op: the armed error, if any.
    static std::optional<StoreError> take(Operation op);
};

// Arms a fault for the life of the guard.
class ScopedFault
{
public:
    ScopedFault(Operation op, StoreError error, int count = 1) { Faults::arm(op, std::move(error), count); }
    ~ScopedFault() { Faults::disarmAll(); }
    ScopedFault(const ScopedFault&) = delete;
    ScopedFault& operator=(const ScopedFault&) = delete;
};

} // namespace qly::store
