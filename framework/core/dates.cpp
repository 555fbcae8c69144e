#include "core/dates.h"

#include <QDate>

namespace qly {

namespace {
using namespace std::chrono;

constexpr sys_days kEpoch = sys_days{year{1800} / December / day{28}};
} // namespace

DayCount dayCountOf(year_month_day date)
{
    if (!date.ok())
        return 0;
    if (date > kLastDate)
        date = kLastDate;
    const auto days = (sys_days{date} - kEpoch).count();
    return days > 0 ? static_cast<DayCount>(days) : 0;
}

year_month_day civilOf(DayCount days)
{
    return year_month_day{kEpoch + std::chrono::days{days}};
}

DayCount lastDayCount()
{
    static const DayCount last = dayCountOf(kLastDate);
    return last;
}

DayCount unpackDate(PackedDate packed)
{
    if (packed == 0)
        return 0;
    const unsigned dayPart = packed & 0xffu;
    const unsigned monthPart = (packed >> 8) & 0xffu;
    const int yearPart = static_cast<int>(packed >> 16);
    if (yearPart > 9999)
        return lastDayCount();
    return dayCountOf(year{yearPart} / month{monthPart} / day{dayPart});
}

PackedDate packDate(DayCount days)
{
    if (days <= 0)
        return 0;
    const year_month_day ymd = civilOf(std::min(days, lastDayCount()));
    return packYmd(static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                   static_cast<unsigned>(ymd.day()));
}

QDate toQDate(DayCount days)
{
    if (days <= 0)
        return {};
    const year_month_day ymd = civilOf(days);
    return QDate(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                 static_cast<int>(static_cast<unsigned>(ymd.day())));
}

DayCount fromQDate(const QDate& date)
{
    if (!date.isValid())
        return 0;
    return dayCountOf(year{date.year()} / month{static_cast<unsigned>(date.month())} /
                      day{static_cast<unsigned>(date.day())});
}

} // namespace qly
