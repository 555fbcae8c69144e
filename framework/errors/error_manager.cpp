#include "errors/error_manager.h"

#include "core/thread.h"

#include <cstdio>
#include <cstdlib>

namespace qly {

namespace {

// Tokens, longest first, so that %ErrorText is never read as %Error followed by "Text".
const QStringList& tokens()
{
    static const QStringList list = [] {
        QStringList names = {QStringLiteral("%File"),       QStringLiteral("%ErrorCode"),
                             QStringLiteral("%ErrorText"),  QStringLiteral("%Error"),
                             QStringLiteral("%FileErrorCode"), QStringLiteral("%FileError"),
                             QStringLiteral("%Message"),    QStringLiteral("%Field"),
                             QStringLiteral("%Procedure"),  QStringLiteral("%Category"),
                             QStringLiteral("%Previous")};
        std::stable_sort(names.begin(), names.end(),
                         [](const QString& a, const QString& b) { return a.size() > b.size(); });
        return names;
    }();
    return list;
}

// Boxes are built outside the coroutines: GCC 12 cannot keep braced lists across co_await.
MessageBoxSpec box(const QString& title, const QString& text, MessageIcon icon, MessageButton first,
                   MessageButton second = MessageButton::None)
{
    MessageBoxSpec described;
    described.title = title;
    described.text = text;
    described.icon = icon;
    described.buttons.assign(1, first);
    if (second != MessageButton::None)
        described.buttons.push_back(second);
    described.defaultButton = first;
    return described;
}

void endNow(int exitCode)
{
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

} // namespace

QString MessageBoxSpec::displayText() const
{
    QString shown = text;
    shown.replace(u'|', u'\n');
    return shown;
}

ErrorManager::ErrorManager(MessagePresenter& presenter, Terminator terminate)
    : m_presenter(presenter), m_terminate(terminate ? std::move(terminate) : Terminator(endNow))
{
}

void ErrorManager::addRows(const std::vector<MessageRow>& rows)
{
    for (const MessageRow& row : rows) {
        auto it = m_rows.find(row.number);
        if (it == m_rows.end()) {
            m_rows.emplace(row.number, Loaded{row, QString()});
        } else {
            it->second.previous = it->second.row.text;
            it->second.row = row;
        }
    }
}

const MessageRow* ErrorManager::row(int number) const
{
    const auto it = m_rows.find(number);
    return it == m_rows.end() ? nullptr : &it->second.row;
}

QString ErrorManager::fill(const QString& text, const std::map<QString, QString>& values) const
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'%') {
            bool replaced = false;
            for (const QString& token : tokens()) {
                if (QStringView(text).sliced(i).startsWith(token, Qt::CaseInsensitive)) {
                    out += values.at(token);
                    i += token.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
        }
        out += text[i++];
    }
    return out;
}

QString ErrorManager::fillTokens(const Thread& thread, const MessageRow& row, const QString& message) const
{
    const TableErrorContext& c = m_context;
    const QString errorText = c.errorCode == 90
                                  ? QStringLiteral("%1 (%2)").arg(c.fileErrorText).arg(c.fileErrorCode)
                                  : QStringLiteral("%1 (%2)").arg(c.errorText).arg(c.errorCode);
    const auto loaded = m_rows.find(row.number);
    const std::map<QString, QString> values = {
        {QStringLiteral("%File"), c.file},
        {QStringLiteral("%ErrorCode"), QString::number(c.errorCode)},
        {QStringLiteral("%ErrorText"), errorText},
        {QStringLiteral("%Error"), c.errorText},
        {QStringLiteral("%FileErrorCode"), QString::number(c.fileErrorCode)},
        {QStringLiteral("%FileError"), c.fileErrorText},
        {QStringLiteral("%Message"), message},
        {QStringLiteral("%Field"), m_field},
        {QStringLiteral("%Procedure"), thread.procedure()},
        {QStringLiteral("%Category"), m_category},
        {QStringLiteral("%Previous"), loaded == m_rows.end() ? QString() : loaded->second.previous},
    };
    return fill(row.text, values);
}

QCoro::Task<Answer> ErrorManager::raise(const Thread& thread, int number, QString message)
{
    const MessageRow* found = row(number);
    if (!found)
        co_return Answer::Continue; // the program raises only rows it has
    // Everything the box shows is taken now, before anything else can change the situation.
    const MessageRow shownRow = *found;
    const QString text = fillTokens(thread, shownRow, message);

    switch (shownRow.level) {
    case Harmless:
        co_return Answer::Continue;
    case Question:
    case QuestionToo: {
        MessageBoxSpec question = box(shownRow.title, text, MessageIcon::Question, MessageButton::Yes, MessageButton::No);
        const MessageButton pressed = co_await m_presenter.present(std::move(question));
        co_return pressed == MessageButton::Yes ? Answer::Continue : Answer::Cancel;
    }
    case Notice: {
        MessageBoxSpec notice = box(shownRow.title, text, MessageIcon::Exclamation, MessageButton::Ok);
        co_await m_presenter.present(std::move(notice));
        co_return Answer::NoticeGiven;
    }
    default: { // fatal, program faults and every other level
        MessageBoxSpec fatal = box(shownRow.title, text + QLatin1String(kFatalSuffix), MessageIcon::Exclamation, MessageButton::Ok);
        co_await m_presenter.present(std::move(fatal));
        MessageBoxSpec halt = box(QStringLiteral("Halt"), shownRow.title, MessageIcon::Stop, MessageButton::Ok);
        co_await m_presenter.present(std::move(halt));
        m_terminate(3);
        co_return Answer::Ended;
    }
    }
}

QCoro::Task<MessageButton> ErrorManager::ask(const Thread& thread, int number,
                                             std::vector<MessageButton> buttons, MessageButton defaultButton)
{
    const MessageRow* found = row(number);
    if (!found)
        co_return defaultButton;
    const MessageRow shownRow = *found;
    MessageBoxSpec question = box(shownRow.title, fillTokens(thread, shownRow, QString()), MessageIcon::Question, MessageButton::None);
    question.buttons = std::move(buttons);
    question.defaultButton = defaultButton;
    co_return co_await m_presenter.present(std::move(question));
}

} // namespace qly
