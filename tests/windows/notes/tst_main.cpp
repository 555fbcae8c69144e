// The main notes window over a real data file, driven by its controls: what each tab lists and
// marks, the first tab, the captions and help, the buttons and keys that call the note form and
// what the list shows when it returns, type-ahead, the topic check with its pick list, the
// About windows, the support mail, and the placement kept under "Main".

#include "core/clock.h"
#include "core/thread.h"
#include "data/note_managers.h"
#include "data/note_tables.h"
#include "data/note_views.h"
#include "errors/builtin_messages.h"
#include "errors/error_manager.h"
#include "support/notes_world.h"
#include "support/scripted_presenter.h"
#include "support/task_runner.h"
#include "support/window_support.h"
#include "ui/controls.h"
#include "ui/dialog_units.h"
#include "ui/list_model.h"
#include "ui/list_view.h"
#include "ui/procedure_window.h"
#include "ui/shutdown.h"
#include "windows/edit/open_document.h"
#include "windows/notes/main_window.h"

#include <memory>
#include <optional>
#include <QAbstractItemModelTester>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTableView>
#include <QTest>

using namespace qly;
using namespace qly::test;

namespace {

const QDate kToday(2026, 12, 11);
constexpr int kNoDate = -100000; // a reminder offset meaning "no reminder date"

// What the fake note form was called with, and what it does.
struct FormCalls
{
    QList<Request> requests;
    QStringList topics; // the buffer's topic at each call
    QStringList dones;
    Response answer = Response::Completed;
    QString insertTopic = QStringLiteral("Zebra crossing");
};

// Stands in for the note form: records the call, then adds or deletes the buffer's note as a
// completed form would.
QCoro::Task<Response> fakeNoteForm(FormCalls* calls, Thread& thread, Request request,
                                   QPointer<QWidget> caller)
{
    (void)caller;
    NoteRecord& buffer = notesBuffer(thread);
    calls->requests << request;
    calls->topics << buffer.topic();
    calls->dones << buffer.done();
    if (calls->answer == Response::Completed) {
        store::TableInstance& notes = noteManagers().notes->instance(thread);
        if (request == Request::Insert) {
            buffer.setTopic(calls->insertTopic);
            (void)notes.insert();
        } else if (request == Request::Delete) {
            (void)notes.remove();
        }
    }
    co_return calls->answer;
}

} // namespace

class MainTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void theReminderIconRule_data();
    void theReminderIconRule();
    void theCommandLineSwitch_data();
    void theCommandLineSwitch();
    void eachTabListsAndMarksItsNotes_data();
    void eachTabListsAndMarksItsNotes();
    void opensOnEverythingOrOnCurrentRemindersAfterTheSwitch_data();
    void opensOnEverythingOrOnCurrentRemindersAfterTheSwitch();
    void captionsToolTipsIconsAndHelp_data();
    void captionsToolTipsIconsAndHelp();
    void theMenuBarAndTheTabs();
    void theListsColumns();
    void everyHelpKeywordHasATopic();
    void anEmptyListOnlyAdds();
    void buttonsKeysAndTheMenuCallTheNoteForm_data();
    void buttonsKeysAndTheMenuCallTheNoteForm();
    void printingRunsTheReportOnTheHighlightedNote_data();
    void printingRunsTheReportOnTheHighlightedNote();
    void theListFollowsTheForm_data();
    void theListFollowsTheForm();
    void typeAheadMovesByTopic();
    void typeAheadOnNotesOnlyLocatesTheTopic();
    void typeAheadKeepsAtMost39Characters();
    void tabsWithoutTypeAheadIgnoreTypedText();
    void anExistingTopicNeedsNoPickList();
    void anUnknownTopicOpensThePickList();
    void aCancelledPickListReturnsToTheField();
    void aViewWindowCallsNothing();
    void aboutWindowsRunOnThreadsOfTheirOwn();
    void emailSupportOpensAMailToSupport();
    void printerSetupOpensThePrinterDialog();
    void thePlaceIsKeptUnderMain();
    void escapeDoesNotEndTheProgram();
    void theModelStaysConsistentAcrossTabsAndMoves();

private:
    // Adds a note on a thread of its own before the window reads it.
    void addNote(const QString& topic, int reminderOffset = kNoDate,
                 const QString& done = QStringLiteral("N"), int noteDateOffset = -5);
    MainServices services();
    // Runs Main with request and waits for its window.
    ProcedureWindow* openMain(Request request = Request::None, MainServices with = {});
    static ListView* listOf(QWidget* window);
    static QStringList topicsOf(QWidget* window);
    static QString currentTopic(QWidget* window);
    static void selectTab(QWidget* window, int tab);
    static void typeInto(QWidget* widget, const QString& text);
    // Types text into the topic field and presses Enter there.
    static QLineEdit* acceptTopic(QWidget* window, const QString& text);
    void addFruit(); // "Apple", "Banana", "Cherry"

    ScriptedPresenter m_presenter;
    std::optional<NotesWorld> m_world;
    std::optional<Thread> m_thread;
    std::optional<TaskRunner<Response>> m_run;
    FormCalls m_form;
    FormCalls m_report; // the one-note report's calls
    RecordingOpener m_opener;
};

void MainTest::init()
{
    m_presenter.clear();
    m_world.emplace(kToday, m_presenter);
    m_thread.emplace(QStringLiteral("main"));
    m_form = FormCalls();
    m_report = FormCalls();
    m_report.answer = Response::Cancelled; // a report changes no note
    m_opener.opened.clear();
}

void MainTest::cleanup()
{
    QVERIFY(closeEveryWindow());
    if (m_run)
        QTRY_VERIFY(m_run->done());
    m_run.reset();
    m_thread.reset();
    m_world.reset();
}

void MainTest::addNote(const QString& topic, int reminderOffset, const QString& done,
                       int noteDateOffset)
{
    const DayCount today = fromQDate(kToday);
    NoteRecord note;
    note.setTopic(topic);
    note.setReminder(u"N");
    note.setNoteDate(noteDateOffset == kNoDate ? 0 : today + noteDateOffset);
    note.setReminderDate(reminderOffset == kNoDate ? 0 : today + reminderOffset);
    note.setMainMemo(QStringLiteral("About ") + topic);
    note.setDone(done);
    QVERIFY(m_world->store(note));
}

MainServices MainTest::services()
{
    MainServices with;
    with.windows = WindowServices{&m_world->settings().file(), nullptr, nullptr};
    with.presenter = &m_presenter;
    with.documents = &m_opener;
    with.supportAddress = QStringLiteral("help@quillary.example");
    with.procedures.updateNote = [this](Thread& thread, Request request, QPointer<QWidget> caller) {
        return fakeNoteForm(&m_form, thread, request, caller);
    };
    with.procedures.printNote = [this](Thread& thread, Request request, QPointer<QWidget> caller) {
        return fakeNoteForm(&m_report, thread, request, caller);
    };
    return with;
}

ProcedureWindow* MainTest::openMain(Request request, MainServices with)
{
    if (!with.windows.settings)
        with = services();
    m_run.emplace(mainNotes(with, *m_thread, request, nullptr));
    if (!QTest::qWaitFor([] { return !windowsOf(QStringLiteral("Main")).isEmpty(); }))
        return nullptr;
    ProcedureWindow* window = windowsOf(QStringLiteral("Main")).front();
    if (!QTest::qWaitForWindowExposed(window))
        return nullptr;
    window->activateWindow();
    return window;
}

ListView* MainTest::listOf(QWidget* window)
{
    return control<ListView>(window, QStringLiteral("?Browse:1"));
}

QStringList MainTest::topicsOf(QWidget* window)
{
    QStringList topics;
    const ListModel* model = listOf(window)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        topics << model->entry(row)->record.text(NoteRecord::Topic);
    return topics;
}

QString MainTest::currentTopic(QWidget* window)
{
    const store::Row* row = listOf(window)->model()->currentEntry();
    return row ? row->record.text(NoteRecord::Topic) : QString();
}

void MainTest::selectTab(QWidget* window, int tab)
{
    control<QTabBar>(window, QStringLiteral("?CurrentTab"))->setCurrentIndex(tab);
}

void MainTest::typeInto(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::keyClick(widget, c.toLatin1());
}

QLineEdit* MainTest::acceptTopic(QWidget* window, const QString& text)
{
    auto* field = control<QLineEdit>(window, QStringLiteral("?SNO:TOPIC"));
    field->setFocus();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    return field;
}

void MainTest::addFruit()
{
    for (const char* topic : {"Apple", "Banana", "Cherry"})
        addNote(QLatin1String(topic));
}

// ---- rules ----

void MainTest::theReminderIconRule_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("icon");
    QTest::newRow("no reminder date: no icon") << kNoDate << 0;
    QTest::newRow("long overdue: check mark") << -400 << 1;
    QTest::newRow("today: check mark") << 0 << 1;
    QTest::newRow("today + 3: check mark") << 3 << 1;
    QTest::newRow("today + 4: no icon") << 4 << 0;
}

void MainTest::theReminderIconRule()
{
    QFETCH(int, offset);
    QFETCH(int, icon);
    const DayCount today = fromQDate(kToday);
    QCOMPARE(reminderIcon(offset == kNoDate ? 0 : today + offset, today), icon);
}

void MainTest::theCommandLineSwitch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("reminders");
    QTest::newRow("/CR") << QStringList{QStringLiteral("quillary"), QStringLiteral("/CR")} << true;
    QTest::newRow("/cr in lower case")
        << QStringList{QStringLiteral("quillary"), QStringLiteral("/cr")} << true;
    QTest::newRow("/Cr among others")
        << QStringList{QStringLiteral("quillary"), QStringLiteral("-x"), QStringLiteral("/Cr")}
        << true;
    QTest::newRow("no switch") << QStringList{QStringLiteral("quillary")} << false;
    QTest::newRow("CR without the slash")
        << QStringList{QStringLiteral("quillary"), QStringLiteral("CR")} << false;
    QTest::newRow("/CRX is another word")
        << QStringList{QStringLiteral("quillary"), QStringLiteral("/CRX")} << false;
}

void MainTest::theCommandLineSwitch()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, reminders);
    QCOMPARE(opensOnReminders(arguments), reminders);
}

// ---- what the tabs list ----

void MainTest::eachTabListsAndMarksItsNotes_data()
{
    QTest::addColumn<int>("reminderOffset");
    QTest::addColumn<QString>("done");
    QTest::addColumn<int>("noteDateOffset");
    QTest::addColumn<QString>("tabs"); // N, C, D, E: where the note is listed
    QTest::addColumn<bool>("marked");

    QTest::newRow("undone, due today + 3: a current reminder, marked")
        << 3 << "N" << -5 << "CE" << true;
    QTest::newRow("undone, due today + 4: not yet current, unmarked")
        << 4 << "N" << -5 << "E" << false;
    QTest::newRow("undone, overdue: stays a current reminder") << -30 << "N" << -40 << "CE" << true;
    QTest::newRow("done, due tomorrow: marked on Done Items and Everything")
        << 1 << "Y" << -5 << "DE" << true;
    QTest::newRow("done, no reminder date") << kNoDate << "Y" << -5 << "DE" << false;
    QTest::newRow("undone, no reminder date: a plain note")
        << kNoDate << "N" << -5 << "NE" << false;
    QTest::newRow("undone reminder without a note date: not a current reminder")
        << 1 << "N" << kNoDate << "E" << true;
}

void MainTest::eachTabListsAndMarksItsNotes()
{
    QFETCH(int, reminderOffset);
    QFETCH(QString, done);
    QFETCH(int, noteDateOffset);
    QFETCH(QString, tabs);
    QFETCH(bool, marked);

    addNote(QStringLiteral("Subject"), reminderOffset, done, noteDateOffset);
    addNote(QStringLiteral("Another note")); // so that no tab is empty by chance
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    const QString letters = QStringLiteral("NCDE");
    for (int tab = 0; tab < 4; ++tab) {
        selectTab(window, tab);
        const QStringList topics = topicsOf(window);
        const int row = int(topics.indexOf(QStringLiteral("Subject")));
        QCOMPARE(row >= 0, tabs.contains(letters[tab]));
        if (row < 0)
            continue;
        const ListModel* model = listOf(window)->model();
        const QIcon icon = model->data(model->index(row, 0), Qt::DecorationRole).value<QIcon>();
        QCOMPARE(!icon.isNull(), marked);
        // The date beside the mark is the short date, blank without a date.
        const QString shown = model->data(model->index(row, 0)).toString();
        QCOMPARE(shown.isEmpty(), reminderOffset == kNoDate);
        if (!shown.isEmpty())
            QCOMPARE(shown,
                     QLocale().toString(kToday.addDays(reminderOffset), QLocale::ShortFormat));
    }
}

void MainTest::opensOnEverythingOrOnCurrentRemindersAfterTheSwitch_data()
{
    QTest::addColumn<bool>("reminders");
    QTest::addColumn<int>("tab");
    QTest::newRow("no switch: Everything") << false << int(EverythingTab);
    QTest::newRow("/CR: Current Reminders") << true << int(CurrentRemindersTab);
}

void MainTest::opensOnEverythingOrOnCurrentRemindersAfterTheSwitch()
{
    QFETCH(bool, reminders);
    QFETCH(int, tab);
    addNote(QStringLiteral("A plain note"));
    addNote(QStringLiteral("A due reminder"), 1);
    MainServices with = services();
    with.opensOnReminders = reminders;
    ProcedureWindow* window = openMain(Request::None, with);
    QVERIFY(window);
    QCOMPARE(control<QTabBar>(window, QStringLiteral("?CurrentTab"))->currentIndex(), tab);
    const QStringList expected =
        reminders ? QStringList{QStringLiteral("A due reminder")}
                  : QStringList{QStringLiteral("A due reminder"), QStringLiteral("A plain note")};
    QCOMPARE(topicsOf(window), expected);
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("?SNO:TOPIC"))->isVisible(), !reminders);
}

// ---- how the window reads ----

void MainTest::captionsToolTipsIconsAndHelp_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("helpKeyword");
    QTest::addColumn<bool>("hasIcon");
    // clang-format off
    QTest::newRow("Email Support")   << "?EmailSupport" << "Email Support"   << ""                       << ""               << false;
    QTest::newRow("Add New Note")    << "?Insert"       << "&Add New Note"   << ""                       << "Insert"         << true;
    QTest::newRow("Change")          << "?Change"       << "&Change"         << ""                       << "Change"         << true;
    QTest::newRow("Help")            << "?Help"         << "Help"            << ""                       << ""               << true;
    QTest::newRow("Close")           << "?Close"        << "Close"           << ""                       << "Close Program"  << true;
    QTest::newRow("Print One Note")  << "?PrintOneNote" << "&Print One Note" << "Print highlighted note" << "Print One Note" << true;
    QTest::newRow("Delete")          << "?Delete"       << "&Delete"         << ""                       << "Delete"         << true;
    QTest::newRow("View Archive")    << "?ViewArchive"  << "View Archive"    << ""                       << "View Archive"   << true;
    QTest::newRow("Find By...")      << "?FindBy"       << "Find By..."      << ""                       << ""               << true;
    QTest::newRow("Print Find By's") << "?PrintFindBy"  << "Print Find By's" << "Left click to print completed query" << "" << true;
    // clang-format on
}

void MainTest::captionsToolTipsIconsAndHelp()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(QString, helpKeyword);
    QFETCH(bool, hasIcon);

    ProcedureWindow* window = openMain();
    QVERIFY(window);
    auto* button = control<QPushButton>(window, name);
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), toolTip);
    QCOMPARE(!button->icon().isNull(), hasIcon);
    // A control without a keyword of its own has the window's.
    QCOMPARE(helpKeywordOf(button), helpKeyword.isEmpty() ? QStringLiteral("Main") : helpKeyword);
    QVERIFY(window->body()->rect().contains(button->geometry()));
}

void MainTest::theMenuBarAndTheTabs()
{
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QVERIFY(window->windowTitle().startsWith(QStringLiteral("Quillary   ")));
    QVERIFY(window->windowTitle().size() > 11);
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->helpKeywordInForce().isEmpty(), false);

    auto* bar = control<QMenuBar>(window, QStringLiteral("?MenuBar"));
    QVERIFY(bar);
    QStringList commands;
    for (QAction* action : bar->actions()) {
        QVERIFY(!action->menu()); // straight on the bar
        commands << action->text();
    }
    QCOMPARE(commands, (QStringList{QStringLiteral("E&xit"), QStringLiteral("&Printer Setup"),
                                    QStringLiteral("&About")}));

    auto* tabs = control<QTabBar>(window, QStringLiteral("?CurrentTab"));
    QVERIFY(tabs);
    const QStringList captions{QStringLiteral("Notes Only"), QStringLiteral("Current Reminders"),
                               QStringLiteral("Done Items"), QStringLiteral("Everything")};
    const QStringList tips{QStringLiteral("Displays notes that are NOT reminders."),
                           QStringLiteral("Displays current reminders that are still undone."),
                           QStringLiteral("Displays items that have been marked as Done."),
                           QStringLiteral("Displays all notes, reminders, and done items.")};
    QCOMPARE(tabs->count(), 4);
    auto* prompt = control<QLabel>(window, QStringLiteral("?SelectByTopic"));
    auto* field = control<QLineEdit>(window, QStringLiteral("?SNO:TOPIC"));
    QVERIFY(prompt && field);
    QCOMPARE(prompt->text(), QStringLiteral("Select By TOPIC:"));
    for (int tab = 0; tab < 4; ++tab) {
        QCOMPARE(tabs->tabText(tab), captions[tab]);
        QCOMPARE(tabs->tabToolTip(tab), tips[tab]);
        selectTab(window, tab);
        tabs->setFocus();
        QTRY_VERIFY(tabs->hasFocus());
        QCOMPARE(window->helpKeywordInForce(), captions[tab]);
        QCOMPARE(prompt->isVisible(), tab == EverythingTab);
        QCOMPARE(field->isVisible(), tab == EverythingTab);
        // The pick-list button is never shown, and outside select mode never enabled.
        auto* select = control<QPushButton>(window, QStringLiteral("?Select"));
        QVERIFY(select && !select->isVisible() && !select->isEnabled());
    }
    // The prompt stands in the tab row right of the tabs.
    QVERIFY(prompt->geometry().left() >= tabs->geometry().left() + tabs->sizeHint().width() - 2);
    QCOMPARE(window->minimumSizeHint().expandedTo(window->minimumSize()).width() >=
                 DialogUnits(window->font()).x(353),
             true);
}

void MainTest::theListsColumns()
{
    addNote(QStringLiteral("Columns"), 2);
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    ListView* list = listOf(window);
    QVERIFY(list);
    QCOMPARE(list->statusTip().isEmpty() ? statusTextOf(list) : list->statusTip(),
             QStringLiteral("Browsing Records"));
    const ListModel* model = list->model();
    const QStringList headers{QStringLiteral("Reminder Date"), QStringLiteral("NoteDate"),
                              QStringLiteral("Topic"), QStringLiteral("Main Memo")};
    const QList<int> widths{50, 39, 80, 140};
    const DialogUnits units(list->font());
    QCOMPARE(model->columnCount(), 4);
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), headers[column]);
        QCOMPARE(list->rows()->horizontalHeader()->sectionSize(column), units.x(widths[column]));
    }
    const auto alignment = [model](int column) {
        return Qt::Alignment(model->data(model->index(0, column), Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(alignment(0), Qt::AlignRight);
    QCOMPARE(alignment(1), Qt::AlignLeft);
    QCOMPARE(Qt::Alignment(model->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QCOMPARE(model->data(model->index(0, 1)).toString(),
             QLocale().toString(kToday.addDays(-5), QLocale::ShortFormat));
    QCOMPARE(model->data(model->index(0, 2)).toString(), QStringLiteral("Columns"));
    QCOMPARE(model->data(model->index(0, 3)).toString(), QStringLiteral("About Columns"));
}

void MainTest::everyHelpKeywordHasATopic()
{
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QFile help(QStringLiteral(QLY_HELP_FOLDER "/notes.hlp"));
    QVERIFY(help.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(help.readAll());
    QStringList keywords{QStringLiteral("Main")};
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const QString keyword = helpKeywordOf(child);
        if (!keyword.isEmpty() && !keywords.contains(keyword))
            keywords << keyword;
    }
    for (int tab = 0; tab < 4; ++tab) {
        selectTab(window, tab);
        keywords << helpKeywordOf(control<QTabBar>(window, QStringLiteral("?CurrentTab")));
    }
    for (const QString& keyword : keywords)
        QVERIFY2(text.contains(QStringLiteral("name=\"%1\"").arg(keyword)), qPrintable(keyword));
}

// ---- buttons and the note form ----

void MainTest::anEmptyListOnlyAdds()
{
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    for (const char* name : {"?Change", "?Delete", "?PrintOneNote"})
        QVERIFY2(!control<QPushButton>(window, QLatin1String(name))->isEnabled(), name);
    for (const char* name : {"?Insert", "?FindBy", "?PrintFindBy"})
        QVERIFY2(control<QPushButton>(window, QLatin1String(name))->isEnabled(), name);

    QTableView* rows = listOf(window)->rows();
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClick(rows, Qt::Key_Delete);
    QTest::keyClick(rows, Qt::Key_Return, Qt::ControlModifier);
    QTest::qWait(20);
    QVERIFY(m_form.requests.isEmpty());

    // Insert still adds, on a freshly primed note, and the list shows the new note.
    QTest::keyClick(rows, Qt::Key_Insert);
    QTRY_COMPARE(m_form.requests, QList<Request>{Request::Insert});
    QCOMPARE(m_form.topics, QStringList{QString()});
    QCOMPARE(m_form.dones, QStringList{QStringLiteral("N")});
    QTRY_COMPARE(currentTopic(window), QStringLiteral("Zebra crossing"));
    QVERIFY(control<QPushButton>(window, QStringLiteral("?Change"))->isEnabled());
}

void MainTest::buttonsKeysAndTheMenuCallTheNoteForm_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<Request>("request");
    QTest::newRow("Change button") << "?Change" << Request::Change;
    QTest::newRow("Delete button") << "?Delete" << Request::Delete;
    QTest::newRow("Add New Note button") << "?Insert" << Request::Insert;
    QTest::newRow("double-click") << "double-click" << Request::Change;
    QTest::newRow("Ctrl+Enter") << "ctrl+enter" << Request::Change;
    QTest::newRow("Delete key") << "delete" << Request::Delete;
    QTest::newRow("menu Change") << "?MenuChange" << Request::Change;
    QTest::newRow("menu Delete") << "?MenuDelete" << Request::Delete;
    QTest::newRow("menu Insert") << "?MenuInsert" << Request::Insert;
}

void MainTest::buttonsKeysAndTheMenuCallTheNoteForm()
{
    QFETCH(QString, how);
    QFETCH(Request, request);
    m_form.answer = Response::Cancelled;
    addFruit();
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QTableView* rows = listOf(window)->rows();
    const QPoint second = rows->visualRect(listOf(window)->model()->index(1, 2)).center();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(currentTopic(window), QStringLiteral("Banana"));

    if (how.startsWith(u'?') && !how.startsWith(QLatin1String("?Menu"))) {
        QTest::mouseClick(control<QPushButton>(window, how), Qt::LeftButton);
    } else if (how == QLatin1String("double-click")) {
        QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, second);
    } else if (how == QLatin1String("ctrl+enter")) {
        QTest::keyClick(rows, Qt::Key_Return, Qt::ControlModifier);
    } else if (how == QLatin1String("delete")) {
        QTest::keyClick(rows, Qt::Key_Delete);
    } else {
        QContextMenuEvent click(QContextMenuEvent::Mouse, second,
                                rows->viewport()->mapToGlobal(second));
        QCoreApplication::sendEvent(rows->viewport(), &click);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = window->findChild<QMenu*>(QStringLiteral("?ListMenu"))) != nullptr);
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items, (QStringList{QStringLiteral("&Insert"), QStringLiteral("&Change"),
                                     QStringLiteral("&Delete"), QStringLiteral("&Print"),
                                     QStringLiteral("-"), QStringLiteral("&Query")}));
        menu->findChild<QAction*>(how)->trigger();
        menu->close();
    }
    QTRY_COMPARE(m_form.requests, QList<Request>{request});
    // Change and delete work on the highlighted note; an insert on a new one.
    QCOMPARE(m_form.topics.front(),
             request == Request::Insert ? QString() : QStringLiteral("Banana"));
    // Cancelled: the list stays on the highlighted note.
    QTRY_COMPARE(currentTopic(window), QStringLiteral("Banana"));
}

void MainTest::printingRunsTheReportOnTheHighlightedNote_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Print One Note button") << "?PrintOneNote";
    QTest::newRow("menu Print") << "?MenuPrint";
}

void MainTest::printingRunsTheReportOnTheHighlightedNote()
{
    QFETCH(QString, how);
    addFruit();
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QTableView* rows = listOf(window)->rows();
    QTest::keyClick(rows, Qt::Key_End);
    QCOMPARE(currentTopic(window), QStringLiteral("Cherry"));
    if (how == QLatin1String("?PrintOneNote")) {
        QTest::mouseClick(control<QPushButton>(window, how), Qt::LeftButton);
    } else {
        const QPoint at = rows->visualRect(listOf(window)->model()->index(
                                               listOf(window)->model()->currentRow(), 2))
                              .center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, rows->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(rows->viewport(), &click);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = window->findChild<QMenu*>(QStringLiteral("?ListMenu"))) != nullptr);
        menu->findChild<QAction*>(how)->trigger();
        menu->close();
    }
    QTRY_COMPARE(m_report.requests, QList<Request>{Request::Process});
    QCOMPARE(m_report.topics, QStringList{QStringLiteral("Cherry")}); // in the buffer
    QVERIFY(m_form.requests.isEmpty());
    QTRY_COMPARE(currentTopic(window), QStringLiteral("Cherry")); // refreshed where it was
}

void MainTest::theListFollowsTheForm_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<Response>("answer");
    QTest::addColumn<QString>("afterwards");
    QTest::newRow("a completed delete: the next note takes its place")
        << Request::Delete << Response::Completed << "Cherry";
    QTest::newRow("a completed add: on the saved note")
        << Request::Insert << Response::Completed << "Apricot";
    QTest::newRow("a cancelled add: where it was")
        << Request::Insert << Response::Cancelled << "Banana";
    QTest::newRow("a completed change: on the note")
        << Request::Change << Response::Completed << "Banana";
}

void MainTest::theListFollowsTheForm()
{
    QFETCH(Request, request);
    QFETCH(Response, answer);
    QFETCH(QString, afterwards);
    m_form.answer = answer;
    m_form.insertTopic = QStringLiteral("Apricot");
    addFruit();
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QTableView* rows = listOf(window)->rows();
    QTest::keyClick(rows, Qt::Key_Down);
    QCOMPARE(currentTopic(window), QStringLiteral("Banana"));
    const char* button = request == Request::Delete   ? "?Delete"
                         : request == Request::Insert ? "?Insert"
                                                      : "?Change";
    QTest::mouseClick(control<QPushButton>(window, QLatin1String(button)), Qt::LeftButton);
    QTRY_COMPARE(m_form.requests.size(), 1);
    QTRY_COMPARE(currentTopic(window), afterwards);
    QTRY_VERIFY(rows->hasFocus());
}

// ---- type-ahead and the topic check ----

void MainTest::typeAheadMovesByTopic()
{
    for (const char* topic : {"Apple", "Banana", "berry", "Cherry"})
        addNote(QLatin1String(topic));
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QTableView* rows = listOf(window)->rows();
    auto* field = control<QLineEdit>(window, QStringLiteral("?SNO:TOPIC"));
    rows->setFocus();
    QTest::keyClick(rows, 'B');
    QCOMPARE(currentTopic(window), QStringLiteral("Banana"));
    QTest::keyClick(rows, 'e'); // case ignored
    QCOMPARE(currentTopic(window), QStringLiteral("berry"));
    QCOMPARE(field->text(), QStringLiteral("Be"));
    QTest::keyClick(rows, Qt::Key_Backspace);
    QCOMPARE(field->text(), QStringLiteral("B"));
    QCOMPARE(currentTopic(window), QStringLiteral("Banana"));
    QTest::keyClick(rows, 'z'); // past every topic: the last
    QCOMPARE(currentTopic(window), QStringLiteral("Cherry"));

    // Typing into the field itself moves the list the same way.
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("ch"));
    QCOMPARE(currentTopic(window), QStringLiteral("Cherry"));
}

void MainTest::typeAheadOnNotesOnlyLocatesTheTopic()
{
    for (const char* topic : {"Apple", "Banana", "Cherry"})
        addNote(QLatin1String(topic));
    addNote(QStringLiteral("Blueberry reminder"), 2); // not on Notes Only
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    selectTab(window, NotesOnlyTab);
    QCOMPARE(topicsOf(window), (QStringList{QStringLiteral("Apple"), QStringLiteral("Banana"),
                                            QStringLiteral("Cherry")}));
    QTableView* rows = listOf(window)->rows();
    typeInto(rows, QStringLiteral("ch"));
    QCOMPARE(currentTopic(window), QStringLiteral("Cherry"));
    QTest::keyClick(rows, Qt::Key_Backspace);
    QTest::keyClick(rows, Qt::Key_Backspace);
    QTest::keyClick(rows, 'b');
    QCOMPARE(currentTopic(window), QStringLiteral("Banana"));
}

void MainTest::typeAheadKeepsAtMost39Characters()
{
    addNote(QString(60, u'x'));
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QTableView* rows = listOf(window)->rows();
    auto* field = control<QLineEdit>(window, QStringLiteral("?SNO:TOPIC"));
    typeInto(rows, QString(40, u'x'));
    QCOMPARE(field->text(), QString(typeAheadLimit, u'x'));
    QTest::keyClick(rows, Qt::Key_Backspace);
    QCOMPARE(field->text(), QString(typeAheadLimit - 1, u'x'));
    // The same limit when typing into the field.
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, QString(45, u'y'));
    QCOMPARE(field->text(), QString(typeAheadLimit, u'y'));
}

void MainTest::tabsWithoutTypeAheadIgnoreTypedText()
{
    addNote(QStringLiteral("Alpha reminder"), 1);
    addNote(QStringLiteral("Omega reminder"), 2);
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    selectTab(window, CurrentRemindersTab);
    QTableView* rows = listOf(window)->rows();
    const QString before = currentTopic(window);
    typeInto(rows, QStringLiteral("om"));
    QCOMPARE(currentTopic(window), before);
    QVERIFY(control<QLineEdit>(window, QStringLiteral("?SNO:TOPIC"))->text().isEmpty());
}

void MainTest::anExistingTopicNeedsNoPickList()
{
    addFruit();
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QLineEdit* field = acceptTopic(window, QStringLiteral("banana")); // case ignored
    QTest::qWait(20);
    QCOMPARE(windowsOf(QStringLiteral("Main")).size(), 1);
    QTRY_COMPARE(field->text(), QStringLiteral("Banana"));
    QCOMPARE(currentTopic(window), QStringLiteral("Banana"));
    QVERIFY(m_form.requests.isEmpty()); // Enter in the field is not the default button's
}

void MainTest::anUnknownTopicOpensThePickList()
{
    addFruit();
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QLineEdit* field = acceptTopic(window, QStringLiteral("Bl"));
    ProcedureWindow* pick = nullptr;
    QTRY_VERIFY(windowsOf(QStringLiteral("Main")).size() == 2);
    pick = windowsOf(QStringLiteral("Main")).back();
    QVERIFY(QTest::qWaitForWindowExposed(pick));
    QCOMPARE(pick->request(), Request::Select);
    QCOMPARE(pick->windowModality() != Qt::NonModal, true);

    // The pick list has its own tabs and list; "&Select" is never shown, yet enabled.
    auto* select = control<QPushButton>(pick, QStringLiteral("?Select"));
    for (int tab = 0; tab < 4; ++tab) {
        selectTab(pick, tab);
        QVERIFY(!select->isVisible());
    }
    selectTab(pick, EverythingTab);
    QVERIFY(select->isEnabled());
    QVERIFY(select->isDefault());
    QCOMPARE(topicsOf(pick), (QStringList{QStringLiteral("Apple"), QStringLiteral("Banana"),
                                          QStringLiteral("Cherry")}));
    QTableView* rows = listOf(pick)->rows();
    const QPoint third = rows->visualRect(listOf(pick)->model()->index(2, 2)).center();
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, third);

    QTRY_COMPARE(windowsOf(QStringLiteral("Main")).size(), 1);
    QTRY_COMPARE(field->text(), QStringLiteral("Cherry"));
    QCOMPARE(currentTopic(window), QStringLiteral("Cherry"));
    QCOMPARE(notesBuffer(*m_thread).topic(), QStringLiteral("Cherry"));
    // The first window's list reads its own order again after the pick list's.
    QTest::keyClick(listOf(window)->rows(), Qt::Key_Home);
    QCOMPARE(currentTopic(window), QStringLiteral("Apple"));
    QVERIFY(m_form.requests.isEmpty());
}

void MainTest::aCancelledPickListReturnsToTheField()
{
    addNote(QStringLiteral("Apple"));
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QLineEdit* field = acceptTopic(window, QStringLiteral("Zz"));
    QTRY_VERIFY(windowsOf(QStringLiteral("Main")).size() == 2);
    ProcedureWindow* pick = windowsOf(QStringLiteral("Main")).back();
    QVERIFY(QTest::qWaitForWindowExposed(pick));
    QTest::keyClick(pick, Qt::Key_Escape);
    QTRY_COMPARE(windowsOf(QStringLiteral("Main")).size(), 1);
    QTRY_COMPARE(window->focusWidget(), field);
    QCOMPARE(field->text(), QStringLiteral("Zz"));

    // Leaving the field checks no text twice; Enter asks again.
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    QTest::qWait(50);
    QCOMPARE(windowsOf(QStringLiteral("Main")).size(), 1);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_COMPARE(windowsOf(QStringLiteral("Main")).size(), 2);
}

void MainTest::aViewWindowCallsNothing()
{
    addNote(QStringLiteral("Apple"));
    ProcedureWindow* window = openMain(Request::View);
    QVERIFY(window);
    QCOMPARE(topicsOf(window), QStringList{QStringLiteral("Apple")});
    QTableView* rows = listOf(window)->rows();
    QTest::keyClick(rows, Qt::Key_Insert);
    QTest::keyClick(rows, Qt::Key_Delete);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("?Insert")), Qt::LeftButton);
    QTest::qWait(20);
    QVERIFY(m_form.requests.isEmpty());
    QVERIFY(control<QPushButton>(window, QStringLiteral("?PrintOneNote"))->isEnabled());
}

// ---- other windows and the desktop ----

void MainTest::aboutWindowsRunOnThreadsOfTheirOwn()
{
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QAction* aboutCommand = window->findChild<QAction*>(QStringLiteral("?About"));
    QVERIFY(aboutCommand);
    aboutCommand->trigger();
    aboutCommand->trigger();
    QTRY_COMPARE(windowsOf(QStringLiteral("about")).size(), 2);
    const QList<ProcedureWindow*> abouts = windowsOf(QStringLiteral("about"));
    QVERIFY(&abouts[0]->thread() != &abouts[1]->thread());
    QVERIFY(&abouts[0]->thread() != &*m_thread);
    // Main stays usable beside them.
    QCOMPARE(abouts[0]->windowModality(), Qt::NonModal);
    QVERIFY(window->isEnabled());
    abouts[0]->finish(Response::Cancelled);
    QTRY_COMPARE(windowsOf(QStringLiteral("about")).size(), 1);
    QVERIFY(window->isRunning());
}

void MainTest::emailSupportOpensAMailToSupport()
{
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("?EmailSupport")),
                      Qt::LeftButton);
    QCOMPARE(m_opener.opened.size(), 1);
    QCOMPARE(m_opener.opened.front().toString(),
             QStringLiteral("mailto:help@quillary.example?subject=QLY4"));
    QVERIFY(m_presenter.shown().empty()); // nothing is reported
}

void MainTest::printerSetupOpensThePrinterDialog()
{
    QPrinter printer;
    MainServices with = services();
    with.printer = &printer;
    ProcedureWindow* window = openMain(Request::None, with);
    QVERIFY(window);
    window->findChild<QAction*>(QStringLiteral("?PrinterSetup"))->trigger();
    QPrintDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = window->findChild<QPrintDialog*>(
                     QStringLiteral("?PrinterSetupDialog"))) != nullptr);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->printer(), &printer);
    dialog->reject();
    QTRY_VERIFY(!window->findChild<QPrintDialog*>(QStringLiteral("?PrinterSetupDialog")));
    QVERIFY(window->isRunning());
}

void MainTest::thePlaceIsKeptUnderMain()
{
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    window->resize(window->size() + QSize(120, 80));
    const QSize size = window->size();
    window->finish(Response::Cancelled);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Cancelled);
    m_world->settings().reopen();
    QCOMPARE(
        m_world->settings().file().value(QStringLiteral("Main"), QStringLiteral("Width")).isEmpty(),
        false);

    window = openMain();
    QVERIFY(window);
    QCOMPARE(window->size(), size);
}

void MainTest::escapeDoesNotEndTheProgram()
{
    addFruit();
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QTest::keyClick(listOf(window)->rows(), Qt::Key_Escape);
    QTest::keyClick(window, Qt::Key_Escape);
    QTest::qWait(20);
    QVERIFY(window->isRunning());
    QVERIFY(!m_run->done());
}

void MainTest::theModelStaysConsistentAcrossTabsAndMoves()
{
    for (int i = 0; i < 120; ++i)
        addNote(QStringLiteral("Note %1").arg(i, 3, 10, QLatin1Char('0')),
                i % 4 == 0 ? kNoDate : i % 9 - 4,
                i % 3 == 0 ? QStringLiteral("Y") : QStringLiteral("N"));
    ProcedureWindow* window = openMain();
    QVERIFY(window);
    QAbstractItemModelTester tester(listOf(window)->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QTableView* rows = listOf(window)->rows();
    for (int tab = 0; tab < 4; ++tab) {
        selectTab(window, tab);
        for (const Qt::Key key :
             {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Home})
            QTest::keyClick(rows, key);
        QVERIFY(listOf(window)->model()->rowCount() > 0);
    }
}

QTEST_MAIN(MainTest)
#include "tst_main.moc"
