// Reading filter text into a tree, and writing a tree back as text.

#include "expr/expression.h"
#include "expr/semantics.h"

#include <algorithm>
#include <optional>
#include <QLocale>
#include <QStringList>

namespace qly::expr {

namespace {

enum class Tok
{
    Word,  // a bare identifier: keyword or function name
    Field, // prefix:name
    Text,
    Number,
    LeftParen,
    RightParen,
    Comma,
    Plus,
    Minus,
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
    End,
};

struct Token
{
    Tok kind = Tok::End;
    qsizetype position = 0;
    QString text; // Word and Field as written; Text with quotes undone
    double number = 0;
};

constexpr int kMaxIntegerDigits = 15;

bool isWordStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isWordChar(QChar c)
{
    return isWordStart(c) || (c >= u'0' && c <= u'9');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

Error makeError(ErrorCode code, qsizetype position, QString message)
{
    return Error{code, position, std::move(message)};
}

class Lexer
{
public:
    explicit Lexer(QStringView text) : m_text(text) {}

    Result<std::vector<Token>> run()
    {
        std::vector<Token> tokens;
        for (;;) {
            while (m_at < m_text.size() && m_text[m_at].isSpace())
                ++m_at;
            if (m_at == m_text.size())
                break;
            if (std::optional<Error> error = next(tokens))
                return *error;
        }
        tokens.push_back(Token{Tok::End, m_text.size(), {}, 0});
        return tokens;
    }

private:
    std::optional<Error> next(std::vector<Token>& tokens)
    {
        const qsizetype start = m_at;
        const QChar c = m_text[m_at];
        if (isWordStart(c))
            return word(tokens);
        if (isDigit(c))
            return number(tokens);
        if (c == u'\'')
            return quoted(tokens);
        const QChar after = m_at + 1 < m_text.size() ? m_text[m_at + 1] : QChar();
        Tok kind = Tok::End;
        qsizetype length = 1;
        switch (c.unicode()) {
        case u'(':
            kind = Tok::LeftParen;
            break;
        case u')':
            kind = Tok::RightParen;
            break;
        case u',':
            kind = Tok::Comma;
            break;
        case u'+':
            kind = Tok::Plus;
            break;
        case u'-':
            kind = Tok::Minus;
            break;
        case u'=':
            kind = Tok::Equal;
            break;
        case u'<':
            kind = after == u'=' ? Tok::LessOrEqual : (after == u'>' ? Tok::NotEqual : Tok::Less);
            length = kind == Tok::Less ? 1 : 2;
            break;
        case u'>':
            kind = after == u'=' ? Tok::GreaterOrEqual : Tok::Greater;
            length = kind == Tok::Greater ? 1 : 2;
            break;
        case u'~':
        case u'!':
            if (after == u'=') {
                kind = Tok::NotEqual;
                length = 2;
            }
            break;
        default:
            break;
        }
        if (kind == Tok::End)
            return makeError(ErrorCode::UnexpectedCharacter, start,
                             QStringLiteral("unexpected character %1").arg(m_text.mid(start, 1)));
        m_at += length;
        tokens.push_back(Token{kind, start, {}, 0});
        return std::nullopt;
    }

    qsizetype skipWord(qsizetype from) const
    {
        while (from < m_text.size() && isWordChar(m_text[from]))
            ++from;
        return from;
    }

    std::optional<Error> word(std::vector<Token>& tokens)
    {
        const qsizetype start = m_at;
        m_at = skipWord(m_at);
        Tok kind = Tok::Word;
        if (m_at < m_text.size() && m_text[m_at] == u':') {
            const qsizetype name = m_at + 1;
            if (name >= m_text.size() || !isWordStart(m_text[name]))
                return makeError(ErrorCode::BadField, name,
                                 QStringLiteral("a field name must follow %1")
                                     .arg(m_text.sliced(start, name - start)));
            m_at = skipWord(name);
            kind = Tok::Field;
        }
        tokens.push_back(Token{kind, start, m_text.sliced(start, m_at - start).toString(), 0});
        return std::nullopt;
    }

    std::optional<Error> number(std::vector<Token>& tokens)
    {
        const qsizetype start = m_at;
        while (m_at < m_text.size() && isDigit(m_text[m_at]))
            ++m_at;
        qsizetype significant = start;
        while (significant < m_at - 1 && m_text[significant] == u'0')
            ++significant;
        if (m_at - significant > kMaxIntegerDigits)
            return makeError(ErrorCode::BadNumber, start,
                             QStringLiteral("a number may have at most %1 digits before the "
                                            "decimal point")
                                 .arg(kMaxIntegerDigits));
        if (m_at < m_text.size() && m_text[m_at] == u'.') {
            ++m_at;
            const qsizetype fraction = m_at;
            while (m_at < m_text.size() && isDigit(m_text[m_at]))
                ++m_at;
            if (m_at == fraction)
                return makeError(ErrorCode::BadNumber, fraction - 1,
                                 QStringLiteral("digits must follow the decimal point"));
        }
        const QStringView digits = m_text.sliced(start, m_at - start);
        tokens.push_back(Token{Tok::Number, start, {}, digits.toDouble()});
        return std::nullopt;
    }

    std::optional<Error> quoted(std::vector<Token>& tokens)
    {
        const qsizetype start = m_at++;
        QString value;
        for (;;) {
            const qsizetype quote = m_text.indexOf(u'\'', m_at);
            if (quote < 0)
                return makeError(ErrorCode::UnterminatedText, start,
                                 QStringLiteral("the text that starts here has no closing quote"));
            value += m_text.sliced(m_at, quote - m_at);
            m_at = quote + 1;
            if (m_at < m_text.size() && m_text[m_at] == u'\'') {
                value += u'\'';
                ++m_at;
                continue;
            }
            break;
        }
        tokens.push_back(Token{Tok::Text, start, std::move(value), 0});
        return std::nullopt;
    }

    QStringView m_text;
    qsizetype m_at = 0;
};

struct Function
{
    QStringView name;
    NodeKind kind;
    int arity;
};
constexpr Function kFunctions[] = {
    {u"TODAY", NodeKind::Today, 0},
    {u"UPPER", NodeKind::Upper, 1},
    {u"CONTAINS", NodeKind::Contains, 2},
    {u"BEGINS", NodeKind::Begins, 2},
};

// A parsed term and the depth of its tree.
struct Parsed
{
    Node node;
    int depth = 0;
};

class Parser
{
public:
    explicit Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

    Result<Node> run()
    {
        if (peek().kind == Tok::End)
            return makeError(ErrorCode::EmptyFilter, 0, QStringLiteral("the filter is empty"));
        Parsed result = parseOr();
        if (!m_error && peek().kind != Tok::End)
            fail(ErrorCode::UnexpectedToken, peek().position,
                 QStringLiteral("unexpected %1 after a complete condition").arg(describe(peek())));
        if (m_error)
            return *m_error;
        return std::move(result.node);
    }

private:
    const Token& peek(qsizetype ahead = 0) const
    {
        const size_t at = std::min(m_at + static_cast<size_t>(ahead), m_tokens.size() - 1);
        return m_tokens[at];
    }
    const Token& take() { return m_tokens[std::min(m_at++, m_tokens.size() - 1)]; }

    bool isKeyword(const Token& token, QStringView keyword) const
    {
        return token.kind == Tok::Word && token.text.compare(keyword, Qt::CaseInsensitive) == 0;
    }

    static QString describe(const Token& token)
    {
        switch (token.kind) {
        case Tok::End:
            return QStringLiteral("end of the filter");
        case Tok::Text:
            return QStringLiteral("text");
        case Tok::Number:
            return QStringLiteral("number");
        case Tok::Word:
        case Tok::Field:
            return token.text;
        default:
            return QStringLiteral("symbol");
        }
    }

    void fail(ErrorCode code, qsizetype position, QString message)
    {
        if (!m_error)
            m_error = makeError(code, position, std::move(message));
    }

    // Counts one level of nesting (a parenthesis, function, NOT or minus) while it lives.
    class Nesting
    {
    public:
        Nesting(Parser& parser, qsizetype position) : m_parser(parser)
        {
            if (++m_parser.m_nesting > kMaxNesting)
                m_parser.fail(
                    ErrorCode::TooDeep, position,
                    QStringLiteral("the filter nests deeper than %1 levels").arg(kMaxNesting));
        }
        ~Nesting() { --m_parser.m_nesting; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
    };

    Parsed combine(Node node, std::vector<Parsed> parts)
    {
        int depth = 0;
        for (Parsed& part : parts) {
            depth = std::max(depth, part.depth);
            node.children.push_back(std::move(part.node));
        }
        if (!node.children.empty())
            node.position = node.children.front().position;
        if (depth + 1 > kMaxDepth)
            fail(ErrorCode::TooDeep, node.position,
                 QStringLiteral("the filter nests deeper than %1 levels").arg(kMaxDepth));
        return Parsed{std::move(node), depth + 1};
    }

    Parsed leaf(Node node, qsizetype position)
    {
        node.position = position;
        if (++m_terms > kMaxTerms)
            fail(ErrorCode::TooLong, position,
                 QStringLiteral("the filter has more than %1 terms").arg(kMaxTerms));
        return Parsed{std::move(node), 1};
    }

    Parsed parseList(NodeKind kind, QStringView keyword, Parsed (Parser::*operand)())
    {
        std::vector<Parsed> parts;
        parts.push_back((this->*operand)());
        while (!m_error && isKeyword(peek(), keyword)) {
            take();
            parts.push_back((this->*operand)());
        }
        if (m_error || parts.size() == 1)
            return std::move(parts.front());
        return combine(makeNode(kind), std::move(parts));
    }

    Parsed parseOr() { return parseList(NodeKind::Or, u"OR", &Parser::parseAnd); }
    Parsed parseAnd() { return parseList(NodeKind::And, u"AND", &Parser::parseNot); }

    Parsed parseNot()
    {
        if (!isKeyword(peek(), u"NOT"))
            return parseComparison();
        const Token& keyword = take();
        Nesting nesting(*this, keyword.position);
        if (m_error)
            return {};
        std::vector<Parsed> operand;
        operand.push_back(parseNot());
        if (m_error)
            return {};
        Parsed result = combine(makeNode(NodeKind::Not), std::move(operand));
        result.node.position = keyword.position;
        return result;
    }

    std::optional<CompareOp> comparisonOp()
    {
        const Token& token = peek();
        switch (token.kind) {
        case Tok::Equal:
            take();
            return CompareOp::Equal;
        case Tok::NotEqual:
            take();
            return CompareOp::NotEqual;
        case Tok::Less:
            take();
            return CompareOp::Less;
        case Tok::LessOrEqual:
            take();
            return CompareOp::LessOrEqual;
        case Tok::Greater:
            take();
            return CompareOp::Greater;
        case Tok::GreaterOrEqual:
            take();
            return CompareOp::GreaterOrEqual;
        default:
            break;
        }
        if (isKeyword(token, u"NOT") && peek(1).kind == Tok::Equal) {
            take();
            take();
            return CompareOp::NotEqual;
        }
        return std::nullopt;
    }

    Parsed parseComparison()
    {
        Parsed left = parseAdditive();
        if (m_error)
            return {};
        const std::optional<CompareOp> op = comparisonOp();
        if (!op)
            return left;
        std::vector<Parsed> parts;
        parts.push_back(std::move(left));
        parts.push_back(parseAdditive());
        if (m_error)
            return {};
        Node node = makeNode(NodeKind::Compare);
        node.op = *op;
        return combine(std::move(node), std::move(parts));
    }

    Parsed parseAdditive()
    {
        Parsed left = parseUnary();
        while (!m_error && (peek().kind == Tok::Plus || peek().kind == Tok::Minus)) {
            const NodeKind kind = take().kind == Tok::Plus ? NodeKind::Add : NodeKind::Subtract;
            std::vector<Parsed> parts;
            parts.push_back(std::move(left));
            parts.push_back(parseUnary());
            if (m_error)
                return {};
            left = combine(makeNode(kind), std::move(parts));
        }
        return left;
    }

    Parsed parseUnary()
    {
        if (peek().kind != Tok::Minus)
            return parsePrimary();
        const qsizetype position = take().position;
        Nesting nesting(*this, position);
        if (m_error)
            return {};
        std::vector<Parsed> operand;
        operand.push_back(parseUnary());
        if (m_error)
            return {};
        Parsed result = combine(makeNode(NodeKind::Negate), std::move(operand));
        result.node.position = position;
        return result;
    }

    void expect(Tok kind, QStringView what, QStringView context)
    {
        if (m_error)
            return;
        if (peek().kind != kind) {
            fail(ErrorCode::ExpectedToken, peek().position,
                 QStringLiteral("expected %1 %2, found %3").arg(what, context, describe(peek())));
            return;
        }
        take();
    }

    static const Function* findFunction(QStringView name)
    {
        for (const Function& f : kFunctions) {
            if (name.compare(f.name, Qt::CaseInsensitive) == 0)
                return &f;
        }
        return nullptr;
    }
    static bool isFunctionName(QStringView name) { return findFunction(name) != nullptr; }

    Parsed parseCall(const Token& name)
    {
        const Function* function = findFunction(name.text);
        if (!function) {
            fail(ErrorCode::UnknownFunction, name.position,
                 QStringLiteral("unknown function %1 (there are TODAY, UPPER, CONTAINS and "
                                "BEGINS)")
                     .arg(name.text));
            return {};
        }
        const QString context = QStringLiteral("in %1()").arg(function->name.toString());
        Nesting nesting(*this, peek().position);
        expect(Tok::LeftParen, u"(", context);
        std::vector<Parsed> arguments;
        for (int i = 0; i < function->arity && !m_error; ++i) {
            if (i > 0)
                expect(Tok::Comma, u",", context);
            if (!m_error)
                arguments.push_back(parseOr());
        }
        expect(Tok::RightParen, u")", context);
        if (m_error)
            return {};
        if (function->kind == NodeKind::Today)
            return leaf(makeNode(NodeKind::Today), name.position);
        Parsed result = combine(makeNode(function->kind), std::move(arguments));
        result.node.position = name.position;
        return result;
    }

    Parsed parsePrimary()
    {
        const Token& token = peek();
        switch (token.kind) {
        case Tok::Field:
            take();
            return leaf(fieldNode(token.text), token.position);
        case Tok::Text:
            take();
            return leaf(textNode(token.text), token.position);
        case Tok::Number:
            take();
            return leaf(numberNode(token.number), token.position);
        case Tok::LeftParen: {
            take();
            Nesting nesting(*this, token.position);
            if (m_error)
                return {};
            Parsed inner = parseOr();
            expect(Tok::RightParen, u")", u"to close the (");
            return inner;
        }
        case Tok::Word:
            if (isKeyword(token, u"AND") || isKeyword(token, u"OR") || isKeyword(token, u"NOT"))
                break;
            if (peek(1).kind == Tok::LeftParen || isFunctionName(token.text)) {
                take();
                return parseCall(token);
            }
            fail(ErrorCode::UnknownWord, token.position,
                 QStringLiteral("unknown word %1 (fields are written prefix:name, like sno:topic)")
                     .arg(token.text));
            return {};
        default:
            break;
        }
        fail(ErrorCode::ExpectedValue, token.position,
             QStringLiteral("expected a value, found %1").arg(describe(token)));
        return {};
    }

    std::vector<Token> m_tokens;
    size_t m_at = 0;
    int m_nesting = 0;
    int m_terms = 0;
    std::optional<Error> m_error;
};

// Binding strength when written, loosest first.
enum Level
{
    OrLevel,
    AndLevel,
    NotLevel,
    CompareLevel,
    AdditiveLevel,
    UnaryLevel,
    PrimaryLevel
};

Level levelOf(const Node& node)
{
    switch (node.kind) {
    case NodeKind::Or:
        return node.children.size() == 1 ? levelOf(node.children[0]) : OrLevel;
    case NodeKind::And:
        return node.children.size() == 1 ? levelOf(node.children[0]) : AndLevel;
    case NodeKind::Not:
        return NotLevel;
    case NodeKind::Compare:
        return CompareLevel;
    case NodeKind::Add:
    case NodeKind::Subtract:
        return AdditiveLevel;
    case NodeKind::Negate:
        return UnaryLevel;
    default:
        return PrimaryLevel;
    }
}

QString format(const Node& node);

QString formatAt(const Node& node, Level least)
{
    const QString text = format(node);
    return levelOf(node) < least ? u'(' + text + u')' : text;
}

QString formatCall(QStringView name, const Node& node)
{
    QStringList arguments;
    for (const Node& child : node.children)
        arguments.append(format(child));
    return name.toString() + u'(' + arguments.join(QStringLiteral(", ")) + u')';
}

QString formatList(const Node& node, QStringView keyword, Level level)
{
    if (node.children.size() == 1)
        return format(node.children[0]);
    QStringList parts;
    for (const Node& child : node.children) {
        // A nested list of the same kind keeps its parentheses so it reads back as written.
        const Level least = child.kind == node.kind && child.children.size() > 1
                                ? static_cast<Level>(level + 1)
                                : level;
        parts.append(formatAt(child, least));
    }
    return parts.join(QString(u' ' + keyword.toString() + u' '));
}

QString format(const Node& node)
{
    auto child = [&node](size_t i) -> const Node& { return node.children.at(i); };
    switch (node.kind) {
    case NodeKind::Field:
        return node.text;
    case NodeKind::Text: {
        QString quoted = node.text;
        quoted.replace(u'\'', QStringLiteral("''"));
        return u'\'' + quoted + u'\'';
    }
    case NodeKind::Number:
        return QString::number(node.number, 'f', QLocale::FloatingPointShortest);
    case NodeKind::Today:
        return QStringLiteral("today()");
    case NodeKind::Upper:
        return formatCall(u"UPPER", node);
    case NodeKind::Contains:
        return formatCall(u"CONTAINS", node);
    case NodeKind::Begins:
        return formatCall(u"BEGINS", node);
    case NodeKind::Compare:
        return formatAt(child(0), AdditiveLevel) + u' ' + compareSymbol(node.op) + u' ' +
               formatAt(child(1), AdditiveLevel);
    case NodeKind::And:
        return formatList(node, u"AND", AndLevel);
    case NodeKind::Or:
        return formatList(node, u"OR", OrLevel);
    case NodeKind::Not:
        return QStringLiteral("NOT ") + formatAt(child(0), NotLevel);
    case NodeKind::Add:
    case NodeKind::Subtract:
        return formatAt(child(0), AdditiveLevel) +
               (node.kind == NodeKind::Add ? QStringLiteral(" + ") : QStringLiteral(" - ")) +
               formatAt(child(1), UnaryLevel);
    case NodeKind::Negate: {
        const QString operand = formatAt(child(0), UnaryLevel);
        return operand.startsWith(u'-') ? QStringLiteral("- ") + operand : u'-' + operand;
    }
    }
    return {};
}

} // namespace

Node fieldNode(QString qualifiedName)
{
    Node node;
    node.kind = NodeKind::Field;
    node.text = std::move(qualifiedName);
    return node;
}

Node textNode(QString value)
{
    Node node;
    node.kind = NodeKind::Text;
    node.text = std::move(value);
    return node;
}

Node numberNode(double value)
{
    Node node;
    node.kind = NodeKind::Number;
    node.number = value;
    return node;
}

Node compareNode(Node left, CompareOp op, Node right)
{
    Node node = makeNode(NodeKind::Compare, {});
    node.op = op;
    node.children.push_back(std::move(left));
    node.children.push_back(std::move(right));
    return node;
}

Node makeNode(NodeKind kind, std::vector<Node> children)
{
    Node node;
    node.kind = kind;
    node.children = std::move(children);
    return node;
}

Result<Node> parse(QStringView text)
{
    Result<std::vector<Token>> tokens = Lexer(text).run();
    if (!tokens.ok())
        return tokens.error();
    return Parser(std::move(tokens.value())).run();
}

QString formatExpression(const Node& tree)
{
    return format(tree);
}

} // namespace qly::expr
