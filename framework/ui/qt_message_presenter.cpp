#include "ui/qt_message_presenter.h"

#include "core/procedure.h"
#include "ui/procedure_window.h"

#include <algorithm>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace qly {

namespace {

// The buttons the box shows: the ones given, in order, without None or repeats; Ok if none.
std::vector<MessageButton> shownButtons(const MessageBoxSpec& box)
{
    std::vector<MessageButton> shown;
    for (MessageButton button : box.buttons) {
        if (button != MessageButton::None &&
            std::find(shown.begin(), shown.end(), button) == shown.end())
            shown.push_back(button);
    }
    if (shown.empty())
        shown.push_back(MessageButton::Ok);
    return shown;
}

QMessageBox::StandardButton standardButtonOf(MessageButton button)
{
    switch (button) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    case MessageButton::Abort:
        return QMessageBox::Abort;
    case MessageButton::Retry:
        return QMessageBox::Retry;
    case MessageButton::Ignore:
        return QMessageBox::Ignore;
    case MessageButton::None:
        break;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QCoro::Task<MessageButton> showBox(MessageBoxSpec described)
{
    const MessageButton escapeAnswer = escapeAnswerOf(described);
    OwnedWindow<QMessageBox> box(new QMessageBox(QApplication::activeWindow()));
    box->setWindowTitle(described.title);
    box->setTextFormat(Qt::PlainText);
    box->setText(displayTextOf(described));
    box->setIcon(iconOf(described.icon));

    std::vector<std::pair<QPushButton*, MessageButton>> answers;
    for (MessageButton answer : shownButtons(described)) {
        QPushButton* button = box->addButton(standardButtonOf(answer));
        // Added by its role the box would sort it; as an action it stays where it is put.
        box->removeButton(button);
        box->addButton(button, QMessageBox::ActionRole);
        answers.emplace_back(button, answer);
        if (answer == described.defaultButton)
            box->setDefaultButton(button);
        if (answer == escapeAnswer)
            box->setEscapeButton(button);
    }
    if (!box->defaultButton())
        box->setDefaultButton(answers.front().first);

    box->setWindowModality(Qt::WindowModal);
    box->open();
    const bool closed = co_await awaitSignal(box.get(), &QDialog::finished);
    if (!closed || !box)
        co_return escapeAnswer;
    for (const auto& [button, answer] : answers) {
        if (button == box->clickedButton())
            co_return answer;
    }
    co_return escapeAnswer;
}

} // namespace

QString displayTextOf(const MessageBoxSpec& box)
{
    QString shown = box.text;
    shown.replace(u'|', u'\n');
    return shown;
}

MessageButton escapeAnswerOf(const MessageBoxSpec& box)
{
    const std::vector<MessageButton> shown = shownButtons(box);
    for (MessageButton answer :
         {MessageButton::Cancel, MessageButton::No, MessageButton::Abort, MessageButton::Ok,
          MessageButton::Ignore, MessageButton::Retry, MessageButton::Yes}) {
        if (std::find(shown.begin(), shown.end(), answer) != shown.end())
            return answer;
    }
    return shown.front();
}

QCoro::Task<MessageButton> QtMessagePresenter::present(MessageBoxSpec box)
{
    // The box's own coroutine holds nothing of this presenter.
    return showBox(std::move(box));
}

} // namespace qly
