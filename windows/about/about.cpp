#include "windows/about/about.h"

#include "core/fixed_text.h"
#include "core/procedure.h"
#include "core/thread.h"
#include "errors/message_presenter.h"
#include "resources/icons.h"
#include "ui/dialog_units.h"

#include <memory>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

namespace qly {

namespace {

QString& sharedProjectName()
{
    static QString name;
    return name;
}

const QColor fuchsia(255, 0, 255);

QFont productNameFont()
{
    QFont font(QStringLiteral("Liberation Sans"), 14);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

QCoro::Task<> showBuildInformation(MessagePresenter* presenter)
{
    const MessageButton pressed = co_await presenter->present(buildInformation());
    (void)pressed; // the box only informs
}

class AboutWindow final : public ProcedureWindow
{
public:
    AboutWindow(const WindowServices& services, MessagePresenter* presenter, Thread& thread)
        : ProcedureWindow(services, thread, QStringLiteral("about"), Request::None, nullptr,
                          QSize(185, 92), Sizing::Fixed)
    {
        setWindowTitle(QStringLiteral("About Quillary"));
        setFont(windowFont());
        setWindowIcon(programIcon());
        setHelpKeyword(QStringLiteral("about"));

        // In tab order.
        auto* close =
            addControl<QPushButton>(QRect(104, 72, 50, 14), {.name = QStringLiteral("?CLOSE"),
                                                             .text = QStringLiteral("Close")});
        close->setDefault(true);
        closeWith(close, Response::Cancelled);

        auto* info = addControl<QPushButton>(
            QRect(8, 6, 26, 24),
            {.name = QStringLiteral("?INFO"), .toolTip = QStringLiteral("Build information")});
        info->setIcon(programIcon());
        info->setIconSize(QSize(32, 32));
        info->setFlat(true);
        connect(info, &QPushButton::clicked, this, [presenter] {
            if (presenter)
                spawn(showBuildInformation(presenter));
        });

        auto* product =
            addControl<QLabel>(QRect(42, 6, 136, 16), {.name = QStringLiteral("?PRODUCT"),
                                                       .text = QStringLiteral("Quillary")});
        product->setFont(productNameFont());
        QPalette colours = product->palette();
        colours.setColor(QPalette::WindowText, fuchsia);
        product->setPalette(colours);

        addControl<QLabel>(QRect(42, 22, 136, 10), {.name = QStringLiteral("?VERSION"),
                                                    .text = QStringLiteral("Version 4.01")});

        auto* statement = addControl<QPlainTextEdit>(QRect(8, 34, 170, 34),
                                                     {.name = QStringLiteral("?STATEMENT")});
        statement->setPlainText(
            QStringLiteral("Designed and written by the Quillary developers for keeping short "
                           "notes and dated reminders. All rights reserved."));
        statement->setReadOnly(true);
        statement->setFocusPolicy(Qt::NoFocus);
        statement->setFrameShape(QFrame::NoFrame);
        statement->viewport()->setAutoFillBackground(false);
    }
};

QCoro::Task<> aboutOnItsOwnThread(WindowServices services, MessagePresenter* presenter,
                                  std::unique_ptr<Thread> thread)
{
    const Response response = co_await about(services, presenter, *thread);
    (void)response; // nobody waits for it
}

} // namespace

void setProjectName(const QString& name)
{
    sharedProjectName() = fitText(name, projectNameWidth);
}

QString projectName()
{
    return padText(sharedProjectName(), projectNameWidth);
}

MessageBoxSpec buildInformation()
{
    MessageBoxSpec box;
    box.title = QStringLiteral("Info:");
    box.icon = MessageIcon::None;
    box.buttons = {MessageButton::Ok};
    box.defaultButton = MessageButton::Ok;
    const QString day = QLocale().toString(toQDate(buildDay), QLocale::ShortFormat);
    box.text = QStringLiteral("App: ") + projectName() + QStringLiteral("|Date: ") + day +
               QStringLiteral("|Build: ") + QString::number(buildNumber);
    return box;
}

QCoro::Task<Response> about(WindowServices services, MessagePresenter* presenter, Thread& thread)
{
    OwnedWindow<AboutWindow> window(new AboutWindow(services, presenter, thread));
    const Response response = co_await runWindow(window.get());
    co_return response;
}

void startAbout(WindowServices services, MessagePresenter* presenter)
{
    spawn(aboutOnItsOwnThread(services, presenter,
                              std::make_unique<Thread>(QStringLiteral("about"))));
}

} // namespace qly
