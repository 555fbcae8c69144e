#pragma once
// A message presenter for tests: records every box shown (title, text, icon, buttons, default)
// and answers with the buttons it was given, in order; with no answer left it presses the box's
// default button.

#include "errors/message_presenter.h"

#include <deque>
#include <vector>

namespace qly::test {

class ScriptedPresenter final : public MessagePresenter
{
public:
    QCoro::Task<MessageButton> present(MessageBoxSpec box) override;

    void answer(MessageButton button) { m_answers.push_back(button); }
    const std::vector<MessageBoxSpec>& shown() const { return m_shown; }
    QStringList titles() const;
    void clear() { m_shown.clear(); m_answers.clear(); }

private:
    std::deque<MessageButton> m_answers;
    std::vector<MessageBoxSpec> m_shown;
};

} // namespace qly::test
