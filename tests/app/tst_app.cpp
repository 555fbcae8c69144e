// The main routine's order of set-up and teardown, and the drag option around the main window.

#include "app/main_routine.h"
#include "support/task_runner.h"

#include <QTest>

#include "core/procedure.h"

using namespace qly;
using namespace qly::test;

namespace {

class RecordingDrag final : public DragOption
{
public:
    explicit RecordingDrag(bool on, QStringList& calls) : m_on(on), m_calls(calls) {}
    bool isOn() const override
    {
        m_calls << QStringLiteral("ask drag option");
        return m_on;
    }
    void set(bool on) override
    {
        m_on = on;
        m_calls << (on ? QStringLiteral("drag option on") : QStringLiteral("drag option off"));
    }
    bool m_on;

private:
    QStringList& m_calls;
};

class RecordingSteps final : public MainRoutineSteps
{
public:
    explicit RecordingSteps(bool dragOn) : drag(dragOn, calls) {}
    void nameHelpFile(const QString& name) override { calls << QStringLiteral("help file ") + name; }
    void initErrorManager() override { calls << QStringLiteral("error manager"); }
    void setUpTableManagers() override { calls << QStringLiteral("table managers"); }
    void openSettings(const QString& name) override { calls << QStringLiteral("settings ") + name; }
    DragOption& dragOption() override { return drag; }
    QCoro::Task<> runMainWindow() override
    {
        calls << QStringLiteral("Main opens");
        dragWhileRunning = drag.m_on;
        co_await nextTurn(); // the window runs for a while
        calls << QStringLiteral("Main closed");
    }
    void closeSettings() override { calls << QStringLiteral("close settings"); }
    void tearDownTableManagers() override { calls << QStringLiteral("tear down table managers"); }
    void releaseErrorManager() override { calls << QStringLiteral("release error manager"); }

    QStringList calls;
    RecordingDrag drag;
    bool dragWhileRunning = true;
};

struct Done
{
};

QCoro::Task<Done> run(RecordingSteps& steps)
{
    co_await runMainRoutine(steps);
    co_return Done{};
}

} // namespace

class AppTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void servicesComeUpAndGoDownInOrder_data();
    void servicesComeUpAndGoDownInOrder();
};

void AppTest::servicesComeUpAndGoDownInOrder_data()
{
    QTest::addColumn<bool>("dragOn");
    QTest::newRow("drag option on: off while running, on again after") << true;
    QTest::newRow("drag option off: never touched") << false;
}

void AppTest::servicesComeUpAndGoDownInOrder()
{
    QFETCH(bool, dragOn);
    RecordingSteps steps(dragOn);
    TaskRunner<Done> routine(run(steps));
    QTRY_VERIFY(routine.done());
    QStringList expected = {QStringLiteral("help file notes.hlp"), QStringLiteral("error manager"),
                            QStringLiteral("table managers"), QStringLiteral("settings QLY3.INI"),
                            QStringLiteral("ask drag option")};
    if (dragOn)
        expected << QStringLiteral("drag option off");
    expected << QStringLiteral("Main opens") << QStringLiteral("Main closed");
    if (dragOn)
        expected << QStringLiteral("drag option on");
    expected << QStringLiteral("close settings") << QStringLiteral("tear down table managers")
             << QStringLiteral("release error manager");
    QCOMPARE(steps.calls, expected);
    QVERIFY(!steps.dragWhileRunning);
    QCOMPARE(steps.drag.m_on, dragOn);
}

QTEST_GUILESS_MAIN(AppTest)
#include "tst_app.moc"
