// Binding a tree to a layout, and testing records in C++.

#include "expr/bound_tree.h"

#include <optional>

namespace qly::expr {

namespace {

class Binder
{
public:
    explicit Binder(const RecordLayout& layout) : m_layout(layout) {}

    Result<BoundNode> run(const Node& tree)
    {
        BoundNode root = bind(tree, 1);
        if (!m_error)
            root = asCondition(std::move(root));
        if (m_error)
            return *m_error;
        return root;
    }

private:
    void fail(ErrorCode code, const Node& node, QString message)
    {
        if (!m_error)
            m_error = Error{code, node.position, std::move(message)};
    }

    static BoundNode asCondition(BoundNode node)
    {
        if (node.type == Type::Condition)
            return node;
        BoundNode truth;
        truth.op = Op::Truth;
        truth.type = Type::Condition;
        truth.children.push_back(std::move(node));
        return truth;
    }

    // A Number or Text operand; a condition here is an error.
    BoundNode value(const Node& node, int depth)
    {
        BoundNode bound = bind(node, depth);
        if (!m_error && bound.type == Type::Condition)
            fail(ErrorCode::ConditionAsValue, node,
                 QStringLiteral("%1 is a condition, where a value is needed")
                     .arg(formatExpression(node)));
        return bound;
    }

    BoundNode number(const Node& node, int depth)
    {
        BoundNode bound = value(node, depth);
        if (!m_error && bound.type != Type::Number)
            fail(ErrorCode::NotANumber, node,
                 QStringLiteral("%1 is text; + and - need numbers or dates")
                     .arg(formatExpression(node)));
        return bound;
    }

    BoundNode field(const Node& node)
    {
        BoundNode bound;
        bound.op = Op::Field;
        bound.field = m_layout.indexOf(node.text);
        if (bound.field < 0) {
            const qsizetype colon = node.text.indexOf(u':');
            const bool otherTable = colon >= 0 && QStringView(node.text).first(colon).compare(
                                                      m_layout.prefix(), Qt::CaseInsensitive) != 0;
            if (otherTable)
                fail(ErrorCode::FieldOfOtherTable, node,
                     QStringLiteral("%1 is not a field of this table (its fields are %2:...)")
                         .arg(node.text, m_layout.prefix()));
            else
                fail(ErrorCode::UnknownField, node,
                     QStringLiteral("unknown field %1").arg(node.text));
            return bound;
        }
        bound.type =
            m_layout.field(bound.field).kind == FieldKind::Date ? Type::Number : Type::Text;
        return bound;
    }

    // A text constant compared with a number is replaced by the number it stands for, when it
    // stands for one: the comparison means the same and the SQL compares numbers directly.
    static void foldNumericText(BoundNode& text, const BoundNode& other)
    {
        if (text.op != Op::Constant || text.type != Type::Text || other.type != Type::Number)
            return;
        if (const std::optional<double> number = numberInText(textOf(text.constant))) {
            text.constant = *number;
            text.type = Type::Number;
        }
    }

    BoundNode bind(const Node& node, int depth)
    {
        BoundNode bound;
        if (m_error)
            return bound;
        if (depth > kMaxDepth) {
            fail(ErrorCode::TooDeep, node,
                 QStringLiteral("the filter nests deeper than %1 levels").arg(kMaxDepth));
            return bound;
        }
        const bool leaf = node.kind == NodeKind::Field || node.kind == NodeKind::Text ||
                          node.kind == NodeKind::Number || node.kind == NodeKind::Today;
        if (leaf && ++m_terms > kMaxTerms) {
            fail(ErrorCode::TooLong, node,
                 QStringLiteral("the filter has more than %1 terms").arg(kMaxTerms));
            return bound;
        }
        const int inner = depth + 1;
        const size_t arity = node.children.size();
        auto needs = [&](size_t count) {
            if (arity != count)
                fail(ErrorCode::ExpectedValue, node,
                     QStringLiteral("this term needs %1 operands, not %2").arg(count).arg(arity));
            return arity == count;
        };
        switch (node.kind) {
        case NodeKind::Field:
            return field(node);
        case NodeKind::Text:
            bound.op = Op::Constant;
            bound.type = Type::Text;
            bound.constant = textValue(node.text);
            return bound;
        case NodeKind::Number:
            bound.op = Op::Constant;
            bound.type = Type::Number;
            bound.constant = node.number;
            return bound;
        case NodeKind::Today:
            bound.op = Op::Today;
            bound.type = Type::Number;
            return bound;
        case NodeKind::Upper:
            bound.op = Op::Upper;
            bound.type = Type::Text;
            if (needs(1))
                bound.children.push_back(value(node.children[0], inner));
            return bound;
        case NodeKind::Contains:
        case NodeKind::Begins:
            bound.op = node.kind == NodeKind::Contains ? Op::Contains : Op::Begins;
            bound.type = Type::Condition;
            if (needs(2)) {
                bound.children.push_back(value(node.children[0], inner));
                bound.children.push_back(value(node.children[1], inner));
            }
            return bound;
        case NodeKind::Compare:
            bound.op = Op::Compare;
            bound.type = Type::Condition;
            bound.compare = node.op;
            if (needs(2)) {
                bound.children.push_back(value(node.children[0], inner));
                bound.children.push_back(value(node.children[1], inner));
                if (!m_error) {
                    foldNumericText(bound.children[0], bound.children[1]);
                    foldNumericText(bound.children[1], bound.children[0]);
                }
            }
            return bound;
        case NodeKind::And:
        case NodeKind::Or:
            bound.op = node.kind == NodeKind::And ? Op::And : Op::Or;
            bound.type = Type::Condition;
            if (arity == 0)
                fail(ErrorCode::ExpectedValue, node,
                     QStringLiteral("AND and OR need at least one condition"));
            for (const Node& child : node.children)
                bound.children.push_back(asCondition(bind(child, inner)));
            return bound;
        case NodeKind::Not:
            bound.op = Op::Not;
            bound.type = Type::Condition;
            if (needs(1))
                bound.children.push_back(asCondition(bind(node.children[0], inner)));
            return bound;
        case NodeKind::Add:
        case NodeKind::Subtract:
            bound.op = node.kind == NodeKind::Add ? Op::Add : Op::Subtract;
            bound.type = Type::Number;
            if (needs(2)) {
                bound.children.push_back(number(node.children[0], inner));
                bound.children.push_back(number(node.children[1], inner));
            }
            return bound;
        case NodeKind::Negate:
            bound.op = Op::Negate;
            bound.type = Type::Number;
            if (needs(1))
                bound.children.push_back(number(node.children[0], inner));
            return bound;
        }
        return bound;
    }

    const RecordLayout& m_layout;
    int m_terms = 0;
    std::optional<Error> m_error;
};

class Evaluator
{
public:
    Evaluator(const Record& record, DayCount today) : m_record(record), m_today(today) {}

    bool test(const BoundNode& node) const
    {
        switch (node.op) {
        case Op::Contains:
        case Op::Begins: {
            const QString text = textOf(value(node.children[0]));
            const QString part = textOf(value(node.children[1]));
            return node.op == Op::Contains ? containsText(text, part) : beginsText(text, part);
        }
        case Op::Compare:
            return holds(node.compare,
                         compareValues(value(node.children[0]), value(node.children[1])));
        case Op::And:
            for (const BoundNode& child : node.children) {
                if (!test(child))
                    return false;
            }
            return true;
        case Op::Or:
            for (const BoundNode& child : node.children) {
                if (test(child))
                    return true;
            }
            return false;
        case Op::Not:
            return !test(node.children[0]);
        case Op::Truth:
            return isTrue(value(node.children[0]));
        default:
            break;
        }
        Q_ASSERT_X(false, "qly::expr::Evaluator", "a value where a condition was bound");
        return false;
    }

    Value value(const BoundNode& node) const
    {
        switch (node.op) {
        case Op::Field:
            if (node.type == Type::Number)
                return static_cast<double>(m_record.date(node.field));
            return m_record.text(node.field);
        case Op::Constant:
            return node.constant;
        case Op::Today:
            return static_cast<double>(m_today);
        case Op::Upper: {
            const Value operand = value(node.children[0]);
            return upperText(textOf(operand));
        }
        case Op::Add:
            return number(node.children[0]) + number(node.children[1]);
        case Op::Subtract:
            return number(node.children[0]) - number(node.children[1]);
        case Op::Negate:
            return -number(node.children[0]);
        default:
            break;
        }
        Q_ASSERT_X(false, "qly::expr::Evaluator", "a condition where a value was bound");
        return 0.0;
    }

private:
    double number(const BoundNode& node) const
    {
        const Value v = value(node);
        const double* n = std::get_if<double>(&v);
        return n ? *n : 0.0;
    }

    const Record& m_record;
    DayCount m_today;
};

} // namespace

const RecordLayout& Filter::layout() const
{
    return *m_bound->layout;
}

const Node& Filter::tree() const
{
    return m_bound->tree;
}

bool Filter::matches(const Record& record, DayCount today) const
{
    Q_ASSERT(record.layout().fieldCount() == m_bound->layout->fieldCount());
    return Evaluator(record, today).test(m_bound->root);
}

Result<Filter> bind(const Node& tree, const RecordLayout& layout)
{
    Result<BoundNode> root = Binder(layout).run(tree);
    if (!root.ok())
        return root.error();
    auto bound = std::make_shared<Filter::Bound>();
    bound->layout = &layout;
    bound->tree = tree;
    bound->root = std::move(root.value());
    return Filter(std::move(bound));
}

Result<Filter> parseFilter(QStringView text, const RecordLayout& layout)
{
    Result<Node> tree = parse(text);
    if (!tree.ok())
        return tree.error();
    return bind(tree.value(), layout);
}

} // namespace qly::expr
