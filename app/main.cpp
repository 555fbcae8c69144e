// Quillary: notes and dated reminders.

#include "app/main_routine.h"
#include "app/program_steps.h"
#include "core/thread.h"

#include <QApplication>
#include <QLocale>

#include <qcoro/qcorotask.h>

namespace {
QCoro::Task<> runProgram(qly::ProgramSteps& steps, QApplication& app)
{
    co_await qly::runMainRoutine(steps);
    app.quit();
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillary"));
    QApplication::setQuitOnLastWindowClosed(false); // the main routine decides when to end
    // Without regional settings dates read as they do in the United States: MM/DD/YY.
    if (QLocale().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    qly::Thread mainThread(QStringLiteral("main"));
    qly::ProgramSteps steps(mainThread);
    [[maybe_unused]] QCoro::Task<> program = runProgram(steps, app);
    return QApplication::exec();
}
