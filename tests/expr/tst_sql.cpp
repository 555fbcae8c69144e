// The SQL side of filters: literals stay bound values, the term fits the store's reads, and the
// deepest filter the parser takes is one SQLite takes too.

#include "expr_fixture.h"

#include <QRegularExpression>
#include <QTest>

#include <sqlite3.h>

using namespace qly;
using namespace qly::expr;
using namespace qly::test;

namespace {
QString repeated(QStringView piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// "<head>( ... (<tail>) ... )" with `levels` heads, closed as often.
QString nested(QStringView head, QStringView tail, int levels)
{
    return repeated(head, levels) + tail.toString() + repeated(u")", levels);
}

// sno:done = 'Y' AND (sno:done = 'N' OR (sno:done = 'Y' AND ( ... )))
QString andOrToTheRight(int levels)
{
    QString text = QStringLiteral("sno:done = 'Y'");
    for (int i = 0; i < levels; ++i)
        text = (i % 2 ? QStringLiteral("sno:done = 'N' OR (")
                      : QStringLiteral("sno:done = 'Y' AND (")) +
               text + u')';
    return text;
}

int depthOf(const Node& node)
{
    int deepest = 0;
    for (const Node& child : node.children)
        deepest = std::max(deepest, depthOf(child));
    return deepest + 1;
}
} // namespace

Q_DECLARE_METATYPE(qly::test::NoteTable::ReadOrder)

class SqlTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_table.setupError().isEmpty(), qPrintable(m_table.setupError()));
    }
    void init() { m_table.clear(); }

    void anInjectionAttemptStaysAValue();
    void literalsAndTodayAreBoundInOrder();
    void keyOrderReadsKeepTheirIndex_data();
    void keyOrderReadsKeepTheirIndex();
    void theLargestFiltersRunInSqlite_data();
    void theLargestFiltersRunInSqlite();
    void upperInSqlAgreesWithUnicodeForEveryLetter();

private:
    NoteTable m_table;
};

void SqlTest::anInjectionAttemptStaysAValue()
{
    const QString attack = QStringLiteral("x' OR 1=1 --");
    for (const QString& topic : {attack, QStringLiteral("x"), QStringLiteral("other")})
        QVERIFY(m_table.add(recordOf(Note{.topic = topic})));

    const Result<Filter> filter = parseFilter(u"sno:topic = 'x'' OR 1=1 --'", notesLayout());
    QVERIFY(filter.ok());
    const SqlFilter sql = filter.value().toSql(testToday());
    QVERIFY2(!sql.sql.contains(u"1=1") && !sql.sql.contains(u'\''), qPrintable(sql.sql));
    QCOMPARE(sql.values, store::SqlValues{attack});
    QCOMPARE(m_table.select(sql), std::vector<int>{0});
}

void SqlTest::literalsAndTodayAreBoundInOrder()
{
    const Result<Filter> filter = parseFilter(
        u"sno:reminderdate <= today()+3 and UPPER(sno:topic) = 'ZQ' and sno:notedate > 74000.5",
        notesLayout());
    QVERIFY(filter.ok());
    const SqlFilter sql = filter.value().toSql(testToday());
    const store::SqlValues expected{std::int64_t{testToday()}, 3.0, QStringLiteral("ZQ"), 74000.5};
    QCOMPARE(sql.values, expected);
    QVERIFY2(!sql.sql.contains(QRegularExpression(QStringLiteral("[0-9'Z]"))), qPrintable(sql.sql));
}

void SqlTest::keyOrderReadsKeepTheirIndex_data()
{
    QTest::addColumn<NoteTable::ReadOrder>("order");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("seek");

    QTest::newRow("reminder date order, filter on the reminder date")
        << NoteTable::ReadOrder::ByReminderDate
        << "(sno:reminderdate <= today()+3 and sno:reminderdate > '' and sno:done='N')"
        << "USING INDEX notes_SNOR (reminderdate>?)";
    QTest::newRow("topic order, filter on the topic and the reminder date")
        << NoteTable::ReadOrder::ByTopic << "sno:topic >= 'M' and sno:reminderdate = 0"
        << "USING INDEX notes_SNOT (topic>?)";
}

void SqlTest::keyOrderReadsKeepTheirIndex()
{
    // The store pages through a key's order by seeking that key's index from its position; a
    // filter's terms on the same columns must not join (or replace) that seek.
    QFETCH(NoteTable::ReadOrder, order);
    QFETCH(QString, filter);
    QFETCH(QString, seek);
    const Result<Filter> bound = parseFilter(filter, notesLayout());
    QVERIFY(bound.ok());
    const QString plan = m_table.queryPlan(bound.value().toSql(testToday()), order);
    QVERIFY2(plan.endsWith(seek), qPrintable(plan));
    QVERIFY2(!plan.contains(u"TEMP B-TREE"), qPrintable(plan));
}

void SqlTest::theLargestFiltersRunInSqlite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("depth");
    // As deep as a tree may be, nesting to the right, where SQLite's parser needs the most room;
    // or with as many terms as a filter may have, which SQLite chains as deep as they are many.
    const int d = kMaxDepth;
    const QString longOr = "sno:done = 'x'" + repeated(u" OR sno:done = 'x'", kMaxTerms / 2 - 2);
    QTest::newRow("AND and OR alternating") << andOrToTheRight(d - 2) << d;
    QTest::newRow("NOT chain") << repeated(u"NOT ", d - 2) + "sno:done = 'Y'" << d;
    QTest::newRow("NOT of values") << repeated(u"NOT ", d - 1) + "sno:done" << d;
    QTest::newRow("UPPER nested") << nested(u"UPPER(", u"sno:topic", d - 2) + " = 'A'" << d;
    QTest::newRow("UPPER nested against a number")
        << nested(u"UPPER(", u"sno:notedate", d - 2) + " = 74189" << d;
    QTest::newRow("CONTAINS of nested UPPER")
        << "CONTAINS(sno:topic, " + nested(u"UPPER(", u"sno:topic", d - 2) + ")" << d;
    QTest::newRow("BEGINS of nested UPPER first")
        << "BEGINS(" + nested(u"UPPER(", u"sno:notedate", d - 2) + ", '7')" << d;
    QTest::newRow("subtraction nested on the right")
        << nested(u"sno:notedate - (", u"sno:notedate", d - 2) + " > 0" << d;
    QTest::newRow("minus chain") << repeated(u"-", d - 2) + "sno:notedate < 0" << d;
    QTest::newRow("the longest OR") << longOr + " OR sno:done = 'x'" << 3;
    QTest::newRow("the longest OR with the deepest nesting")
        << longOr + " OR " + nested(u"UPPER(", u"sno:topic", d - 3) + " = 'A'" << d;
    QTest::newRow("everything at once") << "NOT (sno:done = 'Y' OR CONTAINS(sno:topic, " +
                                               nested(u"UPPER(", u"sno:notedate", d - 4) + "))"
                                        << d;
}

void SqlTest::theLargestFiltersRunInSqlite()
{
    QFETCH(QString, text);
    QFETCH(int, depth);
    const Result<Node> tree = parse(text);
    QVERIFY2(tree.ok(), qPrintable(tree.ok() ? QString() : tree.error().message));
    const Result<Filter> filter = bind(tree.value(), notesLayout());
    QVERIFY2(filter.ok(), qPrintable(filter.ok() ? QString() : filter.error().message));
    QCOMPARE(depthOf(tree.value()), depth);

    const SqlFilter sql = filter.value().toSql(testToday());
    QVERIFY2(m_table.preparesInTopicOrder(sql), qPrintable(m_table.lastError() + u'\n' + sql.sql));
    const Record record = recordOf(Note{.topic = "a", .done = "N", .noteDate = 74189});
    QVERIFY(m_table.add(record));
    const std::optional<std::vector<int>> rows = m_table.select(sql);
    QVERIFY2(rows, qPrintable(m_table.lastError()));
    QCOMPARE(!rows->empty(), filter.value().matches(record, testToday()));
}

void SqlTest::upperInSqlAgreesWithUnicodeForEveryLetter()
{
    // SQL upper-cases Latin text on its bytes and everything else by the full rules; both must
    // give what QString gives, letter by letter and inside longer text.
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
    QCOMPARE(expr::installSqlFunctions(db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    QCOMPARE(sqlite3_prepare_v2(db, "SELECT qly_upper(?)", -1, &stmt, nullptr), SQLITE_OK);
    const auto upperInSql = [stmt](const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        const QString result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                                                 sqlite3_column_bytes(stmt, 0));
        sqlite3_reset(stmt);
        return result;
    };
    for (char32_t c = 1; c < 0x2000; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QString letter = QString::fromUcs4(&c, 1);
        const QString text = QStringLiteral("caf") + letter + QStringLiteral(" x");
        if (upperInSql(text) != text.toUpper())
            QFAIL(qPrintable(QStringLiteral("U+%1: %2 instead of %3").arg(uint(c), 4, 16, QLatin1Char('0'))
                                 .arg(upperInSql(text), text.toUpper())));
    }
    QCOMPARE(upperInSql(QStringLiteral("Straße  ")), QStringLiteral("STRASSE"));
    QCOMPARE(upperInSql(QStringLiteral("émile ÉMILE zoë")), QStringLiteral("ÉMILE ÉMILE ZOË"));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

int runSqlTests(int argc, char** argv)
{
    SqlTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sql.moc"
