#include "support/temp_workdir.h"

#include <QDir>

namespace qly::test {

TempWorkdir::TempWorkdir() : m_previous(QDir::currentPath())
{
    if (m_dir.isValid())
        QDir::setCurrent(m_dir.path());
}

TempWorkdir::~TempWorkdir()
{
    QDir::setCurrent(m_previous);
}

} // namespace qly::test
