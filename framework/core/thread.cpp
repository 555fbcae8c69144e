#include "core/thread.h"

#include <algorithm>

namespace qly {

namespace {
std::vector<Thread*>& registry()
{
    static std::vector<Thread*> threads;
    return threads;
}
quint64 g_nextId = 1;
} // namespace

Thread::Thread(QString name) : m_name(std::move(name)), m_id(g_nextId++)
{
    registry().push_back(this);
}

Thread::~Thread()
{
    // Locals may refer to services that outlive the thread; drop them while the thread is whole.
    m_locals.clear();
    auto& threads = registry();
    threads.erase(std::remove(threads.begin(), threads.end(), this), threads.end());
}

ThreadLocal* Thread::findLocal(const void* owner) const
{
    const auto it = m_locals.find(owner);
    return it == m_locals.end() ? nullptr : it->second.get();
}

void Thread::dropLocal(const void* owner)
{
    m_locals.erase(owner);
}

void Thread::pushProcedure(const QString& procedureName)
{
    m_procedures.push_back(procedureName);
}

void Thread::popProcedure()
{
    if (!m_procedures.isEmpty())
        m_procedures.pop_back();
}

QString Thread::procedure() const
{
    return m_procedures.isEmpty() ? QString() : m_procedures.back();
}

const std::vector<Thread*>& Thread::all()
{
    return registry();
}

void Thread::dropLocalsOf(const void* owner)
{
    for (Thread* thread : registry())
        thread->dropLocal(owner);
}

} // namespace qly
