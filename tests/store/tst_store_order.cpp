// Reading in key order: the collation, keyset pages in both directions, positioning, exact
// fetches, records left out of a key, and the query plans behind them.

#include "store_fixture.h"

#include "store/collation.h"

#include <QRandomGenerator>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>

using namespace qly;
using namespace qly::store;
using namespace qly::test;

class StoreOrderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void collationOrder_data();
    void collationOrder();
    void collationFastPathAgreesWithTheFullRules();

    void pagesInBothDirectionsFollowTheKey_data();
    void pagesInBothDirectionsFollowTheKey();
    void recordsWithEveryKeyComponentEmptyAreLeftOut();
    void positioningAtATypedPrefix();
    void fetchFindsTheFirstExactMatchIgnoringCase();
    void readingMovesOnAfterTheCurrentRecordIsDeleted();
    void filterNarrowsEveryRead();
    void aRangeReadsOnlyItsRecordsFromAnyPosition();
    void queryPlansUseTheKeys_data();
    void queryPlansUseTheKeys();

private:
    std::unique_ptr<TempWorkdir> m_dir;
    std::unique_ptr<Thread> m_thread;
    std::unique_ptr<Table> m_items;

    TableInstance& items() { return m_items->on(*m_thread); }
    qint64 add(const QString& name, DayCount day = 0, const QString& flag = {})
    {
        items().clearBuffer();
        items().buffer().setText(Name, name);
        items().buffer().setDate(Day, day);
        items().buffer().setText(Flag, flag);
        if (!items().insert())
            return 0;
        return items().currentRow();
    }
    QStringList readAll(Direction direction, int pageSize);
};

void StoreOrderTest::init()
{
    m_dir = std::make_unique<TempWorkdir>();
    m_thread = std::make_unique<Thread>(QStringLiteral("main"));
    m_items = std::make_unique<Table>(itemsDef());
    QVERIFY(openCreating(items()));
}

void StoreOrderTest::cleanup()
{
    m_items.reset();
    m_thread.reset();
    m_dir.reset();
}

void StoreOrderTest::collationOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");

    QTest::newRow("case is ignored") << QStringLiteral("Milk") << QStringLiteral("mILK") << 0;
    QTest::newRow("accented capitals equal accented small letters") << QStringLiteral("Émile") << QStringLiteral("émile") << 0;
    QTest::newRow("accents are kept") << QStringLiteral("Emile") << QStringLiteral("Émile") << -1;
    QTest::newRow("accented letters sort beside their base letter") << QStringLiteral("Émile") << QStringLiteral("Emilf") << -1;
    QTest::newRow("accented E sorts among the E's, before F") << QStringLiteral("Élan") << QStringLiteral("Fable") << -1;
    QTest::newRow("a prefix sorts first") << QStringLiteral("abc") << QStringLiteral("ABCD") << -1;
    QTest::newRow("empty sorts first") << QString() << QStringLiteral("a") << -1;
    QTest::newRow("digits before letters") << QStringLiteral("9 lives") << QStringLiteral("a") << -1;
    QTest::newRow("German sharp s equals itself in either case") << QStringLiteral("Straße") << QStringLiteral("STRAßE") << 0;
    QTest::newRow("Greek case ignored") << QStringLiteral("ΣΟΦΙΑ") << QStringLiteral("σοφια") << 0;
}

void StoreOrderTest::collationOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    QCOMPARE(sign(collate(a, b)), order);
    QCOMPARE(sign(collate(b, a)), -order);
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    QCOMPARE(sign(collateUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()))), order);
}

void StoreOrderTest::collationFastPathAgreesWithTheFullRules()
{
    // Plain ASCII takes a shortcut; mixed with accented text it must order the same way, or an
    // index would hold its entries in an order the planner does not expect.
    QRandomGenerator random(42);
    const QString letters = QStringLiteral("aAbBeEéÉzZ 09");
    QStringList words;
    for (int i = 0; i < 400; ++i) {
        QString word;
        for (int n = int(random.bounded(6)); n >= 0; --n)
            word += letters.at(int(random.bounded(int(letters.size()))));
        words << word;
    }
    const auto less = [](const QString& x, const QString& y) { return collate(x, y) < 0; };
    std::sort(words.begin(), words.end(), less);
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QByteArray a = words[i - 1].toUtf8();
        const QByteArray b = words[i].toUtf8();
        QVERIFY2(collateUtf8(a.constData(), int(a.size()), b.constData(), int(b.size())) <= 0,
                 qPrintable(words[i - 1] + QStringLiteral(" / ") + words[i]));
    }
}

QStringList StoreOrderTest::readAll(Direction direction, int pageSize)
{
    QStringList seen;
    for (;;) {
        auto page = items().readPage(direction, pageSize);
        if (!page)
            return {QStringLiteral("error: ") + page.error().describe()};
        if (page.value().empty())
            return seen;
        for (const Row& row : page.value())
            seen << QStringLiteral("%1|%2|%3").arg(row.record.text(Name)).arg(row.record.date(Day)).arg(row.id);
    }
}

void StoreOrderTest::pagesInBothDirectionsFollowTheKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("pageSize");
    for (int key : {int(ByName), int(ByDay), int(ByFlag)}) {
        const char* name = key == ByName ? "by name" : key == ByDay ? "by day" : "by flag, names descending";
        QTest::addRow("%s, one record a page", name) << key << 1;
        QTest::addRow("%s, pages of 7", name) << key << 7;
        QTest::addRow("%s, one page for everything", name) << key << 1000;
    }
}

void StoreOrderTest::pagesInBothDirectionsFollowTheKey()
{
    QFETCH(int, key);
    QFETCH(int, pageSize);
    struct Entry { QString name; DayCount day; QString flag; qint64 id; };
    std::vector<Entry> expected;
    QRandomGenerator random(7);
    const QStringList names = {QStringLiteral("Milk"), QStringLiteral("milk"), QStringLiteral("MILK"),
                               QStringLiteral("Émile"), QStringLiteral("émile"), QStringLiteral("Emile"),
                               QStringLiteral("eggs"), QStringLiteral("Zebra"), QStringLiteral("a b"),
                               QStringLiteral("ab")};
    const QStringList flags = {QStringLiteral("Y"), QStringLiteral("N"), QStringLiteral("y")};
    QVERIFY(items().begin());
    for (int i = 0; i < 150; ++i) {
        const QString name = names.at(int(random.bounded(int(names.size()))));
        const DayCount day = DayCount(random.bounded(3) + 1) * 1000; // duplicates on purpose
        const QString flag = flags.at(int(random.bounded(int(flags.size()))));
        const qint64 id = add(name, day, flag);
        QVERIFY(id > 0);
        expected.push_back({name, day, flag, id});
    }
    QVERIFY(items().commit());
    std::sort(expected.begin(), expected.end(), [key](const Entry& x, const Entry& y) {
        int c = 0;
        if (key == ByName) {
            c = collate(x.name, y.name);
            if (c == 0)
                c = x.day - y.day;
        } else if (key == ByDay) {
            c = x.day - y.day;
        } else {
            c = collate(x.flag, y.flag);
            if (c == 0)
                c = x.day - y.day;
            if (c == 0)
                c = -collate(x.name, y.name);
        }
        return c != 0 ? c < 0 : x.id < y.id;
    });
    QStringList forward;
    for (const Entry& e : expected)
        forward << QStringLiteral("%1|%2|%3").arg(e.name).arg(e.day).arg(e.id);
    QStringList backward = forward;
    std::reverse(backward.begin(), backward.end());

    items().setOrder(key);
    QCOMPARE(readAll(Direction::Forward, pageSize), forward);
    items().setOrder(key);
    QCOMPARE(readAll(Direction::Backward, pageSize), backward);

    // Turning round in the middle continues from the last record read.
    items().setOrder(key);
    QVERIFY(items().readPage(Direction::Forward, 10).ok());
    auto back = items().readPage(Direction::Backward, 3);
    QVERIFY(back.ok());
    QCOMPARE(back.value().size(), size_t{3});
    QCOMPARE(back.value().front().id, expected[8].id);
    QCOMPARE(back.value().back().id, expected[6].id);
}

void StoreOrderTest::recordsWithEveryKeyComponentEmptyAreLeftOut()
{
    add(QString(), 0);                      // nothing in any key
    add(QString(), 500);                    // no name: still in ByName by its day
    add(QStringLiteral("named"), 0);        // no day: not in ByDay
    add(QStringLiteral("both"), 300, QStringLiteral("Y"));

    const auto names = [this](int key) {
        items().setOrder(key);
        QStringList seen;
        for (auto r = items().next(); r.ok() && r.value(); r = items().next())
            seen << items().buffer().text(Name) + u'/' + QString::number(items().buffer().date(Day));
        return seen;
    };
    QCOMPARE(names(ByName), (QStringList{QStringLiteral("/500"), QStringLiteral("both/300"), QStringLiteral("named/0")}));
    QCOMPARE(names(ByDay), (QStringList{QStringLiteral("both/300"), QStringLiteral("/500")}));
    QCOMPARE(names(ByFlag), (QStringList{QStringLiteral("/500"), QStringLiteral("both/300")}));
    QCOMPARE(names(-1).size(), 4);
    QCOMPARE(items().count().value(), qint64{4});
}

void StoreOrderTest::positioningAtATypedPrefix()
{
    for (const char* name : {"apple", "Banana", "bandana", "BANJO", "cherry"})
        add(QString::fromLatin1(name), 1);
    items().setOrder(ByName);
    items().clearBuffer();
    items().buffer().setText(Name, u"ban");
    items().setPosition(1);
    QVERIFY(items().next().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("Banana"));

    items().clearBuffer();
    items().buffer().setText(Name, u"BANJ");
    items().setPosition(1);
    QVERIFY(items().previous().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("bandana"));

    items().clearBuffer();
    items().buffer().setText(Name, u"zzz");
    items().setPosition(1);
    QCOMPARE(items().next().value(), false); // end of the table is not an error
}

void StoreOrderTest::fetchFindsTheFirstExactMatchIgnoringCase()
{
    add(QStringLiteral("Émile"), 10);
    const qint64 first = add(QStringLiteral("émile"), 20);
    add(QStringLiteral("ÉMILE"), 20);
    items().clearBuffer();
    items().buffer().setText(Name, u"EMILE");
    items().buffer().setDate(Day, 20);
    QCOMPARE(items().fetch(ByName).code(), RecordNotAvailable); // accents count
    items().buffer().setText(Name, u"ÉMile");
    QVERIFY(items().fetch(ByName));
    QCOMPARE(items().currentRow(), first);
    QCOMPARE(items().buffer().text(Name), QStringLiteral("émile"));
    // Reading on continues after the fetched record.
    QVERIFY(items().next().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("ÉMILE"));
}

void StoreOrderTest::readingMovesOnAfterTheCurrentRecordIsDeleted()
{
    for (const char* name : {"a", "b", "c"})
        add(QString::fromLatin1(name), 1);
    items().setOrder(ByName);
    QVERIFY(items().next().value());
    QVERIFY(items().next().value());
    QVERIFY(items().remove());
    QVERIFY(items().next().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("c"));
    QVERIFY(items().previous().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("a"));
}

void StoreOrderTest::filterNarrowsEveryRead()
{
    add(QStringLiteral("a"), 1, QStringLiteral("Y"));
    add(QStringLiteral("b"), 2, QStringLiteral("N"));
    add(QStringLiteral("c"), 3, QStringLiteral("Y"));
    items().setOrder(ByName);
    items().setFilter(QStringLiteral("+\"flag\" = ? COLLATE BINARY"), {QStringLiteral("Y")});
    QCOMPARE(readAll(Direction::Forward, 1).size(), 2);
    items().setOrder(ByName);
    QCOMPARE(readAll(Direction::Backward, 5).size(), 2);
}

void StoreOrderTest::aRangeReadsOnlyItsRecordsFromAnyPosition()
{
    QVERIFY(items().begin());
    for (int i = 0; i < 30; ++i) {
        const QString flag = QStringList{QStringLiteral("N"), QStringLiteral("Y"), QStringLiteral("y"), QStringLiteral("Z")}.at(i % 4);
        add(QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0')), 100 + i % 3, flag);
    }
    QVERIFY(items().commit());
    items().setOrder(ByFlag);
    items().setRange({QStringLiteral("Y")});
    const QStringList inRange = readAll(Direction::Forward, 4);
    QCOMPARE(inRange.size(), 15); // "Y" and "y": the range compares as the key does
    items().setOrder(ByFlag);
    QStringList backward = readAll(Direction::Backward, 4);
    std::reverse(backward.begin(), backward.end());
    QCOMPARE(backward, inRange);

    const auto rowWithFlag = [this](const char* flag) {
        Row row{0, Record(itemLayout())};
        row.record.setText(Flag, QString::fromLatin1(flag));
        row.record.setDate(Day, 101);
        return row;
    };
    // From before the range: forward starts at its beginning, backward finds nothing.
    items().setPositionAfter(rowWithFlag("N"));
    QCOMPARE(readAll(Direction::Forward, 4), inRange);
    items().setPositionAfter(rowWithFlag("N"));
    QCOMPARE(readAll(Direction::Backward, 4), QStringList());
    // From beyond it: forward finds nothing, backward reads it from its end.
    items().setPositionAfter(rowWithFlag("Z"));
    QCOMPARE(readAll(Direction::Forward, 4), QStringList());
    items().setPositionAfter(rowWithFlag("Z"));
    QStringList fromEnd = readAll(Direction::Backward, 4);
    std::reverse(fromEnd.begin(), fromEnd.end());
    QCOMPARE(fromEnd, inRange);
}

void StoreOrderTest::queryPlansUseTheKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("position"); // 0 start, 1 seek, 2 after a record
    QTest::addColumn<int>("direction");
    const char* keys[] = {"by name", "by day", "by flag"};
    const char* positions[] = {"from the start", "from a seek", "after a record"};
    for (int key = 0; key < 3; ++key)
        for (int position = 0; position < 3; ++position)
            for (int direction = 0; direction < 2; ++direction)
                QTest::addRow("%s %s %s", keys[key], positions[position], direction ? "backward" : "forward")
                    << key << position << direction;
}

void StoreOrderTest::queryPlansUseTheKeys()
{
    QFETCH(int, key);
    QFETCH(int, position);
    QFETCH(int, direction);
    add(QStringLiteral("x"), 1);
    const auto parts = int(itemsDef().keys[size_t(key)].orderParts().size());
    items().setOrder(key);
    if (position == 1) {
        items().setPosition(1);
    } else if (position == 2) {
        auto page = items().readPage(Direction::Forward, 1);
        QVERIFY(page.ok() && !page.value().empty());
    }
    const QStringList queries = items().readQueries(direction ? Direction::Backward : Direction::Forward);
    QCOMPARE(queries.size(), position == 2 ? 1 + parts : 1);
    const QString index = QStringLiteral("items_") + itemsDef().keys[size_t(key)].name;
    for (const QString& query : queries) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray explain = ("EXPLAIN QUERY PLAN " + query).toUtf8();
        QCOMPARE(sqlite3_prepare_v2(items().file()->handle(), explain.constData(), -1, &stmt, nullptr), SQLITE_OK);
        QStringList plan;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            plan << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        sqlite3_finalize(stmt);
        const QString text = plan.join(QStringLiteral("; "));
        const QString shown = query + QStringLiteral(" => ") + text;
        QVERIFY2(text.contains(QStringLiteral("INDEX ") + index), qPrintable(shown));
        QVERIFY2(!text.contains(QStringLiteral("TEMP B-TREE")), qPrintable(shown));
        // From a position: a seek into the index (after a record, on the row id within the
        // group of equal keys), never a scan from its start.
        if (position != 0)
            QVERIFY2(text.startsWith(QStringLiteral("SEARCH")), qPrintable(shown));
        if (position == 2 && query == queries.front())
            QVERIFY2(text.contains(QStringLiteral("rowid")), qPrintable(shown));
    }
}

#include "tst_store_order.moc"

int runStoreOrderTests(int argc, char** argv)
{
    StoreOrderTest test;
    return QTest::qExec(&test, argc, argv);
}
