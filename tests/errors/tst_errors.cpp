// The error manager: tokens, levels and their boxes, asks, and the built-in rows.

#include "core/thread.h"
#include "errors/builtin_messages.h"
#include "errors/error_manager.h"
#include "support/scripted_presenter.h"
#include "support/task_runner.h"

#include <QTest>

using namespace qly;
using namespace qly::test;

Q_DECLARE_METATYPE(qly::MessageButton)
Q_DECLARE_METATYPE(qly::Answer)

class ErrorsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void tokens_data();
    void tokens();
    void procedureIsTheRaisingThreads();
    void aLaterRowReplacesAnEarlierOne();

    void levels_data();
    void levels();
    void fatalRowsEndTheProgramAfterTheHaltBox_data();
    void fatalRowsEndTheProgramAfterTheHaltBox();
    void askShowsTheGivenButtons();

    void insertErrorShowsThreeLines();
    void readOnlyRefusalReadsAsTheUserSeesIt();
    void unknownRowsAreNotRaised();

private:
    Answer raise(int number, const QString& message = {});

    ScriptedPresenter m_presenter;
    std::unique_ptr<ErrorManager> m_errors;
    std::vector<int> m_exits;
    Thread m_thread{QStringLiteral("main")};
};

void ErrorsTest::init()
{
    m_presenter.clear();
    m_exits.clear();
    m_errors = std::make_unique<ErrorManager>(m_presenter, [this](int code) { m_exits.push_back(code); });
    m_errors->addRows(builtinMessages());
    m_errors->setCategory(builtinCategory());
    m_errors->setTableError({QStringLiteral("QLY\\!notes"), 5, QStringLiteral("Access Denied"), 13,
                             QStringLiteral("Permission denied")});
    m_errors->setField(QStringLiteral("SNO:TOPIC"));
}

Answer ErrorsTest::raise(int number, const QString& message)
{
    TaskRunner<Answer> run(m_errors->raise(m_thread, number, message));
    if (!QTest::qWaitFor([&] { return run.done(); }, 5000))
        return Answer::Ended;
    return run.result();
}

void ErrorsTest::tokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("%File alone") << "[%File]" << "[QLY\\!notes]";
    QTest::newRow("%FileError is not %File followed by Error") << "[%FileError]" << "[Permission denied]";
    QTest::newRow("%FileErrorCode is not %FileError followed by Code") << "[%FileErrorCode]" << "[13]";
    QTest::newRow("%ErrorText is not %Error followed by Text") << "[%ErrorText]" << "[Access Denied (5)]";
    QTest::newRow("%ErrorCode") << "[%ErrorCode]" << "[5]";
    QTest::newRow("%Error alone") << "[%Error]" << "[Access Denied]";
    QTest::newRow("letters in any case") << "%FILE %errortext %eRRor" << "QLY\\!notes Access Denied (5) Access Denied";
    QTest::newRow("%Field, %Message, %Category") << "%Field %Message %Category" << "SNO:TOPIC extra Quillary";
    QTest::newRow("a token followed by letters") << "%Filename" << "QLY\\!notesname";
    QTest::newRow("not a token") << "100% sure, %Foo" << "100% sure, %Foo";
    QTest::newRow("a lone percent at the end") << "half%" << "half%";
    QTest::newRow("values are not read as tokens again") << "%Message" << "extra";
}

void ErrorsTest::tokens()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const MessageRow row{999, Notice, QStringLiteral("t"), text};
    QCOMPARE(m_errors->fillTokens(m_thread, row, QStringLiteral("extra")), shown);
}

void ErrorsTest::procedureIsTheRaisingThreads()
{
    Thread about(QStringLiteral("about"));
    m_thread.pushProcedure(QStringLiteral("Main"));
    about.pushProcedure(QStringLiteral("about"));
    const MessageRow row{999, Notice, QStringLiteral("t"), QStringLiteral("in %Procedure")};
    QCOMPARE(m_errors->fillTokens(m_thread, row, {}), QStringLiteral("in Main"));
    QCOMPARE(m_errors->fillTokens(about, row, {}), QStringLiteral("in about"));
    m_thread.popProcedure();
}

void ErrorsTest::aLaterRowReplacesAnEarlierOne()
{
    m_errors->addRows({{500, Notice, QStringLiteral("First"), QStringLiteral("one")},
                       {500, Notice, QStringLiteral("Second"), QStringLiteral("two after %Previous")}});
    QCOMPARE(raise(500), Answer::NoticeGiven);
    QCOMPARE(m_presenter.shown().back().title, QStringLiteral("Second"));
    QCOMPARE(m_presenter.shown().back().text, QStringLiteral("two after one"));
}

void ErrorsTest::levels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<MessageButton>("pressed");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("icon");
    QTest::addColumn<Answer>("answer");

    QTest::newRow("harmless shows nothing") << 0 << MessageButton::None << 0 << 0 << Answer::Continue;
    QTest::newRow("question answered Yes continues") << 1 << MessageButton::Yes << 1 << int(MessageIcon::Question) << Answer::Continue;
    QTest::newRow("question answered No cancels") << 1 << MessageButton::No << 1 << int(MessageIcon::Question) << Answer::Cancel;
    QTest::newRow("level 4 is a question too") << 4 << MessageButton::No << 1 << int(MessageIcon::Question) << Answer::Cancel;
    QTest::newRow("notice with OK") << 5 << MessageButton::Ok << 1 << int(MessageIcon::Exclamation) << Answer::NoticeGiven;
}

void ErrorsTest::levels()
{
    QFETCH(int, level);
    QFETCH(MessageButton, pressed);
    QFETCH(int, boxes);
    QFETCH(int, icon);
    QFETCH(Answer, answer);
    m_errors->addRows({{600, quint8(level), QStringLiteral("Title"), QStringLiteral("Text")}});
    if (pressed != MessageButton::None)
        m_presenter.answer(pressed);
    QCOMPARE(raise(600), answer);
    QCOMPARE(int(m_presenter.shown().size()), boxes);
    QVERIFY(m_exits.empty());
    if (boxes == 0)
        return;
    const MessageBoxSpec& box = m_presenter.shown().front();
    QCOMPARE(int(box.icon), icon);
    if (box.icon == MessageIcon::Question) {
        QCOMPARE(box.buttons, (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No}));
        QCOMPARE(box.defaultButton, MessageButton::Yes);
    } else {
        QCOMPARE(box.buttons, std::vector<MessageButton>{MessageButton::Ok});
    }
}

void ErrorsTest::fatalRowsEndTheProgramAfterTheHaltBox_data()
{
    QTest::addColumn<int>("level");
    QTest::newRow("fatal") << 3;
    QTest::newRow("program fault is handled as fatal") << 2;
    QTest::newRow("unknown levels are program faults") << 9;
}

void ErrorsTest::fatalRowsEndTheProgramAfterTheHaltBox()
{
    QFETCH(int, level);
    m_errors->addRows({{700, quint8(level), QStringLiteral("Broken"), QStringLiteral("It broke.")}});
    QCOMPARE(raise(700), Answer::Ended);
    QCOMPARE(m_presenter.titles(), (QStringList{QStringLiteral("Broken"), QStringLiteral("Halt")}));
    const MessageBoxSpec& first = m_presenter.shown()[0];
    QCOMPARE(first.text, QStringLiteral("It broke.  Press OK to end this application"));
    QCOMPARE(first.icon, MessageIcon::Exclamation);
    QCOMPARE(first.buttons, std::vector<MessageButton>{MessageButton::Ok});
    QCOMPARE(m_presenter.shown()[1].text, QStringLiteral("Broken"));
    QCOMPARE(m_exits.size(), size_t{1});
    QVERIFY(m_exits.front() != 0);
}

void ErrorsTest::askShowsTheGivenButtons()
{
    m_presenter.answer(MessageButton::No);
    TaskRunner<MessageButton> run(m_errors->ask(m_thread, msg::SaveRecord,
                                                {MessageButton::Yes, MessageButton::No, MessageButton::Cancel},
                                                MessageButton::Cancel));
    QTRY_VERIFY(run.done());
    QCOMPARE(run.result(), MessageButton::No);
    const MessageBoxSpec& box = m_presenter.shown().front();
    QCOMPARE(box.title, QStringLiteral("Save Record"));
    QCOMPARE(box.text, QStringLiteral("Do you want to save the changes to this record?"));
    QCOMPARE(box.icon, MessageIcon::Question);
    QCOMPARE(box.buttons, (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}));
    QCOMPARE(box.defaultButton, MessageButton::Cancel);
}

void ErrorsTest::insertErrorShowsThreeLines()
{
    QCOMPARE(raise(msg::RecordInsertError), Answer::NoticeGiven);
    const MessageBoxSpec& box = m_presenter.shown().front();
    QCOMPARE(box.displayText().split(u'\n'),
             (QStringList{QStringLiteral("An error was experienced during the creation of a record."),
                          QStringLiteral("File: QLY\\!notes"), QStringLiteral("Error: Access Denied (5).")}));
}

void ErrorsTest::readOnlyRefusalReadsAsTheUserSeesIt()
{
    QCOMPARE(raise(msg::AccessDenied), Answer::NoticeGiven);
    QCOMPARE(raise(msg::FileAccessError), Answer::Ended);
    QCOMPARE(m_presenter.titles(), (QStringList{QStringLiteral("Access Denied"), QStringLiteral("File Access Error"),
                                                QStringLiteral("Halt")}));
    QCOMPARE(m_presenter.shown()[0].text, QStringLiteral("Could not get write access to QLY\\!notes so trying read-only."));
    QCOMPARE(m_presenter.shown()[1].text,
             QStringLiteral("File QLY\\!notes could not be opened.  Error: Access Denied (5)."
                            "  Press OK to end this application"));
    // A file-system error shows the system's own text and code instead.
    m_errors->setTableError({QStringLiteral("QLY\\!notes"), 90, QStringLiteral("File System Error"), 28,
                             QStringLiteral("No space left on device")});
    QCOMPARE(raise(msg::RecordWasNotUpdated), Answer::NoticeGiven);
    QCOMPARE(m_presenter.shown().back().text,
             QStringLiteral("An error (No space left on device (28)) was experienced when making changes to the QLY\\!notes file."));
}

void ErrorsTest::unknownRowsAreNotRaised()
{
    QCOMPARE(raise(12345), Answer::Continue);
    QVERIFY(m_presenter.shown().empty());
    QVERIFY(m_errors->row(msg::InvalidRequest));
    QCOMPARE(m_errors->row(msg::InvalidRequest)->text, QStringLiteral("This form cannot be used to insert a record"));
    QCOMPARE(m_errors->row(msg::RecordRetrievalError)->text,
             QStringLiteral("Error: (%ErrorText) attempting to access a record from the %File file.  Returning to previous window."));
}

QTEST_GUILESS_MAIN(ErrorsTest)
#include "tst_errors.moc"
