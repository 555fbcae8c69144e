// Reading filter text: what is accepted and how it is grouped, what is refused and where, and
// writing trees back as text.

#include "expr_fixture.h"

#include <QTest>

using namespace qly;
using namespace qly::expr;
using namespace qly::test;

Q_DECLARE_METATYPE(qly::expr::ErrorCode)

namespace {

// The expressions and operators the query form offers, as the form writes them.
const QStringList kFormExpressions = {
    QStringLiteral("UPPER(sno:REMINDERDATE)"), QStringLiteral("UPPER(sno:MAINMEMO)"),
    QStringLiteral("UPPER(sno:NOTEDATE)"),     QStringLiteral("UPPER(sno:TOPIC)"),
    QStringLiteral("UPPER(sno:EmailAddress)"), QStringLiteral("UPPER(sno:URL)"),
    QStringLiteral("UPPER(arc:TOPIC)"),        QStringLiteral("UPPER(arc:MAINMEMO)"),
};

struct FormOperator
{
    const char* label;
    const char* pattern; // %1 the expression
    const char* shape;   // %1 the expression's shape
};

const FormOperator kFormOperators[] = {
    {"Contains", "CONTAINS(%1,'ABC')", "(contains %1 'ABC')"},
    {"Begins", "BEGINS(%1,'ABC')", "(begins %1 'ABC')"},
    {"NOT =", "%1 <> 'ABC'", "(<> %1 'ABC')"},
    {"=", "%1 = 'ABC'", "(= %1 'ABC')"},
    {"<=", "%1 <= 'ABC'", "(<= %1 'ABC')"},
    {">=", "%1 >= 'ABC'", "(>= %1 'ABC')"},
};

QString repeated(QStringView piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

class ParseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void acceptedTextsAndTheirGrouping_data();
    void acceptedTextsAndTheirGrouping();
    void formattedTreesReadBackTheSame_data() { acceptedTextsAndTheirGrouping_data(); }
    void formattedTreesReadBackTheSame();
    void malformedTextIsRefusedWithPlaceAndReason_data();
    void malformedTextIsRefusedWithPlaceAndReason();
    void nestingIsLimitedNotFatal_data();
    void nestingIsLimitedNotFatal();
    void termsRememberWhereTheyStart();
    void aTreeBuiltByHandWritesAsTheFormDoes();
};

void ParseTest::acceptedTextsAndTheirGrouping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("notes without a reminder date")
        << "(sno:done ='N' and sno:reminderdate='')"
        << "(and (= sno:done 'N') (= sno:reminderdate ''))";
    QTest::newRow("reminders due within three days")
        << "(sno:reminderdate <= today()+3 and sno:reminderdate > '' and sno:done='N')"
        << "(and (<= sno:reminderdate (+ today 3)) (> sno:reminderdate '') (= sno:done 'N'))";
    QTest::newRow("done notes") << "(sno:done='Y')"
                                << "(= sno:done 'Y')";
    QTest::newRow("filter and condition joined")
        << "((sno:done='Y')) AND (UPPER(sno:TOPIC) = 'ABC')"
        << "(and (= sno:done 'Y') (= (upper sno:TOPIC) 'ABC'))";
    QTest::newRow("two filters and two conditions")
        << "((sno:done ='N' and sno:reminderdate='')) AND ((sno:done='Y')) AND "
           "(CONTAINS(UPPER(sno:TOPIC),'ABC') AND UPPER(sno:URL) >= 'H')"
        << "(and (and (= sno:done 'N') (= sno:reminderdate '')) (= sno:done 'Y') "
           "(and (contains (upper sno:TOPIC) 'ABC') (>= (upper sno:URL) 'H')))";

    for (const QString& expression : kFormExpressions) {
        const QString expressionShape = shape(parse(expression).value());
        for (const FormOperator& op : kFormOperators) {
            QTest::addRow("%s %s", qPrintable(expression), op.label)
                << QString::fromLatin1(op.pattern).arg(expression)
                << QString::fromLatin1(op.shape).arg(expressionShape);
        }
    }

    QTest::newRow("keywords, functions and fields in any case")
        << "(SNO:DONE = 'n' And Sno:ReminderDate <= ToDay() + 3) oR nOt "
           "contains(Upper(sno:topic),'a')"
        << "(or (and (= SNO:DONE 'n') (<= Sno:ReminderDate (+ today 3))) "
           "(not (contains (upper sno:topic) 'a')))";
    QTest::newRow("not-equal written <>") << "sno:done <> 'Y'"
                                          << "(<> sno:done 'Y')";
    QTest::newRow("not-equal written ~=") << "sno:done ~= 'Y'"
                                          << "(<> sno:done 'Y')";
    QTest::newRow("not-equal written !=") << "sno:done != 'Y'"
                                          << "(<> sno:done 'Y')";
    QTest::newRow("not-equal written NOT =") << "sno:done NOT = 'Y'"
                                             << "(<> sno:done 'Y')";
    QTest::newRow("not-equal written not=") << "sno:done not='Y'"
                                            << "(<> sno:done 'Y')";
    QTest::newRow("all comparison operators")
        << "sno:notedate < 1 or sno:notedate <= 2 or sno:notedate > 3 or sno:notedate >= 4"
        << "(or (< sno:notedate 1) (<= sno:notedate 2) (> sno:notedate 3) (>= sno:notedate 4))";

    QTest::newRow("AND binds tighter than OR") << "sno:a = 1 or sno:b = 2 and sno:c = 3"
                                               << "(or (= sno:a 1) (and (= sno:b 2) (= sno:c 3)))";
    QTest::newRow("parentheses regroup") << "(sno:a = 1 or sno:b = 2) and sno:c = 3"
                                         << "(and (or (= sno:a 1) (= sno:b 2)) (= sno:c 3))";
    QTest::newRow("NOT binds looser than a comparison") << "NOT sno:done = 'Y'"
                                                        << "(not (= sno:done 'Y'))";
    QTest::newRow("NOT binds tighter than AND") << "not sno:a and sno:b"
                                                << "(and (not sno:a) sno:b)";
    QTest::newRow("NOT NOT") << "not not sno:a"
                             << "(not (not sno:a))";
    QTest::newRow("parenthesised AND inside AND stays a group") << "sno:a and (sno:b and sno:c)"
                                                                << "(and sno:a (and sno:b sno:c))";
    QTest::newRow("minus runs left to right") << "sno:a - sno:b - 3"
                                              << "(- (- sno:a sno:b) 3)";
    QTest::newRow("parenthesised subtraction on the right") << "sno:a - (sno:b - 3)"
                                                            << "(- sno:a (- sno:b 3))";
    QTest::newRow("unary minus binds tighter than +") << "-sno:a + 2"
                                                      << "(+ (neg sno:a) 2)";
    QTest::newRow("double minus") << "- -3"
                                  << "(neg (neg 3))";
    QTest::newRow("minus minus without a blank") << "--3"
                                                 << "(neg (neg 3))";
    QTest::newRow("arithmetic on both sides") << "today() - 1 <= sno:reminderdate + 2"
                                              << "(<= (- today 1) (+ sno:reminderdate 2))";

    QTest::newRow("doubled quote inside text") << "sno:topic = 'it''s'"
                                               << "(= sno:topic 'it''s')";
    QTest::newRow("only a quote") << "sno:topic = ''''"
                                  << "(= sno:topic '''')";
    QTest::newRow("blanks inside text are kept in the tree") << "sno:topic = '  a  '"
                                                             << "(= sno:topic '  a  ')";
    QTest::newRow("keywords inside text are text") << "sno:topic = 'x AND y OR (z'"
                                                   << "(= sno:topic 'x AND y OR (z')";
    QTest::newRow("accents and emoji inside text")
        << QStringLiteral("sno:topic = 'Émile 😀'") << QStringLiteral("(= sno:topic 'Émile 😀')");
    QTest::newRow("decimal number") << "sno:notedate > 12.50"
                                    << "(> sno:notedate 12.5)";
    QTest::newRow("leading zeros") << "sno:notedate > 007"
                                   << "(> sno:notedate 7)";
    QTest::newRow("fifteen digits") << "sno:notedate < 999999999999999"
                                    << "(< sno:notedate 999999999999999)";
    QTest::newRow("tabs and line breaks between terms")
        << "sno:done\t=\n'Y'\r\nAND\tsno:topic<>''"
        << "(and (= sno:done 'Y') (<> sno:topic ''))";
    QTest::newRow("a bare field as a condition") << "sno:done"
                                                 << "sno:done";
    QTest::newRow("BEGINS with a field as the start") << "begins(sno:mainmemo, sno:topic)"
                                                      << "(begins sno:mainmemo sno:topic)";
}

void ParseTest::acceptedTextsAndTheirGrouping()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const Result<Node> tree = parse(text);
    QVERIFY2(tree.ok(), qPrintable(tree.ok() ? QString() : tree.error().message));
    QCOMPARE(shape(tree.value()), expected);
}

void ParseTest::formattedTreesReadBackTheSame()
{
    QFETCH(QString, text);
    const Result<Node> tree = parse(text);
    QVERIFY(tree.ok());
    const QString written = formatExpression(tree.value());
    const Result<Node> again = parse(written);
    QVERIFY2(again.ok(), qPrintable(written));
    QCOMPARE(shape(again.value()), shape(tree.value()));
    QCOMPARE(formatExpression(again.value()), written);
}

void ParseTest::malformedTextIsRefusedWithPlaceAndReason_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorCode>("code");
    QTest::addColumn<int>("position");

    QTest::newRow("empty") << "" << ErrorCode::EmptyFilter << 0;
    QTest::newRow("only blanks") << "   " << ErrorCode::EmptyFilter << 0;
    QTest::newRow("unclosed quote") << "sno:done = 'Y" << ErrorCode::UnterminatedText << 11;
    QTest::newRow("doubled quote at the end is not a close")
        << "sno:topic = 'it''" << ErrorCode::UnterminatedText << 12;
    QTest::newRow("hash") << "sno:done # 'Y'" << ErrorCode::UnexpectedCharacter << 9;
    QTest::newRow("double quotes are not text quotes")
        << "sno:done = \"Y\"" << ErrorCode::UnexpectedCharacter << 11;
    QTest::newRow("lone !") << "sno:done ! 'Y'" << ErrorCode::UnexpectedCharacter << 9;
    QTest::newRow("accented letter outside quotes")
        << QStringLiteral("sno:topic = 'x' é") << ErrorCode::UnexpectedCharacter << 16;
    QTest::newRow("position counts an emoji as two units")
        << QStringLiteral("'😀' ~ 1") << ErrorCode::UnexpectedCharacter << 5;
    QTest::newRow("prefix without a field name") << "sno: = 'Y'" << ErrorCode::BadField << 4;
    QTest::newRow("field name starting with a digit")
        << "sno:1topic = 'Y'" << ErrorCode::BadField << 4;
    QTest::newRow("decimal point without digits")
        << "sno:notedate > 3." << ErrorCode::BadNumber << 16;
    QTest::newRow("sixteen digits")
        << "sno:notedate > 1234567890123456" << ErrorCode::BadNumber << 15;
    QTest::newRow("field without a prefix") << "topic = 'x'" << ErrorCode::UnknownWord << 0;
    QTest::newRow("unknown function")
        << "lower(sno:topic) = 'x'" << ErrorCode::UnknownFunction << 0;
    QTest::newRow("today without parentheses") << "today + 3" << ErrorCode::ExpectedToken << 6;
    QTest::newRow("today with an argument") << "today(1) = 3" << ErrorCode::ExpectedToken << 6;
    QTest::newRow("UPPER with two arguments")
        << "UPPER(sno:topic, 'x') = 'A'" << ErrorCode::ExpectedToken << 15;
    QTest::newRow("CONTAINS with one argument")
        << "CONTAINS(sno:topic)" << ErrorCode::ExpectedToken << 18;
    QTest::newRow("unclosed parenthesis") << "(sno:done = 'Y'" << ErrorCode::ExpectedToken << 15;
    QTest::newRow("unclosed function call") << "UPPER(sno:topic" << ErrorCode::ExpectedToken << 15;
    QTest::newRow("nothing after =") << "sno:done =" << ErrorCode::ExpectedValue << 10;
    QTest::newRow("starts with AND") << "and sno:done = 'Y'" << ErrorCode::ExpectedValue << 0;
    QTest::newRow("ends with AND") << "sno:done = 'Y' and" << ErrorCode::ExpectedValue << 18;
    QTest::newRow("two operators") << "sno:done = = 'Y'" << ErrorCode::ExpectedValue << 11;
    QTest::newRow("empty parentheses") << "()" << ErrorCode::ExpectedValue << 1;
    QTest::newRow("NOT = with nothing before it") << "NOT = 'Y'" << ErrorCode::ExpectedValue << 4;
    QTest::newRow("two values in a row")
        << "sno:done = 'Y' 'N'" << ErrorCode::UnexpectedToken << 15;
    QTest::newRow("comparisons do not chain")
        << "sno:a = sno:b = sno:c" << ErrorCode::UnexpectedToken << 14;
    QTest::newRow("NOT between two values")
        << "sno:done NOT 'Y'" << ErrorCode::UnexpectedToken << 9;
    QTest::newRow("stray closing parenthesis")
        << "sno:done = 'Y')" << ErrorCode::UnexpectedToken << 14;
}

void ParseTest::malformedTextIsRefusedWithPlaceAndReason()
{
    QFETCH(QString, text);
    QFETCH(ErrorCode, code);
    QFETCH(int, position);
    const Result<Node> tree = parse(text);
    QVERIFY2(!tree.ok(), qPrintable(tree.ok() ? shape(tree.value()) : QString()));
    QCOMPARE(tree.error().code, code);
    QCOMPARE(tree.error().position, position);
    QVERIFY(!tree.error().message.isEmpty());
}

void ParseTest::nestingIsLimitedNotFatal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<ErrorCode>("code");

    const auto parens = [](int n) { return repeated(u"(", n) + "sno:done" + repeated(u")", n); };
    const auto nots = [](int n) { return repeated(u"NOT ", n) + "sno:done"; };
    const auto sums = [](int terms) { return "sno:notedate" + repeated(u" + 1", terms - 1); };
    const auto uppers = [](int n) {
        return repeated(u"UPPER(", n) + "sno:topic" + repeated(u")", n) + " = 'A'";
    };
    const auto ors = [](int terms) { return "'a'" + repeated(u" OR 'a'", terms - 1); };

    QTest::newRow("parentheses at the limit") << parens(kMaxNesting) << true << ErrorCode{};
    QTest::newRow("parentheses past the limit")
        << parens(kMaxNesting + 1) << false << ErrorCode::TooDeep;
    QTest::newRow("a hundred thousand open parentheses")
        << repeated(u"(", 100000) << false << ErrorCode::TooDeep;
    QTest::newRow("NOT chain as deep as allowed") << nots(kMaxDepth - 1) << true << ErrorCode{};
    QTest::newRow("NOT chain one deeper") << nots(kMaxDepth) << false << ErrorCode::TooDeep;
    QTest::newRow("sum as deep as allowed") << sums(kMaxDepth) << true << ErrorCode{};
    QTest::newRow("sum one deeper") << sums(kMaxDepth + 1) << false << ErrorCode::TooDeep;
    QTest::newRow("sum of a hundred thousand terms") << sums(100000) << false << ErrorCode::TooDeep;
    QTest::newRow("UPPER nested as deep as allowed")
        << uppers(kMaxDepth - 2) << true << ErrorCode{};
    QTest::newRow("UPPER nested one deeper")
        << uppers(kMaxDepth - 1) << false << ErrorCode::TooDeep;
    QTest::newRow("a long flat OR is not deep") << ors(kMaxTerms) << true << ErrorCode{};
    QTest::newRow("one term too many") << ors(kMaxTerms + 1) << false << ErrorCode::TooLong;
}

void ParseTest::nestingIsLimitedNotFatal()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(ErrorCode, code);
    const Result<Node> tree = parse(text);
    QCOMPARE(tree.ok(), accepted);
    if (!accepted)
        QCOMPARE(tree.error().code, code);
    else
        QVERIFY(bind(tree.value(), notesLayout()).ok());
}

void ParseTest::termsRememberWhereTheyStart()
{
    //                 0         1         2         3
    //                 0123456789012345678901234567890123456
    const QString text = "sno:done = 'Y' AND NOT UPPER(sno:topic) = 'A'";
    const Result<Node> tree = parse(text);
    QVERIFY(tree.ok());
    const Node& second = tree.value().children.at(1);
    QCOMPARE(second.kind, NodeKind::Not);
    QCOMPARE(second.position, 19);
    const Node& comparison = second.children.at(0);
    QCOMPARE(comparison.position, 23);
    QCOMPARE(comparison.children.at(0).children.at(0).position, 29);
    QCOMPARE(comparison.children.at(1).position, 42);
}

void ParseTest::aTreeBuiltByHandWritesAsTheFormDoes()
{
    Node condition = makeNode(
        NodeKind::Contains, {makeNode(NodeKind::Upper, {fieldNode("sno:TOPIC")}), textNode("ABC")});
    Node filter = makeNode(
        NodeKind::And,
        {makeNode(NodeKind::And,
                  {compareNode(fieldNode("sno:done"), CompareOp::Equal, textNode("N")),
                   compareNode(fieldNode("sno:reminderdate"), CompareOp::Equal, textNode(""))}),
         condition,
         compareNode(makeNode(NodeKind::Upper, {fieldNode("sno:URL")}), CompareOp::NotEqual,
                     textNode("it's"))});
    const QString written = formatExpression(filter);
    QCOMPARE(written, "(sno:done = 'N' AND sno:reminderdate = '') AND CONTAINS(UPPER(sno:TOPIC), "
                      "'ABC') AND UPPER(sno:URL) <> 'it''s'");
    const Result<Node> read = parse(written);
    QVERIFY(read.ok());
    QCOMPARE(shape(read.value()), shape(filter));
}

int runParseTests(int argc, char** argv)
{
    ParseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_parse.moc"
