#pragma once
// Filter expressions: the text that picks records for a view, a saved filter or the query form,
// such as  (sno:reminderdate <= today()+3 and sno:reminderdate > '' and sno:done='N').
//
// parse() reads the text into a tree of Nodes that a form can walk, change and write back with
// formatExpression(). bind() checks a tree against one table's RecordLayout and gives a Filter,
// which tests a Record in C++ (matches) or becomes a term for the store's WHERE (toSql). Both
// follow the rules below exactly; the SQL term needs installSqlFunctions() on its connection.
//
// Called by the store (filtered reads), views and the query form.
// Never throws, never touches a database, and never turns text from a filter into SQL text:
// literals and today's date always travel as bound values.
//
// The language (keywords, function and field names in any letter case)
//   filter     := or
//   or         := and { OR and }                    n-ary Or node
//   and        := not { AND not }                   n-ary And node
//   not        := NOT not | comparison
//   comparison := additive [ op additive ]          op: = <> ~= != "NOT =" < <= > >=
//   additive   := unary { (+ | -) unary }           left to right
//   unary      := - unary | primary
//   primary    := prefix:name | 'text' | number | TODAY() | UPPER(v) | CONTAINS(text, part)
//               | BEGINS(text, start) | ( or )
//   Text is quoted with ' and a quote inside is doubled: 'it''s'. Numbers are digits with an
//   optional decimal part (12, 0.5), at most 15 digits before the point; -5 is minus applied
//   to 5. The four not-equal spellings mean the same; formatExpression() writes <>, and so
//   does the query form. CONTAINS(UPPER(sno:TOPIC),'ABC') is what the form writes for
//   "Contains", BEGINS(UPPER(sno:TOPIC),'ABC') for "Begins".
//
// Values and their rules (one definition, kept by both matches() and toSql())
//   - A text value never ends in blanks: 'ab  ' is the value 'ab', also as a CONTAINS part.
//   - A date field is its day count (0 for no date); today() is the given day count; + and -
//     work on numbers only (dates, numbers, today()); text in arithmetic is a binding error.
//   - Text compares with text by code point, case-sensitive: 'abc' < 'abd', 'B' < 'a'.
//     UPPER() upper-cases Unicode text ("émile" -> "ÉMILE", "ß" -> "SS"); UPPER of a number
//     is the number written out, so UPPER(sno:NOTEDATE) is "74189" on day 74189 and "0" for a
//     note without a date. Such text is still text: UPPER(sno:NOTEDATE) >= '100000' compares
//     letters.
//   - A number compares with text as follows: blank text is 0 (so sno:reminderdate = ''
//     holds for notes without a reminder date); text that reads as a number (optional leading
//     blanks, optional sign, digits, optional .digits) is that number; any other text compares
//     with the number written out, as text (sno:notedate < 'a' holds, since "7..." < "a").
//   - CONTAINS(a, b) holds when b occurs in a (an empty b always does); BEGINS(a, b) when a
//     starts with b. Both are case-sensitive; numbers given to them are written out first.
//   - A value used as a condition (a bare field, AND/OR/NOT of values, a whole filter that is
//     just a value) holds when it is non-blank text or a non-zero number. A condition can not
//     be used as a value: UPPER(a = b), (a = b) + 1 and (a = b) = 'Y' are binding errors.

#include "core/dates.h"
#include "store/record.h"
#include "store/sql_value.h"

#include <memory>
#include <QString>
#include <QStringView>
#include <variant>
#include <vector>

struct sqlite3;

namespace qly::expr {

// A tree deeper than this is refused (a lone term is depth 1, a = b depth 2); so is text that
// nests parentheses, functions, NOT and minus more than kMaxNesting deep. This keeps evaluation
// far from the end of the stack and the SQL within what SQLite's parser takes.
inline constexpr int kMaxDepth = 24;
inline constexpr int kMaxNesting = 2 * kMaxDepth;
// More terms (fields, literals, today()) than this is refused. A long AND or OR list becomes a
// chain as deep as it is long in SQLite, which takes expressions up to 1000 deep.
inline constexpr int kMaxTerms = 500;

enum class ErrorCode
{
    // reading the text
    EmptyFilter,         // nothing but blanks
    UnexpectedCharacter, // a character that starts nothing here: # " é outside quotes
    UnterminatedText,    // a quote that is never closed
    BadNumber,           // 3. or a number with more than 15 digits before the point
    BadField,            // sno: without a field name
    UnknownWord,         // a bare word that is no keyword, function or prefix:name field
    UnknownFunction,     // lower(...)
    ExpectedValue,       // an operand is missing: sno:done =   or   AND x
    ExpectedToken,       // a particular token is missing: ) , or the ( after a function name
    UnexpectedToken,     // something after a complete expression: a = b c
    TooDeep,             // see kMaxDepth
    TooLong,             // see kMaxTerms
                         // binding to a layout
    UnknownField,        // sno:topics
    FieldOfOtherTable,   // arc:topic in a filter on sno
    ConditionAsValue,    // UPPER(a = b)
    NotANumber,          // sno:topic + 1
};

struct Error
{
    ErrorCode code;
    // Offset (in UTF-16 units, as a QString counts) into the filter text where the problem
    // starts; for a binding error the start of the offending term (0 in a tree built by hand).
    qsizetype position = 0;
    QString message; // for people: "unknown field sno:topics"
};

// A value or the error that stopped it.
template <typename T> class Result
{
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    const T& value() const
    {
        Q_ASSERT(ok());
        return *std::get_if<0>(&m_state);
    }
    T& value()
    {
        Q_ASSERT(ok());
        return *std::get_if<0>(&m_state);
    }
    const Error& error() const
    {
        Q_ASSERT(!ok());
        return *std::get_if<1>(&m_state);
    }

private:
    std::variant<T, Error> m_state;
};

enum class NodeKind
{
    Field,    // text: the name as written, "sno:TOPIC"
    Text,     // text: the value with quotes undone, blanks kept as written
    Number,   // number: the value (not negative; minus is a Negate node)
    Today,    // no children
    Upper,    // one child
    Contains, // two children: text, part
    Begins,   // two children: text, start
    Compare,  // two children, op
    And,      // two or more children (one is allowed in a built tree)
    Or,       // likewise
    Not,      // one child
    Add,      // two children
    Subtract, // two children
    Negate,   // one child
};

enum class CompareOp
{
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual
};

// One term of a parsed filter. Plain data: a form may build, change and copy trees freely.
struct Node
{
    NodeKind kind = NodeKind::Text;
    CompareOp op = CompareOp::Equal; // Compare only
    QString text;                    // Field and Text
    double number = 0;               // Number
    qsizetype position = 0;          // start of the term in the parsed text
    std::vector<Node> children;
};

// Helpers for building trees by hand (the query form, tests).
Node fieldNode(QString qualifiedName);
Node textNode(QString value);
Node numberNode(double value);
Node compareNode(Node left, CompareOp op, Node right);
Node makeNode(NodeKind kind, std::vector<Node> children = {});

// Reads a filter text.
Result<Node> parse(QStringView text);

// Writes a tree as filter text that parses back to the same tree (parentheses only where
// needed). A hand-built And/Or with one child is written as that child.
QString formatExpression(const Node& tree);

// An SQL term and the values for its ? placeholders, in order. The term is parenthesised,
// so it can be ANDed onto any WHERE.
struct SqlFilter
{
    QString sql;
    store::SqlValues values;
};

// A tree checked against one table's layout, ready to test records. Cheap to copy.
// The layout must outlive the filter (layouts are program-wide constants).
class Filter
{
public:
    const RecordLayout& layout() const;
    const Node& tree() const;

    // Whether record (of layout()) is picked on the given day.
    bool matches(const Record& record, DayCount today) const;

    // The same test as an SQL term over the layout's table: columns appear as +"column"
    // (so they don't steer the store's index choice), today and every literal as ?.
    SqlFilter toSql(DayCount today) const;

    struct Bound;

private:
    explicit Filter(std::shared_ptr<const Bound> bound) : m_bound(std::move(bound)) {}
    friend Result<Filter> bind(const Node& tree, const RecordLayout& layout);

    std::shared_ptr<const Bound> m_bound;
};

// Checks every field against layout and the kinds of values against the rules above.
Result<Filter> bind(const Node& tree, const RecordLayout& layout);

// parse() then bind().
Result<Filter> parseFilter(QStringView text, const RecordLayout& layout);

// Registers the SQL functions that toSql() terms call (qly_upper, qly_contains, qly_begins, qly_contains_upper, qly_begins_upper,
// qly_compare) on db; returns an SQLite result code. Meant for store::addConnectionSetup().
int installSqlFunctions(sqlite3* db);

} // namespace qly::expr
