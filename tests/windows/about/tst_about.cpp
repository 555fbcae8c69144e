// The About window driven by its controls: caption, texts and fonts, the build information box,
// closing, its placement in a real settings file, and several windows at once on threads of
// their own.

#include "core/dates.h"
#include "core/procedure.h"
#include "core/thread.h"
#include "settings/settings_file.h"
#include "support/scripted_presenter.h"
#include "support/task_runner.h"
#include "support/temp_settings.h"
#include "support/window_support.h"
#include "ui/procedure_window.h"
#include "ui/shutdown.h"
#include "windows/about/about.h"

#include <memory>
#include <optional>
#include <QDate>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace qly;
using namespace qly::test;

namespace {

enum class Closing
{
    CloseButton,
    CloseBox,
    EscapeKey
};

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void showsTheProductAndItsVersion();
    void iconButtonShowsTheBuildInformation_data();
    void iconButtonShowsTheBuildInformation();
    void closingCancels_data();
    void closingCancels();
    void placementIsKeptUnderAbout();
    void severalWindowsRunAtOnceEachOnItsOwnThread();

private:
    // Runs about() on m_thread and waits for its window.
    ProcedureWindow* openAbout();

    std::optional<TempSettings> m_settings;
    std::optional<Thread> m_thread;
    std::optional<TaskRunner<Response>> m_run;
    ScriptedPresenter m_presenter;
    WindowServices m_services;
    QLocale m_locale;
};

void AboutTest::init()
{
    m_locale = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_settings.emplace();
    m_thread.emplace(QStringLiteral("main"));
    m_services = WindowServices{&m_settings->file(), nullptr, nullptr};
    m_presenter.clear();
    setProjectName(QStringLiteral("QLY4"));
}

void AboutTest::cleanup()
{
    // A window left open by a failed check: close it and let its procedure end.
    for (ProcedureWindow* window : windowsOf(QStringLiteral("about")))
        window->finish(Response::Cancelled);
    if (m_run)
        QTRY_VERIFY(m_run->done());
    QVERIFY(closeEveryWindow());
    m_run.reset();
    m_thread.reset();
    m_settings.reset();
    QLocale::setDefault(m_locale);
    setProjectName(QString());
}

ProcedureWindow* AboutTest::openAbout()
{
    m_run.emplace(about(m_services, &m_presenter, *m_thread));
    const QList<ProcedureWindow*> windows = windowsOf(QStringLiteral("about"));
    if (windows.size() != 1)
        return nullptr;
    if (!QTest::qWaitForWindowExposed(windows.front()))
        return nullptr;
    return windows.front();
}

void AboutTest::showsTheProductAndItsVersion()
{
    ProcedureWindow* window = openAbout();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("About Quillary"));
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->font().family(),
             QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    QCOMPARE(window->font().pointSize(), 8);
    QCOMPARE(window->helpKeywordInForce(), QStringLiteral("about"));
    QCOMPARE(m_thread->procedure(), QStringLiteral("about"));
    QCOMPARE(window->windowModality(), Qt::NonModal);

    auto* product = control<QLabel>(window, "?PRODUCT");
    QVERIFY(product);
    QCOMPARE(product->text(), QStringLiteral("Quillary"));
    QCOMPARE(QFontInfo(product->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(product->font().pointSize(), 14);
    QVERIFY(product->font().bold());
    QVERIFY(product->font().italic());
    QCOMPARE(product->palette().color(QPalette::WindowText), QColor(255, 0, 255));

    auto* version = control<QLabel>(window, "?VERSION");
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Version 4.01"));
    auto* statement = control<QPlainTextEdit>(window, "?STATEMENT");
    QVERIFY(statement);
    QVERIFY(statement->isReadOnly());
    QVERIFY(statement->toPlainText().contains(QStringLiteral("rights")));
    QCOMPARE(statement->verticalScrollBar()->maximum(), 0); // shown whole, nothing to scroll

    auto* info = control<QPushButton>(window, "?INFO");
    QVERIFY(info);
    QVERIFY(info->text().isEmpty());
    QVERIFY(!info->icon().isNull());
    auto* close = control<QPushButton>(window, "?CLOSE");
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    // "Close" comes first in the tab order, then the icon button.
    QCOMPARE(close->nextInFocusChain(), info);
    // Every control lies inside the window, the icon button at the top left, "Close" at the
    // bottom right of centre.
    const QRect body = window->body()->rect();
    for (QWidget* each : {static_cast<QWidget*>(product), static_cast<QWidget*>(version),
                          static_cast<QWidget*>(statement), static_cast<QWidget*>(info),
                          static_cast<QWidget*>(close)})
        QVERIFY2(body.contains(each->geometry()), qPrintable(each->objectName()));
    QVERIFY(info->geometry().right() < product->geometry().left());
    QVERIFY(close->geometry().left() > body.center().x());
    QVERIFY(close->geometry().top() > statement->geometry().top());
}

void AboutTest::iconButtonShowsTheBuildInformation_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("lines");

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("US short date, name padded to 8")
        << us << QStringLiteral("QLY4")
        << QStringList{QStringLiteral("App: QLY4    "), QStringLiteral("Date: 2/11/04"),
                       QStringLiteral("Build: 440")};
    QTest::newRow("German short date")
        << german << QStringLiteral("QLY4")
        << QStringList{QStringLiteral("App: QLY4    "),
                       QStringLiteral("Date: ") +
                           german.toString(QDate(2004, 2, 11), QLocale::ShortFormat),
                       QStringLiteral("Build: 440")};
    QTest::newRow("British short date, day before month")
        << british << QStringLiteral("QUILLARY")
        << QStringList{QStringLiteral("App: QUILLARY"), QStringLiteral("Date: 11/02/2004"),
                       QStringLiteral("Build: 440")};
    QTest::newRow("a longer name is cut at 8")
        << us << QStringLiteral("QUILLARY4")
        << QStringList{QStringLiteral("App: QUILLARY"), QStringLiteral("Date: 2/11/04"),
                       QStringLiteral("Build: 440")};
    QTest::newRow("no name set shows 8 blanks")
        << us << QString()
        << QStringList{QStringLiteral("App:         "), QStringLiteral("Date: 2/11/04"),
                       QStringLiteral("Build: 440")};
}

void AboutTest::iconButtonShowsTheBuildInformation()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, name);
    QFETCH(QStringList, lines);
    QCOMPARE(toQDate(buildDay), QDate(2004, 2, 11));
    QLocale::setDefault(locale);
    setProjectName(name);

    ProcedureWindow* window = openAbout();
    QVERIFY(window);
    auto* info = control<QPushButton>(window, "?INFO");
    QVERIFY(info);
    // Pressed twice, it shows the same box twice.
    QTest::mouseClick(info, Qt::LeftButton);
    QTRY_COMPARE(m_presenter.shown().size(), std::size_t(1));
    QTest::mouseClick(info, Qt::LeftButton);
    QTRY_COMPARE(m_presenter.shown().size(), std::size_t(2));

    for (const MessageBoxSpec& box : m_presenter.shown()) {
        QCOMPARE(box.title, QStringLiteral("Info:"));
        QCOMPARE(box.icon, MessageIcon::None);
        QCOMPARE(box.buttons, std::vector<MessageButton>{MessageButton::Ok});
        QCOMPARE(box.displayText().split(u'\n'), lines);
    }
    QVERIFY(window->isRunning()); // the box leaves the window open
}

void AboutTest::closingCancels_data()
{
    QTest::addColumn<Closing>("closing");

    QTest::newRow("Close cancels") << Closing::CloseButton;
    QTest::newRow("the close box cancels") << Closing::CloseBox;
    QTest::newRow("Esc cancels") << Closing::EscapeKey;
}

void AboutTest::closingCancels()
{
    QFETCH(Closing, closing);
    QPointer<ProcedureWindow> window = openAbout();
    QVERIFY(window);
    switch (closing) {
    case Closing::CloseButton:
        QTest::mouseClick(control<QPushButton>(window, "?CLOSE"), Qt::LeftButton);
        break;
    case Closing::CloseBox:
        window->close();
        break;
    case Closing::EscapeKey:
        QTest::keyClick(window, Qt::Key_Escape);
        break;
    }
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Cancelled);
    QVERIFY(!window); // the procedure deleted its window
    QCOMPARE(m_thread->procedure(), QString());
    QVERIFY(m_presenter.shown().empty());
}

void AboutTest::placementIsKeptUnderAbout()
{
    QPointer<ProcedureWindow> window = openAbout();
    QVERIFY(window);
    const QSize designed = window->size();
    window->move(150, 120);
    QTest::mouseClick(control<QPushButton>(window, "?CLOSE"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());

    m_settings->reopen(); // what was saved is on disk
    QStringList keys = m_settings->file().keys(QStringLiteral("about"));
    keys.sort();
    QCOMPARE(keys, (QStringList{"Maximize", "XPos", "YPos"}));
    QCOMPARE(m_settings->file().value("about", "XPos"), QStringLiteral("150"));
    QCOMPARE(m_settings->file().value("about", "YPos"), QStringLiteral("120"));

    window = openAbout();
    QVERIFY(window);
    QTRY_COMPARE(window->pos(), QPoint(150, 120));
    QCOMPARE(window->size(), designed);
}

void AboutTest::severalWindowsRunAtOnceEachOnItsOwnThread()
{
    const std::size_t threadsBefore = Thread::all().size();
    const int proceduresBefore = liveProcedures();
    startAbout(m_services, &m_presenter);
    startAbout(m_services, &m_presenter);
    QList<ProcedureWindow*> windows = windowsOf(QStringLiteral("about"));
    QCOMPARE(windows.size(), 2);
    QCOMPARE(Thread::all().size(), threadsBefore + 2);
    QCOMPARE(liveProcedures(), proceduresBefore + 2);
    QPointer<ProcedureWindow> first = windows[0];
    QPointer<ProcedureWindow> second = windows[1];
    QVERIFY(&first->thread() != &second->thread());
    QVERIFY(&first->thread() != &*m_thread);
    QVERIFY(&second->thread() != &*m_thread);
    QCOMPARE(first->thread().procedure(), QStringLiteral("about"));
    QCOMPARE(m_thread->procedure(), QString()); // the starter's own thread is untouched

    // Each one answers its own icon button.
    QTest::mouseClick(control<QPushButton>(second, "?INFO"), Qt::LeftButton);
    QTRY_COMPARE(m_presenter.shown().size(), std::size_t(1));

    // Each closes on its own, and its thread goes with it.
    QTest::mouseClick(control<QPushButton>(first, "?CLOSE"), Qt::LeftButton);
    QTRY_VERIFY(!first);
    QTRY_COMPARE(Thread::all().size(), threadsBefore + 1);
    QVERIFY(second && second->isRunning());
    QCOMPARE(liveProcedures(), proceduresBefore + 1);
    second->close();
    QTRY_VERIFY(!second);
    QTRY_COMPARE(Thread::all().size(), threadsBefore);
    QCOMPARE(liveProcedures(), proceduresBefore);
}

int runAboutTests(int argc, char** argv)
{
    AboutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_about.moc"
