#pragma once
// Dates as the program keeps them.
//
// A record buffer holds a date packed as year * 65536 + month * 256 + day (0 = no date).
// Everything that computes with a date, filters on it or shows it reads it as a day count:
// the number of days since 28 December 1800, so 1 January 1801 is day 4 and 0 means no date.
// The arithmetic is done with std::chrono's proleptic Gregorian calendar.

#include <QtGlobal>

#include <chrono>

class QDate;

namespace qly {

using DayCount = qint32;
using PackedDate = quint32;

// The latest date a day count can stand for; packed years above 9999 read as this day.
inline constexpr std::chrono::year_month_day kLastDate{std::chrono::year{9999},
                                                       std::chrono::December, std::chrono::day{31}};

constexpr PackedDate packYmd(int year, unsigned month, unsigned day)
{
    return static_cast<PackedDate>(year) * 65536u + month * 256u + day;
}

// Day count of a civil date; dates before the epoch count as no date (0).
DayCount dayCountOf(std::chrono::year_month_day date);
// Civil date of a day count; only meaningful for day counts above 0.
std::chrono::year_month_day civilOf(DayCount days);

// Reads a packed date: not a real calendar date -> 0, a year above 9999 -> 31 December 9999.
DayCount unpackDate(PackedDate packed);
// Packs a day count: 0 (or less) -> 0; beyond 31 December 9999 packs that last day.
PackedDate packDate(DayCount days);

DayCount lastDayCount();

QDate toQDate(DayCount days);            // invalid QDate for 0
DayCount fromQDate(const QDate& date);   // 0 for an invalid or pre-epoch date

} // namespace qly
