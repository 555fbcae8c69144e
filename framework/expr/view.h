#pragma once
// A view: one table read in a key's order, optionally with an appended order, through a list of
// filters. Lists and reports read their notes through views, a page at a time.
//
// The filters are each put in parentheses and joined with " AND " into the effective filter,
// which is what a query report is handed as text. Records left out of the key's order are never
// read. The appended order must be one the key keeps (its further columns), so reading never
// sorts: a view over a million notes costs the same per page as over a hundred.
//
// Where the filter's conditions pin the key's first components to values (sno:done='Y' on a key
// that starts with the done flag), the view also seeks the index to them instead of stepping
// through every other record.
//
// A view never shows anything: a filter that does not parse or bind comes back as an error for
// the caller to report.

#include "expr/expression.h"
#include "store/table.h"

#include <QStringList>

#include <optional>

namespace qly::expr {

class View
{
public:
    View(store::TableInstance& table, int key);
    ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    store::TableInstance& table() const { return m_table; }
    int key() const { return m_key; }

    // "-sno:notedate", "sno:NOTEDATE" or several joined with commas; empty for none.
    std::optional<Error> setAppendedOrder(QStringView order);
    void setFilters(QStringList filters) { m_filters = std::move(filters); }
    const QStringList& filters() const { return m_filters; }

    // Each non-empty filter in parentheses, joined with " AND "; empty without filters.
    static QString joinFilters(const QStringList& filters);
    QString effectiveFilter() const { return joinFilters(m_filters); }

    // Readies the table for reading on day today: its order, the filter as SQL. An error leaves
    // the view without a filter. Another view that reads the same table instance in between
    // (a second list on the thread) does not disturb this one: each read sets the table up
    // again for the view that reads.
    std::optional<Error> open(DayCount today);

    // Pages from the start, from the end, after and before the last page read.
    store::Result<std::vector<store::Row>> first(int count);
    store::Result<std::vector<store::Row>> last(int count);
    store::Result<std::vector<store::Row>> next(int count);
    store::Result<std::vector<store::Row>> previous(int count);
    // Rows at or after the first `components` key values of values; a text component matches
    // as a prefix would sort, without regard to case.
    store::Result<std::vector<store::Row>> locate(const Record& values, int components, int count);
    // Pages on from a row read earlier (a list keeps its rows and comes back to them).
    store::Result<std::vector<store::Row>> after(const store::Row& row, store::Direction direction, int count);

    // Whether record passes the view's filter on day today (true without filters).
    bool passes(const Record& record, DayCount today) const;

private:
    // Sets the table up again when another view has read it since.
    void reclaim();

    store::TableInstance& m_table;
    std::optional<DayCount> m_openedFor;
    int m_key;
    QStringList m_filters;
    std::optional<Filter> m_filter;
};

} // namespace qly::expr
