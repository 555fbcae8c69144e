#pragma once
// The window of a window procedure. A procedure is a coroutine that makes its window, runs it
// and reads what was entered when it closes:
//
//   QCoro::Task<Response> updateNote(WindowServices services, Thread& thread,
//                                    QPointer<QWidget> caller)
//   {
//       OwnedWindow<NoteWindow> window(new NoteWindow(services, thread, Request::Change, caller));
//       const Response response = co_await runWindow(window.get());
//       ...                                      // the window is still there to be read
//       co_return response;
//   }                                            // and is deleted here
//
// The window is a QDialog: that gives window modality to its caller (the caller takes no input
// while other windows stay usable), Esc and the title bar's close as a cancel, and Enter for
// the default button, with no event loop of its own. It is never exec()'d and never deletes
// itself: the procedure's frame owns it. While open it has the procedure's name on its Thread's
// procedure stack, and it keeps its placement in the settings section named after the procedure.
//
// The window's own area (body()) is laid out in dialog units by a Resizer; a status line below
// it shows the status text of the focused control. F1, or a button given to helpFrom(), opens
// help at the focused control's keyword, else the window's.

#include "core/request.h"
#include "settings/window_placement.h"
#include "ui/controls.h"

#include <qcoro/qcorotask.h>
#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QString>

class QAbstractButton;
class QStatusBar;

namespace qly {

class HelpBook;
class Resizer;
class ScreenSource;
class SettingsFile;
class Thread;

// What every window needs from the program, which keeps these for as long as windows exist.
struct WindowServices
{
    SettingsFile* settings = nullptr;      // none: windows open at their defaults, unsaved
    const ScreenSource* screens = nullptr; // none: the machine's screens
    HelpBook* help = nullptr;              // none: there is no help
};

class ProcedureWindow : public QDialog
{
    Q_OBJECT

public:
    // caller: the window this one is modal to (nullptr for none). design: the size of body()
    // in dialog units, which is also its minimum size.
    ProcedureWindow(const WindowServices& services, Thread& thread, QString procedure,
                    Request request, QWidget* caller, QSize design, Sizing sizing);
    ~ProcedureWindow() override;

    const QString& procedure() const { return m_procedure; }
    Request request() const { return m_request; }
    Thread& thread() const { return *m_thread; }
    Sizing sizing() const { return m_sizing; }
    // Cancelled until the window is closed with another response.
    Response response() const { return m_response; }
    bool isRunning() const { return m_state == State::Running; }

    QWidget* body() const { return m_body; }
    Resizer* resizer() const { return m_resizer; }
    QStatusBar* statusLine() const { return m_statusLine; }

    // Makes a control on body() at its design rectangle (dialog units).
    template <class Control> Control* addControl(QRect design, const ControlText& text)
    {
        auto* control = makeControl<Control>(m_body, text);
        addToBody(control, design);
        return control;
    }

    // Pressing button closes the window with response.
    void closeWith(QAbstractButton* button, Response response);
    // Pressing button opens help, as F1 does.
    void helpFrom(QAbstractButton* button);
    void setHelpKeyword(const QString& keyword);
    // The focused control's keyword, else the window's.
    QString helpKeywordInForce() const;
    void showHelp();

    // Pushes the procedure name, restores the placement and shows the window. Once.
    void start();
    // Closes the window with response.
    void finish(Response response);

    void accept() override; // finishes Completed
    void reject() override; // finishes Cancelled: Esc, the close button, a shutdown
    void done(int result) override;

    // Every window started and not yet closed, oldest first.
    static QList<ProcedureWindow*> runningWindows();

private:
    enum class State
    {
        Created,
        Running,
        Ended
    };

    void restorePlacement();
    void end();
    void onFocusChanged(QWidget* now);
    void addToBody(QWidget* control, QRect design);

    WindowServices m_services;
    Thread* m_thread;
    QString m_procedure;
    Request m_request;
    Sizing m_sizing;
    Response m_response = Response::Cancelled;
    State m_state = State::Created;
    QWidget* m_body;
    Resizer* m_resizer;
    QStatusBar* m_statusLine;
    QList<QAbstractButton*> m_helpButtons;
    QPointer<QWidget> m_lastFocus;
    QMetaObject::Connection m_focusWatch;
};

// Starts window if it is not running yet and resolves with its response once it closes
// (Cancelled when it is deleted first).
QCoro::Task<Response> runWindow(QPointer<ProcedureWindow> window);

// Owns a procedure's window for the procedure's frame: deletes it, if it still exists, when the
// frame ends. The window may go first (its caller deleted it); the guard then holds nothing.
template <class Window> class OwnedWindow
{
public:
    explicit OwnedWindow(Window* window) : m_window(window) {}
    ~OwnedWindow() { delete m_window.data(); }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;

    Window* get() const { return m_window.data(); }
    Window* operator->() const { return m_window.data(); }
    explicit operator bool() const { return !m_window.isNull(); }

private:
    QPointer<Window> m_window;
};

} // namespace qly
