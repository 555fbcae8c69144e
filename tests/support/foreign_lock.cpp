#include "support/foreign_lock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qly::test {

ForeignWriteLock::ForeignWriteLock(const QString& dataFilePath)
{
    m_fd = ::open(QFile::encodeName(dataFilePath + QStringLiteral(".lock")).constData(),
                  O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

ForeignWriteLock::~ForeignWriteLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace qly::test
