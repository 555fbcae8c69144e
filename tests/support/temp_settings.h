#pragma once
// The settings file QLY3.INI under a fresh XDG_CONFIG_HOME, open while the object lives.

#include "settings/settings_file.h"

#include <QTemporaryDir>

namespace qly::test {

class TempSettings
{
public:
    TempSettings();
    ~TempSettings();
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    SettingsFile& file() { return m_file; }
    // Closes the file (writing it) and opens it again from disk.
    void reopen();

private:
    QTemporaryDir m_dir;
    SettingsFile m_file;
};

} // namespace qly::test
