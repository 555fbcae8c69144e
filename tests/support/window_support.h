#pragma once
// What the window tests share: finding running windows and their controls, closing everything
// at the end of a test, and a desktop that records what it was asked to open.

#include "core/procedure.h"
#include "ui/procedure_window.h"
#include "ui/shutdown.h"
#include "windows/edit/open_document.h"

#include <memory>
#include <QList>
#include <QTest>
#include <QUrl>

namespace qly::test {

// The running windows of procedure, oldest first.
inline QList<ProcedureWindow*> windowsOf(const QString& procedure)
{
    QList<ProcedureWindow*> found;
    for (ProcedureWindow* window : ProcedureWindow::runningWindows()) {
        if (window->procedure() == procedure)
            found.append(window);
    }
    return found;
}

template <class Control> Control* control(QWidget* window, const QString& name)
{
    return window->findChild<Control*>(name);
}

template <class Control> Control* control(QWidget* window, const char* name)
{
    return window->findChild<Control*>(QLatin1String(name));
}

inline QCoro::Task<> closeEverything(std::shared_ptr<bool> finished)
{
    co_await closeEveryProcedure();
    *finished = true;
}

// Closes every window still open, the test's own procedures' and the detached ones', and waits
// until every detached procedure has ended.
inline bool closeEveryWindow()
{
    for (ProcedureWindow* window : ProcedureWindow::runningWindows())
        window->finish(Response::Cancelled);
    auto finished = std::make_shared<bool>(false);
    closeEverything(finished);
    return QTest::qWaitFor([&finished] { return *finished; });
}

class RecordingOpener final : public DocumentOpener
{
public:
    void openUrl(const QUrl& url) override { opened << url; }
    QList<QUrl> opened;
};

} // namespace qly::test
