#include "core/procedure.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include <exception>

namespace qly {

namespace {
int g_live = 0;
std::function<void()> g_allFinished;

QCoro::Task<> runDetached(QCoro::Task<> task)
{
    ++g_live;
    try {
        co_await std::move(task);
    } catch (const std::exception& e) {
        qCritical("a procedure ended with an exception: %s", e.what());
    } catch (...) {
        qCritical("a procedure ended with an unknown exception");
    }
    if (--g_live == 0 && g_allFinished)
        g_allFinished();
}
} // namespace

void SignalAwaiter::await_suspend(std::coroutine_handle<> handle)
{
    State* state = m_state.get();
    state->handle = handle;
    state->connect();
    QObject::connect(state->sender.data(), &QObject::destroyed, &state->context,
                     [state] { state->finish(false); });
}

void SignalAwaiter::State::finish(bool wasFired)
{
    if (finished)
        return;
    finished = true;
    fired = wasFired;
    if (sender)
        QObject::disconnect(sender.data(), nullptr, &context, nullptr);
    const std::coroutine_handle<> awaiting = handle;
    QMetaObject::invokeMethod(&context, [awaiting] { awaiting.resume(); }, Qt::QueuedConnection);
}

SignalAwaiter nextTurn()
{
    // A zero timer that exists only for this wait; it fires on the next turn of the loop.
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    timer->start(0);
    return SignalAwaiter(timer, &QTimer::timeout);
}

void spawn(QCoro::Task<> task)
{
    // Dropping the wrapper's Task leaves the coroutine running; it frees itself when done.
    [[maybe_unused]] QCoro::Task<> detached = runDetached(std::move(task));
}

int liveProcedures()
{
    return g_live;
}

void onAllProceduresFinished(std::function<void()> callback)
{
    g_allFinished = std::move(callback);
}

} // namespace qly
