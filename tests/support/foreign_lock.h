#pragma once
// Holds a data file's write lock the way another running copy of the program would.

#include <QString>

namespace qly::test {

class ForeignWriteLock
{
public:
    explicit ForeignWriteLock(const QString& dataFilePath);
    ~ForeignWriteLock();
    ForeignWriteLock(const ForeignWriteLock&) = delete;
    ForeignWriteLock& operator=(const ForeignWriteLock&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace qly::test
