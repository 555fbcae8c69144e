#pragma once
// Gives a test a fresh, empty current working folder (where the data file is created) and
// returns to the previous folder afterwards.

#include <QString>
#include <QTemporaryDir>

namespace qly::test {

class TempWorkdir
{
public:
    TempWorkdir();
    ~TempWorkdir();
    TempWorkdir(const TempWorkdir&) = delete;
    TempWorkdir& operator=(const TempWorkdir&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace qly::test
