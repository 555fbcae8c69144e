#pragma once
// Window procedures are coroutines (QCoro::Task<T>). This header holds the two things every
// procedure needs and QCoro does not give safely:
//
// - awaitSignal(sender, &Sender::signal): resumes the awaiting procedure when the signal fires
//   (true) or when sender is destroyed first (false). The resumption always comes through a
//   queued call, never from inside the signal's emission, and if the awaiting frame is destroyed
//   first nothing is resumed. Use it for windows and message boxes: never exec() or a nested
//   event loop.
// - spawn(task): starts a procedure detached (an archive or About window on a thread of its own),
//   counts it while it runs and catches what it throws.

#include <QObject>
#include <QPointer>

#include <coroutine>
#include <functional>
#include <memory>

#include <qcoro/qcorotask.h>

namespace qly {

class SignalAwaiter
{
public:
    template <class Sender, class Signal>
    SignalAwaiter(Sender* sender, Signal signal) : m_state(std::make_shared<State>())
    {
        m_state->sender = sender;
        State* state = m_state.get();
        m_state->connect = [state, sender, signal] {
            QObject::connect(sender, signal, &state->context, [state] { state->finish(true); });
        };
    }

    bool await_ready() const noexcept { return m_state->sender.isNull(); }
    void await_suspend(std::coroutine_handle<> handle);
    // true when the signal fired, false when the sender went away first.
    bool await_resume() const noexcept { return m_state->fired; }

private:
    // Shared so that the awaiter can be copied into the coroutine machinery; lives as long as
    // the awaiting frame holds it.
    struct State
    {
        void finish(bool fired);

        QPointer<QObject> sender;
        QObject context; // connections and the queued resumption die with the awaiting frame
        std::function<void()> connect;
        std::coroutine_handle<> handle;
        bool fired = false;
        bool finished = false;
    };
    std::shared_ptr<State> m_state;
};

template <class Sender, class Signal>
SignalAwaiter awaitSignal(Sender* sender, Signal signal)
{
    return SignalAwaiter(sender, signal);
}

// Resumes on the next turn of the event loop.
SignalAwaiter nextTurn();

// Starts task detached.
void spawn(QCoro::Task<> task);
// Detached procedures still running.
int liveProcedures();
// Called whenever the count of live procedures drops to zero.
void onAllProceduresFinished(std::function<void()> callback);

} // namespace qly
