// Procedure windows awaited by real procedures: responses, the procedure stack, placement in a
// real settings file, modality, the status line, help on F1, and shutdown.

#include "core/procedure.h"
#include "core/thread.h"
#include "ui/help_window.h"
#include "ui/procedure_window.h"
#include "ui/qt_message_presenter.h"
#include "ui/shutdown.h"
#include "ui_fixture.h"

#include <deque>
#include <memory>
#include <optional>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>

using namespace qly;
using namespace qly::test;

namespace {

struct Outcome
{
    QPointer<NoteWindow> window;
    std::optional<Response> response;
};

QCoro::Task<> noteProcedure(WindowServices services, Thread* thread, QPointer<QWidget> caller,
                            QString procedure, Outcome* outcome)
{
    OwnedWindow<NoteWindow> window(new NoteWindow(services, *thread, caller, procedure));
    outcome->window = window.get();
    outcome->response = co_await runWindow(window.get());
}

QCoro::Task<> askProcedure(QtMessagePresenter* presenter, std::optional<MessageButton>* answer)
{
    MessageBoxSpec box;
    box.text = QStringLiteral("Keep the changes?");
    box.buttons = {MessageButton::Yes, MessageButton::No};
    box.defaultButton = MessageButton::Yes;
    *answer = co_await presenter->present(box);
}

QCoro::Task<> shutDown(std::shared_ptr<bool> finished)
{
    co_await closeEveryProcedure();
    *finished = true;
}

enum class Closing
{
    OkButton,
    CancelButton,
    EscapeKey,
    CloseButton,
    CallerDeleted
};

} // namespace

class ProcedureWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void windowResolvesItsProcedure_data();
    void windowResolvesItsProcedure();
    void procedureNameIsOnTheStackWhileOpen();
    void placementIsSavedAndRestored_data();
    void placementIsSavedAndRestored();
    void maximizedWindowOpensMaximized();
    void callerTakesNoInputWhileOtherWindowsDo();
    void statusLineShowsTheFocusedControlsText();
    void helpOpensAtTheKeywordInForce_data();
    void helpOpensAtTheKeywordInForce();
    void shutdownClosesEveryWindowAndBox();

private:
    // Kept by the fixture: a procedure a failed test left running may still write to them.
    Outcome& newOutcome() { return m_outcomes.emplace_back(); }
    std::optional<MessageButton>& newAnswer() { return m_answers.emplace_back(); }

    std::deque<Outcome> m_outcomes;
    std::deque<std::optional<MessageButton>> m_answers;
    std::optional<TempSettings> m_settings;
    std::optional<FixedScreens> m_screens;
    std::optional<Thread> m_thread;
    WindowServices m_services;
};

void ProcedureWindowTest::init()
{
    m_settings.emplace();
    m_screens.emplace(QList<QRect>{QRect(0, 0, 1920, 1080)});
    m_thread.emplace(QStringLiteral("main"));
    m_services = WindowServices{&m_settings->file(), &*m_screens, nullptr};
}

void ProcedureWindowTest::cleanup()
{
    QVERIFY(finishEveryProcedure());
    m_outcomes.clear();
    m_answers.clear();
    m_thread.reset();
    m_settings.reset();
}

void ProcedureWindowTest::windowResolvesItsProcedure_data()
{
    QTest::addColumn<Closing>("closing");
    QTest::addColumn<Response>("expected");

    QTest::newRow("its OK button completes") << Closing::OkButton << Response::Completed;
    QTest::newRow("its Cancel button cancels") << Closing::CancelButton << Response::Cancelled;
    QTest::newRow("Esc cancels") << Closing::EscapeKey << Response::Cancelled;
    QTest::newRow("closing it otherwise cancels") << Closing::CloseButton << Response::Cancelled;
    QTest::newRow("its caller going away cancels") << Closing::CallerDeleted << Response::Cancelled;
}

void ProcedureWindowTest::windowResolvesItsProcedure()
{
    QFETCH(Closing, closing);
    QFETCH(Response, expected);
    auto caller = std::make_unique<QWidget>();
    QVERIFY(showActive(caller.get()));
    Outcome& outcome = newOutcome();
    spawn(noteProcedure(m_services, &*m_thread, caller.get(), QStringLiteral("UpdateSNotes"),
                        &outcome));
    QVERIFY(outcome.window);
    QVERIFY(QTest::qWaitForWindowExposed(outcome.window));
    QCOMPARE(outcome.window->request(), Request::Change);

    switch (closing) {
    case Closing::OkButton:
        clickAsUser(outcome.window->ok);
        break;
    case Closing::CancelButton:
        clickAsUser(outcome.window->cancel);
        break;
    case Closing::EscapeKey:
        QTest::keyClick(outcome.window->topic, Qt::Key_Escape);
        break;
    case Closing::CloseButton:
        outcome.window->close();
        break;
    case Closing::CallerDeleted:
        caller.reset();
        break;
    }
    QTRY_VERIFY(outcome.response.has_value());
    QCOMPARE(*outcome.response, expected);
    QVERIFY(!outcome.window); // the procedure's frame deleted it
    QCOMPARE(m_thread->procedure(), QString());
}

void ProcedureWindowTest::procedureNameIsOnTheStackWhileOpen()
{
    m_thread->pushProcedure(QStringLiteral("Main"));
    Outcome& first = newOutcome();
    spawn(noteProcedure(m_services, &*m_thread, nullptr, QStringLiteral("UpdateSNotes"), &first));
    QCOMPARE(m_thread->procedure(), QStringLiteral("UpdateSNotes"));
    Outcome& second = newOutcome();
    spawn(noteProcedure(m_services, &*m_thread, first.window.data(), QStringLiteral("printnote"),
                        &second));
    QCOMPARE(m_thread->procedure(), QStringLiteral("printnote"));

    second.window->finish(Response::Completed);
    QTRY_VERIFY(second.response);
    QCOMPARE(m_thread->procedure(), QStringLiteral("UpdateSNotes"));
    first.window->finish(Response::Cancelled);
    QTRY_VERIFY(first.response);
    QCOMPARE(m_thread->procedure(), QStringLiteral("Main"));
}

void ProcedureWindowTest::placementIsSavedAndRestored_data()
{
    QTest::addColumn<Sizing>("sizing");
    QTest::addColumn<QString>("savedKeys");

    QTest::newRow("a resizable window keeps its place and size")
        << Sizing::Resizable << QStringLiteral("Height,Maximize,Width,XPos,YPos");
    QTest::newRow("a fixed window keeps its place only")
        << Sizing::Fixed << QStringLiteral("Maximize,XPos,YPos");
}

void ProcedureWindowTest::placementIsSavedAndRestored()
{
    QFETCH(Sizing, sizing);
    QFETCH(QString, savedKeys);
    QSize designed;
    QSize enlarged;
    {
        NoteWindow window(m_services, *m_thread, nullptr, QStringLiteral("MultiNote"), sizing);
        window.start();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        designed = window.size();
        enlarged = designed + QSize(120, 80);
        window.move(140, 90);
        window.resize(enlarged);
        window.finish(Response::Completed);
    }
    m_settings->reopen(); // what was saved is on disk
    QStringList keys = m_settings->file().keys(QStringLiteral("MultiNote"));
    keys.sort();
    QCOMPARE(keys.join(u','), savedKeys);
    QCOMPARE(m_settings->file().value("MultiNote", "XPos"), QStringLiteral("140"));
    QCOMPARE(m_settings->file().value("MultiNote", "Maximize"), QStringLiteral("No"));

    NoteWindow again(m_services, *m_thread, nullptr, QStringLiteral("MultiNote"), sizing);
    again.start();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.pos(), QPoint(140, 90));
    QCOMPARE(again.size(), sizing == Sizing::Resizable ? enlarged : designed);
    again.finish(Response::Cancelled);
}

void ProcedureWindowTest::maximizedWindowOpensMaximized()
{
    {
        NoteWindow window(m_services, *m_thread, nullptr, QStringLiteral("BrowseARC"));
        window.start();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(60, 70);
        window.finish(Response::Completed); // closes in its normal place first
    }
    {
        NoteWindow window(m_services, *m_thread, nullptr, QStringLiteral("BrowseARC"));
        window.start();
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        window.finish(Response::Completed);
    }
    m_settings->reopen();
    QCOMPARE(m_settings->file().value("BrowseARC", "Maximize"), QStringLiteral("Yes"));
    QCOMPARE(m_settings->file().value("BrowseARC", "XPos"), QStringLiteral("60"));

    NoteWindow again(m_services, *m_thread, nullptr, QStringLiteral("BrowseARC"));
    again.start();
    QTRY_VERIFY(again.isMaximized());
    again.showNormal();
    QTRY_COMPARE(again.pos(), QPoint(60, 70));
    again.finish(Response::Cancelled);
}

void ProcedureWindowTest::callerTakesNoInputWhileOtherWindowsDo()
{
    QWidget caller;
    auto* callerButton = new QPushButton(QStringLiteral("New note"), &caller);
    QWidget bystander;
    auto* bystanderButton = new QPushButton(QStringLiteral("Browse"), &bystander);
    bystander.move(400, 0);
    bystander.show();
    QVERIFY(showActive(&caller));
    QVERIFY(QTest::qWaitForWindowExposed(&bystander));
    QSignalSpy callerClicks(callerButton, &QPushButton::clicked);
    QSignalSpy bystanderClicks(bystanderButton, &QPushButton::clicked);

    Outcome& outcome = newOutcome();
    spawn(noteProcedure(m_services, &*m_thread, callerButton, QStringLiteral("UpdateSNotes"),
                        &outcome));
    QVERIFY(QTest::qWaitForWindowExposed(outcome.window));
    QCOMPARE(outcome.window->parentWidget(), &caller);
    QCOMPARE(outcome.window->windowModality(), Qt::WindowModal);

    clickAsUser(callerButton);
    clickAsUser(bystanderButton);
    QCOMPARE(callerClicks.count(), 0);
    QCOMPARE(bystanderClicks.count(), 1);

    clickAsUser(outcome.window->ok);
    QTRY_VERIFY(outcome.response);
    clickAsUser(callerButton);
    QCOMPARE(callerClicks.count(), 1);
}

void ProcedureWindowTest::statusLineShowsTheFocusedControlsText()
{
    NoteWindow window(m_services, *m_thread, nullptr);
    window.start();
    QVERIFY(showActive(&window));
    window.topic->setFocus();
    QTRY_COMPARE(window.statusLine()->currentMessage(), QStringLiteral("The topic of the note"));
    QCOMPARE(window.topic->toolTip(), QStringLiteral("What the note is about"));
    window.details->setFocus();
    QTRY_COMPARE(window.statusLine()->currentMessage(), QString());
    window.finish(Response::Cancelled);
}

void ProcedureWindowTest::helpOpensAtTheKeywordInForce_data()
{
    QTest::addColumn<bool>("focusTopic");
    QTest::addColumn<bool>("useHelpButton");
    QTest::addColumn<QString>("expected");

    QTest::newRow("F1 on a control with a keyword opens its topic") << true << false << "topic";
    QTest::newRow("F1 on a control without one opens the window's")
        << false << false << "note-window";
    QTest::newRow("the Help button opens the topic of the control focused before it")
        << true << true << "topic";
}

void ProcedureWindowTest::helpOpensAtTheKeywordInForce()
{
    QFETCH(bool, focusTopic);
    QFETCH(bool, useHelpButton);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    QFile file(folder.filePath(HelpBook::fileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QString html = QStringLiteral("<html><body>");
    for (const char* topic : {"contents", "note-window", "topic"}) {
        html += QStringLiteral("<h2><a name=\"%1\"></a>%1</h2>").arg(QLatin1String(topic));
        for (int line = 0; line < 80; ++line)
            html += QStringLiteral("<p>About %1, line %2.</p>").arg(QLatin1String(topic)).arg(line);
    }
    file.write((html + QStringLiteral("</body></html>")).toUtf8());
    file.close();
    HelpBook book(folder.path());
    m_services.help = &book;

    NoteWindow window(m_services, *m_thread, nullptr);
    window.start();
    QVERIFY(showActive(&window));
    QWidget* focus = focusTopic ? static_cast<QWidget*>(window.topic) : window.details;
    focus->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), focus);
    if (useHelpButton)
        clickAsUser(window.help);
    else
        QTest::keyClick(focus, Qt::Key_F1);

    QTRY_VERIFY(book.window() && book.window()->isVisible());
    QTRY_COMPARE(topicInView(book.window()->browser()), expected);
    QVERIFY(!book.window()->notice()->isVisible());
    window.finish(Response::Cancelled);
}

void ProcedureWindowTest::shutdownClosesEveryWindowAndBox()
{
    Outcome& first = newOutcome();
    spawn(noteProcedure(m_services, &*m_thread, nullptr, QStringLiteral("Main"), &first));
    QVERIFY(showActive(first.window));
    Outcome& second = newOutcome();
    spawn(noteProcedure(m_services, &*m_thread, first.window.data(), QStringLiteral("UpdateSNotes"),
                        &second));
    QVERIFY(showActive(second.window));
    // The box stands over a window of no procedure, so only the shutdown can close it.
    QWidget desk;
    QVERIFY(showActive(&desk));
    QtMessagePresenter presenter;
    std::optional<MessageButton>& answer = newAnswer();
    spawn(askProcedure(&presenter, &answer));
    QCOMPARE(liveProcedures(), 3);

    auto finished = std::make_shared<bool>(false);
    shutDown(finished);
    QTRY_VERIFY(*finished);
    QCOMPARE(liveProcedures(), 0);
    QCOMPARE(first.response, std::optional<Response>(Response::Cancelled));
    QCOMPARE(second.response, std::optional<Response>(Response::Cancelled));
    QCOMPARE(answer, std::optional<MessageButton>(MessageButton::No));
    QVERIFY(!first.window && !second.window);
    QCOMPARE(m_thread->procedure(), QString());
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<QMessageBox*>(widget), "a message box outlived the shutdown");
}

int runProcedureWindowTests(int argc, char** argv)
{
    ProcedureWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_procedure_window.moc"
