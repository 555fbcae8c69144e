// The notes and Arcnotes managers through the real store: the open sequence and its messages,
// priming, changes with their confirmations and failures, and the archive move.

#include "data/note_managers.h"
#include "data/note_tables.h"
#include "errors/builtin_messages.h"
#include "store/faults.h"
#include "support/foreign_lock.h"
#include "support/scripted_presenter.h"
#include "support/task_runner.h"
#include "support/temp_workdir.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

using namespace qly;
using namespace qly::store;
using namespace qly::test;

class ManagersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void referencesLiveOnlyBetweenSetUpAndTeardown();
    void firstStartCreatesTheFileWithoutAMessage();
    void aNewNoteIsPrimedNotDone();
    void aSecondInstanceWorksReadOnly();
    void aRefusedReadOnlyOpenEndsTheProgram();
    void openFailures_data();
    void openFailures();
    void aMissingKeyIsRebuiltAfterInvalidKey();
    void usingATableBeforeOpeningItIsAFault();
    void updateFailures_data();
    void updateFailures();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void aFailedDeleteCanBeRetried_data();
    void aFailedDeleteCanBeRetried();
    void readingFailuresAreReportedButEndOfTableIsNot();
    void archiveMove_data();
    void archiveMove();

private:
    template <class T>
    T run(QCoro::Task<T> task)
    {
        TaskRunner<T> runner(std::move(task));
        if (!QTest::qWaitFor([&] { return runner.done(); }, 5000))
            qFatal("a manager operation never finished");
        return runner.result();
    }
    TableManager& notes() { return *noteManagers().notes; }
    NoteRecord& note() { return notesBuffer(*m_thread); }
    qint64 addNote(const QString& topic);
    qint64 rowsIn(const char* table);

    std::unique_ptr<TempWorkdir> m_dir;
    ScriptedPresenter m_presenter;
    std::unique_ptr<ErrorManager> m_errors;
    std::unique_ptr<Thread> m_thread;
    std::vector<int> m_exits;
};

void ManagersTest::init()
{
    m_dir = std::make_unique<TempWorkdir>();
    m_presenter.clear();
    m_exits.clear();
    m_errors = std::make_unique<ErrorManager>(m_presenter, [this](int code) { m_exits.push_back(code); });
    m_errors->addRows(builtinMessages());
    m_thread = std::make_unique<Thread>(QStringLiteral("main"));
    setUpNoteManagers(*m_errors);
    noteManagers().notesRelation->open(*m_thread);
}

void ManagersTest::cleanup()
{
    Faults::disarmAll();
    m_thread.reset();
    tearDownNoteManagers();
    m_errors.reset();
    m_dir.reset();
}

qint64 ManagersTest::addNote(const QString& topic)
{
    if (!run(notes().primeRecord(*m_thread)))
        return 0;
    note().setTopic(topic);
    if (!run(notes().insert(*m_thread)))
        return 0;
    return notes().instance(*m_thread).currentRow();
}

qint64 ManagersTest::rowsIn(const char* table)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2("QLY.db", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    qint64 count = -1;
    if (sqlite3_prepare_v2(db, (QByteArray("SELECT count(*) FROM ") + table).constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

void ManagersTest::referencesLiveOnlyBetweenSetUpAndTeardown()
{
    QVERIFY(noteManagers().notes && noteManagers().archive && noteManagers().notesRelation &&
            noteManagers().archiveRelation);
    QCOMPARE(noteManagers().notes->name(), QStringLiteral("QLY\\!notes"));
    QCOMPARE(noteManagers().archive->name(), QStringLiteral("qly\\!Arcnotes"));
    QCOMPARE(&noteManagers().notesRelation->table(), noteManagers().notes);
    m_thread.reset();
    tearDownNoteManagers();
    QVERIFY(!noteManagers().notes && !noteManagers().archive && !noteManagers().notesRelation &&
            !noteManagers().archiveRelation);
    setUpNoteManagers(*m_errors); // for cleanup
}

void ManagersTest::firstStartCreatesTheFileWithoutAMessage()
{
    QVERIFY(!QFileInfo::exists(QStringLiteral("QLY.db")));
    QVERIFY(addNote(QStringLiteral("first")) > 0);
    QVERIFY(QFileInfo::exists(QStringLiteral("QLY.db")));
    noteManagers().archiveRelation->open(*m_thread);
    QVERIFY(run(noteManagers().archive->use(*m_thread)));
    QCOMPARE(rowsIn("Arcnotes"), qint64{0});
    QVERIFY(m_presenter.shown().empty());
}

void ManagersTest::aNewNoteIsPrimedNotDone()
{
    QVERIFY(run(notes().use(*m_thread)));
    note().setTopic(u"left over");
    note().setReminder(u"Y");
    note().setReminderDate(100);
    note().setNoteDate(100);
    QVERIFY(run(notes().primeRecord(*m_thread)));
    QCOMPARE(note().done(), QStringLiteral("N"));
    QCOMPARE(note().reminder(), QString());
    QCOMPARE(note().topic(), QString());
    QCOMPARE(note().noteDate(), 0);
    QCOMPARE(note().reminderDate(), 0);
}

void ManagersTest::aSecondInstanceWorksReadOnly()
{
    QVERIFY(addNote(QStringLiteral("kept")) > 0);
    notes().close(*m_thread);
    ForeignWriteLock first(m_dir->filePath(QStringLiteral("QLY.db")));
    QVERIFY(first.held());

    notes().open(*m_thread);
    QVERIFY(run(notes().use(*m_thread)));
    QCOMPARE(m_presenter.titles(), QStringList{QStringLiteral("Access Denied")});
    QCOMPARE(m_presenter.shown()[0].text, QStringLiteral("Could not get write access to QLY\\!notes so trying read-only."));
    notes().instance(*m_thread).setOrder(SnoMainKey);
    QCOMPARE(run(notes().next(*m_thread)), ReadOutcome::Record);
    QCOMPARE(note().topic(), QStringLiteral("kept"));

    // A save there is refused with the reason, and nothing is lost.
    QCOMPARE(addNote(QStringLiteral("new")), qint64{0});
    QCOMPARE(m_presenter.titles().back(), QStringLiteral("Record Insert Error"));
    QVERIFY2(m_presenter.shown().back().text.contains(QStringLiteral("Error: Access Denied (5).")),
             qPrintable(m_presenter.shown().back().text));
    QVERIFY(m_exits.empty());
    QCOMPARE(rowsIn("notes"), qint64{1});
}

void ManagersTest::aRefusedReadOnlyOpenEndsTheProgram()
{
    ScopedFault refused(Operation::Open, StoreError::of(AccessDenied), 0);
    QVERIFY(!run(notes().use(*m_thread)));
    QCOMPARE(m_presenter.titles(), (QStringList{QStringLiteral("Access Denied"), QStringLiteral("File Access Error"),
                                                QStringLiteral("Halt")}));
    QCOMPARE(m_presenter.shown()[1].text,
             QStringLiteral("File QLY\\!notes could not be opened.  Error: Access Denied (5).  Press OK to end this application"));
    QCOMPARE(m_exits.size(), size_t{1});
}

void ManagersTest::openFailures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("title");
    QTest::newRow("creating the missing file fails") << "create" << "File Creation Error";
    QTest::newRow("the data file is not a database") << "garbage" << "File Access Error";
    QTest::newRow("rebuilding a missing key fails") << "rebuild" << "Key was not built";
}

void ManagersTest::openFailures()
{
    QFETCH(QString, situation);
    QFETCH(QString, title);
    const QByteArray garbage("not a database, just a letter\n");
    std::optional<ScopedFault> fault;
    if (situation == QLatin1String("create")) {
        fault.emplace(Operation::Create, StoreError::fileSystem(30, QStringLiteral("Read-only file system")));
    } else if (situation == QLatin1String("garbage")) {
        QFile file(QStringLiteral("QLY.db"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    } else {
        QVERIFY(addNote(QStringLiteral("x")) > 0);
        notes().close(*m_thread);
        sqlite3* db = nullptr;
        sqlite3_open("QLY.db", &db);
        QCOMPARE(sqlite3_exec(db, "DROP INDEX notes_SNOT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        notes().open(*m_thread);
        fault.emplace(Operation::RebuildKeys, StoreError::fileSystem(28, QStringLiteral("No space left on device")));
    }
    QVERIFY(!run(notes().use(*m_thread)));
    QCOMPARE(m_presenter.titles().mid(m_presenter.titles().size() - 2), (QStringList{title, QStringLiteral("Halt")}));
    QVERIFY(m_presenter.shown()[m_presenter.shown().size() - 2].text.endsWith(QStringLiteral("  Press OK to end this application")));
    QCOMPARE(m_exits.size(), size_t{1});
    if (situation == QLatin1String("garbage")) {
        QFile file(QStringLiteral("QLY.db"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), garbage);
    }
}

void ManagersTest::aMissingKeyIsRebuiltAfterInvalidKey()
{
    QVERIFY(addNote(QStringLiteral("x")) > 0);
    notes().close(*m_thread);
    sqlite3* db = nullptr;
    sqlite3_open("QLY.db", &db);
    QCOMPARE(sqlite3_exec(db, "DROP INDEX notes_MAINKEY", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    notes().open(*m_thread);
    QVERIFY(run(notes().use(*m_thread)));
    QCOMPARE(m_presenter.titles(), QStringList{QStringLiteral("Invalid Key")});
    QCOMPARE(m_presenter.shown()[0].text, QStringLiteral("QLY\\!notes key file is invalid. Key must be rebuilt."));
    notes().instance(*m_thread).setOrder(SnoMainKey);
    QCOMPARE(run(notes().next(*m_thread)), ReadOutcome::Record);
}

void ManagersTest::usingATableBeforeOpeningItIsAFault()
{
    QVERIFY(!run(noteManagers().archive->use(*m_thread)));
    QCOMPARE(m_presenter.titles(), (QStringList{QStringLiteral("File Usage Error"), QStringLiteral("Halt")}));
    QCOMPARE(m_exits.size(), size_t{1});
}

void ManagersTest::updateFailures_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("title");
    QTest::newRow("the transaction cannot start") << int(Operation::Begin) << "Transaction cancelled";
    QTest::newRow("writing fails") << int(Operation::Update) << "Record was not updated";
    QTest::newRow("the commit fails") << int(Operation::Commit) << "Record was not updated";
}

void ManagersTest::updateFailures()
{
    QFETCH(int, operation);
    QFETCH(QString, title);
    QVERIFY(addNote(QStringLiteral("before")) > 0);
    note().setTopic(u"after");
    {
        ScopedFault fault(static_cast<Operation>(operation), StoreError::of(RecordIsAlreadyHeld));
        QVERIFY(!run(noteManagers().notesRelation->update(*m_thread)));
    }
    QCOMPARE(m_presenter.titles(), QStringList{title});
    QVERIFY(m_presenter.shown()[0].text.contains(QStringLiteral("Record Is Already Held (43)")));
    QVERIFY(m_presenter.shown()[0].text.contains(QStringLiteral("QLY\\!notes")));
    QVERIFY(m_exits.empty());
    // Nothing was written, and the next try works.
    notes().instance(*m_thread).setOrder(SnoMainKey);
    QCOMPARE(run(notes().next(*m_thread)), ReadOutcome::Record);
    QCOMPARE(note().topic(), QStringLiteral("before"));
    note().setTopic(u"after");
    QVERIFY(run(noteManagers().notesRelation->update(*m_thread)));
}

void ManagersTest::deleteAsksFirst_data()
{
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<qint64>("left");
    QTest::newRow("No keeps the note") << MessageButton::No << qint64{1};
    QTest::newRow("Yes deletes it") << MessageButton::Yes << qint64{0};
}

void ManagersTest::deleteAsksFirst()
{
    QFETCH(MessageButton, answer);
    QFETCH(qint64, left);
    QVERIFY(addNote(QStringLiteral("doomed")) > 0);
    noteManagers().archiveRelation->open(*m_thread);
    QVERIFY(run(noteManagers().archive->use(*m_thread)));
    m_presenter.answer(answer);
    QCOMPARE(run(noteManagers().notesRelation->remove(*m_thread, Confirm::Yes)), left == 0);
    QCOMPARE(m_presenter.titles(), QStringList{QStringLiteral("Confirm Delete")});
    QCOMPARE(m_presenter.shown()[0].defaultButton, MessageButton::Yes);
    QCOMPARE(rowsIn("notes"), left);
    QCOMPARE(rowsIn("Arcnotes"), qint64{0});
}

void ManagersTest::aFailedDeleteCanBeRetried_data()
{
    QTest::addColumn<MessageButton>("retry");
    QTest::addColumn<qint64>("left");
    QTest::newRow("Yes tries again and deletes") << MessageButton::Yes << qint64{0};
    QTest::newRow("No keeps the note") << MessageButton::No << qint64{1};
}

void ManagersTest::aFailedDeleteCanBeRetried()
{
    QFETCH(MessageButton, retry);
    QFETCH(qint64, left);
    QVERIFY(addNote(QStringLiteral("stubborn")) > 0);
    ScopedFault fault(Operation::Delete, StoreError::of(RecordIsAlreadyHeld), 1);
    m_presenter.answer(MessageButton::Ok);
    m_presenter.answer(retry);
    QCOMPARE(run(noteManagers().notesRelation->remove(*m_thread, Confirm::No)), left == 0);
    QCOMPARE(m_presenter.titles(), (QStringList{QStringLiteral("Record was not deleted"), QStringLiteral("Record Delete Error")}));
    QCOMPARE(m_presenter.shown()[1].buttons, (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No}));
    QCOMPARE(rowsIn("notes"), left);
}

void ManagersTest::readingFailuresAreReportedButEndOfTableIsNot()
{
    QVERIFY(addNote(QStringLiteral("only")) > 0);
    store::TableInstance& table = notes().instance(*m_thread);
    table.setOrder(SnoMainKey);
    QCOMPARE(run(notes().next(*m_thread)), ReadOutcome::Record);
    QCOMPARE(run(notes().next(*m_thread)), ReadOutcome::EndOfTable);
    QVERIFY(m_presenter.shown().empty());
    ScopedFault fault(Operation::Read, StoreError::fileSystem(5, QStringLiteral("Input/output error")));
    table.setOrder(SnoMainKey);
    QCOMPARE(run(notes().next(*m_thread)), ReadOutcome::Failed);
    QCOMPARE(m_presenter.titles(), QStringList{QStringLiteral("Record Retrieval Error")});
    QCOMPARE(m_presenter.shown()[0].text,
             QStringLiteral("Error: (Input/output error (5)) attempting to access a record from the QLY\\!notes file.  Returning to previous window."));
}

void ManagersTest::archiveMove_data()
{
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("failing"); // -1 none
    QTest::addColumn<qint64>("notesLeft");
    QTest::addColumn<qint64>("archived");
    QTest::newRow("a stored note moves") << int(NoteOrigin::Stored) << -1 << qint64{1} << qint64{1};
    QTest::newRow("a new note goes to the archive only") << int(NoteOrigin::New) << -1 << qint64{2} << qint64{1};
    QTest::newRow("a failed archive add changes neither table") << int(NoteOrigin::Stored) << int(Operation::Insert) << qint64{2} << qint64{0};
    QTest::newRow("a failed removal changes neither table") << int(NoteOrigin::Stored) << int(Operation::Delete) << qint64{2} << qint64{0};
    QTest::newRow("a failed commit changes neither table") << int(NoteOrigin::Stored) << int(Operation::Commit) << qint64{2} << qint64{0};
}

void ManagersTest::archiveMove()
{
    QFETCH(int, origin);
    QFETCH(int, failing);
    QFETCH(qint64, notesLeft);
    QFETCH(qint64, archived);
    QVERIFY(addNote(QStringLiteral("stays")) > 0);
    QVERIFY(addNote(QStringLiteral("Dentist")) > 0);
    note().setReminder(u"Y");
    note().setNoteDate(fromQDate(QDate(2026, 12, 1)));
    note().setReminderDate(fromQDate(QDate(2026, 12, 14)));
    note().setMainMemo(u"Tuesday 9:30, bring the form");
    note().setUrl(u"https://example.org");
    note().setEmailAddress(u"desk@example.org");
    const NoteRecord moved = note();
    TableManager& archive = *noteManagers().archive;
    archive.open(*m_thread);
    QVERIFY(run(archive.use(*m_thread))); // created before any fault is armed

    std::optional<ScopedFault> fault;
    if (failing >= 0)
        fault.emplace(static_cast<Operation>(failing), StoreError::fileSystem(28, QStringLiteral("No space left on device")));
    const ArchiveMoveOutcome outcome = run(moveToArchive(*m_thread, static_cast<NoteOrigin>(origin)));
    QCOMPARE(outcome.ok(), failing < 0);
    QVERIFY(m_presenter.shown().empty()); // the note form reports, not the move
    fault.reset();
    QCOMPARE(rowsIn("notes"), notesLeft);
    QCOMPARE(rowsIn("Arcnotes"), archived);
    if (archived == 0)
        return;
    archive.instance(*m_thread).setOrder(ArcSnot);
    QCOMPARE(run(archive.next(*m_thread)), ReadOutcome::Record);
    NoteRecord copy(NoteRecord::notesLayout());
    copy.copyFieldsByName(archiveBuffer(*m_thread));
    QVERIFY(copy.sameValues(moved));
}

#include "tst_managers.moc"

int runManagersTests(int argc, char** argv)
{
    ManagersTest test;
    return QTest::qExec(&test, argc, argv);
}
