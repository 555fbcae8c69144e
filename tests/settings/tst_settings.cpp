// The settings file on disk under a temporary XDG_CONFIG_HOME, and window placements kept in it.

#include "settings/settings_file.h"
#include "settings/window_placement.h"

#include <optional>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qly;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void folderFollowsXdgConfigHome_data();
    void folderFollowsXdgConfigHome();
    void missingFileGivesDefaultsAndCreatesNothing();
    void firstWriteCreatesFolderAndFileWithExactNames();
    void valuesRoundTripThroughTheFile_data();
    void valuesRoundTripThroughTheFile();
    void handEditedFileReads_data();
    void handEditedFileReads();
    void unparsableFileGivesDefaultsUntilRewritten_data();
    void unparsableFileGivesDefaultsUntilRewritten();
    void badNamesAreRefused_data();
    void badNamesAreRefused();
    void unwritableFolderIsReported();
    void sectionsAndKeysCanBeListedAndRemoved();

    void placementRoundTrips_data();
    void placementRoundTrips();
    void maximizedWindowKeepsItsNormalPlace();
    void nonsensePlacementGivesDefaults_data();
    void nonsensePlacementGivesDefaults();

private:
    std::optional<QTemporaryDir> m_config;
};

void SettingsTest::init()
{
    m_config.emplace();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
}

void SettingsTest::cleanup()
{
    qunsetenv("XDG_CONFIG_HOME");
    m_config.reset();
}

void SettingsTest::folderFollowsXdgConfigHome_data()
{
    QTest::addColumn<QString>("configHome");
    QTest::addColumn<QString>("expected");

    QTest::newRow("an absolute XDG_CONFIG_HOME is used")
        << QStringLiteral("/var/cfg") << QStringLiteral("/var/cfg/quillary");
    QTest::newRow("an unset XDG_CONFIG_HOME means ~/.config")
        << QString() << QDir::homePath() + QStringLiteral("/.config/quillary");
    QTest::newRow("a relative XDG_CONFIG_HOME is ignored")
        << QStringLiteral("cfg") << QDir::homePath() + QStringLiteral("/.config/quillary");
}

void SettingsTest::folderFollowsXdgConfigHome()
{
    QFETCH(QString, configHome);
    QFETCH(QString, expected);
    if (configHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
    QCOMPARE(SettingsFile::folder(), expected);
    QCOMPARE(SettingsFile::pathOf(QStringLiteral("QLY3.INI")), expected + "/QLY3.INI");
}

void SettingsTest::missingFileGivesDefaultsAndCreatesNothing()
{
    SettingsFile settings;
    QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Ok);
    QCOMPARE(settings.value("Main", "XPos", "7"), QStringLiteral("7"));
    QVERIFY(!settings.find("Main", "XPos"));
    QVERIFY(settings.sections().isEmpty());
    QCOMPARE(settings.close(), SettingsStatus::Ok);
    QVERIFY(!QFileInfo::exists(m_config->filePath("quillary")));
}

void SettingsTest::firstWriteCreatesFolderAndFileWithExactNames()
{
    SettingsFile settings;
    settings.open(SettingsFile::programFileName);
    QCOMPARE(settings.setValue("Main", "XPos", "10"), SettingsStatus::Ok);
    QCOMPARE(settings.setValue("UpdateSNotes1", "Maximize", "No"), SettingsStatus::Ok);
    QCOMPARE(settings.close(), SettingsStatus::Ok);

    const QString path = m_config->filePath("quillary/QLY3.INI");
    QCOMPARE(settings.path(), path);
    QCOMPARE(readAll(path), QByteArray("[Main]\nXPos=10\n\n[UpdateSNotes1]\nMaximize=No\n"));
}

void SettingsTest::valuesRoundTripThroughTheFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("plain text") << "printnote"
                                << "Width"
                                << "320";
    QTest::newRow("commas stay one text, not a list") << "Main"
                                                      << "Topic"
                                                      << "milk, eggs, bread";
    QTest::newRow("semicolon and equals sign") << "Main"
                                               << "Expr"
                                               << "a=1; b=2";
    QTest::newRow("a leading @ is not a type marker") << "Main"
                                                      << "Mail"
                                                      << "@Variant(x)";
    QTest::newRow("quotes and backslashes") << "Main"
                                            << "Q"
                                            << R"(say "hi" \ bye)";
    QTest::newRow("leading and trailing blanks kept") << "Main"
                                                      << "Pad"
                                                      << "  pad  ";
    QTest::newRow("accents and symbols beyond the basic plane")
        << "Main"
        << "U" << QString::fromUtf8("Crème brûlée \xF0\x9F\x8D\xB0");
    QTest::newRow("an empty value is not a missing one") << "Main"
                                                         << "Empty"
                                                         << "";
    QTest::newRow("a saved query named with spaces") << "Query Notes"
                                                     << "Overdue reminders"
                                                     << "DUE < TODAY()";
    QTest::newRow("the General section") << "General"
                                         << "Version"
                                         << "4.01";
}

void SettingsTest::valuesRoundTripThroughTheFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    {
        SettingsFile settings;
        settings.open(SettingsFile::programFileName);
        QCOMPARE(settings.setValue(section, key, value), SettingsStatus::Ok);
        QCOMPARE(settings.close(), SettingsStatus::Ok);
    }
    SettingsFile settings;
    QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Ok);
    QCOMPARE(settings.find(section, key), std::optional<QString>(value));
    QCOMPARE(settings.sections(), QStringList{section});
    QCOMPARE(settings.keys(section), QStringList{key});
}

void SettingsTest::handEditedFileReads_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("unquoted commas read as the text")
        << QByteArray("[Main]\nTopic=milk, eggs\n") << "Main"
        << "Topic"
        << "milk, eggs";
    QTest::newRow("a quoted value") << QByteArray("[Main]\nTopic=\"a;b\"\n") << "Main"
                                    << "Topic"
                                    << "a;b";
    QTest::newRow("Windows line ends") << QByteArray("[Main]\r\nXPos=12\r\nYPos=34\r\n") << "Main"
                                       << "YPos"
                                       << "34";
    QTest::newRow("a plain [General] section")
        << QByteArray("[General]\nVersion=3\n[Main]\nXPos=1\n") << "General"
        << "Version"
        << "3";
    QTest::newRow("keys differing only in case are different keys")
        << QByteArray("[Main]\nxpos=1\nXPos=2\n") << "Main"
        << "XPos"
        << "2";
}

void SettingsTest::handEditedFileReads()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    writeAll(SettingsFile::pathOf(SettingsFile::programFileName), text);
    SettingsFile settings;
    QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Ok);
    QCOMPARE(settings.value(section, key), expected);
}

void SettingsTest::unparsableFileGivesDefaultsUntilRewritten_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("a section header never closed") << QByteArray("[Main\nXPos=10\n");
    QTest::newRow("a line that is not key=value") << QByteArray("[Main]\nXPos\nYPos=3\n");
}

void SettingsTest::unparsableFileGivesDefaultsUntilRewritten()
{
    QFETCH(QByteArray, text);
    const QString path = SettingsFile::pathOf(SettingsFile::programFileName);
    writeAll(path, text);
    {
        SettingsFile settings;
        QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Unparsable);
        QCOMPARE(settings.value("Main", "XPos", "d"), QStringLiteral("d"));
        QCOMPARE(settings.value("Main", "YPos", "d"), QStringLiteral("d"));
        QVERIFY(settings.sections().isEmpty());
        QCOMPARE(settings.close(), SettingsStatus::Ok);
        QCOMPARE(readAll(path), text); // reading alone leaves the file as it was
    }
    SettingsFile settings;
    // Opened again in the same run, the file is still unparsable: the reader has seen it before.
    QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Unparsable);
    QCOMPARE(settings.value("Main", "XPos", "d"), QStringLiteral("d"));
    QCOMPARE(settings.setValue("about", "XPos", "5"), SettingsStatus::Ok);
    QCOMPARE(settings.close(), SettingsStatus::Ok);
    QCOMPARE(readAll(path), QByteArray("[about]\nXPos=5\n"));
    QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Ok);
    QCOMPARE(settings.value("about", "XPos"), QStringLiteral("5"));
}

void SettingsTest::badNamesAreRefused_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    QTest::newRow("an empty section") << ""
                                      << "XPos";
    QTest::newRow("an empty key") << "Main"
                                  << "";
    QTest::newRow("a slash would open a nested section") << "Main"
                                                         << "Pos/X";
    QTest::newRow("a backslash in a section") << "Ma\\in"
                                              << "XPos";
}

void SettingsTest::badNamesAreRefused()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    SettingsFile settings;
    settings.open(SettingsFile::programFileName);
    QCOMPARE(settings.setValue(section, key, "1"), SettingsStatus::InvalidName);
    QCOMPARE(settings.remove(section, key), SettingsStatus::InvalidName);
    QVERIFY(!settings.find(section, key));
    QCOMPARE(settings.close(), SettingsStatus::Ok);
    QVERIFY(!QFileInfo::exists(settings.path()));
}

void SettingsTest::unwritableFolderIsReported()
{
    // The configuration "folder" is a plain file, so nothing can be made under it.
    const QString blocker = m_config->filePath("blocker");
    writeAll(blocker, "x");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker));
    SettingsFile settings;
    QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Ok);
    settings.setValue("Main", "XPos", "1");
    QCOMPARE(settings.close(), SettingsStatus::WriteFailed);

    SettingsFile never;
    QCOMPARE(never.setValue("Main", "XPos", "1"), SettingsStatus::NotOpen);
    QCOMPARE(never.flush(), SettingsStatus::NotOpen);
}

void SettingsTest::sectionsAndKeysCanBeListedAndRemoved()
{
    SettingsFile settings;
    settings.open(SettingsFile::programFileName);
    settings.setValue("Query Notes", "Overdue", "DUE < TODAY()");
    settings.setValue("Query Notes", "Milk", "TOPIC = 'milk'");
    settings.setValue("Query Reminders", "Today", "DUE = TODAY()");
    settings.setValue("Main", "XPos", "3");
    settings.close();

    settings.open(SettingsFile::programFileName);
    QStringList sections = settings.sections();
    sections.sort();
    QCOMPARE(sections, (QStringList{"Main", "Query Notes", "Query Reminders"}));
    QStringList keys = settings.keys("Query Notes");
    keys.sort();
    QCOMPARE(keys, (QStringList{"Milk", "Overdue"}));

    QCOMPARE(settings.remove("Query Notes", "Milk"), SettingsStatus::Ok);
    QCOMPARE(settings.removeSection("Query Reminders"), SettingsStatus::Ok);
    settings.close();

    settings.open(SettingsFile::programFileName);
    QCOMPARE(settings.keys("Query Notes"), QStringList{"Overdue"});
    QVERIFY(settings.keys("Query Reminders").isEmpty());
    QCOMPARE(settings.value("Main", "XPos"), QStringLiteral("3"));
}

void SettingsTest::placementRoundTrips_data()
{
    QTest::addColumn<Sizing>("sizing");
    QTest::addColumn<QSize>("expectedSize");

    QTest::newRow("a resizable window keeps its size") << Sizing::Resizable << QSize(640, 480);
    QTest::newRow("a fixed window always opens at its own size")
        << Sizing::Fixed << QSize(300, 200);
}

void SettingsTest::placementRoundTrips()
{
    QFETCH(Sizing, sizing);
    QFETCH(QSize, expectedSize);
    const PlacementRules rules{sizing, QSize(300, 200), {QRect(0, 0, 1920, 1080)}};
    {
        SettingsFile settings;
        settings.open(SettingsFile::programFileName);
        writePlacement(settings, "BrowseARC", sizing, {false, QPoint(120, 80), QSize(640, 480)});
        settings.close();
    }
    SettingsFile settings;
    settings.open(SettingsFile::programFileName);
    const WindowPlacement placement = readPlacement(settings, "BrowseARC", rules);
    QVERIFY(!placement.maximized);
    QCOMPARE(placement.position, std::optional<QPoint>(QPoint(120, 80)));
    QCOMPARE(placement.size, expectedSize);
    QCOMPARE(settings.find("BrowseARC", "Width").has_value(), sizing == Sizing::Resizable);
}

void SettingsTest::maximizedWindowKeepsItsNormalPlace()
{
    SettingsFile settings;
    settings.open(SettingsFile::programFileName);
    writePlacement(settings, "Main", Sizing::Resizable, {false, QPoint(50, 60), QSize(500, 400)});
    writePlacement(settings, "Main", Sizing::Resizable, {true, QPoint(0, 0), QSize(1920, 1080)});
    settings.close();

    QCOMPARE(readAll(settings.path()),
             QByteArray("[Main]\nHeight=400\nMaximize=Yes\nWidth=500\nXPos=50\nYPos=60\n"));
    settings.open(SettingsFile::programFileName);
    const WindowPlacement placement = readPlacement(
        settings, "Main", {Sizing::Resizable, QSize(300, 200), {QRect(0, 0, 1920, 1080)}});
    QVERIFY(placement.maximized);
    QCOMPARE(placement.position, std::optional<QPoint>(QPoint(50, 60)));
    QCOMPARE(placement.size, QSize(500, 400));
}

void SettingsTest::nonsensePlacementGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<Sizing>("sizing");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QPoint>("position"); // (-1, -1): no saved position is used
    QTest::addColumn<QSize>("size");

    const QPoint none(-1, -1);
    const QSize standard(400, 300);
    const auto row = [](const char* tag, const char* keys) -> QTestData& {
        return QTest::newRow(tag) << QByteArray(keys);
    };
    // Screens: 1920x1080 at the origin, and 1280x1024 to its right.
    row("a placement on the second screen is kept", "XPos=2000\nYPos=100\nWidth=500\nHeight=400\n")
        << Sizing::Resizable << false << QPoint(2000, 100) << QSize(500, 400);
    row("an empty section gives every default", "")
        << Sizing::Resizable << false << none << standard;
    row("a position far off every screen falls back to the default", "XPos=10000\nYPos=10000\n")
        << Sizing::Resizable << false << none << standard;
    row("a title bar above the top of the screens falls back", "XPos=100\nYPos=-30\n")
        << Sizing::Resizable << false << none << standard;
    row("a window below the shorter screen falls back", "XPos=2000\nYPos=1050\n")
        << Sizing::Resizable << false << none << standard;
    row("a window hanging off the left edge is kept while it can be grabbed",
        "XPos=-300\nYPos=10\n")
        << Sizing::Resizable << false << QPoint(-300, 10) << standard;
    row("only 20 pixels of the top edge on screen falls back", "XPos=3180\nYPos=10\n")
        << Sizing::Resizable << false << none << standard;
    row("only one coordinate saved falls back", "XPos=10\n")
        << Sizing::Resizable << false << none << standard;
    row("a non-number position falls back", "XPos=abc\nYPos=10\n")
        << Sizing::Resizable << false << none << standard;
    row("a fractional position is not a number", "XPos=10.5\nYPos=10\n")
        << Sizing::Resizable << false << none << standard;
    row("blanks around a number are ignored", "XPos= 120 \nYPos=80\n")
        << Sizing::Resizable << false << QPoint(120, 80) << standard;
    row("a zero width gives the default width", "Width=0\nHeight=250\n")
        << Sizing::Resizable << false << none << QSize(400, 250);
    row("a negative height gives the default height", "Width=450\nHeight=-5\n")
        << Sizing::Resizable << false << none << QSize(450, 300);
    row("a size beyond every screen together gives the default", "Width=100000\nHeight=90000\n")
        << Sizing::Resizable << false << none << standard;
    row("a width spanning both screens is kept", "Width=3000\nHeight=600\n")
        << Sizing::Resizable << false << none << QSize(3000, 600);
    row("a size with a unit is not a number", "Width=12px\nHeight=600\n")
        << Sizing::Resizable << false << none << QSize(400, 600);
    row("a fixed window ignores a saved size", "Width=900\nHeight=700\n")
        << Sizing::Fixed << false << none << standard;
    row("Maximize holding nonsense means not maximized", "Maximize=Perhaps\n")
        << Sizing::Resizable << false << none << standard;
    row("Maximize in lower case still counts", "Maximize=yes\n")
        << Sizing::Resizable << true << none << standard;
}

void SettingsTest::nonsensePlacementGivesDefaults()
{
    QFETCH(QByteArray, section);
    QFETCH(Sizing, sizing);
    QFETCH(bool, maximized);
    QFETCH(QPoint, position);
    QFETCH(QSize, size);
    writeAll(SettingsFile::pathOf(SettingsFile::programFileName), "[UpdateSNotes]\n" + section);
    SettingsFile settings;
    QCOMPARE(settings.open(SettingsFile::programFileName), SettingsStatus::Ok);
    const PlacementRules rules{
        sizing, QSize(400, 300), {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)}};
    const WindowPlacement placement = readPlacement(settings, "UpdateSNotes", rules);
    QCOMPARE(placement.maximized, maximized);
    QCOMPARE(placement.position.value_or(QPoint(-1, -1)), position);
    QCOMPARE(placement.size, size);
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
