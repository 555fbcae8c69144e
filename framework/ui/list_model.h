#pragma once
// The rows of a list over a keyed table, read a page at a time.
//
// A ListModel shows an expr::View but never holds the whole of it: only the rows on screen and
// about a page either side (kPagesHeld pages in all). Scrolling reads on by keyset from the
// first or last row held (View::after) and drops what has gone far off screen, so a line, a
// page, Home, End or a located value each cost a read or two of a page, whether the table holds
// a hundred notes or a million. The model's rows are the rows held, not the table's: row 0 is
// whatever lies a page above the screen.
//
// The model keeps the list's place: the top row on screen and the current (highlighted) row.
// The list widget tells it how many rows fit on screen and turns keys, the wheel and the scroll
// bar into its moves. Windows call the refills: from the top after a change of order, around a
// row after a form returns (a deleted row's neighbour takes its place; a saved one is found by
// its key values and row id).
//
// Every move returns the store's status; a failed read leaves the rows as they were.

#include "expr/view.h"
#include "store/table.h"
#include "ui/list_scale.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

namespace qly {

// One column: its header, width and alignment, and what a row shows in it.
struct ListColumn
{
    QString header;
    int width = 40; // dialog units
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment headerAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    std::function<QString(const Record&)> text;
    std::function<QIcon(const Record&)> icon = {};      // none when empty
    std::function<QString(const Record&)> toolTip = {}; // none when empty
    int indent = 0; // dialog units between the cell's aligned edge and its contents
};

class ListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kPagesHeld = 3;

    ListModel(expr::View& view, std::vector<ListColumn> columns, QObject* parent = nullptr);
    ~ListModel() override;

    // Another order or filter; the rows stay until the next refill.
    void setView(expr::View& view) { m_view = &view; }
    expr::View& view() const { return *m_view; }
    const std::vector<ListColumn>& columns() const { return m_columns; }

    // Where the scroll bar's thumb stands; without a scale it stays at the top.
    void setScale(std::unique_ptr<ListScale> scale) { m_scale = std::move(scale); }

    // ---- the place ----
    // Rows that fit on screen (at least 1); reads or drops rows to keep a page either side.
    store::Status setPageSize(int rows);
    int pageSize() const { return m_pageSize; }
    int topRow() const { return m_top; }         // model row at the top of the screen
    int currentRow() const { return m_current; } // -1 when the list is empty
    const store::Row* currentEntry() const;
    const store::Row* entry(int row) const;
    // The row on screen line `line` (0 at the top), or -1.
    int rowOnLine(int line) const;
    // From 0.0 at the first row of the view to 1.0 when the screen shows its last.
    double thumbFraction() const;

    // ---- refills ----
    store::Status fillFromTop(); // Home
    store::Status fillFromEnd(); // End
    // Around row on the screen line where row (or else the current row) stood: row itself when
    // the view still holds it, else the row that now follows it, else the last row.
    store::Status fillAround(const store::Row& row);
    // The same for a row known by its id (a note a form saved); the table's buffer and position
    // are left as they were.
    store::Status fillAroundRowId(qint64 id);
    // Reads the rows again around the current one (after another window changed them).
    store::Status refresh();
    // Type-ahead: the first row at or after values, as the top row on screen.
    store::Status locate(const KeyValues& values);
    // The first row whose key component keyComponent (counting from 0) is at or after text, case
    // ignored; the components before it count as blank.
    store::Status locateText(int keyComponent, QStringView text);
    // The thumb dragged to fraction: the key values the scale puts there.
    store::Status locateFraction(double fraction);

    // ---- moves ----
    store::Status lineDown();
    store::Status lineUp();
    store::Status pageDown();
    store::Status pageUp();
    // The screen moves by lines (the wheel); the current row stays on it.
    store::Status scrollLines(int lines);
    // A row on screen chosen with the mouse.
    store::Status setCurrentRow(int row);

    // ---- QAbstractItemModel ----
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The top or current row moved, or the rows were read again.
    void placeChanged();

private:
    enum class Edge
    {
        Open,
        Reached
    };
    int margin() const { return m_pageSize; }
    int size() const { return static_cast<int>(m_rows.size()); }
    store::Status fillAt(const store::Row& row, int line);
    // From the view's first row (Forward) or with its last on the screen's last line.
    store::Status fillFromEdge(store::Direction from);
    // Takes rows as the new content, the current at index current on screen line `line`.
    store::Status replace(std::vector<store::Row> rows, int current, int line, Edge start,
                          Edge end);
    enum class Highlight
    {
        Stays,
        KeepsItsLine
    };
    // Puts the screen's top at top (a model row, perhaps outside the rows held) and the current
    // row at current, or on its line when the screen scrolls: reads and drops rows so a page
    // (as far as the view goes) lies either side of the screen, keeps the screen full at the
    // end and the current row on it. A failed read changes nothing.
    store::Status moveTo(int top, int current, Highlight highlight);
    // The same, then tells the views.
    store::Status move(int top, int current, Highlight highlight);
    store::Status readBounds();
    // Drops the first count rows held; top and current follow, and rows lie before them now.
    void dropLeading(int count, int& top, int& current, Edge& start);
    int indexOfId(qint64 id) const;

    expr::View* m_view;
    std::vector<ListColumn> m_columns;
    std::unique_ptr<ListScale> m_scale;
    std::deque<store::Row> m_rows;
    int m_pageSize = 1;
    int m_top = 0;
    int m_current = -1;
    bool m_settling = false;
    Edge m_start = Edge::Reached;      // nothing lies before the first row held
    Edge m_end = Edge::Reached;        // nothing lies after the last row held
    std::optional<store::Row> m_first; // the view's first and last rows, for the scale
    std::optional<store::Row> m_last;
};

} // namespace qly
