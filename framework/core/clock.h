#pragma once
// The one source of "today". Reminders depend on it, so tests replace it with a fixed clock.

#include "core/dates.h"

#include <QDate>

namespace qly {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    DayCount todayCount() const { return fromQDate(today()); }
};

class SystemClock final : public Clock
{
public:
    QDate today() const override;
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }
    void set(QDate day) { m_day = day; }

private:
    QDate m_day;
};

// The program's clock; the system clock unless a test installed another.
const Clock& clock();
// Installs a clock (nullptr restores the system clock). The caller keeps ownership.
void setClock(const Clock* clock);

} // namespace qly
