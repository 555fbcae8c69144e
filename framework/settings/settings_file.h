#pragma once
// A named settings file in the user's configuration folder ($XDG_CONFIG_HOME/quillary/, else
// ~/.config/quillary/), kept as INI text: sections of text values by key. The program opens
// QLY3.INI once at start; windows keep their placement in it and later code its saved queries.
//
// Reads never fail: a missing file, a file that cannot be parsed or a missing key gives the
// caller's default. Opening and reading never create anything; the folder and the file are made
// when something is first written. This class never interprets values; see window_placement.h.
//
// Names are written exactly as given when made of letters, digits, '_', '-' and '.' (the INI
// writer %-escapes anything else, and reads it back the same). Names are case-sensitive. The
// section "General" is the INI file's [General] section. A name holding '/' or '\' is refused.

#include <memory>
#include <optional>
#include <QString>
#include <QStringList>

class QSettings;

namespace qly {

enum class SettingsStatus
{
    Ok,
    NotOpen,     // open() was not called or failed
    Unparsable,  // the file could not be read as INI text: every key reads as its default
    InvalidName, // an empty section or key, or one holding '/' or '\'
    WriteFailed, // the file or its folder could not be written
};

class SettingsFile
{
public:
    static constexpr const char* programFileName = "QLY3.INI";

    // $XDG_CONFIG_HOME/quillary when that variable holds an absolute path, else
    // ~/.config/quillary.
    static QString folder();
    static QString pathOf(const QString& fileName);

    SettingsFile();
    ~SettingsFile(); // closes
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // Opens fileName in folder() (closing any file open before). Ok or Unparsable: the file
    // is open either way and a missing file is simply empty.
    SettingsStatus open(const QString& fileName);
    bool isOpen() const { return m_settings != nullptr; }
    QString path() const { return m_path; }

    std::optional<QString> find(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key,
                  const QString& fallback = QString()) const;
    SettingsStatus setValue(const QString& section, const QString& key, const QString& value);
    SettingsStatus remove(const QString& section, const QString& key);
    SettingsStatus removeSection(const QString& section);

    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // Writes pending changes to disk.
    SettingsStatus flush();
    // Writes and closes. Closing a closed file is Ok.
    SettingsStatus close();

private:
    SettingsStatus prepareWrite(const QString& section);

    std::unique_ptr<QSettings> m_settings;
    QString m_path;
    bool m_unparsable = false; // what the file held is ignored until it is first written
};

} // namespace qly
