// The main routine's order of set-up and teardown, and the drag option around the main window.

#include "app/main_routine.h"
#include "app/program_steps.h"
#include "core/procedure.h"
#include "core/thread.h"
#include "data/note_managers.h"
#include "data/note_tables.h"
#include "store/table.h"
#include "support/foreign_lock.h"
#include "support/task_runner.h"
#include "support/temp_workdir.h"
#include "ui/procedure_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

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

QCoro::Task<Done> run(MainRoutineSteps& steps)
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
    void firstStartCreatesTheDataFileAndClosesCleanly();
    void aSecondCopyRunsReadOnlyAfterSayingSo();

private:
    // Runs the program's own main routine in a fresh folder with fresh settings.
    struct Program
    {
        test::TempWorkdir folder;
        QTemporaryDir config;
        Thread thread{QStringLiteral("main")};
        ProgramSteps steps{thread};
        std::unique_ptr<TaskRunner<Done>> routine;
    };
    static ProcedureWindow* mainWindow();
};

ProcedureWindow* AppTest::mainWindow()
{
    for (ProcedureWindow* window : ProcedureWindow::runningWindows()) {
        if (window->procedure() == QLatin1String("Main"))
            return window;
    }
    return nullptr;
}

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

void AppTest::firstStartCreatesTheDataFileAndClosesCleanly()
{
    Program program;
    qputenv("XDG_CONFIG_HOME", program.config.path().toUtf8());
    program.routine = std::make_unique<TaskRunner<Done>>(run(program.steps));
    QTRY_VERIFY(mainWindow());
    QVERIFY(QApplication::topLevelWidgets().size() >= 1);
    QVERIFY(QFileInfo::exists(QStringLiteral("QLY.db")));
    QVERIFY(noteManagers().notes);
    auto* list = mainWindow()->findChild<QWidget*>(QStringLiteral("?Browse:1"));
    QVERIFY(list);
    QCOMPARE(noteManagers().notes->instance(program.thread).access(), store::Access::ReadWrite);

    auto* close = mainWindow()->findChild<QPushButton*>(QStringLiteral("?Close"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QTRY_VERIFY(program.routine->done());
    QVERIFY(!noteManagers().notes); // torn down
    QSettings ini(program.config.path() + QStringLiteral("/quillary/QLY3.INI"), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Main/Maximize")).toString(), QStringLiteral("No"));
    qunsetenv("XDG_CONFIG_HOME");
}

void AppTest::aSecondCopyRunsReadOnlyAfterSayingSo()
{
    Program program;
    qputenv("XDG_CONFIG_HOME", program.config.path().toUtf8());
    {
        // A first copy made the data file and is still running.
        store::Table notes(notesTableDef());
        QVERIFY(notes.on(program.thread).create());
    }
    ForeignWriteLock first(program.folder.filePath(QStringLiteral("QLY.db")));
    QVERIFY(first.held());
    program.routine = std::make_unique<TaskRunner<Done>>(run(program.steps));
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) != nullptr);
    QCOMPARE(box->windowTitle(), QStringLiteral("Access Denied"));
    QCOMPARE(box->text(), QStringLiteral("Could not get write access to QLY\\!notes so trying read-only."));
    QCOMPARE(box->buttons().size(), 1);
    QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
    QTRY_VERIFY(mainWindow());
    QVERIFY(mainWindow()->findChild<QWidget*>(QStringLiteral("?Browse:1")));
    QCOMPARE(noteManagers().notes->instance(program.thread).access(), store::Access::ReadOnly);
    mainWindow()->findChild<QPushButton*>(QStringLiteral("?Close"))->click();
    QTRY_VERIFY(program.routine->done());
    qunsetenv("XDG_CONFIG_HOME");
}

QTEST_MAIN(AppTest)
#include "tst_app.moc"
