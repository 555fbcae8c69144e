// Turning a bound filter into an SQL term, and the SQL functions that term calls.
//
// Text compares with COLLATE BINARY: on UTF-8 that is code-point order, the order of
// compareText(), and it overrides the case-insensitive collation the text columns declare.
// Values are never NULL (the columns are NOT NULL and no function returns NULL), so AND, OR and
// NOT need no three-valued care. Comparisons of a number with text whose kind is only known
// per row go through qly_compare(), which runs compareValues() itself.

#include "expr/bound_tree.h"
#include "expr/semantics.h"

#include <QStringList>
#include <sqlite3.h>

#include <string>
#include <string_view>

namespace qly::expr {

namespace {

// SQLite's binding strengths, loosest first, as far as the terms below need them.
enum Level
{
    OrLevel,
    AndLevel,
    NotLevel,
    EqualityLevel,
    RelationLevel,
    AdditiveLevel,
    UnaryLevel,
    AtomLevel
};

struct Sql
{
    QString text;
    Level level = AtomLevel;
};

QString at(const Sql& sql, Level least)
{
    return sql.level < least ? u'(' + sql.text + u')' : sql.text;
}

Level levelOf(CompareOp op)
{
    return op == CompareOp::Equal || op == CompareOp::NotEqual ? EqualityLevel : RelationLevel;
}

class Compiler
{
public:
    Compiler(const RecordLayout& layout, DayCount today) : m_layout(layout), m_today(today) {}

    SqlFilter run(const BoundNode& root)
    {
        SqlFilter result;
        result.sql = u'(' + compile(root).text + u')';
        result.values = std::move(m_values);
        return result;
    }

private:
    Sql parameter(store::SqlValue value)
    {
        m_values.push_back(std::move(value));
        return Sql{QStringLiteral("?"), AtomLevel};
    }

    Sql call(QStringView function, const std::vector<BoundNode>& arguments)
    {
        QStringList parts;
        for (const BoundNode& argument : arguments)
            parts.append(compile(argument).text);
        return Sql{function.toString() + u'(' + parts.join(QStringLiteral(", ")) + u')', AtomLevel};
    }

    Sql list(const BoundNode& node, QStringView keyword, Level level)
    {
        QStringList parts;
        for (const BoundNode& child : node.children)
            parts.append(at(compile(child), level));
        return Sql{parts.join(QString(u' ' + keyword.toString() + u' ')), level};
    }

    Sql compare(const BoundNode& node)
    {
        const BoundNode& left = node.children[0];
        const BoundNode& right = node.children[1];
        const QString op = u' ' + compareSymbol(node.compare) + u' ';
        // One after the other: the values must be collected in the order the ? appear.
        const Sql l = compile(left);
        const Sql r = compile(right);
        if (left.type != right.type)
            return Sql{QStringLiteral("qly_compare(") + l.text + QStringLiteral(", ") + r.text +
                           u')' + op + u'0',
                       levelOf(node.compare)};
        if (left.type == Type::Text)
            return Sql{at(l, UnaryLevel) + QStringLiteral(" COLLATE BINARY") + op +
                           at(r, AdditiveLevel),
                       levelOf(node.compare)};
        return Sql{at(l, AdditiveLevel) + op + at(r, AdditiveLevel), levelOf(node.compare)};
    }

    Sql compile(const BoundNode& node)
    {
        switch (node.op) {
        case Op::Field: {
            QString column = m_layout.columnName(node.field);
            column.replace(u'"', QStringLiteral("\"\""));
            return Sql{QStringLiteral("+\"") + column + u'"', UnaryLevel};
        }
        case Op::Constant:
            if (const double* number = std::get_if<double>(&node.constant))
                return parameter(*number);
            return parameter(*std::get_if<QString>(&node.constant));
        case Op::Today:
            return parameter(static_cast<std::int64_t>(m_today));
        case Op::Upper:
            return call(u"qly_upper", node.children);
        case Op::Contains:
        case Op::Begins: {
            // CONTAINS(UPPER(x), part), as the query form writes it, runs as one function so
            // that the upper-cased memo never becomes an SQL value of its own.
            const bool contains = node.op == Op::Contains;
            if (node.children[0].op == Op::Upper)
                return call(contains ? u"qly_contains_upper" : u"qly_begins_upper",
                            {node.children[0].children[0], node.children[1]});
            return call(contains ? u"qly_contains" : u"qly_begins", node.children);
        }
        case Op::Compare:
            return compare(node);
        case Op::And:
            return list(node, u"AND", AndLevel);
        case Op::Or:
            return list(node, u"OR", OrLevel);
        case Op::Not:
            return Sql{QStringLiteral("NOT ") + at(compile(node.children[0]), NotLevel), NotLevel};
        case Op::Truth: {
            const BoundNode& child = node.children[0];
            const Sql operand = compile(child);
            // Not length(): it stops at the first NUL, and text may hold one.
            if (child.type == Type::Text)
                return Sql{at(operand, UnaryLevel) + QStringLiteral(" COLLATE BINARY <> ''"),
                           EqualityLevel};
            return Sql{at(operand, AdditiveLevel) + QStringLiteral(" <> 0"), EqualityLevel};
        }
        case Op::Add:
        case Op::Subtract: {
            const Sql l = compile(node.children[0]);
            const Sql r = compile(node.children[1]);
            return Sql{at(l, AdditiveLevel) +
                           (node.op == Op::Add ? QStringLiteral(" + ") : QStringLiteral(" - ")) +
                           at(r, UnaryLevel),
                       AdditiveLevel};
        }
        case Op::Negate: {
            const BoundNode& child = node.children[0];
            const Sql operand = compile(child);
            // Never "--": SQL would read the rest as a comment.
            const Level least = child.op == Op::Negate ? AtomLevel : UnaryLevel;
            return Sql{u'-' + at(operand, least), UnaryLevel};
        }
        }
        return {};
    }

    const RecordLayout& m_layout;
    DayCount m_today;
    store::SqlValues m_values;
};

// SQL function arguments as filter values: numbers stay numbers, anything else is text.
Value valueOf(sqlite3_value* argument)
{
    switch (sqlite3_value_type(argument)) {
    case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_value_int64(argument));
    case SQLITE_FLOAT:
        return sqlite3_value_double(argument);
    default:
        break;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argument));
    return textValue(QString::fromUtf8(text, sqlite3_value_bytes(argument)));
}

// Text as SQLite holds it, without trailing blanks. Everything the store writes is valid UTF-8,
// so byte-wise search and prefix tests agree with the same tests on code points.
std::string_view rawText(sqlite3_value* argument)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argument));
    std::string_view view(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(argument)));
    while (!view.empty() && view.back() == ' ')
        view.remove_suffix(1);
    return view;
}

// Upper-cases text from the ASCII and Latin letters (up to U+024F, where Unicode's upper case of
// a letter is one letter) straight on its UTF-8 bytes; false for anything else, which takes the
// full rules. Filters over memos run this once per note.
bool upperLatin(std::string_view text, std::string& out)
{
    // Upper case of these letters is never longer in UTF-8 than the letter itself.
    out.resize(text.size());
    char* to = out.data();
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            *to++ = byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - ('a' - 'A')) : static_cast<char>(byte);
            continue;
        }
        if ((byte & 0xe0) != 0xc0 || i + 1 >= text.size())
            return false;
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((next & 0xc0) != 0x80)
            return false;
        const char32_t c = (char32_t{byte & 0x1fu} << 6) | (next & 0x3fu);
        if (c < 0x80 || c > 0x24f || c == 0xdf || c == 0x149 || c == 0x1f0) // ß, ŉ, ǰ become two letters
            return false;
        const char32_t upper = QChar::toUpper(c);
        if (upper < 0x80) {
            *to++ = static_cast<char>(upper);
        } else if (upper < 0x800) {
            *to++ = static_cast<char>(0xc0 | (upper >> 6));
            *to++ = static_cast<char>(0x80 | (upper & 0x3f));
        } else {
            return false;
        }
        ++i;
    }
    out.resize(static_cast<size_t>(to - out.data()));
    return true;
}

void upperFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_TEXT) {
        thread_local std::string upper;
        if (upperLatin(rawText(arguments[0]), upper)) {
            sqlite3_result_text(context, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
            return;
        }
    }
    const QByteArray upper = upperText(textOf(valueOf(arguments[0]))).toUtf8();
    sqlite3_result_text(context, upper.constData(), static_cast<int>(upper.size()),
                        SQLITE_TRANSIENT);
}

bool bothText(sqlite3_value** arguments)
{
    return sqlite3_value_type(arguments[0]) == SQLITE_TEXT && sqlite3_value_type(arguments[1]) == SQLITE_TEXT;
}

void containsFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (bothText(arguments)) {
        const std::string_view part = rawText(arguments[1]);
        sqlite3_result_int(context, part.empty() || rawText(arguments[0]).find(part) != std::string_view::npos);
        return;
    }
    sqlite3_result_int(
        context,
        containsText(textOf(valueOf(arguments[0])), textOf(valueOf(arguments[1]))) ? 1 : 0);
}

void beginsFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (bothText(arguments)) {
        const std::string_view start = rawText(arguments[1]);
        sqlite3_result_int(context, rawText(arguments[0]).substr(0, start.size()) == start);
        return;
    }
    sqlite3_result_int(
        context, beginsText(textOf(valueOf(arguments[0])), textOf(valueOf(arguments[1]))) ? 1 : 0);
}

// CONTAINS(UPPER(a), b) and BEGINS(UPPER(a), b) in one step.
void upperThenFunction(sqlite3_context* context, sqlite3_value** arguments, bool contains)
{
    if (bothText(arguments)) {
        thread_local std::string upper;
        if (upperLatin(rawText(arguments[0]), upper)) {
            const std::string_view text(upper);
            const std::string_view part = rawText(arguments[1]);
            const bool holds = part.empty() || (contains ? text.find(part) != std::string_view::npos
                                                         : text.substr(0, part.size()) == part);
            sqlite3_result_int(context, holds ? 1 : 0);
            return;
        }
    }
    const QString text = upperText(textOf(valueOf(arguments[0])));
    const QString part = textOf(valueOf(arguments[1]));
    sqlite3_result_int(context, (contains ? containsText(text, part) : beginsText(text, part)) ? 1 : 0);
}

void containsUpperFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    upperThenFunction(context, arguments, true);
}

void beginsUpperFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    upperThenFunction(context, arguments, false);
}

void compareFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    sqlite3_result_int(context, compareValues(valueOf(arguments[0]), valueOf(arguments[1])));
}

} // namespace

SqlFilter Filter::toSql(DayCount today) const
{
    return Compiler(*m_bound->layout, today).run(m_bound->root);
}

int installSqlFunctions(sqlite3* db)
{
    struct Function
    {
        const char* name;
        int arity;
        void (*function)(sqlite3_context*, int, sqlite3_value**);
    };
    static constexpr Function functions[] = {
        {"qly_upper", 1, upperFunction},
        {"qly_contains", 2, containsFunction},
        {"qly_begins", 2, beginsFunction},
        {"qly_contains_upper", 2, containsUpperFunction},
        {"qly_begins_upper", 2, beginsUpperFunction},
        {"qly_compare", 2, compareFunction},
    };
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const Function& f : functions) {
        const int rc = sqlite3_create_function_v2(db, f.name, f.arity, flags, nullptr, f.function,
                                                  nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

} // namespace qly::expr
