#include "support/scripted_presenter.h"

namespace qly::test {

QCoro::Task<MessageButton> ScriptedPresenter::present(MessageBoxSpec box)
{
    m_shown.push_back(box);
    MessageButton pressed = box.defaultButton;
    if (!m_answers.empty()) {
        pressed = m_answers.front();
        m_answers.pop_front();
    }
    co_return pressed;
}

QStringList ScriptedPresenter::titles() const
{
    QStringList list;
    for (const MessageBoxSpec& box : m_shown)
        list << box.title;
    return list;
}

} // namespace qly::test
