// The list widget over a real data file: keys, the wheel and the scroll bar move the model's
// place and the widget shows it; dragging the thumb locates by topic; activation, Insert,
// Delete, the context menu and typed text go out as signals.

#include "data/note_record.h"
#include "store/faults.h"
#include "tst_list_fixture.h"
#include "ui/list_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace qly;
using namespace qly::test;

namespace {

constexpr int kNotes = 300;

// The number of the note on the first line the table view shows in full (at the end of the
// list the last row sits on the bottom edge, under part of the row before the screen).
int shownTopNumber(NoteList& list, ListView& view)
{
    const QTableView* rows = view.rows();
    int row = rows->rowAt(0);
    if (row >= 0 && rows->rowViewportPosition(row) < 0)
        ++row;
    return list.numberOf(row);
}

} // namespace

class ListViewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void keysMoveTheListAndTheWidgetShowsIt_data();
    void keysMoveTheListAndTheWidgetShowsIt();
    void theWheelScrollsThreeLines();
    void theScreenHoldsAsManyRowsAsFit();
    void aScreenOfOneLineScrollsByTheWheel();
    void draggingTheThumbHalfwayLandsAmidTheTopics();
    void theBarsArrowsAndPageAreasMoveTheList();
    void activationInsertAndDeleteAreSignalled();
    void aRightClickHighlightsTheRowUnderTheMouse();
    void typedTextGoesToTheWindow();
    void anEmptyListActivatesNothing();
    void aFailedReadIsPassedOnToTheWindow();

private:
    void open(int notes);

    std::unique_ptr<NoteList> m_list;
    std::unique_ptr<ListView> m_view;
};

void ListViewTest::init() {}

void ListViewTest::cleanup()
{
    m_view.reset();
    m_list.reset();
}

void ListViewTest::open(int notes)
{
    m_list = std::make_unique<NoteList>(notes);
    QVERIFY(m_list->isValid());
    m_view = std::make_unique<ListView>(&m_list->model());
    m_view->setObjectName(QStringLiteral("?List"));
    m_view->resize(400, 240);
    QVERIFY(m_list->model().fillFromTop());
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    QVERIFY(m_list->model().pageSize() == m_view->visibleRows());
    QVERIFY(m_list->model().pageSize() > 3);
}

void ListViewTest::keysMoveTheListAndTheWidgetShowsIt_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("expected"); // "top current", with p for the page size
    QTest::newRow("Down") << QList<int>{Qt::Key_Down} << QStringLiteral("0 1");
    QTest::newRow("Page Down") << QList<int>{Qt::Key_PageDown} << QStringLiteral("p p");
    QTest::newRow("End") << QList<int>{Qt::Key_End} << QStringLiteral("-p -1");
    QTest::newRow("End then Page Up")
        << QList<int>{Qt::Key_End, Qt::Key_PageUp} << QStringLiteral("-2p -p-1");
    QTest::newRow("End then Home")
        << QList<int>{Qt::Key_End, Qt::Key_Home} << QStringLiteral("0 0");
    QTest::newRow("Page Down then Up")
        << QList<int>{Qt::Key_PageDown, Qt::Key_Up} << QStringLiteral("p-1 p-1");
}

void ListViewTest::keysMoveTheListAndTheWidgetShowsIt()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, expected);
    open(kNotes);
    const int p = m_list->model().pageSize();
    const auto number = [p](const QString& text) {
        static const QHash<QString, int> forms{{QStringLiteral("0"), 0}, {QStringLiteral("1"), 1}};
        if (forms.contains(text))
            return forms[text];
        if (text == QLatin1String("p"))
            return p;
        if (text == QLatin1String("p-1"))
            return p - 1;
        if (text == QLatin1String("-p"))
            return kNotes - p;
        if (text == QLatin1String("-1"))
            return kNotes - 1;
        if (text == QLatin1String("-2p"))
            return kNotes - 2 * p;
        return kNotes - p - 1; // "-p-1"
    };
    const QStringList parts = expected.split(u' ');
    for (int key : keys)
        QTest::keyClick(m_view->rows(), Qt::Key(key));
    QCOMPARE(m_list->topNumber(), number(parts[0]));
    QCOMPARE(m_list->currentNumber(), number(parts[1]));
    QCOMPARE(shownTopNumber(*m_list, *m_view), number(parts[0]));
    QVERIFY(!m_view->grab().isNull()); // the rows paint, indents and all
    QCOMPARE(m_view->rows()->currentIndex().row(), m_list->model().currentRow());
    QVERIFY(m_view->rows()->selectionModel()->isRowSelected(m_list->model().currentRow(), {}));
}

void ListViewTest::theWheelScrollsThreeLines()
{
    open(kNotes);
    QWidget* viewport = m_view->rows()->viewport();
    const QPoint at = viewport->rect().center();
    QWheelEvent down(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &down);
    QCOMPARE(m_list->topNumber(), ListView::kWheelLines);
    QCOMPARE(shownTopNumber(*m_list, *m_view), ListView::kWheelLines);
    QCOMPARE(m_list->currentNumber(), ListView::kWheelLines);
}

void ListViewTest::theScreenHoldsAsManyRowsAsFit()
{
    open(kNotes);
    const int before = m_list->model().pageSize();
    m_view->resize(400, 480);
    QTRY_VERIFY(m_list->model().pageSize() > before);
    QCOMPARE(m_list->model().pageSize(), m_view->visibleRows());
    QTest::keyClick(m_view->rows(), Qt::Key_End);
    QCOMPARE(m_list->topNumber(), kNotes - m_list->model().pageSize());
    QVERIFY(m_list->model().rowCount() <= ListModel::kPagesHeld * m_list->model().pageSize());
}

void ListViewTest::aScreenOfOneLineScrollsByTheWheel()
{
    open(kNotes);
    m_view->resize(400, m_view->height()); // the width decides whether a horizontal bar shows
    // Rows tall enough that one and a half of them are more than the scroll bar's least height.
    m_view->rows()->verticalHeader()->setDefaultSectionSize(50);
    const int rowHeight = m_view->rows()->verticalHeader()->defaultSectionSize();
    const int frame = m_view->height() - m_view->rows()->viewport()->height();
    m_view->resize(400, frame + rowHeight + rowHeight / 2);
    QTRY_COMPARE(m_list->model().pageSize(), 1);
    QWidget* viewport = m_view->rows()->viewport();
    const QPoint at = viewport->rect().center();
    QWheelEvent down(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &down);
    QCOMPARE(m_list->topNumber(), 2 * ListView::kWheelLines);
    QCOMPARE(m_list->currentNumber(), 2 * ListView::kWheelLines);
    QCOMPARE(m_view->rows()->currentIndex().row(), m_list->model().currentRow());
    QCOMPARE(shownTopNumber(*m_list, *m_view), m_list->topNumber());
    QVERIFY(m_list->model().rowCount() <= ListModel::kPagesHeld);
}

void ListViewTest::draggingTheThumbHalfwayLandsAmidTheTopics()
{
    open(kNotes);
    QScrollBar* bar = m_view->scrollBar();
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), ListView::kScrollRange);
    QCOMPARE(bar->value(), 0);
    bar->setSliderDown(true);
    bar->setSliderPosition(ListView::kScrollRange / 2);
    bar->setSliderDown(false);
    const QString topic =
        m_list->model().entry(m_list->model().topRow())->record.text(NoteRecord::Topic);
    QVERIFY2(topic.startsWith(u'm') || topic.startsWith(u'n'), qPrintable(topic));
    QCOMPARE(shownTopNumber(*m_list, *m_view), m_list->topNumber());
    QVERIFY(std::abs(bar->value() - ListView::kScrollRange / 2) <= ListView::kScrollRange / 50);

    bar->setSliderDown(true);
    bar->setSliderPosition(ListView::kScrollRange);
    bar->setSliderDown(false);
    QCOMPARE(m_list->currentNumber(), kNotes - 1);
    QCOMPARE(bar->value(), ListView::kScrollRange);
}

void ListViewTest::theBarsArrowsAndPageAreasMoveTheList()
{
    open(kNotes);
    QScrollBar* bar = m_view->scrollBar();
    const int p = m_list->model().pageSize();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(m_list->topNumber(), p);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_list->topNumber(), p + 1);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(m_list->currentNumber(), kNotes - 1);
    QCOMPARE(bar->value(), ListView::kScrollRange);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(m_list->currentNumber(), 0);
    QCOMPARE(bar->value(), 0);
}

void ListViewTest::activationInsertAndDeleteAreSignalled()
{
    open(kNotes);
    QSignalSpy activated(m_view.get(), &ListView::rowActivated);
    QSignalSpy inserts(m_view.get(), &ListView::insertPressed);
    QSignalSpy deletes(m_view.get(), &ListView::deletePressed);
    QTest::keyClick(m_view->rows(), Qt::Key_Return);
    QTest::keyClick(m_view->rows(), Qt::Key_Enter, Qt::ControlModifier);
    QCOMPARE(activated.count(), 2);
    QTest::keyClick(m_view->rows(), Qt::Key_Insert);
    QTest::keyClick(m_view->rows(), Qt::Key_Delete);
    QCOMPARE(inserts.count(), 1);
    QCOMPARE(deletes.count(), 1);

    QTableView* rows = m_view->rows();
    const QPoint third =
        rows->visualRect(m_list->model().index(m_list->model().topRow() + 2, 0)).center();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(activated.count(), 3);
    QCOMPARE(m_list->currentNumber(), 2);
}

void ListViewTest::aRightClickHighlightsTheRowUnderTheMouse()
{
    open(kNotes);
    QSignalSpy menus(m_view.get(), &ListView::contextMenuRequested);
    QTableView* rows = m_view->rows();
    const QPoint fourth =
        rows->visualRect(m_list->model().index(m_list->model().topRow() + 3, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, fourth,
                            rows->viewport()->mapToGlobal(fourth));
    QApplication::sendEvent(rows->viewport(), &event);
    QCOMPARE(menus.count(), 1);
    QCOMPARE(m_list->currentNumber(), 3);
    QCOMPARE(rows->currentIndex().row(), m_list->model().currentRow());
}

void ListViewTest::typedTextGoesToTheWindow()
{
    open(kNotes);
    QSignalSpy typed(m_view.get(), &ListView::textTyped);
    QTest::keyClicks(m_view->rows(), QStringLiteral("Mb"));
    QCOMPARE(typed.count(), 2);
    QCOMPARE(typed.at(0).at(0).toString(), QStringLiteral("M"));
    QCOMPARE(typed.at(1).at(0).toString(), QStringLiteral("b"));
    QTest::keyClick(m_view->rows(), Qt::Key_Backspace);
    QCOMPARE(typed.count(), 3);
    QCOMPARE(typed.at(2).at(0).toString(), QStringLiteral("\b"));
    QCOMPARE(m_list->currentNumber(), 0); // the window decides where typing goes
}

void ListViewTest::anEmptyListActivatesNothing()
{
    open(0);
    QSignalSpy activated(m_view.get(), &ListView::rowActivated);
    QSignalSpy inserts(m_view.get(), &ListView::insertPressed);
    for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Return})
        QTest::keyClick(m_view->rows(), Qt::Key(key));
    QTest::keyClick(m_view->rows(), Qt::Key_Insert);
    QCOMPARE(activated.count(), 0);
    QCOMPARE(inserts.count(), 1);
    QCOMPARE(m_list->model().currentRow(), -1);
    QVERIFY(!m_view->rows()->currentIndex().isValid());
    QCOMPARE(m_view->scrollBar()->value(), 0);
}

void ListViewTest::aFailedReadIsPassedOnToTheWindow()
{
    open(kNotes);
    QSignalSpy failures(m_view.get(), &ListView::readFailed);
    {
        const store::ScopedFault broken(store::Operation::Read,
                                        store::StoreError::of(store::AccessDenied), 0);
        QTest::keyClick(m_view->rows(), Qt::Key_End);
    }
    QCOMPARE(failures.count(), 1);
    QCOMPARE(failures.front().front().value<store::StoreError>().code, int(store::AccessDenied));
    QCOMPARE(m_list->currentNumber(), 0);
    QTest::keyClick(m_view->rows(), Qt::Key_End);
    QCOMPARE(m_list->currentNumber(), kNotes - 1);
}

int runListViewTests(int argc, char** argv)
{
    ListViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_list_view.moc"
