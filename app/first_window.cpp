#include "app/first_window.h"

#include "core/thread.h"
#include "data/note_managers.h"

#include <QLabel>
#include <QPushButton>

namespace qly {

QCoro::Task<Response> runFirstWindow(WindowServices services, Thread& thread)
{
    RelationManager& notes = *noteManagers().notesRelation;
    notes.open(thread);
    const bool usable = co_await notes.table().use(thread);
    QString summary;
    if (usable) {
        store::TableInstance& table = notes.table().instance(thread);
        const auto count = table.count();
        summary = QStringLiteral("%1 notes in %2%3")
                      .arg(count.ok() ? count.value() : 0)
                      .arg(table.path())
                      .arg(table.access() == store::Access::ReadOnly ? QStringLiteral(" (read-only)") : QString());
    } else {
        summary = QStringLiteral("The notes could not be opened.");
    }

    OwnedWindow<ProcedureWindow> window(new ProcedureWindow(services, thread, QStringLiteral("Main"), Request::None,
                                                            nullptr, QSize(240, 70), Sizing::Resizable));
    window->setWindowTitle(QStringLiteral("Quillary   Notes and reminders"));
    window->setHelpKeyword(QStringLiteral("Main"));
    window->addControl<QLabel>(QRect(8, 8, 224, 30), {QStringLiteral("?SUMMARY"), summary, {}, {}, QStringLiteral("Main")})
        ->setWordWrap(true);
    auto* close = window->addControl<QPushButton>(
        QRect(186, 48, 46, 14), {QStringLiteral("?Close"), QStringLiteral("&Close"), QStringLiteral("Exit the program"),
                                 QStringLiteral("Close Quillary"), QStringLiteral("Main")});
    close->setDefault(true);
    window->closeWith(close, Response::Completed);
    const Response response = co_await runWindow(window.get());
    notes.close(thread);
    co_return response;
}

} // namespace qly
