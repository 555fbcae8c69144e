#include "ui/shutdown.h"

#include "core/procedure.h"
#include "ui/procedure_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace qly {

namespace {

void closeWhatIsOpen()
{
    // Boxes first: a box does not close with the window it is shown over.
    QList<QPointer<QMessageBox>> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            boxes.append(box);
    }
    for (const QPointer<QMessageBox>& box : boxes) {
        if (box)
            box->close();
    }

    // Newest first, so that each procedure name leaves its thread's stack in order.
    QList<QPointer<ProcedureWindow>> windows;
    for (ProcedureWindow* window : ProcedureWindow::runningWindows())
        windows.prepend(window);
    for (const QPointer<ProcedureWindow>& window : windows) {
        if (window && window->isRunning())
            window->finish(Response::Cancelled);
    }
}

// Resumes a little later: procedures wind down through queued calls, and may be waiting on
// something other than a window.
SignalAwaiter shortly()
{
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    timer->start(10);
    return awaitSignal(timer, &QTimer::timeout);
}

} // namespace

QCoro::Task<> closeEveryProcedure()
{
    while (liveProcedures() > 0) {
        closeWhatIsOpen();
        co_await shortly();
    }
}

} // namespace qly
