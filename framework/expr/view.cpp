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

// The conditions of a filter that must all hold: the children of a top-level AND, or the whole.
void conjuncts(const Node& node, std::vector<const Node*>& out)
{
    if (node.kind == NodeKind::And) {
        for (const Node& child : node.children)
            conjuncts(child, out);
    } else {
        out.push_back(&node);
    }
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

// Whether one of the conditions that must hold makes term hold too.
bool implies(const std::vector<const Node*>& conditions, const RecordLayout& layout, const store::SubsetTerm& term)
{
    for (const Node* condition : conditions) {
        if (condition->kind != NodeKind::Compare)
            continue;
        const Node& a = condition->children[0];
        const Node& b = condition->children[1];
        const bool fieldFirst = a.kind == NodeKind::Field;
        const Node& field = fieldFirst ? a : b;
        const Node& value = fieldFirst ? b : a;
        if (field.kind != NodeKind::Field || value.kind == NodeKind::Field || layout.indexOf(field.text) != term.field)
            continue;
        CompareOp op = condition->op;
        if (!fieldFirst) // 5 < x is x > 5
            op = op == CompareOp::Less ? CompareOp::Greater : op == CompareOp::Greater ? CompareOp::Less : op;
        if (const auto* text = std::get_if<QString>(&term.value)) {
            if (op == CompareOp::Equal && value.kind == NodeKind::Text && withoutTrailingBlanks(value.text) == *text)
                return true;
        } else {
            const auto bound = static_cast<double>(std::get<std::int64_t>(term.value));
            const std::optional<double> literal = dateLiteral(value);
            if (literal && term.op == store::SubsetTerm::Op::Greater && op == CompareOp::Greater && *literal >= bound)
                return true;
            if (literal && term.op == store::SubsetTerm::Op::Equal && op == CompareOp::Equal && *literal == bound)
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

std::optional<Error> View::open(DayCount today)
{
    m_table.setOrder(m_key);
    m_table.setFilter({}, {});
    m_table.setRange({});
    m_table.setSubset(-1, -1);
    m_filter.reset();
    const QString text = effectiveFilter();
    if (text.isEmpty())
        return std::nullopt;
    Result<Filter> filter = parseFilter(text, *m_table.def().layout);
    if (!filter.ok())
        return filter.error();
    SqlFilter compiled = filter.value().toSql(today);

    // Leading key components the filter pins to a value become the range of the read: the index
    // is sought to them. They compare as the index does (case ignored for text), so the range
    // holds a superset of what the exact condition picks, and the exact condition stays.
    store::SqlValues pinnedValues;
    if (m_key >= 0) {
        std::vector<const Node*> terms;
        conjuncts(filter.value().tree(), terms);
        const RecordLayout& layout = *m_table.def().layout;
        for (int component : m_table.def().keys.at(static_cast<size_t>(m_key)).components) {
            const FieldKind kind = layout.field(component).kind;
            std::optional<store::SqlValue> pinned;
            for (const Node* term : terms) {
                if (term->kind != NodeKind::Compare || term->op != CompareOp::Equal)
                    continue;
                const Node& a = term->children[0];
                const Node& b = term->children[1];
                const Node* field = a.kind == NodeKind::Field ? &a : (b.kind == NodeKind::Field ? &b : nullptr);
                const Node* value = field == &a ? &b : &a;
                if (!field || layout.indexOf(field->text) != component)
                    continue;
                if (kind == FieldKind::Text && value->kind == NodeKind::Text)
                    pinned = store::SqlValue(withoutTrailingBlanks(value->text).toString());
                else if (kind == FieldKind::Date && value->kind == NodeKind::Number &&
                         value->number == std::floor(value->number))
                    pinned = store::SqlValue(static_cast<std::int64_t>(value->number));
                else if (kind == FieldKind::Date && value->kind == NodeKind::Text &&
                         withoutTrailingBlanks(value->text).isEmpty())
                    pinned = store::SqlValue(std::int64_t{0}); // a date compared with '' is 0
                if (pinned)
                    break;
            }
            if (!pinned)
                break;
            pinnedValues.push_back(*pinned);
        }
    }
    m_table.setRange(std::move(pinnedValues));

    // A filter that asks for every condition of one of the key's subsets reads the subset's
    // smaller index: the reminders list never looks at notes that are not reminders.
    if (m_key >= 0) {
        std::vector<const Node*> conditions;
        conjuncts(filter.value().tree(), conditions);
        const store::KeyDef& key = m_table.def().keys.at(static_cast<size_t>(m_key));
        for (size_t i = 0; i < key.subsets.size(); ++i) {
            const auto& terms = key.subsets[i].terms;
            if (std::all_of(terms.begin(), terms.end(), [&](const store::SubsetTerm& term) {
                    return implies(conditions, *m_table.def().layout, term);
                })) {
                m_table.setSubset(m_key, static_cast<int>(i));
                break;
            }
        }
    }
    m_table.setFilter(compiled.sql, std::move(compiled.values));
    m_filter = std::move(filter.value());
    return std::nullopt;
}

store::Result<std::vector<Row>> View::first(int count)
{
    m_table.setOrder(m_key);
    return m_table.readPage(Direction::Forward, count);
}

store::Result<std::vector<Row>> View::last(int count)
{
    m_table.setOrder(m_key);
    return m_table.readPage(Direction::Backward, count);
}

store::Result<std::vector<Row>> View::next(int count)
{
    return m_table.readPage(Direction::Forward, count);
}

store::Result<std::vector<Row>> View::previous(int count)
{
    return m_table.readPage(Direction::Backward, count);
}

store::Result<std::vector<Row>> View::locate(const Record& values, int components, int count)
{
    m_table.setOrder(m_key);
    m_table.setPosition(values, components);
    return m_table.readPage(Direction::Forward, count);
}

store::Result<std::vector<Row>> View::after(const Row& row, Direction direction, int count)
{
    m_table.setOrder(m_key);
    m_table.setPositionAfter(row);
    return m_table.readPage(direction, count);
}

bool View::passes(const Record& record, DayCount today) const
{
    return !m_filter || m_filter->matches(record, today);
}

} // namespace qly::expr
