#pragma once
// The program's message boxes, shown with QMessageBox. The error manager and windows describe a
// box (MessageBoxSpec) and await present(); this shows it window-modal over the active window
// with open() (never exec()), resolves with the button pressed and deletes the box.
//
// The buttons appear in the order given (not sorted by role), the given default button is the
// default (the first button when the default given is not among them), and the text is plain text
// with each '|' a line break. A box closed without a button (Esc, the close button, a shutdown, its
// window deleted) gives escapeAnswerOf(): whatever the default, the first of Cancel, No, Abort, Ok,
// Ignore, Retry, Yes that the box has, the least committing answer first.

#include "errors/message_presenter.h"

namespace qly {

QString displayTextOf(const MessageBoxSpec& box);
MessageButton escapeAnswerOf(const MessageBoxSpec& box);

class QtMessagePresenter final : public MessagePresenter
{
public:
    QCoro::Task<MessageButton> present(MessageBoxSpec box) override;
};

} // namespace qly
