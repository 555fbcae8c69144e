#pragma once
// Runs a procedure from a test and keeps its outcome: start it, spin the event loop with
// QTRY_VERIFY(runner.done()), then read result().

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

namespace qly::test {

template <class T>
class TaskRunner
{
public:
    explicit TaskRunner(QCoro::Task<T> task) : m_result(std::make_shared<std::optional<T>>())
    {
        [[maybe_unused]] QCoro::Task<> keep = run(std::move(task), m_result);
    }
    bool done() const { return m_result->has_value(); }
    const T& result() const { return **m_result; }

private:
    static QCoro::Task<> run(QCoro::Task<T> task, std::shared_ptr<std::optional<T>> result)
    {
        *result = co_await std::move(task);
    }
    std::shared_ptr<std::optional<T>> m_result;
};

} // namespace qly::test
