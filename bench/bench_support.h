#pragma once
// Shared pieces of the benchmarks: a store of realistic notes, timing by median, BENCH lines.

#include "store/table.h"

#include <QString>

#include <functional>
#include <vector>

namespace qly::bench {

// Fills notes (and, when given, the archive) with count realistic notes in one transaction:
// topics from everyday words in mixed case, some accented, memos of about 200 characters, a
// tenth reminders, a tenth done, note dates over ten years.
bool fillNotes(store::TableInstance& notes, qint64 count, quint32 seed);

// The middle one of times (the upper of the two middle ones for an even count).
double median(std::vector<double> times);
// Median wall time in milliseconds of runs calls of work(i).
double medianMs(int runs, const std::function<void(int)>& work);

// BENCH <operation> n=<rows> ours_ms=<median> raw_ms=<median> ratio=<ours/raw>
void printBench(const QString& operation, qint64 rows, double oursMs, double rawMs);

// Peak resident memory of this process so far, in kilobytes.
long peakMemoryKb();

} // namespace qly::bench
