// The note record, the notes and Arcnotes tables with their six keys, and the quillary-data tool.

#include "data/note_record.h"
#include "data/note_tables.h"
#include "data/note_transfer.h"
#include "store/connection_setup.h"
#include "store/table.h"
#include "support/temp_workdir.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace qly;
using namespace qly::store;

namespace {
DayCount day(int y, int m, int d)
{
    return fromQDate(QDate(y, m, d));
}
} // namespace

class DataTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layoutHasTheEightFieldsInStoredOrder();
    void fieldsAreCutAtTheirWidth();
    void leapDayPacksAndReadsBack();
    void archiveCopyTakesEveryFieldByName();

    void bothTablesLiveInOneFileWhateverTheCase();
    void keyOrders_data();
    void keyOrders();
    void duplicatesAreKeptOnEveryKey();
    void accentedTopicsEqualInEveryKey();

    void exportThenImportRoundTripsExactly();
    void aBadLineRejectsTheWholeImport_data();
    void aBadLineRejectsTheWholeImport();
    void checkReportsDamagedKeys_data();
    void checkReportsDamagedKeys();
    void toolWorksBesideARunningProgram();
    void exportFollowsAKeyThroughAFilter_data();
    void exportFollowsAKeyThroughAFilter();

private:
    std::unique_ptr<test::TempWorkdir> m_dir;
    std::unique_ptr<Thread> m_thread;
    std::unique_ptr<Table> m_notes;
    std::unique_ptr<Table> m_archive;

    TableInstance& notes() { return m_notes->on(*m_thread); }
    TableInstance& archive() { return m_archive->on(*m_thread); }
    NoteRecord& note() { return static_cast<NoteRecord&>(notes().buffer()); }
    void open(TableInstance& table)
    {
        Status opened = table.open(Access::ReadWrite);
        if (opened.code() == FileNotFound) {
            QVERIFY(table.create());
            opened = table.open(Access::ReadWrite);
        }
        QVERIFY2(opened, qPrintable(opened.ok() ? QString() : opened.error().describe()));
    }
    void addNote(const QString& topic, DayCount noteDate, const QString& reminder = {},
                 DayCount reminderDate = 0, const QString& done = QStringLiteral("N"))
    {
        notes().clearBuffer();
        note().setTopic(topic);
        note().setNoteDate(noteDate);
        note().setReminder(reminder);
        note().setReminderDate(reminderDate);
        note().setDone(done);
        QVERIFY(notes().insert());
    }
    QStringList topicsInOrder(int key)
    {
        QStringList topics;
        notes().setOrder(key);
        for (auto more = notes().next(); more.ok() && more.value(); more = notes().next())
            topics << note().topic();
        return topics;
    }
    QProcess* tool(const QStringList& args);
};

void DataTest::init()
{
    m_dir = std::make_unique<test::TempWorkdir>();
    QVERIFY(m_dir->isValid());
    m_thread = std::make_unique<Thread>(QStringLiteral("main"));
    m_notes = std::make_unique<Table>(notesTableDef());
    m_archive = std::make_unique<Table>(archiveTableDef());
}

void DataTest::cleanup()
{
    m_archive.reset();
    m_notes.reset();
    m_thread.reset();
    m_dir.reset();
}

void DataTest::layoutHasTheEightFieldsInStoredOrder()
{
    const RecordLayout& layout = NoteRecord::notesLayout();
    const QStringList names = {QStringLiteral("SNO:TOPIC"), QStringLiteral("SNO:REMINDER"),
                               QStringLiteral("SNO:NOTEDATE"), QStringLiteral("SNO:REMINDERDATE"),
                               QStringLiteral("SNO:MAINMEMO"), QStringLiteral("SNO:DONE"),
                               QStringLiteral("SNO:URL"), QStringLiteral("SNO:EMAILADDRESS")};
    const QList<int> widths = {60, 1, 4, 4, 5050, 1, 60, 50};
    QCOMPARE(layout.fieldCount(), 8);
    int bytes = 0;
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(layout.qualifiedName(i), names[i]);
        QCOMPARE(layout.field(i).width, widths[i]);
        bytes += widths[i];
    }
    QCOMPARE(bytes, 5230);
    QCOMPARE(layout.indexOf(u"sno:EmailAddress"), int(NoteRecord::EmailAddress));
    QCOMPARE(layout.indexOf(u"arc:topic"), -1);
    QCOMPARE(NoteRecord::archiveLayout().indexOf(u"ARC:TOPIC"), int(NoteRecord::Topic));

    NoteRecord cleared;
    QVERIFY(cleared.isClear());
    QCOMPARE(cleared.paddedText(NoteRecord::Topic), QString(60, u' '));
    QCOMPARE(cleared.packedDate(NoteRecord::ReminderDate), 0u);
}

void DataTest::fieldsAreCutAtTheirWidth()
{
    open(notes());
    const QString topic = QString(60, u'T');
    const QString memo = QString(5050, u'm');
    notes().clearBuffer();
    note().setTopic(topic + QStringLiteral("cut"));
    note().setMainMemo(memo + QStringLiteral("cut"));
    note().setEmailAddress(QString(49, u'e') + QStringLiteral("ÉÉ"));
    QVERIFY(notes().insert());
    const qint64 row = notes().currentRow();
    notes().clearBuffer();
    QVERIFY(notes().fetchRow(row));
    QCOMPARE(note().topic(), topic);
    QCOMPARE(note().mainMemo(), memo);
    QCOMPARE(note().emailAddress(), QString(49, u'e') + QStringLiteral("É"));
}

void DataTest::leapDayPacksAndReadsBack()
{
    open(notes());
    notes().clearBuffer();
    note().setReminderDate(day(2024, 2, 29));
    QCOMPARE(note().packedDate(NoteRecord::ReminderDate), 2024u * 65536u + 2u * 256u + 29u);
    QVERIFY(notes().insert());
    const qint64 row = notes().currentRow();
    notes().clearBuffer();
    QVERIFY(notes().fetchRow(row));
    QCOMPARE(note().reminderDate(), day(2024, 2, 29));
}

void DataTest::archiveCopyTakesEveryFieldByName()
{
    NoteRecord current(NoteRecord::notesLayout());
    current.setTopic(u"Dentist");
    current.setReminder(u"Y");
    current.setNoteDate(day(2026, 12, 1));
    current.setReminderDate(day(2026, 12, 14));
    current.setMainMemo(u"Tuesday 9:30");
    current.setDone(u"N");
    current.setUrl(u"https://example.org/dentist");
    current.setEmailAddress(u"desk@example.org");
    NoteRecord archived(NoteRecord::archiveLayout());
    archived.copyFieldsByName(current);
    QVERIFY(archived.sameValues(current));
    QCOMPARE(archived.layout().prefix(), QStringLiteral("ARC"));
}

void DataTest::bothTablesLiveInOneFileWhateverTheCase()
{
    QCOMPARE(notesTableDef().dataFileName(), QStringLiteral("QLY"));
    QCOMPARE(archiveTableDef().dataFileName(), QStringLiteral("qly"));
    // The archive is opened first here, under its lower-case name: still QLY.db.
    open(archive());
    open(notes());
    QCOMPARE(QDir::current().entryList({QStringLiteral("*.db")}, QDir::Files), QStringList{QStringLiteral("QLY.db")});
    QCOMPARE(notes().path(), archive().path());
}

void DataTest::keyOrders_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("topics");
    // Fixture (topic, note date, archive mark, reminder date, done) added in this order:
    //   "Milk"  1 Dec, -, -,      N      "bread" 3 Dec, -, 5 Dec, N
    //   "Tax"   2 Dec, Y, -,      Y      ""      0,     -, -,     N   (nothing in MAINKEY, ALLNOTES, SNOT)
    //   "Eggs"  4 Dec, -, -,      N
    QTest::newRow("sno:SNOT by archive mark, reminder date, topic")
        << int(SnoSnot) << QStringList{QStringLiteral("Eggs"), QStringLiteral("Milk"), QStringLiteral("bread"), QStringLiteral("Tax")};
    QTest::newRow("sno:mainkey by topic then note date, blank topic without date left out")
        << int(SnoMainKey) << QStringList{QStringLiteral("bread"), QStringLiteral("Eggs"), QStringLiteral("Milk"), QStringLiteral("Tax")};
    QTest::newRow("sno:allnotes by note date, no date left out")
        << int(SnoAllNotes) << QStringList{QStringLiteral("Milk"), QStringLiteral("Tax"), QStringLiteral("bread"), QStringLiteral("Eggs")};
    QTest::newRow("sno:Donyet by done flag, reminder date, newest note first")
        << int(SnoDonYet) << QStringList{QStringLiteral("Eggs"), QStringLiteral("Milk"), QString(), QStringLiteral("bread"), QStringLiteral("Tax")};
}

void DataTest::keyOrders()
{
    QFETCH(int, key);
    QFETCH(QStringList, topics);
    open(notes());
    addNote(QStringLiteral("Milk"), day(2026, 12, 1));
    addNote(QStringLiteral("bread"), day(2026, 12, 3), {}, day(2026, 12, 5));
    addNote(QStringLiteral("Tax"), day(2026, 12, 2), QStringLiteral("Y"), 0, QStringLiteral("Y"));
    addNote(QString(), 0);
    addNote(QStringLiteral("Eggs"), day(2026, 12, 4));
    QCOMPARE(topicsInOrder(key), topics);
    QCOMPARE(notes().count().value(), qint64{5});
}

void DataTest::duplicatesAreKeptOnEveryKey()
{
    open(notes());
    addNote(QStringLiteral("Same"), day(2026, 1, 1));
    addNote(QStringLiteral("Same"), day(2026, 1, 1));
    addNote(QStringLiteral("SAME"), day(2026, 1, 1));
    for (int key : {SnoSnot, SnoMainKey, SnoAllNotes, SnoDonYet})
        QCOMPARE(topicsInOrder(key).size(), 3);
}

void DataTest::accentedTopicsEqualInEveryKey()
{
    open(notes());
    addNote(QStringLiteral("Fable"), day(2026, 1, 1));
    addNote(QStringLiteral("émile"), day(2026, 1, 1));
    addNote(QStringLiteral("Dune"), day(2026, 1, 1));
    addNote(QStringLiteral("Émile"), day(2026, 1, 1));
    addNote(QStringLiteral("Emile"), day(2026, 1, 1));
    // Case-only differences sort together, accented E among the E's, in insertion order.
    const QStringList expected = {QStringLiteral("Dune"), QStringLiteral("Emile"), QStringLiteral("émile"),
                                  QStringLiteral("Émile"), QStringLiteral("Fable")};
    QCOMPARE(topicsInOrder(SnoMainKey), expected);
    QCOMPARE(topicsInOrder(SnoSnot), expected);
    notes().clearBuffer();
    note().setTopic(u"ÉMILE");
    note().setNoteDate(day(2026, 1, 1));
    QVERIFY(notes().fetch(SnoMainKey));
    QCOMPARE(note().topic(), QStringLiteral("émile"));
}

void DataTest::exportThenImportRoundTripsExactly()
{
    const QByteArray lines =
        "{\"topic\":\"Émile's \\\"party\\\"\",\"reminder\":\"Y\",\"notedate\":\"2024-02-29\",\"reminderdate\":\"9999-12-31\","
        "\"mainmemo\":\"line one\\nline\\ttwo \\\\ \\u0001 日本\",\"done\":\"N\",\"url\":\"https://example.org/?a=1&b=2\","
        "\"emailaddress\":\"emile@example.org\"}\n"
        "{\"topic\":\"\",\"reminder\":\"\",\"notedate\":null,\"reminderdate\":null,\"mainmemo\":\"\",\"done\":\"\",\"url\":\"\",\"emailaddress\":\"\"}\n"
        "{\"topic\":\"Ünïcödé 😀\",\"reminder\":\"N\",\"notedate\":\"1800-12-29\",\"reminderdate\":\"2026-12-14\","
        "\"mainmemo\":\"" + QByteArray(5050, 'x') + "\",\"done\":\"Y\",\"url\":\"/home/user/notes.txt\",\"emailaddress\":\"\"}\n";
    QBuffer in;
    in.setData(lines);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const TransferOutcome imported = importTable(notesTableDef(), in);
    QVERIFY2(imported.ok(), qPrintable(imported.error));
    QCOMPARE(imported.count, qint64{3});

    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    const TransferOutcome exported = exportTable(notesTableDef(), out);
    QVERIFY2(exported.ok(), qPrintable(exported.error));
    QCOMPARE(out.data(), lines);

    // An archive that was never created exports as empty, not as an error.
    QBuffer none;
    QVERIFY(none.open(QIODevice::WriteOnly));
    QVERIFY(exportTable(archiveTableDef(), none).ok());
    QVERIFY(none.data().isEmpty());
}

void DataTest::aBadLineRejectsTheWholeImport_data()
{
    QTest::addColumn<QByteArray>("badLine");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not JSON") << QByteArray("{\"topic\": ") << QStringLiteral("not valid JSON");
    QTest::newRow("not an object") << QByteArray("[1,2]") << QStringLiteral("not a JSON object");
    QTest::newRow("unknown key") << QByteArray("{\"subject\":\"x\"}") << QStringLiteral("unknown key \"subject\"");
    QTest::newRow("text of the wrong type") << QByteArray("{\"topic\":5}") << QStringLiteral("\"topic\" must be text");
    QTest::newRow("topic longer than 60") << ("{\"topic\":\"" + QByteArray(61, 'x') + "\"}") << QStringLiteral("longer than 60");
    QTest::newRow("impossible date") << QByteArray("{\"notedate\":\"2023-02-29\"}") << QStringLiteral("\"notedate\" must be a date");
    QTest::newRow("date before the calendar starts") << QByteArray("{\"notedate\":\"1800-12-28\"}") << QStringLiteral("\"notedate\" must be a date");
    QTest::newRow("date in another form") << QByteArray("{\"reminderdate\":\"12/14/26\"}") << QStringLiteral("\"reminderdate\" must be a date");
}

void DataTest::aBadLineRejectsTheWholeImport()
{
    QFETCH(QByteArray, badLine);
    QFETCH(QString, reason);
    open(notes());
    addNote(QStringLiteral("already there"), day(2026, 1, 1));
    notes().close();

    QBuffer in;
    in.setData("{\"topic\":\"one\"}\n\n{\"topic\":\"two\"}\n" + badLine + "\n{\"topic\":\"four\"}\n");
    QVERIFY(in.open(QIODevice::ReadOnly));
    const TransferOutcome outcome = importTable(notesTableDef(), in);
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error.startsWith(QStringLiteral("line 4: ")), qPrintable(outcome.error));
    QVERIFY2(outcome.error.contains(reason), qPrintable(outcome.error));

    open(notes());
    QCOMPARE(notes().count().value(), qint64{1});
}

void DataTest::checkReportsDamagedKeys_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a key dropped by another tool") << QStringLiteral("DROP INDEX notes_DONYET")
                                                   << QStringLiteral("key sno:Donyet of notes is missing");
    QTest::newRow("index entries written under another text order")
        << QStringLiteral("reindex-in-reverse-order") << QStringLiteral("notes_MAINKEY");
}

void DataTest::checkReportsDamagedKeys()
{
    QFETCH(QString, damage);
    QFETCH(QString, problem);
    open(notes());
    for (const char* topic : {"alpha", "Beta", "gamma", "Delta"})
        addNote(QString::fromLatin1(topic), day(2026, 1, 1));
    notes().close();
    QString error;
    QCOMPARE(checkDataFile({&notesTableDef(), &archiveTableDef()}, &error), QStringList());
    QVERIFY(error.isEmpty());

    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2("QLY.db", &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    if (damage == QLatin1String("reindex-in-reverse-order")) {
        // A tool that registers its own "QNOCASE" with a different order corrupts the keys.
        const auto reversed = [](void*, int an, const void* a, int bn, const void* b) {
            const int c = std::memcmp(a, b, size_t(std::min(an, bn)));
            return c != 0 ? -c : bn - an;
        };
        sqlite3_create_collation(db, "QNOCASE", SQLITE_UTF8, nullptr, reversed);
        QCOMPARE(sqlite3_exec(db, "REINDEX notes_MAINKEY", nullptr, nullptr, nullptr), SQLITE_OK);
    } else {
        QCOMPARE(sqlite3_exec(db, damage.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close(db);

    const QStringList problems = checkDataFile({&notesTableDef(), &archiveTableDef()}, &error);
    QVERIFY(error.isEmpty());
    QVERIFY2(problems.join(u'\n').contains(problem), qPrintable(problems.join(u'\n')));
}

QProcess* DataTest::tool(const QStringList& args)
{
    auto* process = new QProcess(this);
    process->setWorkingDirectory(m_dir->path());
    process->start(QStringLiteral(QUILLARY_DATA_TOOL), args);
    process->waitForFinished(30000);
    return process;
}

void DataTest::toolWorksBesideARunningProgram()
{
    QFile input(m_dir->filePath(QStringLiteral("in.jsonl")));
    QVERIFY(input.open(QIODevice::WriteOnly));
    input.write("{\"topic\":\"from the tool\",\"notedate\":\"2026-12-11\",\"done\":\"N\"}\n");
    input.close();
    QProcess* imported = tool({QStringLiteral("import"), QStringLiteral("in.jsonl")});
    QCOMPARE(imported->exitCode(), 0);

    // While this process has the data file open for writing, the tool can read but not write.
    open(notes());
    QProcess* exported = tool({QStringLiteral("export")});
    QCOMPARE(exported->exitCode(), 0);
    QVERIFY(exported->readAllStandardOutput().startsWith("{\"topic\":\"from the tool\""));
    QProcess* refused = tool({QStringLiteral("import"), QStringLiteral("in.jsonl")});
    QCOMPARE(refused->exitCode(), 1);
    QVERIFY2(refused->readAllStandardError().contains("in use by another program"), "import should say why");
    QProcess* check = tool({QStringLiteral("check")});
    QCOMPARE(check->exitCode(), 0);

    // A bad file: non-zero status, the line number on stderr, nothing written.
    QVERIFY(input.open(QIODevice::WriteOnly));
    input.write("{\"topic\":\"fine\"}\n{\"topic\":\n");
    input.close();
    notes().close();
    QProcess* bad = tool({QStringLiteral("import"), QStringLiteral("in.jsonl")});
    QCOMPARE(bad->exitCode(), 1);
    QVERIFY(bad->readAllStandardError().contains("line 2:"));
    open(notes());
    QCOMPARE(notes().count().value(), qint64{1});

    QProcess* wrong = tool({QStringLiteral("export"), QStringLiteral("--table"), QStringLiteral("elsewhere")});
    QCOMPARE(wrong->exitCode(), 2);
}

void DataTest::exportFollowsAKeyThroughAFilter_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("topics");
    QTest::addColumn<QString>("error");
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    QTest::newRow("done items newest first")
        << QStringList{s("--key"), s("sno:Donyet"), s("--order"), s("-sno:notedate"), s("--filter"), s("sno:done='Y'")}
        << 0 << QStringList{s("new done"), s("old done")} << QString();
    QTest::newRow("a query on the everything order")
        << QStringList{s("--key"), s("sno:mainkey"), s("--filter"), s("CONTAINS(UPPER(sno:TOPIC),'DONE')")}
        << 0 << QStringList{s("new done"), s("old done")} << QString();
    QTest::newRow("a key by its description in another case")
        << QStringList{s("--key"), s("SNO:ALLNOTES")} << 0
        << QStringList{s("old done"), s("open"), s("new done")} << QString();
    QTest::newRow("a malformed filter says where")
        << QStringList{s("--filter"), s("sno:done = ")} << 1 << QStringList{} << s("filter: ");
    QTest::newRow("an archive field in a notes filter")
        << QStringList{s("--filter"), s("arc:done='Y'")} << 1 << QStringList{} << s("arc:done");
    QTest::newRow("an unknown key")
        << QStringList{s("--key"), s("sno:colour")} << 1 << QStringList{} << s("has no key sno:colour");
    QTest::newRow("an order the key does not keep")
        << QStringList{s("--key"), s("sno:Donyet"), s("--order"), s("sno:topic")} << 1 << QStringList{} << s("does not keep");
}

void DataTest::exportFollowsAKeyThroughAFilter()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, topics);
    QFETCH(QString, error);
    open(notes());
    addNote(QStringLiteral("old done"), day(2026, 1, 1), {}, 0, QStringLiteral("Y"));
    addNote(QStringLiteral("open"), day(2026, 2, 1));
    addNote(QStringLiteral("new done"), day(2026, 3, 1), {}, 0, QStringLiteral("Y"));
    addNote(QString(), 0); // in no order but the one the notes were added in
    notes().close();

    QProcess* run = tool(QStringList{QStringLiteral("export")} + args);
    QCOMPARE(run->exitCode(), status);
    const QString err = QString::fromUtf8(run->readAllStandardError());
    QVERIFY2(err.contains(error), qPrintable(err));
    QStringList seen;
    for (const QByteArray& line : run->readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        NoteRecord record;
        QVERIFY(!recordFromJsonLine(line, record));
        seen << record.topic();
    }
    QCOMPARE(seen, topics);
}

#include "tst_data.moc"

int runDataTests(int argc, char** argv)
{
    DataTest test;
    return QTest::qExec(&test, argc, argv);
}
