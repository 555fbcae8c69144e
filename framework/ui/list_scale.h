#pragma once
// Where a row stands in its list, estimated from its key values alone, for the list's scroll bar.
//
// A list over a million notes cannot count the rows before the one on screen, so its thumb is
// placed by the value of one key component between the list's first and last rows: a topic by
// its first letters, a date by the day. Dragging the thumb goes the other way, from a place on
// the bar to key values to locate. Both directions cost the same in any list.

#include "store/record.h"

#include <memory>

namespace qly {

// Key values a list locates to: the record and how many leading key components of it count.
struct KeyValues
{
    Record values;
    int components;
};

class ListScale
{
public:
    virtual ~ListScale() = default;
    // Where record stands between first and last (the list's first and last rows): 0.0 to 1.0.
    virtual double fraction(const Record& record, const Record& first,
                            const Record& last) const = 0;
    // The key values at fraction between first and last.
    virtual KeyValues valuesAt(double fraction, const Record& first, const Record& last) const = 0;
};

// By a text key component, alphabetically by its first few letters (case and accents ignored;
// digits and marks sort before "a"). keyComponent counts from 0 in the list's key; the
// components before it are taken from the first row, where a filter pins them.
std::unique_ptr<ListScale> textListScale(int field, int keyComponent);
// By a date key component, by day between the first row's date and the last row's.
std::unique_ptr<ListScale> dateListScale(int field, int keyComponent);

} // namespace qly
