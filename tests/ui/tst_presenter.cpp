// The Qt message presenter with real message boxes, found as a user would see them.

#include "core/procedure.h"
#include "ui/qt_message_presenter.h"
#include "ui_fixture.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace qly;
using namespace qly::test;

namespace {

using Buttons = std::vector<MessageButton>;

QCoro::Task<> ask(QtMessagePresenter* presenter, MessageBoxSpec box,
                  std::optional<MessageButton>* answer)
{
    *answer = co_await presenter->present(std::move(box));
}

QMessageBox* shownBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

bool anyBoxLeft()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(),
                       [](QWidget* widget) { return qobject_cast<QMessageBox*>(widget); });
}

// The box's buttons as the user reads them, left to right.
QList<QAbstractButton*> buttonsInOrder(QMessageBox* box)
{
    QList<QAbstractButton*> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(), [box](QAbstractButton* a, QAbstractButton* b) {
        return a->mapTo(box, QPoint()).x() < b->mapTo(box, QPoint()).x();
    });
    return buttons;
}

QString captionOf(const QAbstractButton* button)
{
    return button->text().remove(u'&');
}

MessageBoxSpec boxOf(Buttons buttons, MessageButton defaultButton)
{
    MessageBoxSpec box;
    box.title = QStringLiteral("Quillary");
    box.text = QStringLiteral("Delete this note?");
    box.icon = MessageIcon::Question;
    box.buttons = std::move(buttons);
    box.defaultButton = defaultButton;
    return box;
}

enum class Dismissal
{
    EscapeKey,
    CloseButton,
    WindowDeleted
};

} // namespace

class PresenterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void boxShowsWhatItWasGivenAndAnswersTheButtonPressed_data();
    void boxShowsWhatItWasGivenAndAnswersTheButtonPressed();
    void boxClosedWithoutAButtonGivesTheEscapeAnswer_data();
    void boxClosedWithoutAButtonGivesTheEscapeAnswer();
    void boxIsModalOverTheActiveWindowOnly();

private:
    // Kept by the fixture: a box a failed test left open may still answer into it.
    std::optional<MessageButton>& newAnswer() { return m_answers.emplace_back(); }
    std::deque<std::optional<MessageButton>> m_answers;
};

void PresenterTest::cleanup()
{
    QVERIFY(finishEveryProcedure());
    m_answers.clear();
    QVERIFY2(!anyBoxLeft(), "a message box outlived its procedure");
}

void PresenterTest::boxShowsWhatItWasGivenAndAnswersTheButtonPressed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<MessageButton>("defaultButton");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<MessageButton>("answer");

    QTest::newRow("a question: bars break lines, buttons keep their order")
        << "Delete the note|Milk?" << QStringList{"Delete the note", "Milk?"}
        << MessageIcon::Question << QMessageBox::Question
        << Buttons{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}
        << QStringList{"Yes", "No", "Cancel"} << MessageButton::No << 0 << MessageButton::Yes;
    QTest::newRow("an exclamation shows the warning icon, the default is not first")
        << "Disk full" << QStringList{"Disk full"} << MessageIcon::Exclamation
        << QMessageBox::Warning
        << Buttons{MessageButton::Abort, MessageButton::Retry, MessageButton::Ignore}
        << QStringList{"Abort", "Retry", "Ignore"} << MessageButton::Retry << 2
        << MessageButton::Ignore;
    QTest::newRow("a stop shows the critical icon; Cancel before OK stays so")
        << "Cannot open|the file||Try again?"
        << QStringList{"Cannot open", "the file", "", "Try again?"} << MessageIcon::Stop
        << QMessageBox::Critical << Buttons{MessageButton::Cancel, MessageButton::Ok}
        << QStringList{"Cancel", "OK"} << MessageButton::Ok << 1 << MessageButton::Ok;
    QTest::newRow("text that looks like markup is shown as typed")
        << "<b>a</b> < b" << QStringList{"<b>a</b> < b"} << MessageIcon::Information
        << QMessageBox::Information << Buttons{MessageButton::Ok} << QStringList{"OK"}
        << MessageButton::Ok << 0 << MessageButton::Ok;
    QTest::newRow("no buttons at all shows OK, and OK is the default")
        << "Saved" << QStringList{"Saved"} << MessageIcon::None << QMessageBox::NoIcon << Buttons{}
        << QStringList{"OK"} << MessageButton::None << 0 << MessageButton::Ok;
}

void PresenterTest::boxShowsWhatItWasGivenAndAnswersTheButtonPressed()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(MessageIcon, icon);
    QFETCH(QMessageBox::Icon, shownIcon);
    QFETCH(Buttons, buttons);
    QFETCH(QStringList, captions);
    QFETCH(MessageButton, defaultButton);
    QFETCH(int, pressed);
    QFETCH(MessageButton, answer);

    MessageBoxSpec box = boxOf(buttons, defaultButton);
    box.text = text;
    box.icon = icon;
    QtMessagePresenter presenter;
    std::optional<MessageButton>& result = newAnswer();
    spawn(ask(&presenter, box, &result));

    QMessageBox* shown = nullptr;
    QTRY_VERIFY((shown = shownBox()));
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QCOMPARE(shown->windowTitle(), QStringLiteral("Quillary"));
    QCOMPARE(shown->text().split(u'\n'), lines);
    QCOMPARE(shown->textFormat(), Qt::PlainText);
    QCOMPARE(shown->icon(), shownIcon);
    const QList<QAbstractButton*> inOrder = buttonsInOrder(shown);
    QStringList shownCaptions;
    for (const QAbstractButton* button : inOrder)
        shownCaptions.append(captionOf(button));
    QCOMPARE(shownCaptions, captions);
    // The default given, or the first button when it is not one of them.
    const auto given = std::find(buttons.begin(), buttons.end(), defaultButton);
    const qsizetype defaultIndex = given == buttons.end() ? 0 : given - buttons.begin();
    QCOMPARE(shown->defaultButton(), inOrder.at(defaultIndex));

    clickAsUser(inOrder.at(pressed));
    QTRY_VERIFY(result.has_value());
    QCOMPARE(*result, answer);
}

void PresenterTest::boxClosedWithoutAButtonGivesTheEscapeAnswer_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<MessageButton>("defaultButton");
    QTest::addColumn<Dismissal>("dismissal");
    QTest::addColumn<MessageButton>("answer");

    QTest::newRow("Esc on a box with Cancel answers Cancel, whatever the default")
        << Buttons{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}
        << MessageButton::Yes << Dismissal::EscapeKey << MessageButton::Cancel;
    QTest::newRow("Esc on Yes/No answers No even when Yes is the default")
        << Buttons{MessageButton::Yes, MessageButton::No} << MessageButton::Yes
        << Dismissal::EscapeKey << MessageButton::No;
    QTest::newRow("the close button on Abort/Retry/Ignore answers Abort")
        << Buttons{MessageButton::Abort, MessageButton::Retry, MessageButton::Ignore}
        << MessageButton::Retry << Dismissal::CloseButton << MessageButton::Abort;
    QTest::newRow("the close button on a plain OK box answers OK")
        << Buttons{MessageButton::Ok} << MessageButton::Ok << Dismissal::CloseButton
        << MessageButton::Ok;
    QTest::newRow("the window under the box going away answers as Esc would")
        << Buttons{MessageButton::Retry, MessageButton::Cancel} << MessageButton::Retry
        << Dismissal::WindowDeleted << MessageButton::Cancel;
}

void PresenterTest::boxClosedWithoutAButtonGivesTheEscapeAnswer()
{
    QFETCH(Buttons, buttons);
    QFETCH(MessageButton, defaultButton);
    QFETCH(Dismissal, dismissal);
    QFETCH(MessageButton, answer);
    QCOMPARE(escapeAnswerOf(boxOf(buttons, defaultButton)), answer);

    auto window = std::make_unique<QWidget>();
    QVERIFY(showActive(window.get()));
    QtMessagePresenter presenter;
    std::optional<MessageButton>& result = newAnswer();
    spawn(ask(&presenter, boxOf(buttons, defaultButton), &result));
    QMessageBox* shown = nullptr;
    QTRY_VERIFY((shown = shownBox()));
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    switch (dismissal) {
    case Dismissal::EscapeKey:
        QTest::keyClick(shown, Qt::Key_Escape);
        break;
    case Dismissal::CloseButton:
        shown->close();
        break;
    case Dismissal::WindowDeleted:
        window.reset();
        break;
    }
    QTRY_VERIFY(result.has_value());
    QCOMPARE(*result, answer);
}

void PresenterTest::boxIsModalOverTheActiveWindowOnly()
{
    QWidget window;
    auto* windowButton = new QPushButton(QStringLiteral("Delete"), &window);
    QWidget other;
    auto* otherButton = new QPushButton(QStringLiteral("Browse"), &other);
    other.move(400, 0);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    QVERIFY(showActive(&window));
    QSignalSpy windowClicks(windowButton, &QPushButton::clicked);
    QSignalSpy otherClicks(otherButton, &QPushButton::clicked);

    QtMessagePresenter presenter;
    std::optional<MessageButton>& result = newAnswer();
    spawn(ask(&presenter, boxOf({MessageButton::Ok}, MessageButton::Ok), &result));
    QMessageBox* shown = nullptr;
    QTRY_VERIFY((shown = shownBox()));
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QCOMPARE(shown->parentWidget(), &window);
    QCOMPARE(shown->windowModality(), Qt::WindowModal);
    QVERIFY(!shown->testAttribute(Qt::WA_DeleteOnClose));

    clickAsUser(windowButton);
    clickAsUser(otherButton);
    QCOMPARE(windowClicks.count(), 0);
    QCOMPARE(otherClicks.count(), 1);

    clickAsUser(shown->buttons().front());
    QTRY_VERIFY(result.has_value());
    QTRY_VERIFY(!anyBoxLeft());
    clickAsUser(windowButton);
    QCOMPARE(windowClicks.count(), 1);
}

int runPresenterTests(int argc, char** argv)
{
    PresenterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_presenter.moc"
