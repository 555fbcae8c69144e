#include "ui_fixture.h"

#include "core/procedure.h"
#include "ui/shutdown.h"

#include <QAbstractTextDocumentLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QWindow>

namespace qly::test {

NoteWindow::NoteWindow(const WindowServices& services, Thread& thread, QWidget* caller,
                       const QString& procedure, Sizing sizing)
    : ProcedureWindow(services, thread, procedure, Request::Change, caller, QSize(200, 100), sizing)
{
    setHelpKeyword(QStringLiteral("note-window"));
    topic = addControl<QLineEdit>(QRect(10, 10, 180, 12),
                                  {.name = QStringLiteral("?SNO:TOPIC"),
                                   .toolTip = QStringLiteral("What the note is about"),
                                   .statusText = QStringLiteral("The topic of the note"),
                                   .helpKeyword = QStringLiteral("topic")});
    details = addControl<QLineEdit>(QRect(10, 30, 180, 12), {.name = QStringLiteral("?SNO:TEXT")});
    ok = addControl<QPushButton>(QRect(30, 80, 50, 14),
                                 {.name = QStringLiteral("?OK"), .text = QStringLiteral("&OK")});
    cancel = addControl<QPushButton>(QRect(85, 80, 50, 14), {.name = QStringLiteral("?CANCEL"),
                                                             .text = QStringLiteral("Cancel")});
    help = addControl<QPushButton>(
        QRect(140, 80, 50, 14), {.name = QStringLiteral("?HELP"), .text = QStringLiteral("&Help")});
    closeWith(ok, Response::Completed);
    closeWith(cancel, Response::Cancelled);
    helpFrom(help);
}

namespace {
QCoro::Task<> closeEverything(std::shared_ptr<bool> finished)
{
    co_await closeEveryProcedure();
    *finished = true;
}
} // namespace

bool finishEveryProcedure()
{
    auto finished = std::make_shared<bool>(false);
    closeEverything(finished);
    return QTest::qWaitFor([&finished] { return *finished; });
}

void clickAsUser(QWidget* widget)
{
    QWidget* window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::KeyboardModifiers(),
                      widget->mapTo(window, widget->rect().center()));
}

bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

QString topicInView(const QTextBrowser* browser)
{
    // At the very top the first topic is in view, whatever margin sits above its heading.
    const int top = browser->verticalScrollBar()->value();
    QString topic;
    qreal topicY = -1;
    QString first;
    const QTextDocument* document = browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const qreal y = document->documentLayout()->blockBoundingRect(block).top();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QStringList names = it.fragment().charFormat().anchorNames();
            if (!names.isEmpty() && first.isEmpty())
                first = names.front();
            if (!names.isEmpty() && y <= top + 1 && y > topicY) {
                topic = names.front();
                topicY = y;
            }
        }
    }
    return topic.isEmpty() && top == 0 ? first : topic;
}

} // namespace qly::test
