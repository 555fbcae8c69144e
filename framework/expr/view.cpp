#include "expr/view.h"

#include "core/fixed_text.h"
#include "store/connection_setup.h"

#include <algorithm>
#include <cmath>

namespace qly::expr {

namespace {

// Everything that reads through a view needs the filter functions on its connection.
const bool g_functionsRegistered = [] {
    store::addConnectionSetup(installSqlFunctions);
    return true;
}();

using store::Direction;
using store::Row;

// A comparison of one field with a literal, written field first: 5 < x reads as x > 5.
struct FieldCondition
{
    int field;
    CompareOp op;
    const Node* value;
};

// The field comparisons a filter's record must meet: those among the children of a top-level
// AND, or the whole filter.
void collectConditions(const Node& node, const RecordLayout& layout, std::vector<FieldCondition>& out)
{
    if (node.kind == NodeKind::And) {
        for (const Node& child : node.children)
            collectConditions(child, layout, out);
        return;
    }
    if (node.kind != NodeKind::Compare)
        return;
    const Node& a = node.children[0];
    const Node& b = node.children[1];
    const bool fieldFirst = a.kind == NodeKind::Field;
    const Node& field = fieldFirst ? a : b;
    const Node& value = fieldFirst ? b : a;
    if (field.kind != NodeKind::Field || (value.kind != NodeKind::Text && value.kind != NodeKind::Number))
        return;
    CompareOp op = node.op;
    if (!fieldFirst)
        op = op == CompareOp::Less             ? CompareOp::Greater
             : op == CompareOp::Greater        ? CompareOp::Less
             : op == CompareOp::LessOrEqual    ? CompareOp::GreaterOrEqual
             : op == CompareOp::GreaterOrEqual ? CompareOp::LessOrEqual
                                               : op;
    out.push_back({layout.indexOf(field.text), op, &value});
}

// A literal's value as a date compares it: a number, or 0 for blank text.
std::optional<double> dateLiteral(const Node& value)
{
    if (value.kind == NodeKind::Number)
        return value.number;
    if (value.kind == NodeKind::Text && withoutTrailingBlanks(value.text).isEmpty())
        return 0.0;
    return std::nullopt;
}

// The value the conditions pin field to with =, as the store compares it.
std::optional<store::SqlValue> pinnedValue(const std::vector<FieldCondition>& conditions, int field, FieldKind kind)
{
    for (const FieldCondition& c : conditions) {
        if (c.field != field || c.op != CompareOp::Equal)
            continue;
        if (kind == FieldKind::Text && c.value->kind == NodeKind::Text)
            return store::SqlValue(withoutTrailingBlanks(c.value->text).toString());
        const std::optional<double> day = dateLiteral(*c.value);
        if (kind == FieldKind::Date && day && *day == std::floor(*day))
            return store::SqlValue(static_cast<std::int64_t>(*day));
    }
    return std::nullopt;
}

// Whether one of the conditions makes term hold too.
bool implies(const std::vector<FieldCondition>& conditions, const store::SubsetTerm& term)
{
    for (const FieldCondition& c : conditions) {
        if (c.field != term.field)
            continue;
        if (const auto* text = std::get_if<QString>(&term.value)) {
            if (c.op == CompareOp::Equal && c.value->kind == NodeKind::Text && withoutTrailingBlanks(c.value->text) == *text)
                return true;
        } else {
            const auto bound = static_cast<double>(std::get<std::int64_t>(term.value));
            const std::optional<double> literal = dateLiteral(*c.value);
            if (literal && term.op == store::SubsetTerm::Op::Greater && c.op == CompareOp::Greater && *literal >= bound)
                return true;
            if (literal && term.op == store::SubsetTerm::Op::Equal && c.op == CompareOp::Equal && *literal == bound)
                return true;
        }
    }
    return false;
}

} // namespace

View::View(store::TableInstance& table, int key) : m_table(table), m_key(key)
{
    (void)g_functionsRegistered;
}

std::optional<Error> View::setAppendedOrder(QStringView order)
{
    const store::TableDef& def = m_table.def();
    const RecordLayout& layout = *def.layout;
    if (m_key < 0) {
        if (order.trimmed().isEmpty())
            return std::nullopt;
        return Error{ErrorCode::UnexpectedToken, 0, QStringLiteral("the order the notes were added in takes no appended order")};
    }
    const store::KeyDef& key = def.keys.at(static_cast<size_t>(m_key));
    size_t nextTail = 0;
    qsizetype position = 0;
    for (QStringView part : order.split(u',')) {
        const qsizetype at = position;
        position += part.size() + 1;
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        store::SortOrder direction = store::SortOrder::Ascending;
        if (part.startsWith(u'-') || part.startsWith(u'+')) {
            direction = part.startsWith(u'-') ? store::SortOrder::Descending : store::SortOrder::Ascending;
            part = part.sliced(1).trimmed();
        }
        const int field = layout.indexOf(part);
        if (field < 0)
            return Error{ErrorCode::UnknownField, at, QStringLiteral("unknown field %1").arg(part)};
        // Already a component of the key: equal key values have equal values here.
        if (std::find(key.components.begin(), key.components.end(), field) != key.components.end())
            continue;
        if (nextTail < key.tail.size() && key.tail[nextTail].field == field &&
            key.tail[nextTail].order == direction) {
            ++nextTail;
            continue;
        }
        return Error{ErrorCode::UnexpectedToken, at,
                     QStringLiteral("key %1 does not keep the order %2").arg(key.description, part.toString())};
    }
    return std::nullopt;
}

QString View::joinFilters(const QStringList& filters)
{
    QStringList parts;
    for (const QString& filter : filters) {
        if (!filter.trimmed().isEmpty())
            parts << u'(' + filter + u')';
    }
    return parts.join(QStringLiteral(" AND "));
}

View::~View()
{
    if (m_table.readSetupOwner() == this)
        m_table.setReadSetupOwner(nullptr);
}

void View::reclaim()
{
    if (m_openedFor && m_table.readSetupOwner() != this)
        (void)open(*m_openedFor); // it opened with these filters before
}

std::optional<Error> View::open(DayCount today)
{
    m_openedFor.reset();
    m_table.setOrder(m_key);
    m_table.setFilter({}, {});
    m_table.setRange({});
    m_table.setSubset(-1, -1);
    m_filter.reset();
    const QString text = effectiveFilter();
    if (text.isEmpty()) {
        m_openedFor = today;
        m_table.setReadSetupOwner(this);
        return std::nullopt;
    }
    Result<Filter> filter = parseFilter(text, *m_table.def().layout);
    if (!filter.ok())
        return filter.error();
    SqlFilter compiled = filter.value().toSql(today);

    // Leading key components the filter pins to a value become the range of the read: the index
    // is sought to them. They compare as the index does (case ignored for text), so the range
    // holds a superset of what the exact condition picks, and the exact condition stays.
    if (m_key >= 0) {
        const RecordLayout& layout = *m_table.def().layout;
        const store::KeyDef& key = m_table.def().keys.at(static_cast<size_t>(m_key));
        std::vector<FieldCondition> conditions;
        collectConditions(filter.value().tree(), layout, conditions);

        store::SqlValues pinnedValues;
        for (int component : key.components) {
            const std::optional<store::SqlValue> pinned = pinnedValue(conditions, component, layout.field(component).kind);
            if (!pinned)
                break;
            pinnedValues.push_back(*pinned);
        }
        m_table.setRange(std::move(pinnedValues));

        // A filter that asks for every condition of one of the key's subsets reads the subset's
        // smaller index: the reminders list never looks at notes that are not reminders.
        for (size_t i = 0; i < key.subsets.size(); ++i) {
            const auto& terms = key.subsets[i].terms;
            if (std::all_of(terms.begin(), terms.end(),
                            [&](const store::SubsetTerm& term) { return implies(conditions, term); })) {
                m_table.setSubset(m_key, static_cast<int>(i));
                break;
            }
        }
    }
    m_table.setFilter(compiled.sql, std::move(compiled.values));
    m_filter = std::move(filter.value());
    m_openedFor = today;
    m_table.setReadSetupOwner(this);
    return std::nullopt;
}

store::Result<std::vector<Row>> View::first(int count)
{
    reclaim();
    m_table.setOrder(m_key);
    return m_table.readPage(Direction::Forward, count);
}

store::Result<std::vector<Row>> View::last(int count)
{
    reclaim();
    m_table.setOrder(m_key);
    return m_table.readPage(Direction::Backward, count);
}

store::Result<std::vector<Row>> View::next(int count)
{
    reclaim();
    return m_table.readPage(Direction::Forward, count);
}

store::Result<std::vector<Row>> View::previous(int count)
{
    reclaim();
    return m_table.readPage(Direction::Backward, count);
}

store::Result<std::vector<Row>> View::locate(const Record& values, int components, int count)
{
    reclaim();
    m_table.setOrder(m_key);
    m_table.setPosition(values, components);
    return m_table.readPage(Direction::Forward, count);
}

store::Result<std::vector<Row>> View::after(const Row& row, Direction direction, int count)
{
    reclaim();
    m_table.setOrder(m_key);
    m_table.setPositionAfter(row);
    return m_table.readPage(direction, count);
}

bool View::passes(const Record& record, DayCount today) const
{
    return !m_filter || m_filter->matches(record, today);
}

} // namespace qly::expr
