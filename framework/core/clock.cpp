#include "core/clock.h"

namespace qly {

namespace {
const Clock* g_clock = nullptr;
}

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

const Clock& clock()
{
    static const SystemClock system;
    return g_clock ? *g_clock : system;
}

void setClock(const Clock* c)
{
    g_clock = c;
}

} // namespace qly
