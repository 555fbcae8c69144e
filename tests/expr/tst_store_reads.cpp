// Filters on the store's real reads: a data file on disk, its notes read in key order page by
// page, with the compiled filter added to every read after the store's own terms.

#include "core/thread.h"
#include "expr_fixture.h"
#include "store/connection_setup.h"
#include "store/table.h"
#include "support/temp_workdir.h"

#include <QTest>

using namespace qly;
using namespace qly::expr;
using namespace qly::test;

class StoreReadTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFilterNarrowsKeyOrderPages_data();
    void aFilterNarrowsKeyOrderPages();
};

void StoreReadTest::aFilterNarrowsKeyOrderPages_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::newRow("one note a page") << 1;
    QTest::newRow("pages of three") << 3;
    QTest::newRow("everything in one page") << 50;
}

void StoreReadTest::aFilterNarrowsKeyOrderPages()
{
    QFETCH(int, pageSize);
    TempWorkdir dir;
    QVERIFY(dir.isValid());
    store::addConnectionSetup(installSqlFunctions);

    store::TableDef def;
    def.storeName = QStringLiteral("QLY\\!notes");
    def.layout = &notesLayout();
    def.keys = {{QStringLiteral("SNOR"), QStringLiteral("sno:snor"), {ReminderDate}}};
    store::Table table(def);
    Thread thread(QStringLiteral("main"));
    store::TableInstance& notes = table.on(thread);
    QVERIFY(notes.create());
    QVERIFY(notes.open(store::Access::ReadWrite));

    const DayCount today = testToday();
    const Note written[] = {
        {.topic = "Call Anna", .done = "N", .reminderDate = today + 1},
        {.topic = "Milk", .done = "N", .reminderDate = today + 3},
        {.topic = "Bread", .done = "N", .reminderDate = today + 4},
        {.topic = "Taxes", .done = "N", .reminderDate = today - 10},
        {.topic = "Paid", .done = "Y", .reminderDate = today},
        {.topic = "Someday", .done = "N"},
        {.topic = "Dentist", .done = "N", .reminderDate = today + 3},
        {.topic = "Gym", .done = "n", .reminderDate = today},
    };
    for (const Note& note : written) {
        notes.buffer() = recordOf(note);
        QVERIFY(notes.insert());
    }

    const Result<Filter> dueSoon =
        parseFilter(u"(sno:reminderdate <= today()+3 and sno:reminderdate > '' and sno:done='N')",
                    notesLayout());
    QVERIFY(dueSoon.ok());
    const SqlFilter sql = dueSoon.value().toSql(today);
    notes.setFilter(sql.sql, sql.values);
    notes.setOrder(0);

    QStringList topics;
    for (;;) {
        auto page = notes.readPage(store::Direction::Forward, pageSize);
        QVERIFY2(page.ok(), qPrintable(page.ok() ? QString() : page.error().describe()));
        if (page.value().empty())
            break;
        for (const store::Row& row : page.value()) {
            QVERIFY(dueSoon.value().matches(row.record, today));
            topics << row.record.text(Topic);
        }
    }
    QCOMPARE(topics, QStringList({"Taxes", "Call Anna", "Milk", "Dentist"}));
}

int runStoreReadTests(int argc, char** argv)
{
    StoreReadTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_store_reads.moc"
