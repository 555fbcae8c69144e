#include "ui/list_model.h"

#include <algorithm>
#include <QScopedValueRollback>

namespace qly {

using store::Direction;
using store::Row;
using store::Status;

ListModel::ListModel(expr::View& view, std::vector<ListColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_view(&view), m_columns(std::move(columns))
{
}

ListModel::~ListModel() = default;

const Row* ListModel::entry(int row) const
{
    if (row < 0 || row >= size())
        return nullptr;
    return &m_rows[static_cast<size_t>(row)];
}

const Row* ListModel::currentEntry() const
{
    return entry(m_current);
}

int ListModel::rowOnLine(int line) const
{
    const int row = m_top + line;
    return line >= 0 && line < m_pageSize && row < size() ? row : -1;
}

double ListModel::thumbFraction() const
{
    if (m_rows.empty() || (m_start == Edge::Reached && m_top == 0))
        return 0;
    if (m_end == Edge::Reached && m_top + m_pageSize >= size())
        return 1;
    if (!m_scale || !m_first || !m_last)
        return 0;
    return m_scale->fraction(m_rows[static_cast<size_t>(m_top)].record, m_first->record,
                             m_last->record);
}

int ListModel::indexOfId(qint64 id) const
{
    const auto found =
        std::find_if(m_rows.begin(), m_rows.end(), [id](const Row& row) { return row.id == id; });
    return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

Status ListModel::setPageSize(int rows)
{
    m_pageSize = std::max(1, rows);
    return moveTo(m_top, m_current, Highlight::Stays);
}

// ---- refills ----

Status ListModel::readBounds()
{
    auto first = m_view->first(1);
    if (!first)
        return first.status();
    auto last = m_view->last(1);
    if (!last)
        return last.status();
    m_first.reset();
    m_last.reset();
    if (!first.value().empty())
        m_first = std::move(first.value().front());
    if (!last.value().empty())
        m_last = std::move(last.value().front());
    return {};
}

Status ListModel::fillFromTop()
{
    return fillFromEdge(Direction::Forward);
}

Status ListModel::fillFromEnd()
{
    return fillFromEdge(Direction::Backward);
}

Status ListModel::fillFromEdge(Direction from)
{
    if (Status bounds = readBounds(); !bounds)
        return bounds;
    const int wanted = m_pageSize + margin();
    auto rows = from == Direction::Forward ? m_view->first(wanted) : m_view->last(wanted);
    if (!rows)
        return rows.status();
    std::vector<Row> read = std::move(rows.value());
    // Fewer rows than asked for: the view ends on the far side too.
    const Edge farEdge = static_cast<int>(read.size()) < wanted ? Edge::Reached : Edge::Open;
    if (from == Direction::Forward)
        return replace(std::move(read), 0, 0, Edge::Reached, farEdge);
    std::reverse(read.begin(), read.end()); // read last first
    const int current = static_cast<int>(read.size()) - 1;
    return replace(std::move(read), current, m_pageSize - 1, farEdge, Edge::Reached);
}

Status ListModel::fillAround(const Row& row)
{
    const int held = indexOfId(row.id);
    return fillAt(row, held >= 0 ? held - m_top : std::max(0, m_current - m_top));
}

Status ListModel::fillAt(const Row& row, int line)
{
    if (Status bounds = readBounds(); !bounds)
        return bounds;
    const int wanted = m_pageSize + margin();
    auto before = m_view->after(row, Direction::Backward, wanted);
    if (!before)
        return before.status();
    // Reading on from the row before finds row itself if the view still holds it, else the
    // row that follows where it stood.
    std::vector<Row> read = std::move(before.value());
    auto from = read.empty() ? m_view->first(wanted + 1)
                             : m_view->after(read.front(), Direction::Forward, wanted + 1);
    if (!from)
        return from.status();
    const Edge start = static_cast<int>(read.size()) < wanted ? Edge::Reached : Edge::Open;
    const Edge end =
        static_cast<int>(from.value().size()) < wanted + 1 ? Edge::Reached : Edge::Open;
    std::reverse(read.begin(), read.end());
    const int current = std::min(static_cast<int>(read.size()),
                                 static_cast<int>(read.size() + from.value().size()) - 1);
    std::move(from.value().begin(), from.value().end(), std::back_inserter(read));
    return replace(std::move(read), current, line, start, end);
}

Status ListModel::fillAroundRowId(qint64 id)
{
    store::TableInstance& table = m_view->table();
    const store::SavedState saved = table.saveState();
    Status fetched = table.fetchRow(id);
    Row row{id, table.buffer()};
    table.restoreState(saved);
    if (!fetched)
        return fetched;
    return fillAround(row);
}

Status ListModel::refresh()
{
    if (const Row* current = currentEntry()) {
        const Row row = *current;
        return fillAround(row);
    }
    return fillFromTop();
}

Status ListModel::locate(const KeyValues& values)
{
    auto found = m_view->locate(values.values, values.components, 1);
    if (!found)
        return found.status();
    if (found.value().empty())
        return fillFromEnd();
    // The located row goes to the top of the screen.
    const Row row = std::move(found.value().front());
    if (const int held = indexOfId(row.id); held >= 0) {
        return move(held, held, Highlight::Stays);
    }
    return fillAt(row, 0);
}

Status ListModel::locateText(int keyComponent, QStringView text)
{
    const store::TableDef& def = m_view->table().def();
    const int key = m_view->key();
    KeyValues values{Record(*def.layout), keyComponent + 1};
    if (key >= 0 && keyComponent >= 0 &&
        keyComponent < static_cast<int>(def.keys.at(static_cast<size_t>(key)).components.size()))
        values.values.setText(
            def.keys.at(static_cast<size_t>(key)).components.at(static_cast<size_t>(keyComponent)),
            text);
    return locate(values);
}

Status ListModel::locateFraction(double fraction)
{
    if (fraction <= 0 || !m_scale || !m_first || !m_last)
        return fillFromTop();
    if (fraction >= 1)
        return fillFromEnd();
    return locate(m_scale->valuesAt(fraction, m_first->record, m_last->record));
}

Status ListModel::replace(std::vector<Row> rows, int current, int line, Edge start, Edge end)
{
    const int count = static_cast<int>(rows.size());
    current = rows.empty() ? -1 : std::clamp(current, 0, count - 1);
    int top = std::max(0, current - std::clamp(line, 0, m_pageSize - 1));
    // Keep no more than a page either side of the screen.
    const int dropFront = std::max(0, top - margin());
    const int keepEnd = top + m_pageSize + margin();
    if (keepEnd < count) {
        rows.erase(rows.begin() + keepEnd, rows.end());
        end = Edge::Open;
    }
    if (dropFront > 0) {
        rows.erase(rows.begin(), rows.begin() + dropFront);
        start = Edge::Open;
        top -= dropFront;
        current -= dropFront;
    }

    const bool sameRows = rows.size() == m_rows.size() &&
                          std::equal(rows.begin(), rows.end(), m_rows.begin(),
                                     [](const Row& a, const Row& b) { return a.id == b.id; });
    if (sameRows) {
        // The same notes: only their values may have changed.
        int firstChanged = -1;
        int lastChanged = -1;
        for (int i = 0; i < count && i < static_cast<int>(rows.size()); ++i) {
            Row& held = m_rows[static_cast<size_t>(i)];
            Row& read = rows[static_cast<size_t>(i)];
            if (!held.record.sameValues(read.record)) {
                held.record = std::move(read.record);
                firstChanged = firstChanged < 0 ? i : firstChanged;
                lastChanged = i;
            }
        }
        if (firstChanged >= 0)
            Q_EMIT dataChanged(index(firstChanged, 0), index(lastChanged, columnCount() - 1));
    } else {
        beginResetModel();
        m_rows.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        endResetModel();
    }
    m_top = top;
    m_current = current;
    m_start = start;
    m_end = end;
    return move(top, current, Highlight::Stays);
}

void ListModel::dropLeading(int count, int& top, int& current, Edge& start)
{
    beginRemoveRows({}, 0, count - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + count);
    endRemoveRows();
    top -= count;
    current -= count;
    start = Edge::Open;
}

Status ListModel::moveTo(int top, int current, Highlight highlight)
{
    // Views react to rows going away by moving their own current row; that must not start
    // another move inside this one.
    const QScopedValueRollback settling(m_settling, true);
    if (m_rows.empty()) {
        m_top = 0;
        m_current = -1;
        return {};
    }
    const int page = m_pageSize;
    const int line = current - top;

    // Everything is read first, so that a failed read changes nothing.
    Edge start = m_start;
    Edge end = m_end;
    std::vector<Row> after;
    if (const int needed = top + page + margin() - size(); end == Edge::Open && needed > 0) {
        auto read = m_view->after(m_rows.back(), Direction::Forward, needed);
        if (!read)
            return read.status();
        after = std::move(read.value());
        end = static_cast<int>(after.size()) < needed ? Edge::Reached : Edge::Open;
    }
    const int total = size() + static_cast<int>(after.size());
    // At the end the screen shows a full last page.
    if (end == Edge::Reached)
        top = std::min(top, total - page);
    std::vector<Row> before; // read last first
    if (const int needed = margin() - top; start == Edge::Open && needed > 0) {
        auto read = m_view->after(m_rows.front(), Direction::Backward, needed);
        if (!read)
            return read.status();
        before = std::move(read.value());
        start = static_cast<int>(before.size()) < needed ? Edge::Reached : Edge::Open;
    }

    // Rows more than a page off screen go before new ones come, so the model never holds more
    // than its pages. The last row held stays: reading goes on from it.
    if (const int drop = std::min(top - margin(), size() - 1); drop > 0)
        dropLeading(drop, top, current, start);
    if (const int keepEnd = std::max(0, top) + page + margin(); size() > keepEnd) {
        beginRemoveRows({}, keepEnd, size() - 1);
        m_rows.erase(m_rows.begin() + keepEnd, m_rows.end());
        endRemoveRows();
        end = Edge::Open;
    }
    if (!after.empty()) {
        beginInsertRows({}, size(), size() + static_cast<int>(after.size()) - 1);
        std::move(after.begin(), after.end(), std::back_inserter(m_rows));
        endInsertRows();
    }
    if (!before.empty()) {
        const int n = static_cast<int>(before.size());
        beginInsertRows({}, 0, n - 1);
        for (Row& row : before)
            m_rows.push_front(std::move(row));
        endInsertRows();
        top += n;
        current += n;
    }
    // A jump further than the rows held read on from the last row: drop what it passed.
    if (const int drop = top - margin(); drop > 0)
        dropLeading(drop, top, current, start);
    m_start = start;
    m_end = end;
    m_top = std::clamp(top, 0, size() - 1);
    if (highlight == Highlight::KeepsItsLine)
        current = m_top + line;
    m_current = std::clamp(current, m_top, std::min(size(), m_top + page) - 1);
    return {};
}

Status ListModel::move(int top, int current, Highlight highlight)
{
    Status moved = moveTo(top, current, highlight);
    Q_EMIT placeChanged();
    return moved;
}

// ---- moves ----

Status ListModel::lineDown()
{
    if (m_current < 0 || m_current + 1 >= size())
        return {};
    return move(std::max(m_top, m_current + 1 - m_pageSize + 1), m_current + 1, Highlight::Stays);
}

Status ListModel::lineUp()
{
    if (m_current <= 0)
        return {};
    return move(std::min(m_top, m_current - 1), m_current - 1, Highlight::Stays);
}

Status ListModel::pageDown()
{
    if (m_current < 0)
        return {};
    return move(m_top + m_pageSize, std::min(m_current + m_pageSize, size() - 1), Highlight::Stays);
}

Status ListModel::pageUp()
{
    if (m_current < 0)
        return {};
    return move(m_top - m_pageSize, m_current - m_pageSize, Highlight::Stays);
}

Status ListModel::scrollLines(int lines)
{
    if (m_current < 0 || lines == 0)
        return {};
    return move(m_top + lines, m_current + lines, Highlight::KeepsItsLine);
}

Status ListModel::setCurrentRow(int row)
{
    if (m_settling || row < 0 || row >= size() || row == m_current)
        return {};
    return move(std::clamp(m_top, row - m_pageSize + 1, row), row, Highlight::Stays);
}

// ---- QAbstractItemModel ----

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Record& record = m_rows[static_cast<size_t>(index.row())].record;
    const ListColumn& column = m_columns[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return column.text ? column.text(record) : QString();
    case Qt::DecorationRole:
        if (column.icon) {
            QIcon icon = column.icon(record);
            if (!icon.isNull())
                return icon;
        }
        return {};
    case Qt::ToolTipRole:
        return column.toolTip ? QVariant(column.toolTip(record)) : QVariant();
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.alignment);
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const ListColumn& column = m_columns[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole)
        return column.header;
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(column.headerAlignment);
    return {};
}

} // namespace qly
