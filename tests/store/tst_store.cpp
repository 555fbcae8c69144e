// Opening, creating, locking, changing and transactions of the keyed store.

#include "store_fixture.h"

#include "store/faults.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

#include <sys/stat.h>

using namespace qly;
using namespace qly::store;
using namespace qly::test;

class StoreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void firstOpenCreatesOneFileForBothTables();
    void openingTwiceIsAlreadyOpen();
    void aFileThatIsNotADatabaseIsNeverOverwritten();
    void damagedKeysAreRebuilt_data();
    void damagedKeysAreRebuilt();
    void anotherProgramsWriteLockMeansReadOnly();
    void writesAreRefusedOnAReadOnlyInstance();
    void insertUpdateRemoveTheCurrentRecord();
    void eachThreadHasItsOwnBufferAndPosition();
    void savedStateRestoresBufferAndPosition();
    void rolledBackAndFailedCommitsLeaveNothing_data();
    void rolledBackAndFailedCommitsLeaveNothing();
    void aTransactionWaitsForAnotherWriterThenGivesUp();
    void injectedFaultsReachTheCaller_data();
    void injectedFaultsReachTheCaller();
    void aFileSystemErrorCarriesTheSystemsText();

private:
    std::unique_ptr<TempWorkdir> m_dir;
    std::unique_ptr<Thread> m_thread;
    std::unique_ptr<Table> m_items;
    std::unique_ptr<Table> m_others;

    TableInstance& items() { return m_items->on(*m_thread); }
    TableInstance& others() { return m_others->on(*m_thread); }
    QString dataFile() const { return m_dir->filePath(QStringLiteral("TDB.db")); }
    void add(const QString& name, DayCount day = 0, const QString& flag = {})
    {
        items().clearBuffer();
        items().buffer().setText(Name, name);
        items().buffer().setDate(Day, day);
        items().buffer().setText(Flag, flag);
        QVERIFY(items().insert());
    }
};

void StoreTest::init()
{
    m_dir = std::make_unique<TempWorkdir>();
    QVERIFY(m_dir->isValid());
    m_thread = std::make_unique<Thread>(QStringLiteral("main"));
    m_items = std::make_unique<Table>(itemsDef());
    m_others = std::make_unique<Table>(othersDef());
}

void StoreTest::cleanup()
{
    Faults::disarmAll();
    m_others.reset();
    m_items.reset();
    m_thread.reset();
    m_dir.reset();
}

void StoreTest::firstOpenCreatesOneFileForBothTables()
{
    QCOMPARE(items().open(Access::ReadWrite).code(), FileNotFound);
    QVERIFY(!QFileInfo::exists(dataFile()));

    QVERIFY(items().create());
    QVERIFY(items().open(Access::ReadWrite));
    QVERIFY(QFileInfo::exists(dataFile()));

    struct stat info{};
    QCOMPARE(::stat(QFile::encodeName(dataFile()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u);

    // "TDB" and "tdb" are one data file: the second table is added to it.
    QCOMPARE(others().open(Access::ReadWrite).code(), FileNotFound);
    QVERIFY(others().create());
    QVERIFY(others().open(Access::ReadWrite));
    QCOMPARE(others().path(), items().path());
    QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("*.db")}, QDir::Files).size(), 1);

    RawConnection raw(dataFile());
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw.handle(), "PRAGMA user_version", -1, &stmt, nullptr);
    QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
    QCOMPARE(sqlite3_column_int(stmt, 0), DataFile::kSchemaVersion);
    sqlite3_finalize(stmt);
    // Nothing is left beside the file after a save: no journal, no write-ahead log.
    add(QStringLiteral("saved"));
    QVERIFY(!QFileInfo::exists(dataFile() + QStringLiteral("-journal")));
    QVERIFY(!QFileInfo::exists(dataFile() + QStringLiteral("-wal")));
}

void StoreTest::openingTwiceIsAlreadyOpen()
{
    QVERIFY(openCreating(items()));
    QCOMPARE(items().open(Access::ReadWrite).code(), FileAlreadyOpen);
    items().close();
    QVERIFY(items().open(Access::ReadWrite));
}

void StoreTest::aFileThatIsNotADatabaseIsNeverOverwritten()
{
    const QByteArray letter = QByteArray("Dear diary, this is not a database.\n").repeated(200);
    {
        QFile file(dataFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(letter);
    }
    const Status opened = items().open(Access::ReadWrite);
    QCOMPARE(opened.code(), FileSystemError);
    QVERIFY2(opened.error().osText.contains(QStringLiteral("not a database")), qPrintable(opened.error().osText));
    QVERIFY(!items().create());
    QVERIFY(!items().rebuildKeys());

    QFile file(dataFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), letter);
}

void StoreTest::damagedKeysAreRebuilt_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("an index is missing") << QStringLiteral("DROP INDEX items_BYDAY");
    QTest::newRow("an index is defined differently")
        << QStringLiteral("DROP INDEX items_BYDAY; CREATE INDEX items_BYDAY ON items(day DESC)");
    QTest::newRow("keys were built under another text order")
        << QStringLiteral("UPDATE quillary_meta SET value = 'old-order' WHERE key = 'collation:items'");
}

void StoreTest::damagedKeysAreRebuilt()
{
    QFETCH(QString, damage);
    QVERIFY(openCreating(items()));
    add(QStringLiteral("b"), 20);
    add(QStringLiteral("a"), 10);
    items().close();
    {
        RawConnection raw(dataFile());
        QVERIFY2(raw.exec(damage), qPrintable(raw.lastError()));
    }
    QCOMPARE(items().open(Access::ReadWrite).code(), KeyFileMustBeRebuilt);
    QVERIFY(items().rebuildKeys());
    QVERIFY(items().open(Access::ReadWrite));
    items().setOrder(ByDay);
    QVERIFY(items().next().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("a"));
}

void StoreTest::anotherProgramsWriteLockMeansReadOnly()
{
    QVERIFY(openCreating(items()));
    add(QStringLiteral("kept"));
    items().close();

    ForeignWriteLock other(dataFile());
    QVERIFY(other.held());
    QCOMPARE(items().open(Access::ReadWrite).code(), AccessDenied);
    QVERIFY(items().open(Access::ReadOnly));
    items().setOrder(ByName);
    QVERIFY(items().next().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("kept"));
    QCOMPARE(items().insert().code(), AccessDenied);
    QCOMPARE(items().update().code(), AccessDenied);
    QCOMPARE(items().remove().code(), AccessDenied);
    QCOMPARE(items().begin().code(), AccessDenied);
}

void StoreTest::writesAreRefusedOnAReadOnlyInstance()
{
    // Another thread has the file open for writing; this one asked for reading only.
    QVERIFY(openCreating(items()));
    Thread about(QStringLiteral("about"));
    TableInstance& readOnly = m_items->on(about);
    QVERIFY(readOnly.open(Access::ReadOnly));
    readOnly.clearBuffer();
    readOnly.buffer().setText(Name, u"x");
    QCOMPARE(readOnly.insert().code(), AccessDenied);
    QVERIFY(items().insert());
}

void StoreTest::insertUpdateRemoveTheCurrentRecord()
{
    QVERIFY(openCreating(items()));
    QCOMPARE(items().update().code(), RecordNotAvailable);
    QCOMPARE(items().remove().code(), RecordNotAvailable);

    add(QStringLiteral("first"), 5);
    add(QStringLiteral("second"), 6);
    const qint64 second = items().currentRow();
    QVERIFY(second > 0);

    items().buffer().setText(Memo, u"changed");
    QVERIFY(items().update());
    QVERIFY(items().fetchRow(second));
    QCOMPARE(items().buffer().text(Memo), QStringLiteral("changed"));

    QVERIFY(items().remove());
    QCOMPARE(items().fetchRow(second).code(), RecordNotAvailable);
    QCOMPARE(items().count().value(), qint64{1});
}

void StoreTest::eachThreadHasItsOwnBufferAndPosition()
{
    QVERIFY(openCreating(items()));
    for (const char* name : {"a", "b", "c"})
        add(QString::fromLatin1(name));

    Thread archive(QStringLiteral("archive"));
    TableInstance& mine = items();
    TableInstance& theirs = m_items->on(archive);
    QVERIFY(&mine != &theirs);
    QVERIFY(theirs.buffer().isClear());
    QCOMPARE(theirs.open(Access::ReadWrite).code(), NoError); // the other thread opens on its own

    mine.setOrder(ByName);
    theirs.setOrder(ByName);
    QVERIFY(mine.next().value());
    QVERIFY(mine.next().value());
    QVERIFY(theirs.next().value());
    QCOMPARE(mine.buffer().text(Name), QStringLiteral("b"));
    QCOMPARE(theirs.buffer().text(Name), QStringLiteral("a"));
    QVERIFY(mine.next().value());
    QCOMPARE(mine.buffer().text(Name), QStringLiteral("c"));
    QVERIFY(theirs.next().value());
    QCOMPARE(theirs.buffer().text(Name), QStringLiteral("b"));

    // Closing on one thread leaves the other's table open.
    theirs.close();
    QVERIFY(mine.previous().value());
    QCOMPARE(mine.buffer().text(Name), QStringLiteral("b"));
}

void StoreTest::savedStateRestoresBufferAndPosition()
{
    QVERIFY(openCreating(items()));
    for (const char* name : {"a", "b", "c", "d"})
        add(QString::fromLatin1(name));
    items().setOrder(ByName);
    QVERIFY(items().next().value());
    QVERIFY(items().next().value());
    const SavedState saved = items().saveState();

    items().clearBuffer();
    items().buffer().setText(Name, u"d");
    QVERIFY(items().fetch(ByName));
    QCOMPARE(items().buffer().text(Name), QStringLiteral("d"));

    items().restoreState(saved);
    QCOMPARE(items().buffer().text(Name), QStringLiteral("b"));
    QVERIFY(items().next().value());
    QCOMPARE(items().buffer().text(Name), QStringLiteral("c"));
}

void StoreTest::rolledBackAndFailedCommitsLeaveNothing_data()
{
    QTest::addColumn<bool>("failCommit");
    QTest::newRow("rolled back") << false;
    QTest::newRow("commit fails as on a full disk") << true;
}

void StoreTest::rolledBackAndFailedCommitsLeaveNothing()
{
    QFETCH(bool, failCommit);
    QVERIFY(openCreating(items()));
    QVERIFY(openCreating(others()));
    add(QStringLiteral("before"));

    QVERIFY(items().begin());
    add(QStringLiteral("inside"));
    others().clearBuffer();
    others().buffer().setText(Name, u"copy");
    QVERIFY(others().insert());
    if (failCommit) {
        ScopedFault full(Operation::Commit, StoreError::fileSystem(28, QStringLiteral("No space left on device")));
        const Status committed = items().commit();
        QCOMPARE(committed.code(), FileSystemError);
        QCOMPARE(committed.error().describe(), QStringLiteral("No space left on device (28)"));
    } else {
        items().rollback();
    }
    QCOMPARE(items().count().value(), qint64{1});
    QCOMPARE(others().count().value(), qint64{0});
    // The file is usable afterwards.
    QVERIFY(items().begin());
    add(QStringLiteral("after"));
    QVERIFY(items().commit());
    QCOMPARE(items().count().value(), qint64{2});
}

void StoreTest::aTransactionWaitsForAnotherWriterThenGivesUp()
{
    QVERIFY(openCreating(items()));
    RawConnection writer(dataFile());
    QVERIFY(writer.exec(QStringLiteral("BEGIN IMMEDIATE")));
    const Status started = items().begin(std::chrono::milliseconds(200));
    QVERIFY(!started);
    QCOMPARE(started.code(), FileSystemError);
    QVERIFY(writer.exec(QStringLiteral("ROLLBACK")));
    QVERIFY(items().begin(std::chrono::milliseconds(200)));
    items().rollback();
}

void StoreTest::injectedFaultsReachTheCaller_data()
{
    QTest::addColumn<int>("operation");
    QTest::newRow("insert") << int(Operation::Insert);
    QTest::newRow("update") << int(Operation::Update);
    QTest::newRow("delete") << int(Operation::Delete);
    QTest::newRow("read") << int(Operation::Read);
    QTest::newRow("begin") << int(Operation::Begin);
    QTest::newRow("open") << int(Operation::Open);
}

void StoreTest::injectedFaultsReachTheCaller()
{
    QFETCH(int, operation);
    const auto op = static_cast<Operation>(operation);
    QVERIFY(openCreating(items()));
    add(QStringLiteral("x"));
    const qint64 row = items().currentRow();
    items().close();

    if (op == Operation::Open) {
        ScopedFault fault(op, StoreError::of(RecordIsAlreadyHeld));
        QCOMPARE(items().open(Access::ReadWrite).code(), RecordIsAlreadyHeld);
        QVERIFY(items().open(Access::ReadWrite)); // armed once only
        return;
    }
    QVERIFY(items().open(Access::ReadWrite));
    QVERIFY(items().fetchRow(row));
    ScopedFault fault(op, StoreError::of(RecordIsAlreadyHeld));
    Status outcome;
    switch (op) {
    case Operation::Insert: outcome = items().insert(); break;
    case Operation::Update: outcome = items().update(); break;
    case Operation::Delete: outcome = items().remove(); break;
    case Operation::Read: outcome = items().fetchRow(row); break;
    case Operation::Begin: outcome = items().begin(); break;
    default: break;
    }
    QCOMPARE(outcome.code(), RecordIsAlreadyHeld);
    QCOMPARE(items().count().value(), qint64{1});
}

void StoreTest::aFileSystemErrorCarriesTheSystemsText()
{
    const StoreError error = StoreError::fileSystem(13, QStringLiteral("Permission denied"));
    QCOMPARE(error.text, QStringLiteral("File System Error"));
    QCOMPARE(error.describe(), QStringLiteral("Permission denied (13)"));
    QCOMPARE(StoreError::of(AccessDenied).describe(), QStringLiteral("Access Denied (5)"));
    const QList<QPair<int, QString>> texts = {
        {2, QStringLiteral("File Not Found")},       {5, QStringLiteral("Access Denied")},
        {33, QStringLiteral("Record Not Available")}, {40, QStringLiteral("Creates Duplicate Key")},
        {43, QStringLiteral("Record Is Already Held")}, {46, QStringLiteral("Key File Must Be Rebuilt")},
        {52, QStringLiteral("File Already Open")},   {54, QStringLiteral("No Create Attribute")},
        {89, QStringLiteral("Record Changed By Another Station")}, {90, QStringLiteral("File System Error")}};
    for (const auto& [code, text] : texts)
        QCOMPARE(errorCodeText(code), text);
}

#include "tst_store.moc"

int runStoreTests(int argc, char** argv)
{
    StoreTest test;
    return QTest::qExec(&test, argc, argv);
}
