#pragma once
// The one seam through which every message box of the program is shown. The error manager and
// windows that show a plain box of their own describe the box; a presenter shows it and
// resolves with the button pressed. The program's presenter shows Qt message boxes (window-modal,
// awaited, never exec()); tests use a scripted presenter that records what was shown and returns
// the answers it was given.

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <vector>

namespace qly {

enum class MessageIcon { None, Information, Question, Exclamation, Stop };
enum class MessageButton { None, Ok, Yes, No, Cancel, Abort, Retry, Ignore };

struct MessageBoxSpec
{
    QString title;
    QString text;                  // a vertical bar starts a new line
    MessageIcon icon = MessageIcon::None;
    std::vector<MessageButton> buttons{MessageButton::Ok};
    MessageButton defaultButton = MessageButton::Ok;

    // The text as the box shows it: each vertical bar a line break.
    QString displayText() const;
};

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    // Shows the box and resolves with the button pressed. A box closed some other way (Esc,
    // its close button, the program ending) answers with the first of Cancel, No, Abort, Ok,
    // Ignore, Retry, Yes that it has.
    virtual QCoro::Task<MessageButton> present(MessageBoxSpec box) = 0;
};

} // namespace qly
