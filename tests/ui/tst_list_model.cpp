// The page-loaded list model over a real data file: moves by line, page, Home and End, paging
// through every note while holding only a few pages, type-ahead, refills after a form and an
// empty table. QAbstractItemModelTester checks every signal the model sends.

#include "data/note_record.h"
#include "store/faults.h"
#include "tst_list_fixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace qly;
using namespace qly::test;

namespace {

constexpr int kNotes = 300;
constexpr int kPage = 10;

enum Move
{
    Down,
    Up,
    PageDown,
    PageUp,
    Home,
    End,
    WheelDown,
    WheelUp
};

store::Status apply(ListModel& model, int move)
{
    switch (move) {
    case Down:
        return model.lineDown();
    case Up:
        return model.lineUp();
    case PageDown:
        return model.pageDown();
    case PageUp:
        return model.pageUp();
    case Home:
        return model.fillFromTop();
    case End:
        return model.fillFromEnd();
    case WheelDown:
        return model.scrollLines(3);
    case WheelUp:
        return model.scrollLines(-3);
    }
    return {};
}

QList<int> times(int count, Move move)
{
    return QList<int>(count, move);
}

} // namespace

class ListModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void movesKeepTheScreenAndHighlight_data();
    void movesKeepTheScreenAndHighlight();
    void pagingDownShowsEveryNoteOnceHoldingOnlyAFewPages_data();
    void pagingDownShowsEveryNoteOnceHoldingOnlyAFewPages();
    void everyTabPagesThroughWhatItsViewReads_data();
    void everyTabPagesThroughWhatItsViewReads();
    void typeAheadLocatesTheFirstTopicAtOrAfterTheText_data();
    void typeAheadLocatesTheFirstTopicAtOrAfterTheText();
    void afterADeleteTheNeighbourTakesTheOldPlace_data();
    void afterADeleteTheNeighbourTakesTheOldPlace();
    void afterAnAddOrChangeTheSavedNoteIsCurrent_data();
    void afterAnAddOrChangeTheSavedNoteIsCurrent();
    void refreshingChangedValuesOnlyChangesData();
    void aFailedReadLeavesTheListWhereItWas_data();
    void aFailedReadLeavesTheListWhereItWas();
    void anEmptyTableHasNoCurrentRow();
    void theThumbFollowsTheTopicAlphabetically();
};

void ListModelTest::movesKeepTheScreenAndHighlight_data()
{
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("current");
    QTest::newRow("Down within the screen moves only the highlight") << times(3, Down) << 0 << 3;
    QTest::newRow("Down past the screen's last line scrolls by one")
        << times(kPage, Down) << 1 << kPage;
    QTest::newRow("Up at the first row stays") << QList<int>{Up} << 0 << 0;
    QTest::newRow("Up above the screen scrolls back by one")
        << (times(kPage + 2, Down) << times(kPage, Up)) << 2 << 2;
    QTest::newRow("Page Down moves screen and highlight a page")
        << times(2, PageDown) << 2 * kPage << 2 * kPage;
    QTest::newRow("Page Up at the top goes to the first row")
        << QList<int>{Down, Down, PageUp} << 0 << 0;
    QTest::newRow("End shows the last page with the last note current")
        << QList<int>{End} << kNotes - kPage << kNotes - 1;
    QTest::newRow("End then Page Up")
        << QList<int>{End, PageUp} << kNotes - 2 * kPage << kNotes - 1 - kPage;
    QTest::newRow("End then Page Up twice and Page Down")
        << QList<int>{End, PageUp, PageUp, PageDown} << kNotes - 2 * kPage << kNotes - 1 - kPage;
    QTest::newRow("Down at the last note stays")
        << QList<int>{End, Down} << kNotes - kPage << kNotes - 1;
    QTest::newRow("Page Down at the end goes to the last note")
        << QList<int>{End, Up, Up, PageDown} << kNotes - kPage << kNotes - 1;
    QTest::newRow("Home after paging returns to the first note")
        << (times(5, PageDown) << Home) << 0 << 0;
    QTest::newRow("the wheel scrolls, the highlight keeps its line")
        << QList<int>{Down, WheelDown, WheelDown} << 6 << 7;
    QTest::newRow("the wheel stops at the first note")
        << QList<int>{WheelDown, WheelUp, WheelUp} << 0 << 0;
    QTest::newRow("the wheel stops at the last page")
        << QList<int>{End, Up, WheelDown} << kNotes - kPage << kNotes - 2;
}

void ListModelTest::movesKeepTheScreenAndHighlight()
{
    QFETCH(QList<int>, moves);
    QFETCH(int, top);
    QFETCH(int, current);
    NoteList list(kNotes, kPage);
    QVERIFY(list.isValid());
    QVERIFY(list.model().fillFromTop());
    for (int move : moves) {
        QVERIFY(apply(list.model(), move));
        QVERIFY(list.rowsAreConsecutive());
        QVERIFY(list.model().rowCount() <= ListModel::kPagesHeld * kPage);
    }
    QCOMPARE(list.topNumber(), top);
    QCOMPARE(list.currentNumber(), current);
    const int line = list.model().currentRow() - list.model().topRow();
    QVERIFY(line >= 0 && line < kPage);
}

void ListModelTest::pagingDownShowsEveryNoteOnceHoldingOnlyAFewPages_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::newRow("a page of 10 that divides the notes") << 10;
    QTest::newRow("a page of 7 that leaves a short last page") << 7;
    QTest::newRow("a page of one line") << 1;
}

void ListModelTest::pagingDownShowsEveryNoteOnceHoldingOnlyAFewPages()
{
    QFETCH(int, pageSize);
    NoteList list(kNotes, pageSize);
    QVERIFY(list.isValid());
    QVERIFY(list.model().fillFromTop());
    QList<int> seen;
    int last = -1;
    for (int guard = 0; guard < kNotes; ++guard) {
        for (int line = 0; line < pageSize; ++line) {
            const int number = list.numberOf(list.model().rowOnLine(line));
            if (number > last) {
                seen << number;
                last = number;
            }
        }
        if (list.currentNumber() == kNotes - 1)
            break;
        QVERIFY(list.model().pageDown());
        QVERIFY(list.rowsAreConsecutive());
    }
    QList<int> all;
    for (int number = 0; number < kNotes; ++number)
        all << number;
    QCOMPARE(seen, all);
    QCOMPARE(list.topNumber(), kNotes - pageSize);
    QVERIFY2(list.mostRowsHeld() <= ListModel::kPagesHeld * pageSize,
             qPrintable(QString::number(list.mostRowsHeld())));
}

void ListModelTest::everyTabPagesThroughWhatItsViewReads_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("Notes Only: sought to the not-done notes without a reminder")
        << int(NotesOnlyTab);
    QTest::newRow("Current Reminders: by note date, many equal") << int(CurrentRemindersTab);
    QTest::newRow("Done Items: sought to the done flag, newest note first among equals")
        << int(DoneItemsTab);
    QTest::newRow("Everything") << int(EverythingTab);
}

void ListModelTest::everyTabPagesThroughWhatItsViewReads()
{
    QFETCH(int, tab);
    constexpr int page = 3;
    NoteList list(kNotes, page, MainTab(tab));
    QVERIFY(list.isValid());
    QList<qint64> expected;
    for (auto read = list.view().first(50); read.ok() && !read.value().empty();
         read = list.view().next(50)) {
        for (const store::Row& row : read.value())
            expected << row.id;
    }
    QVERIFY(expected.size() > 4 * page);

    ListModel& model = list.model();
    const auto screen = [&model] {
        QList<qint64> ids;
        for (int line = 0; line < model.pageSize(); ++line) {
            if (const store::Row* row = model.entry(model.rowOnLine(line)))
                ids << row->id;
        }
        return ids;
    };
    QList<qint64> down;
    QVERIFY(model.fillFromTop());
    while (down.size() < expected.size() + page) {
        for (qint64 id : screen()) {
            if (!down.contains(id))
                down << id;
        }
        if (model.currentEntry()->id == expected.back())
            break;
        QVERIFY(model.pageDown());
    }
    QCOMPARE(down, expected);

    QList<qint64> up;
    QVERIFY(model.fillFromEnd());
    while (up.size() < expected.size() + page) {
        QList<qint64> shown = screen();
        std::reverse(shown.begin(), shown.end());
        for (qint64 id : shown) {
            if (!up.contains(id))
                up << id;
        }
        if (model.currentEntry()->id == expected.front())
            break;
        QVERIFY(model.pageUp());
    }
    std::reverse(up.begin(), up.end());
    QCOMPARE(up, expected);
    QVERIFY(list.mostRowsHeld() <= ListModel::kPagesHeld * page);
}

void ListModelTest::typeAheadLocatesTheFirstTopicAtOrAfterTheText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("current");
    // topicOf: "m" starts at 139 ("ma note 139"), "n" at 150.
    int firstM = 0;
    while (!NoteList::topicOf(firstM).startsWith(u'm'))
        ++firstM;
    int firstN = 0;
    while (!NoteList::topicOf(firstN).startsWith(u'n'))
        ++firstN;
    QTest::newRow("a letter finds the first topic starting with it")
        << QStringLiteral("m") << firstM;
    QTest::newRow("case is ignored") << QStringLiteral("M") << firstM;
    QTest::newRow("a whole topic finds that note") << NoteList::topicOf(42).toUpper() << 42;
    QTest::newRow("text between topics finds the next") << QStringLiteral("mzzz") << firstN;
    QTest::newRow("nothing typed finds the first note") << QString() << 0;
    QTest::newRow("text after every topic finds the last note")
        << QStringLiteral("zzzz") << kNotes - 1;
}

void ListModelTest::typeAheadLocatesTheFirstTopicAtOrAfterTheText()
{
    QFETCH(QString, typed);
    QFETCH(int, current);
    NoteList list(kNotes, kPage);
    QVERIFY(list.isValid());
    QVERIFY(list.model().fillFromTop());
    QVERIFY(list.model().pageDown()); // from somewhere else than the top
    QVERIFY(list.model().locateText(0, typed));
    QCOMPARE(list.currentNumber(), current);
    // The located note heads the screen unless the screen would run past the last note.
    QCOMPARE(list.topNumber(), std::min(current, kNotes - kPage));
    QVERIFY(list.rowsAreConsecutive());
    QVERIFY(list.model().rowCount() <= ListModel::kPagesHeld * kPage);
}

void ListModelTest::afterADeleteTheNeighbourTakesTheOldPlace_data()
{
    QTest::addColumn<int>("deleted");
    QTest::addColumn<int>("current");
    QTest::newRow("a note in the middle: the next one") << 150 << 151;
    QTest::newRow("the first note: the new first") << 0 << 1;
    QTest::newRow("the last note: the one before it") << kNotes - 1 << kNotes - 2;
}

void ListModelTest::afterADeleteTheNeighbourTakesTheOldPlace()
{
    QFETCH(int, deleted);
    QFETCH(int, current);
    NoteList list(kNotes, kPage);
    QVERIFY(list.isValid());
    ListModel& model = list.model();
    QVERIFY(model.locateText(0, NoteList::topicOf(deleted)));
    if (model.currentRow() - model.topRow() < 3 && list.currentNumber() > 3) {
        for (int i = 0; i < 3; ++i)
            QVERIFY(model.lineUp());
        for (int i = 0; i < 3; ++i)
            QVERIFY(model.lineDown());
    }
    QCOMPARE(list.currentNumber(), deleted);
    const int line = model.currentRow() - model.topRow();
    const store::Row row = *model.currentEntry();

    QVERIFY(list.table().fetchRow(row.id));
    QVERIFY(list.table().remove());
    QVERIFY(model.fillAround(row));
    QCOMPARE(list.currentNumber(), current);
    if (deleted != kNotes - 1)
        QCOMPARE(model.currentRow() - model.topRow(), line);
    for (int held = 0; held < model.rowCount(); ++held)
        QVERIFY(model.entry(held)->id != row.id);
}

void ListModelTest::afterAnAddOrChangeTheSavedNoteIsCurrent_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<bool>("changeAnExistingNote");
    QTest::newRow("an added note between two others") << QStringLiteral("mm new note") << false;
    QTest::newRow("an added note beyond the last") << QStringLiteral("zzzz new note") << false;
    QTest::newRow("a changed note moved far down the order")
        << QStringLiteral("yy changed note") << true;
    QTest::newRow("a changed note moved to the top") << QStringLiteral("a changed note") << true;
}

void ListModelTest::afterAnAddOrChangeTheSavedNoteIsCurrent()
{
    QFETCH(QString, topic);
    QFETCH(bool, changeAnExistingNote);
    NoteList list(kNotes, kPage);
    QVERIFY(list.isValid());
    ListModel& model = list.model();
    QVERIFY(model.fillFromTop());
    QVERIFY(model.pageDown());

    qint64 saved = 0;
    if (changeAnExistingNote) {
        saved = model.currentEntry()->id;
        QVERIFY(list.table().fetchRow(saved));
        list.table().buffer().setText(NoteRecord::Topic, topic);
        QVERIFY(list.table().update());
    } else {
        saved = list.add(topic, 1000);
        QVERIFY(saved != 0);
    }
    list.table().clearBuffer();
    QVERIFY(model.fillAroundRowId(saved));
    QVERIFY(model.currentEntry());
    QCOMPARE(model.currentEntry()->id, saved);
    QCOMPARE(model.currentEntry()->record.text(NoteRecord::Topic), topic);
    // The record buffer is the caller's.
    QVERIFY(list.table().buffer().isClear());
}

void ListModelTest::refreshingChangedValuesOnlyChangesData()
{
    NoteList list(kNotes, kPage);
    QVERIFY(list.isValid());
    ListModel& model = list.model();
    QVERIFY(model.fillFromTop());
    QVERIFY(model.lineDown());
    const qint64 id = model.currentEntry()->id;
    QVERIFY(list.table().fetchRow(id));
    list.table().buffer().setText(NoteRecord::MainMemo, QStringLiteral("a new memo"));
    QVERIFY(list.table().update());

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.refresh());
    QCOMPARE(resets.count(), 0);
    QCOMPARE(changes.count(), 1);
    const QModelIndex changed = model.index(model.currentRow(), 1);
    QCOMPARE(changes.front().at(0).toModelIndex().row(), changed.row());
    QCOMPARE(model.data(changed, Qt::ToolTipRole).toString(), QStringLiteral("a new memo"));
    QCOMPARE(model.currentEntry()->id, id);
}

void ListModelTest::aFailedReadLeavesTheListWhereItWas_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("move");
    QTest::newRow("Page Down from the top") << QList<int>{} << int(PageDown);
    QTest::newRow("Page Up from the end") << QList<int>{End} << int(PageUp);
    QTest::newRow("Down past the screen") << times(kPage - 1, Down) << int(Down);
    QTest::newRow("the wheel in the middle") << times(5, PageDown) << int(WheelUp);
    QTest::newRow("End") << QList<int>{PageDown} << int(End);
    QTest::newRow("Home") << times(3, PageDown) << int(Home);
}

void ListModelTest::aFailedReadLeavesTheListWhereItWas()
{
    QFETCH(QList<int>, before);
    QFETCH(int, move);
    NoteList list(kNotes, kPage);
    QVERIFY(list.isValid());
    ListModel& model = list.model();
    QVERIFY(model.fillFromTop());
    for (int earlier : before)
        QVERIFY(apply(model, earlier));
    const auto held = [&model] {
        QList<qint64> ids;
        for (int row = 0; row < model.rowCount(); ++row)
            ids << model.entry(row)->id;
        return ids;
    };
    const QList<qint64> rows = held();
    const int top = model.topRow();
    const int current = model.currentRow();

    const store::ScopedFault broken(
        store::Operation::Read,
        store::StoreError::fileSystem(5, QStringLiteral("Input/output error")), 0);
    const store::Status status = apply(model, move);
    QCOMPARE(status.code(), int(store::FileSystemError));
    QCOMPARE(held(), rows);
    QCOMPARE(model.topRow(), top);
    QCOMPARE(model.currentRow(), current);
}

void ListModelTest::anEmptyTableHasNoCurrentRow()
{
    NoteList list(0, kPage);
    QVERIFY(list.isValid());
    ListModel& model = list.model();
    QVERIFY(model.fillFromTop());
    for (int move : {Down, Up, PageDown, PageUp, Home, End, WheelDown, WheelUp}) {
        QVERIFY(apply(model, move));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.currentRow(), -1);
        QVERIFY(!model.currentEntry());
    }
    QVERIFY(model.locateText(0, QStringLiteral("m")));
    QVERIFY(model.locateFraction(0.5));
    QVERIFY(model.refresh());
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.currentRow(), -1);
    QCOMPARE(model.thumbFraction(), 0.0);
}

void ListModelTest::theThumbFollowsTheTopicAlphabetically()
{
    NoteList list(kNotes, kPage);
    QVERIFY(list.isValid());
    ListModel& model = list.model();
    QVERIFY(model.fillFromTop());
    QCOMPARE(model.thumbFraction(), 0.0);
    QVERIFY(model.locateFraction(0.5));
    // Halfway from "aa" to "zz" is around "m"; the notes there are numbered near the middle.
    const QString topic = model.entry(model.topRow())->record.text(NoteRecord::Topic);
    QVERIFY2(topic.startsWith(u'm') || topic.startsWith(u'n'), qPrintable(topic));
    QVERIFY2(std::abs(list.topNumber() - kNotes / 2) < kNotes / 20, qPrintable(topic));
    QVERIFY(std::abs(model.thumbFraction() - 0.5) < 0.02);
    QVERIFY(model.fillFromEnd());
    QCOMPARE(model.thumbFraction(), 1.0);
}

int runListModelTests(int argc, char** argv)
{
    ListModelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_list_model.moc"
