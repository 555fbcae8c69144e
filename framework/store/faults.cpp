#include "store/faults.h"

#include <map>

namespace qly::store {

namespace {
struct Armed
{
    StoreError error;
    int remaining; // 0 = every call
};
std::map<Operation, Armed>& armed()
{
    static std::map<Operation, Armed> faults;
    return faults;
}
} // namespace

void Faults::arm(Operation op, StoreError error, int count)
{
    armed()[op] = Armed{std::move(error), count};
}

void Faults::disarmAll()
{
    armed().clear();
}

std::optional<StoreError> Faults::take(Operation op)
{
    auto& faults = armed();
    if (faults.empty())
        return std::nullopt;
    const auto it = faults.find(op);
    if (it == faults.end())
        return std::nullopt;
    StoreError error = it->second.error;
    if (it->second.remaining > 0 && --it->second.remaining == 0)
        faults.erase(it);
    return error;
}

} // namespace qly::store
