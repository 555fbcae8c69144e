#pragma once
// A Thread is the context a window procedure runs in: not an OS thread (every widget lives on
// the GUI thread) but the owner of that thread's own state. Each Thread holds its own instance
// of every table it has used (record buffer and position) and its stack of procedure names.
//
// Services that keep per-thread state store it here with local(); when the service goes away
// first it drops its state from every live Thread with dropLocalsOf().

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace qly {

class ThreadLocal
{
public:
    virtual ~ThreadLocal() = default;
};

class Thread
{
public:
    explicit Thread(QString name);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    const QString& name() const { return m_name; }
    quint64 id() const { return m_id; }

    // The state owner keeps in this thread, made by make() on first use.
    template <class T>
    T& local(const void* owner, const std::function<std::unique_ptr<T>()>& make)
    {
        auto it = m_locals.find(owner);
        if (it == m_locals.end())
            it = m_locals.emplace(owner, make()).first;
        return static_cast<T&>(*it->second);
    }
    // The state owner keeps here, or nullptr.
    ThreadLocal* findLocal(const void* owner) const;
    void dropLocal(const void* owner);

    // Procedure names for the %Procedure token: pushed when a window starts, popped when it ends.
    void pushProcedure(const QString& name);
    void popProcedure();
    QString procedure() const;

    // Every Thread that exists, in creation order.
    static const std::vector<Thread*>& all();
    static void dropLocalsOf(const void* owner);

private:
    QString m_name;
    quint64 m_id;
    QStringList m_procedures;
    std::unordered_map<const void*, std::unique_ptr<ThreadLocal>> m_locals;
};

} // namespace qly
