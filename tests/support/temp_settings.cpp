#include "support/temp_settings.h"

#include <QFile>

namespace qly::test {

TempSettings::TempSettings()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    m_file.open(SettingsFile::programFileName);
}

TempSettings::~TempSettings()
{
    m_file.close();
    qunsetenv("XDG_CONFIG_HOME");
}

void TempSettings::reopen()
{
    m_file.close();
    m_file.open(SettingsFile::programFileName);
}

} // namespace qly::test
