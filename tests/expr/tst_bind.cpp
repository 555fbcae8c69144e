// Binding a filter to a table: its fields must be that table's, and values and conditions must
// be used where they make sense.

#include "expr_fixture.h"

#include <QTest>

using namespace qly;
using namespace qly::expr;
using namespace qly::test;

Q_DECLARE_METATYPE(qly::expr::ErrorCode)

namespace {
const RecordLayout& layoutNamed(const QString& prefix)
{
    return prefix == u"ARC" ? archiveLayout() : notesLayout();
}
} // namespace

class BindTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedWithTheOffendingTerm_data();
    void refusedWithTheOffendingTerm();
    void bindsToItsOwnTable_data();
    void bindsToItsOwnTable();
};

void BindTest::refusedWithTheOffendingTerm_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ErrorCode>("code");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("named");

    QTest::newRow("archive field in a notes filter")
        << "SNO"
        << "sno:done = 'Y' and arc:topic = 'x'" << ErrorCode::FieldOfOtherTable << 19
        << "arc:topic";
    QTest::newRow("notes field in an archive filter")
        << "ARC"
        << "UPPER(sno:TOPIC) = 'X'" << ErrorCode::FieldOfOtherTable << 6 << "sno:TOPIC";
    QTest::newRow("unknown field")
        << "SNO"
        << "UPPER(sno:topics) = 'X'" << ErrorCode::UnknownField << 6 << "sno:topics";
    QTest::newRow("unknown field in the archive")
        << "ARC"
        << "arc:colour = 'red'" << ErrorCode::UnknownField << 0 << "arc:colour";
    QTest::newRow("UPPER of a condition")
        << "SNO"
        << "UPPER(sno:done = 'Y') = 'X'" << ErrorCode::ConditionAsValue << 6 << "sno:done = 'Y'";
    QTest::newRow("a condition compared with text")
        << "SNO"
        << "(sno:done = 'Y') = 'Y'" << ErrorCode::ConditionAsValue << 1 << "sno:done";
    QTest::newRow("a condition in arithmetic")
        << "SNO"
        << "(sno:notedate > 3) + 1 > 0" << ErrorCode::ConditionAsValue << 1 << "sno:notedate > 3";
    QTest::newRow("CONTAINS of a condition")
        << "SNO"
        << "CONTAINS(sno:topic, sno:done = 'Y')" << ErrorCode::ConditionAsValue << 20 << "sno:done";
    QTest::newRow("a text field in arithmetic")
        << "SNO"
        << "sno:topic + 1 = 2" << ErrorCode::NotANumber << 0 << "sno:topic";
    QTest::newRow("numeric text in arithmetic")
        << "SNO"
        << "sno:reminderdate <= today() + '3'" << ErrorCode::NotANumber << 30 << "'3'";
    QTest::newRow("minus before text")
        << "SNO"
        << "-UPPER(sno:notedate) < 0" << ErrorCode::NotANumber << 1 << "UPPER";
}

void BindTest::refusedWithTheOffendingTerm()
{
    QFETCH(QString, table);
    QFETCH(QString, text);
    QFETCH(ErrorCode, code);
    QFETCH(int, position);
    QFETCH(QString, named);
    const Result<Node> tree = parse(text);
    QVERIFY(tree.ok());
    const Result<Filter> filter = bind(tree.value(), layoutNamed(table));
    QVERIFY(!filter.ok());
    QCOMPARE(filter.error().code, code);
    QCOMPARE(filter.error().position, position);
    QVERIFY2(filter.error().message.contains(named), qPrintable(filter.error().message));
}

void BindTest::bindsToItsOwnTable_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("text");

    QTest::newRow("notes filter") << "SNO"
                                  << "(sno:reminderdate <= today()+3 and sno:reminderdate > '' "
                                     "and sno:done='N')";
    QTest::newRow("archive filter") << "ARC"
                                    << "CONTAINS(UPPER(arc:TOPIC),'ABC') AND "
                                       "UPPER(arc:EmailAddress) >= 'M'";
    QTest::newRow("prefix in another case") << "ARC"
                                            << "ARC:done = 'Y' or Arc:Url = ''";
    QTest::newRow("every notes field") << "SNO"
                                       << "sno:topic and sno:reminder and sno:notedate and "
                                          "sno:reminderdate and sno:mainmemo and sno:done and "
                                          "sno:url and sno:emailaddress";
}

void BindTest::bindsToItsOwnTable()
{
    QFETCH(QString, table);
    QFETCH(QString, text);
    const Result<Filter> filter = parseFilter(text, layoutNamed(table));
    QVERIFY2(filter.ok(), qPrintable(filter.ok() ? QString() : filter.error().message));
    QCOMPARE(&filter.value().layout(), &layoutNamed(table));
}

int runBindTests(int argc, char** argv)
{
    BindTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_bind.moc"
