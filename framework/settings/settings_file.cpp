#include "settings/settings_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSettings>

namespace qly {

namespace {

// The INI writer keeps keys outside any group in [General]; reading that section back goes
// through the top level.
const QString generalSection = QStringLiteral("General");

bool validName(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

QString fullKey(const QString& section, const QString& key)
{
    return section == generalSection ? key : section + u'/' + key;
}

struct FileStamp
{
    qint64 size = 0;
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
};

// Files found unparsable in this process, as they were then.
QHash<QString, FileStamp>& unparsableFiles()
{
    static QHash<QString, FileStamp> files;
    return files;
}

std::optional<QString> textOf(const QVariant& stored)
{
    if (!stored.isValid())
        return std::nullopt;
    // An unquoted value holding commas, as a hand-edited file may have, reads as a list.
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    if (stored.typeId() == QMetaType::QString || stored.canConvert<QString>())
        return stored.toString();
    return std::nullopt;
}

} // namespace

QString SettingsFile::folder()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = !configHome.isEmpty() && QDir::isAbsolutePath(configHome)
                             ? configHome
                             : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/quillary"));
}

QString SettingsFile::pathOf(const QString& fileName)
{
    return folder() + u'/' + fileName;
}

SettingsFile::SettingsFile() = default;

SettingsFile::~SettingsFile()
{
    close();
}

SettingsStatus SettingsFile::open(const QString& fileName)
{
    close();
    m_path = pathOf(fileName);
    m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    m_settings->childGroups(); // reads the file now, so that status() tells how that went
    m_unparsable = m_settings->status() == QSettings::FormatError;

    // The INI reader parses a path once per process and reuses what it made of it while the
    // file is unchanged, and then reports no error. Remember which files it could not parse.
    const QFileInfo file(m_path);
    const FileStamp stamp{file.size(), file.lastModified()};
    auto known = unparsableFiles().find(m_path);
    if (m_unparsable)
        unparsableFiles().insert(m_path, stamp);
    else if (known != unparsableFiles().end() && *known == stamp)
        m_unparsable = true;
    else if (known != unparsableFiles().end())
        unparsableFiles().erase(known);
    return m_unparsable ? SettingsStatus::Unparsable : SettingsStatus::Ok;
}

std::optional<QString> SettingsFile::find(const QString& section, const QString& key) const
{
    if (!m_settings || m_unparsable || !validName(section) || !validName(key))
        return std::nullopt;
    return textOf(m_settings->value(fullKey(section, key)));
}

QString SettingsFile::value(const QString& section, const QString& key,
                            const QString& fallback) const
{
    return find(section, key).value_or(fallback);
}

SettingsStatus SettingsFile::prepareWrite(const QString& section)
{
    if (!m_settings)
        return SettingsStatus::NotOpen;
    if (!validName(section))
        return SettingsStatus::InvalidName;
    if (m_unparsable) {
        // The unreadable text is replaced by what this program writes from now on.
        m_settings->clear();
        m_unparsable = false;
        unparsableFiles().remove(m_path);
    }
    return SettingsStatus::Ok;
}

SettingsStatus SettingsFile::setValue(const QString& section, const QString& key,
                                      const QString& value)
{
    if (!validName(key))
        return SettingsStatus::InvalidName;
    const SettingsStatus status = prepareWrite(section);
    if (status == SettingsStatus::Ok)
        m_settings->setValue(fullKey(section, key), value);
    return status;
}

SettingsStatus SettingsFile::remove(const QString& section, const QString& key)
{
    if (!validName(key))
        return SettingsStatus::InvalidName;
    const SettingsStatus status = prepareWrite(section);
    if (status == SettingsStatus::Ok)
        m_settings->remove(fullKey(section, key));
    return status;
}

SettingsStatus SettingsFile::removeSection(const QString& section)
{
    const SettingsStatus status = prepareWrite(section);
    if (status != SettingsStatus::Ok)
        return status;
    if (section == generalSection) {
        for (const QString& key : m_settings->childKeys())
            m_settings->remove(key);
    } else {
        m_settings->remove(section);
    }
    return status;
}

QStringList SettingsFile::sections() const
{
    if (!m_settings || m_unparsable)
        return {};
    QStringList names = m_settings->childGroups();
    if (!m_settings->childKeys().isEmpty() && !names.contains(generalSection))
        names.append(generalSection);
    return names;
}

QStringList SettingsFile::keys(const QString& section) const
{
    if (!m_settings || m_unparsable || !validName(section))
        return {};
    if (section == generalSection)
        return m_settings->childKeys();
    m_settings->beginGroup(section);
    QStringList names = m_settings->childKeys();
    m_settings->endGroup();
    return names;
}

SettingsStatus SettingsFile::flush()
{
    if (!m_settings)
        return SettingsStatus::NotOpen;
    m_settings->sync();
    // A format error here only repeats what open() found in the text being replaced.
    return m_settings->status() == QSettings::AccessError ? SettingsStatus::WriteFailed
                                                          : SettingsStatus::Ok;
}

SettingsStatus SettingsFile::close()
{
    if (!m_settings)
        return SettingsStatus::Ok;
    const SettingsStatus status = flush();
    m_settings.reset();
    m_unparsable = false;
    return status;
}

} // namespace qly
