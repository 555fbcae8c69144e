// The help window over a small help file of our own format.

#include "ui/help_window.h"
#include "ui_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace qly;
using namespace qly::test;

namespace {

// Three topics, each long enough that the next one starts well below the first screenful.
void writeHelpFile(const QString& path)
{
    QString html = QStringLiteral("<html><body>");
    for (const char* topic : {"contents", "reminders", "printing"}) {
        html += QStringLiteral("<h2><a name=\"%1\"></a>%1</h2>").arg(QLatin1String(topic));
        html += QStringLiteral("<p>See also <a href=\"#printing\">printing</a>.</p>");
        for (int line = 0; line < 60; ++line)
            html += QStringLiteral("<p>About %1, line %2.</p>").arg(QLatin1String(topic)).arg(line);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((html + QStringLiteral("</body></html>")).toUtf8());
}

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensAtTheKeyword_data();
    void opensAtTheKeyword();
    void missingKeywordIsToldInTheWindow();
    void missingFileIsToldInTheWindow();
    void fileIsFoundBesideTheProgramByDefault();
};

void HelpTest::opensAtTheKeyword_data()
{
    QTest::addColumn<QStringList>("keywords");
    QTest::addColumn<QString>("expected");

    QTest::newRow("a topic far down the file") << QStringList{"reminders"} << "reminders";
    QTest::newRow("no keyword shows the start") << QStringList{""} << "contents";
    QTest::newRow("a second request moves to the new topic")
        << QStringList{"printing", "reminders"} << "reminders";
    QTest::newRow("going back to the first topic scrolls back up")
        << QStringList{"printing", "contents"} << "contents";
}

void HelpTest::opensAtTheKeyword()
{
    QFETCH(QStringList, keywords);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    writeHelpFile(folder.filePath(HelpBook::fileName));
    HelpBook book(folder.path());
    for (const QString& keyword : keywords)
        book.show(keyword);
    QVERIFY(QTest::qWaitForWindowExposed(book.window()));
    QTRY_COMPARE(topicInView(book.window()->browser()), expected);
    QVERIFY(book.window()->notice()->isHidden());
    QVERIFY(!book.window()->browser()->document()->isEmpty());
}

void HelpTest::missingKeywordIsToldInTheWindow()
{
    QTemporaryDir folder;
    writeHelpFile(folder.filePath(HelpBook::fileName));
    HelpBook book(folder.path());
    book.show(QStringLiteral("printing"));
    book.show(QStringLiteral("archiving"));
    QVERIFY(QTest::qWaitForWindowExposed(book.window()));
    QVERIFY(book.window()->notice()->isVisible());
    QVERIFY(book.window()->notice()->text().contains(QStringLiteral("archiving")));
    QTRY_COMPARE(topicInView(book.window()->browser()), QStringLiteral("contents"));
}

void HelpTest::missingFileIsToldInTheWindow()
{
    QTemporaryDir folder;
    HelpBook book(folder.path());
    book.show(QStringLiteral("reminders"));
    QVERIFY(QTest::qWaitForWindowExposed(book.window()));
    QVERIFY(book.window()->notice()->isVisible());
    QVERIFY(book.window()->notice()->text().contains(folder.filePath(HelpBook::fileName)));
    QVERIFY(book.window()->browser()->document()->isEmpty());

    // Once the file is there, the same window shows it.
    writeHelpFile(folder.filePath(HelpBook::fileName));
    book.show(QStringLiteral("reminders"));
    QVERIFY(book.window()->notice()->isHidden());
    QTRY_COMPARE(topicInView(book.window()->browser()), QStringLiteral("reminders"));
}

void HelpTest::fileIsFoundBesideTheProgramByDefault()
{
    QCOMPARE(HelpBook().filePath(), QCoreApplication::applicationDirPath() + "/notes.hlp");
    QCOMPARE(HelpBook(QStringLiteral("/opt/quillary/help")).filePath(),
             QStringLiteral("/opt/quillary/help/notes.hlp"));
}

int runHelpTests(int argc, char** argv)
{
    HelpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_help.moc"
