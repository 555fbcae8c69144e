#pragma once
// The error manager: every failure and every yes-or-no question of the table managers, forms,
// lists and reports is raised here by message number. A row's level decides the box and what the
// caller gets back; a fatal row ends the program after its boxes.
//
// Raising is awaited (the box is window-modal, never a nested event loop). The manager is shared
// by all threads; the %Procedure token is the name on top of the raising Thread's stack. What the
// last failed table operation was is recorded with setTableError() just before a row about a
// table is raised, and captured when the raise starts.

#include "errors/message_presenter.h"

#include <QString>

#include <qcoro/qcorotask.h>

#include <functional>
#include <map>
#include <vector>

namespace qly {

class Thread;

// Levels of a message row.
enum MessageLevel : quint8 {
    Harmless = 0,     // nothing shown
    Question = 1,     // Yes/No, Yes the default
    ProgramFault = 2, // handled as fatal
    Fatal = 3,        // OK, then "Halt", then the program ends
    QuestionToo = 4,  // as Question
    Notice = 5,       // OK; the caller's operation has failed or stopped
};

struct MessageRow
{
    quint16 number;
    quint8 level;
    QString title;
    QString text;
};

// What the caller of raise() gets back.
enum class Answer { Continue, Cancel, NoticeGiven, Ended };

// The failed table operation a row is about.
struct TableErrorContext
{
    QString file;          // %File: "QLY\!notes"
    int errorCode = 0;     // %ErrorCode
    QString errorText;     // %Error: the code's text
    int fileErrorCode = 0; // %FileErrorCode
    QString fileErrorText; // %FileError
};

class ErrorManager
{
public:
    // What ends the program after a fatal row; tests record instead.
    using Terminator = std::function<void(int exitCode)>;

    explicit ErrorManager(MessagePresenter& presenter, Terminator terminate = {});

    // Adds rows; a later row with a number already loaded replaces it (its text stays as %Previous).
    void addRows(const std::vector<MessageRow>& rows);
    const MessageRow* row(int number) const;
    void setCategory(QString category) { m_category = std::move(category); }

    void setTableError(TableErrorContext context) { m_context = std::move(context); }
    void setField(QString field) { m_field = std::move(field); }

    // Shows row number as its level says. message fills %Message.
    QCoro::Task<Answer> raise(const Thread& thread, int number, QString message = {});
    // Asks row number with the given buttons and default; resolves with the button pressed.
    QCoro::Task<MessageButton> ask(const Thread& thread, int number, std::vector<MessageButton> buttons,
                                   MessageButton defaultButton);

    // The presenter every box goes through, for windows that show a plain box of their own.
    MessagePresenter& presenter() const { return m_presenter; }
    // Ends the program at once with exitCode (tests record it instead).
    void terminate(int exitCode) const { m_terminate(exitCode); }

    // The row's text with every token replaced, as it would be shown now on thread.
    QString fillTokens(const Thread& thread, const MessageRow& row, const QString& message) const;

    static constexpr const char* kFatalSuffix = "  Press OK to end this application";

private:
    struct Loaded
    {
        MessageRow row;
        QString previous;
    };
    QString fill(const QString& text, const std::map<QString, QString>& values) const;

    MessagePresenter& m_presenter;
    Terminator m_terminate;
    std::map<int, Loaded> m_rows;
    QString m_category;
    TableErrorContext m_context;
    QString m_field;
};

} // namespace qly
