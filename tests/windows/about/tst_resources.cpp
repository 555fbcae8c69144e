// The icons linked into the program and the help file's topics for the windows that use them.

#include "core/thread.h"
#include "resources/icons.h"
#include "support/scripted_presenter.h"
#include "support/task_runner.h"
#include "ui/controls.h"
#include "ui/help_window.h"
#include "ui/procedure_window.h"
#include "windows/about/about.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

using namespace qly;
using namespace qly::test;

namespace {

bool hasInk(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

// The words of the help text from the topic's anchor up to the next topic.
QStringList topicWords(const QTextDocument& document, const QString& keyword)
{
    QString text;
    bool inTopic = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool startsTopic = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().anchorNames().isEmpty() &&
                it.fragment().charFormat().isAnchor() &&
                it.fragment().charFormat().anchorHref().isEmpty())
                startsTopic = true;
            if (it.fragment().charFormat().anchorNames().contains(keyword))
                inTopic = true;
        }
        if (startsTopic && inTopic && !text.isEmpty())
            break;
        if (inTopic)
            text += block.text() + u' ';
    }
    return text.split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class ResourcesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyIconLoadsAndDraws_data();
    void everyIconLoadsAndDraws();
    void iconNamesIgnoreCaseAndMarks_data();
    void iconNamesIgnoreCaseAndMarks();
    void everyDrawingHasAName();
    void checkMarkReadsAsACheckMark();
    void helpHasATopicForEveryKeyword_data();
    void helpHasATopicForEveryKeyword();
    void aboutWindowKeywordsAreInTheHelp();
};

void ResourcesTest::everyIconLoadsAndDraws_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : iconNames())
        QTest::newRow(qPrintable(name)) << name;
}

void ResourcesTest::everyIconLoadsAndDraws()
{
    QFETCH(QString, name);
    const QIcon icon = iconFor(name);
    QVERIFY(!icon.isNull());
    for (const int side : {16, 32, 48}) {
        const QPixmap pixmap = icon.pixmap(side, side);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), QSize(side, side));
        QVERIFY(hasInk(pixmap.toImage()));
    }
}

void ResourcesTest::iconNamesIgnoreCaseAndMarks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");

    QTest::newRow("a run-time icon with its mark") << "~pnotes.ico"
                                                   << ":/icons/pnotes.svg";
    QTest::newRow("the same icon without the mark") << "pnotes.ico"
                                                    << ":/icons/pnotes.svg";
    QTest::newRow("mixed case") << "QkQBE.ico"
                                << ":/icons/qkqbe.svg";
    QTest::newRow("without the ending") << "View"
                                        << ":/icons/view.svg";
}

void ResourcesTest::iconNamesIgnoreCaseAndMarks()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(iconPathFor(name), path);
    QVERIFY(!iconFor(name).isNull());
    QVERIFY(iconFor(QStringLiteral("nosuch.ico")).isNull());
    QVERIFY(iconFor(QString()).isNull());
    QCOMPARE(programIcon().pixmap(32).toImage(),
             iconFor(QStringLiteral("pnotes.ico")).pixmap(32).toImage());
}

void ResourcesTest::everyDrawingHasAName()
{
    (void)programIcon(); // registers the resources
    QStringList drawn = QDir(QStringLiteral(":/icons")).entryList();
    QStringList named;
    for (const QString& name : iconNames())
        named << iconPathFor(name).mid(QStringLiteral(":/icons/").size());
    drawn.sort();
    named.sort();
    QCOMPARE(drawn, named);
}

void ResourcesTest::checkMarkReadsAsACheckMark()
{
    // A check mark: ink along a short stroke down to the bottom and a long stroke up to the top
    // right; the top left, bottom right and the space between the strokes are empty.
    const QImage mark = checkMarkIcon().pixmap(16, 16).toImage();
    const auto ink = [&mark](int x, int y) { return qAlpha(mark.pixel(x, y)) > 128; };
    QVERIFY(ink(6, 12));   // the bottom of the tick
    QVERIFY(ink(3, 9));    // the short stroke
    QVERIFY(ink(10, 7));   // the long stroke
    QVERIFY(ink(13, 4));   // its top end, at the right
    QVERIFY(!ink(1, 1));   // top left
    QVERIFY(!ink(14, 14)); // bottom right
    QVERIFY(!ink(3, 3));   // above the short stroke
    QVERIFY(!ink(6, 4));   // inside the V
    const QImage note = programIcon().pixmap(16, 16).toImage();
    QVERIFY(note != mark);
}

void ResourcesTest::helpHasATopicForEveryKeyword_data()
{
    QTest::addColumn<QString>("keyword");
    // The main window, its buttons and tabs, the About window and the note form.
    for (const char* keyword :
         {"Main", "Insert", "Change", "Delete", "Print One Note", "View Archive", "Close Program",
          "Notes Only", "Current Reminders", "Done Items", "Everything", "about", "UpdateSNotes",
          "Pop-up calendar", "Archive"})
        QTest::newRow(keyword) << QString::fromLatin1(keyword);
}

void ResourcesTest::helpHasATopicForEveryKeyword()
{
    QFETCH(QString, keyword);
    HelpBook help(QStringLiteral(QLY_HELP_FOLDER));
    QVERIFY(QFile::exists(help.filePath()));
    help.show(keyword);
    QVERIFY(help.window());
    QVERIFY2(help.window()->notice()->isHidden(), qPrintable(help.window()->notice()->text()));
    // A real topic: a few sentences, not just a heading.
    const QStringList words = topicWords(*help.window()->browser()->document(), keyword);
    QVERIFY2(words.size() >= 30, qPrintable(words.join(u' ')));
}

void ResourcesTest::aboutWindowKeywordsAreInTheHelp()
{
    Thread thread(QStringLiteral("about"));
    ScriptedPresenter presenter;
    TaskRunner<Response> run(about(WindowServices{}, &presenter, thread));
    QList<ProcedureWindow*> windows = ProcedureWindow::runningWindows();
    QCOMPARE(windows.size(), 1);
    ProcedureWindow* window = windows.front();

    QStringList keywords{helpKeywordOf(window)};
    for (const QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->objectName().startsWith(u'?'))
            continue;
        keywords << helpKeywordOf(child);
    }
    keywords.removeDuplicates();
    QCOMPARE(keywords, QStringList{QStringLiteral("about")});

    HelpBook help(QStringLiteral(QLY_HELP_FOLDER));
    for (const QString& keyword : keywords) {
        help.show(keyword);
        QVERIFY2(help.window()->notice()->isHidden(), qPrintable(keyword));
    }

    window->close();
    QTRY_VERIFY(run.done());
}

int runResourcesTests(int argc, char** argv)
{
    ResourcesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resources.moc"
