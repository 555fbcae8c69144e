// The note form over a real data file, driven by its controls: adding, changing, deleting and
// archiving notes and what the file holds afterwards, the Save Record check, failed saves,
// the recall key, dates that are not dates, the mail and link actions, and the whole path from
// the main window's buttons.

#include "core/clock.h"
#include "core/thread.h"
#include "data/note_managers.h"
#include "errors/builtin_messages.h"
#include "errors/error_manager.h"
#include "store/faults.h"
#include "support/notes_world.h"
#include "support/scripted_presenter.h"
#include "support/task_runner.h"
#include "support/window_support.h"
#include "ui/list_model.h"
#include "ui/list_view.h"
#include "ui/procedure_window.h"
#include "ui/shutdown.h"
#include "windows/edit/mail_actions.h"
#include "windows/edit/open_document.h"
#include "windows/edit/update_snotes.h"
#include "windows/notes/main_window.h"

#include <memory>
#include <optional>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUrlQuery>

using namespace qly;
using namespace qly::test;

namespace {

const QDate kToday(2026, 12, 11);

// A note as the file holds it, for comparing.
struct StoredNote
{
    QString topic, reminder, done, memo, url, email;
    DayCount noteDate = 0, reminderDate = 0;
    bool operator==(const StoredNote&) const = default;
};

char* toString(const StoredNote& note)
{
    return qstrdup(QStringLiteral("{%1 mark=%2 done=%3 note=%4 due=%5 memo=%6 url=%7 email=%8}")
                       .arg(note.topic, note.reminder, note.done)
                       .arg(note.noteDate)
                       .arg(note.reminderDate)
                       .arg(note.memo, note.url, note.email)
                       .toUtf8()
                       .constData());
}

// A click on the box itself, where a click toggles it.
void tick(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

NoteRecord noteOf(const QString& topic, DayCount noteDate, const QString& memo = {})
{
    NoteRecord note;
    note.setTopic(topic);
    note.setReminder(u"N");
    note.setDone(u"N");
    note.setNoteDate(noteDate);
    note.setMainMemo(memo);
    return note;
}

} // namespace

class NoteFormTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void aNewNoteIsStoredAsTyped();
    void aChangedNoteIsWrittenBack();
    void okOnAnUneditedNoteIsCancelled();
    void theSaveRecordCheck_data();
    void theSaveRecordCheck();
    void aNoteMovesIntoTheArchive_data();
    void aNoteMovesIntoTheArchive();
    void tickingArchiveThenCancellingChangesNothing();
    void aRefusedArchiveCopyStops_data();
    void aRefusedArchiveCopyStops();
    void aFailedSaveKeepsTheFormOpen();
    void aDeleteRequestNeverShowsTheForm_data();
    void aDeleteRequestNeverShowsTheForm();
    void theRecallKeyBringsBackTheLastAcceptedNote();
    void aReminderDateThatIsNotADateIsRefused();
    void captionsControlsAndMenu();
    void theCalendarPicksTheReminderDate();
    void mailLinks_data();
    void mailLinks();
    void whatTheDesktopIsHanded_data();
    void whatTheDesktopIsHanded();
    void sendMailAndGoToUrl();
    void theHotAreasOpenTheirLinksAtOnce();
    void theMainWindowAddsChangesArchivesAndDeletesThroughTheForm();

private:
    qint64 store(const NoteRecord& note);
    QList<StoredNote> stored(const QString& table) const;
    // Runs the form on m_thread with request over the buffer as it is; waits for its window.
    ProcedureWindow* openForm(Request request);
    // Fetches the stored note with this row id into the buffer and opens the form on it.
    ProcedureWindow* openFormOn(qint64 id, Request request = Request::Change);
    // The form on a new note (insert), or on a stored note "Old" of day 82001 (change).
    ProcedureWindow* openNewOrStored(Request request);
    NoteFormServices services();

    ScriptedPresenter m_presenter;
    std::optional<NotesWorld> m_world;
    std::optional<Thread> m_thread;
    std::optional<TaskRunner<Response>> m_run;
    RecordingOpener m_opener;
};

void NoteFormTest::init()
{
    m_presenter.clear();
    m_world.emplace(kToday, m_presenter);
    m_thread.emplace(QStringLiteral("main"));
    m_opener.opened.clear();
    noteFormHistory().clear();
}

void NoteFormTest::cleanup()
{
    store::Faults::disarmAll();
    QVERIFY(closeEveryWindow());
    if (m_run)
        QTRY_VERIFY(m_run->done());
    m_run.reset();
    m_thread.reset();
    m_world.reset();
}

qint64 NoteFormTest::store(const NoteRecord& note)
{
    return m_world->store(note);
}

QList<StoredNote> NoteFormTest::stored(const QString& table) const
{
    Thread reader(QStringLiteral("reader"));
    store::Table* which =
        table == QLatin1String("notes") ? noteManagers().notesTable : noteManagers().archiveTable;
    store::TableInstance& instance = which->on(reader);
    QList<StoredNote> notes;
    if (!instance.open(store::Access::ReadOnly).ok())
        return notes;
    instance.setOrder(-1);
    auto rows = instance.readPage(store::Direction::Forward, 1000);
    if (rows.ok()) {
        for (const store::Row& row : rows.value()) {
            const Record& r = row.record;
            notes << StoredNote{r.text(NoteRecord::Topic),    r.text(NoteRecord::Reminder),
                                r.text(NoteRecord::Done),     r.text(NoteRecord::MainMemo),
                                r.text(NoteRecord::Url),      r.text(NoteRecord::EmailAddress),
                                r.date(NoteRecord::NoteDate), r.date(NoteRecord::ReminderDate)};
        }
    }
    instance.close();
    return notes;
}

NoteFormServices NoteFormTest::services()
{
    return NoteFormServices{WindowServices{&m_world->settings().file(), nullptr, nullptr},
                            &m_presenter, &m_opener};
}

ProcedureWindow* NoteFormTest::openForm(Request request)
{
    m_run.emplace(updateSNotes(services(), *m_thread, request, nullptr));
    if (!QTest::qWaitFor([] { return !windowsOf(QStringLiteral("UpdateSNotes")).isEmpty(); }, 2000))
        return nullptr;
    ProcedureWindow* form = windowsOf(QStringLiteral("UpdateSNotes")).front();
    if (!QTest::qWaitForWindowExposed(form))
        return nullptr;
    form->activateWindow();
    return form;
}

ProcedureWindow* NoteFormTest::openFormOn(qint64 id, Request request)
{
    store::TableInstance& notes = noteManagers().notes->instance(*m_thread);
    if (!notes.isOpen() && !notes.open(store::Access::ReadWrite).ok())
        return nullptr;
    if (!notes.fetchRow(id).ok())
        return nullptr;
    return openForm(request);
}

ProcedureWindow* NoteFormTest::openNewOrStored(Request request)
{
    if (request != Request::Insert)
        return openFormOn(store(noteOf(QStringLiteral("Old"), 82001)));
    notesBuffer(*m_thread).clear();
    notesBuffer(*m_thread).setDone(u"N");
    return openForm(request);
}

// ---- adding and changing ----

void NoteFormTest::aNewNoteIsStoredAsTyped()
{
    notesBuffer(*m_thread).clear();
    notesBuffer(*m_thread).setDone(u"N");
    ProcedureWindow* form = openForm(Request::Insert);
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Adding a Notes Record"));
    auto* topic = control<QLineEdit>(form, "?SNO:TOPIC");
    QTRY_VERIFY(topic->hasFocus());
    // The note date is filled in as soon as the topic has the focus.
    QCOMPARE(control<QLabel>(form, "?SNO:NOTEDATE")->text(),
             QLocale().toString(kToday, QLocale::ShortFormat));

    QTest::keyClicks(topic, QStringLiteral("Buy milk"));
    tick(control<QCheckBox>(form, "?SNO:DONE"));
    auto* reminder = control<QLineEdit>(form, "?SNO:REMINDERDATE");
    QTest::keyClicks(reminder, QStringLiteral("12/20/26"));
    auto* memo = control<QPlainTextEdit>(form, "?SNO:MAINMEMO");
    QTest::keyClicks(memo, QStringLiteral("Two litres"));
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("and eggs"));
    QTest::keyClicks(control<QLineEdit>(form, "?SNO:EMAILADDRESS"),
                     QStringLiteral("me@example.com"));
    QTest::keyClicks(control<QLineEdit>(form, "?SNO:URL"),
                     QStringLiteral("https://example.com/milk"));
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Completed);

    // The archive mark was never set.
    const StoredNote expected{QStringLiteral("Buy milk"),
                              QString(),
                              QStringLiteral("Y"),
                              QStringLiteral("Two litres\nand eggs"),
                              QStringLiteral("https://example.com/milk"),
                              QStringLiteral("me@example.com"),
                              fromQDate(kToday),
                              fromQDate(QDate(2026, 12, 20))};
    QCOMPARE(stored(QStringLiteral("notes")), QList<StoredNote>{expected});
    QVERIFY(stored(QStringLiteral("Arcnotes")).isEmpty());
    QVERIFY(m_presenter.shown().empty());
}

void NoteFormTest::aChangedNoteIsWrittenBack()
{
    const qint64 other = store(noteOf(QStringLiteral("Other"), 82000));
    const qint64 id = store(noteOf(QStringLiteral("Garden"), 82001, QStringLiteral("roses")));
    QVERIFY(other && id);
    ProcedureWindow* form = openFormOn(id);
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Changing a Notes Record"));
    auto* memo = control<QPlainTextEdit>(form, "?SNO:MAINMEMO");
    QCOMPARE(memo->toPlainText(), QStringLiteral("roses"));
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral(" and tulips"));
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Completed);
    const QList<StoredNote> notes = stored(QStringLiteral("notes"));
    QCOMPARE(notes.size(), 2);
    QCOMPARE(notes[0].topic, QStringLiteral("Other"));
    QCOMPARE(notes[1].memo, QStringLiteral("roses and tulips"));
    QCOMPARE(notes[1].noteDate, DayCount(82001)); // a note's date never changes
}

void NoteFormTest::okOnAnUneditedNoteIsCancelled()
{
    const qint64 id = store(noteOf(QStringLiteral("Garden"), 82001));
    ProcedureWindow* form = openFormOn(id);
    QVERIFY(form);
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Cancelled);
    QVERIFY(m_presenter.shown().empty());
}

void NoteFormTest::theSaveRecordCheck_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QList<MessageButton>>("answers");
    QTest::addColumn<int>("stored");
    QTest::addColumn<Response>("response");
    QTest::newRow("an untouched new note still asks; No adds nothing")
        << false << QList<MessageButton>{MessageButton::No} << 0 << Response::Cancelled;
    QTest::newRow("Yes saves the note")
        << true << QList<MessageButton>{MessageButton::Yes} << 1 << Response::Completed;
    QTest::newRow("Cancel stays in the form, then No")
        << true << QList<MessageButton>{MessageButton::Cancel, MessageButton::No} << 0
        << Response::Cancelled;
}

void NoteFormTest::theSaveRecordCheck()
{
    QFETCH(bool, typed);
    QFETCH(QList<MessageButton>, answers);
    QFETCH(int, stored);
    QFETCH(Response, response);
    notesBuffer(*m_thread).clear();
    notesBuffer(*m_thread).setDone(u"N");
    ProcedureWindow* form = openForm(Request::Insert);
    QVERIFY(form);
    auto* topic = control<QLineEdit>(form, "?SNO:TOPIC");
    if (typed)
        QTest::keyClicks(topic, QStringLiteral("Unsaved"));
    for (const MessageButton answer : answers)
        m_presenter.answer(answer);

    QTest::mouseClick(control<QPushButton>(form, "?CANCEL"), Qt::LeftButton);
    if (answers.front() == MessageButton::Cancel) {
        QTRY_COMPARE(m_presenter.shown().size(), size_t(1));
        QTRY_VERIFY(topic->hasFocus());
        QVERIFY(form->isRunning());
        QTest::keyClick(form, Qt::Key_Escape); // the close box's way: asks again
    }
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), response);
    QCOMPARE(m_presenter.shown().size(), size_t(answers.size()));
    const MessageBoxSpec& asked = m_presenter.shown().front();
    QCOMPARE(asked.title, QStringLiteral("Save Record"));
    QCOMPARE(asked.text, QStringLiteral("Do you want to save the changes to this record?"));
    QCOMPARE(asked.buttons, (std::vector<MessageButton>{MessageButton::Yes, MessageButton::No,
                                                        MessageButton::Cancel}));
    QCOMPARE(asked.defaultButton, MessageButton::Cancel);
    QCOMPARE(this->stored(QStringLiteral("notes")).size(), stored);
}

// ---- the archive ----

void NoteFormTest::aNoteMovesIntoTheArchive_data()
{
    QTest::addColumn<Request>("request");
    QTest::newRow("a new note ends only in Arcnotes") << Request::Insert;
    QTest::newRow("a changed note leaves notes for Arcnotes") << Request::Change;
}

void NoteFormTest::aNoteMovesIntoTheArchive()
{
    QFETCH(Request, request);
    const qint64 kept = store(noteOf(QStringLiteral("Kept"), 82000));
    QVERIFY(kept);
    ProcedureWindow* form = openNewOrStored(request);
    QVERIFY(form);
    auto* topic = control<QLineEdit>(form, "?SNO:TOPIC");
    topic->selectAll();
    QTest::keyClicks(topic, QStringLiteral("Filed away"));
    tick(control<QCheckBox>(form, "?SNO:REMINDER"));
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Completed);

    const QList<StoredNote> notes = stored(QStringLiteral("notes"));
    QCOMPARE(notes.size(), 1);
    QCOMPARE(notes.front().topic, QStringLiteral("Kept"));
    const QList<StoredNote> archived = stored(QStringLiteral("Arcnotes"));
    QCOMPARE(archived.size(), 1);
    QCOMPARE(archived.front().topic, QStringLiteral("Filed away"));
    QCOMPARE(archived.front().reminder, QStringLiteral("Y"));
    QCOMPARE(archived.front().noteDate,
             request == Request::Insert ? fromQDate(kToday) : DayCount(82001));
    QVERIFY(m_presenter.shown().empty());
}

void NoteFormTest::tickingArchiveThenCancellingChangesNothing()
{
    const qint64 id = store(noteOf(QStringLiteral("Old"), 82001));
    ProcedureWindow* form = openFormOn(id);
    QVERIFY(form);
    tick(control<QCheckBox>(form, "?SNO:REMINDER"));
    m_presenter.answer(MessageButton::No);
    QTest::mouseClick(control<QPushButton>(form, "?CANCEL"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Cancelled);
    QCOMPARE(stored(QStringLiteral("notes")).size(), 1);
    QCOMPARE(stored(QStringLiteral("notes")).front().reminder, QStringLiteral("N"));
    QVERIFY(stored(QStringLiteral("Arcnotes")).isEmpty());
}

void NoteFormTest::aRefusedArchiveCopyStops_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<MessageButton>("answer");
    QTest::newRow("new note, Ignore: saved with its mark, nothing archived")
        << Request::Insert << MessageButton::Ignore;
    QTest::newRow("changed note, Ignore: saved with its mark, nothing archived")
        << Request::Change << MessageButton::Ignore;
    QTest::newRow("changed note, Abort: the program ends, nothing changed")
        << Request::Change << MessageButton::Abort;
}

void NoteFormTest::aRefusedArchiveCopyStops()
{
    QFETCH(Request, request);
    QFETCH(MessageButton, answer);
    ProcedureWindow* form = openNewOrStored(request);
    QVERIFY(form);
    auto* topic = control<QLineEdit>(form, "?SNO:TOPIC");
    topic->selectAll();
    QTest::keyClicks(topic, QStringLiteral("Full disk"));
    tick(control<QCheckBox>(form, "?SNO:REMINDER"));
    m_presenter.answer(answer);
    {
        const store::ScopedFault full(
            store::Operation::Insert,
            store::StoreError::fileSystem(28, QStringLiteral("No space left on device")));
        QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
        QTRY_COMPARE(m_presenter.shown().size(), size_t(1));
    }
    const MessageBoxSpec& stop = m_presenter.shown().front();
    QCOMPARE(stop.title, QStringLiteral("Stop"));
    QVERIFY2(stop.text.contains(QStringLiteral("No space left on device")), qPrintable(stop.text));
    QCOMPARE(stop.buttons,
             (std::vector<MessageButton>{MessageButton::Abort, MessageButton::Ignore}));
    QCOMPARE(stop.defaultButton, MessageButton::Abort);
    QVERIFY(stored(QStringLiteral("Arcnotes")).isEmpty());

    if (answer == MessageButton::Abort) {
        QTRY_COMPARE(m_world->terminated(), QList<int>{3});
        QCOMPARE(stored(QStringLiteral("notes")).size(), 1);
        QCOMPARE(stored(QStringLiteral("notes")).front().topic, QStringLiteral("Old"));
        return; // the program would have ended here
    }
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Completed);
    const QList<StoredNote> notes = stored(QStringLiteral("notes"));
    QCOMPARE(notes.size(), 1);
    QCOMPARE(notes.front().topic, QStringLiteral("Full disk"));
    QCOMPARE(notes.front().reminder, QStringLiteral("Y"));
}

void NoteFormTest::aFailedSaveKeepsTheFormOpen()
{
    notesBuffer(*m_thread).clear();
    notesBuffer(*m_thread).setDone(u"N");
    ProcedureWindow* form = openForm(Request::Insert);
    QVERIFY(form);
    auto* topic = control<QLineEdit>(form, "?SNO:TOPIC");
    QTest::keyClicks(topic, QStringLiteral("Will not fit"));
    {
        const store::ScopedFault full(
            store::Operation::Insert,
            store::StoreError::fileSystem(28, QStringLiteral("No space left on device")));
        QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
        QTRY_COMPARE(m_presenter.shown().size(), size_t(1));
    }
    QCOMPARE(m_presenter.shown().front().title, QStringLiteral("Record Insert Error"));
    QTRY_VERIFY(topic->hasFocus());
    QVERIFY(form->isRunning());
    QCOMPARE(topic->text(), QStringLiteral("Will not fit")); // the values stay

    // Now it fits.
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Completed);
    QCOMPARE(stored(QStringLiteral("notes")).size(), 1);
}

void NoteFormTest::aDeleteRequestNeverShowsTheForm_data()
{
    QTest::addColumn<MessageButton>("answer");
    QTest::addColumn<int>("left");
    QTest::addColumn<Response>("response");
    QTest::newRow("Yes deletes") << MessageButton::Yes << 1 << Response::Completed;
    QTest::newRow("No keeps the note") << MessageButton::No << 2 << Response::Cancelled;
}

void NoteFormTest::aDeleteRequestNeverShowsTheForm()
{
    QFETCH(MessageButton, answer);
    QFETCH(int, left);
    QFETCH(Response, response);
    store(noteOf(QStringLiteral("Kept"), 82000));
    const qint64 id = store(noteOf(QStringLiteral("Doomed"), 82001));
    store::TableInstance& notes = noteManagers().notes->instance(*m_thread);
    QVERIFY(notes.open(store::Access::ReadWrite).ok());
    QVERIFY(notes.fetchRow(id).ok());
    m_presenter.answer(answer);
    m_run.emplace(updateSNotes(services(), *m_thread, Request::Delete, nullptr));
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), response);
    QVERIFY(windowsOf(QStringLiteral("UpdateSNotes")).isEmpty());
    QCOMPARE(m_presenter.titles(), QStringList{QStringLiteral("Confirm Delete")});
    const QList<StoredNote> rest = stored(QStringLiteral("notes"));
    QCOMPARE(rest.size(), left);
    QCOMPARE(rest.front().topic, QStringLiteral("Kept"));
}

// ---- editing ----

void NoteFormTest::theRecallKeyBringsBackTheLastAcceptedNote()
{
    const qint64 first =
        store(noteOf(QStringLiteral("First note"), 82000, QStringLiteral("first memo")));
    const qint64 second =
        store(noteOf(QStringLiteral("Second note"), 82001, QStringLiteral("second memo")));
    const QKeySequence recall(Qt::CTRL | Qt::Key_Apostrophe);

    // Before any note was accepted the history is blank.
    ProcedureWindow* form = openFormOn(first);
    QVERIFY(form);
    auto* topic = control<QLineEdit>(form, "?SNO:TOPIC");
    QTRY_VERIFY(topic->hasFocus());
    QTest::keySequence(topic, recall);
    QCOMPARE(topic->text(), QString());
    topic->setText(QStringLiteral("First note, edited"));
    Q_EMIT topic->textEdited(topic->text());
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(m_run->result(), Response::Completed);

    // On another note it brings back the accepted one's values, control by control.
    form = openFormOn(second);
    QVERIFY(form);
    topic = control<QLineEdit>(form, "?SNO:TOPIC");
    auto* memo = control<QPlainTextEdit>(form, "?SNO:MAINMEMO");
    QTRY_VERIFY(topic->hasFocus());
    QTest::keySequence(topic, recall);
    QCOMPARE(topic->text(), QStringLiteral("First note, edited"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("second memo")); // only the field the key was in
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    QTest::keySequence(memo, recall);
    QCOMPARE(memo->toPlainText(), QStringLiteral("first memo"));
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(stored(QStringLiteral("notes"))[1].topic, QStringLiteral("First note, edited"));
}

void NoteFormTest::aReminderDateThatIsNotADateIsRefused()
{
    const qint64 id = store(noteOf(QStringLiteral("Dated"), 82001));
    ProcedureWindow* form = openFormOn(id);
    QVERIFY(form);
    auto* reminder = control<QLineEdit>(form, "?SNO:REMINDERDATE");
    reminder->setFocus();
    QTRY_VERIFY(reminder->hasFocus());
    QTest::keyClicks(reminder, QStringLiteral("13/45/26"));
    QTest::keyClick(reminder, Qt::Key_Tab);
    QTRY_VERIFY(reminder->hasFocus()); // refused: the field keeps the focus
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(form->isRunning());
    QTRY_VERIFY(reminder->hasFocus()); // not the topic's, as after a failed save
    QCOMPARE(stored(QStringLiteral("notes")).front().reminderDate, DayCount(0));

    reminder->selectAll();
    QTest::keyClicks(reminder, QStringLiteral("1/2/27"));
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(stored(QStringLiteral("notes")).front().reminderDate, fromQDate(QDate(2027, 1, 2)));
}

void NoteFormTest::captionsControlsAndMenu()
{
    const qint64 id = store(noteOf(QStringLiteral("Looks"), 82001));
    ProcedureWindow* form = openFormOn(id);
    QVERIFY(form);
    QStringList bar;
    for (QAction* action : control<QMenuBar>(form, "?MenuBar")->actions())
        bar << action->objectName() + u'=' + action->text();
    QCOMPARE(bar, (QStringList{QStringLiteral("?COPY=&Copy"), QStringLiteral("?PASTE=&Paste"),
                               QStringLiteral("?CUT=C&ut")}));
    QCOMPARE(control<QLineEdit>(form, "?SNO:TOPIC")->toolTip(),
             QStringLiteral("Topic max length is 60 characters"));
    QCOMPARE(control<QLineEdit>(form, "?SNO:TOPIC")->maxLength(), 60);
    QCOMPARE(control<QLineEdit>(form, "?SNO:EMAILADDRESS")->maxLength(), 50);
    QCOMPARE(control<QPushButton>(form, "?POPCALENDAR")->toolTip(),
             QStringLiteral("Pop-up calendar"));
    QCOMPARE(control<QPushButton>(form, "?BUTTON5")->text(), QStringLiteral("Send Mail"));
    QCOMPARE(control<QPushButton>(form, "?BUTTON6")->toolTip(),
             QStringLiteral("Starts default browser with this URL"));
    QCOMPARE(control<QCheckBox>(form, "?SNO:REMINDER")->text(),
             QStringLiteral("Archive This Record?"));
    QVERIFY(control<QPushButton>(form, "?OK")->isDefault());
    QVERIFY(!control<QPushButton>(form, "?HELP")->isVisible());
    QCOMPARE(control<QLabel>(form, "?SNO:NOTEDATE")->focusPolicy(), Qt::NoFocus);
    for (const char* prompt :
         {"?SNO:TOPIC:PROMPT", "?STRING4", "?SNO:REMINDERDATE:PROMPT", "?SNO:MAINMEMO:PROMPT",
          "?SNO:EMAILADDRESS:PROMPT", "?SNO:URL:PROMPT"})
        QVERIFY2(control<QLabel>(form, prompt) && control<QLabel>(form, prompt)->isVisible(),
                 prompt);
    // Copy and Paste act on the focused control.
    auto* topic = control<QLineEdit>(form, "?SNO:TOPIC");
    topic->setFocus();
    QTRY_VERIFY(topic->hasFocus());
    topic->selectAll();
    form->findChild<QAction*>(QStringLiteral("?COPY"))->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Looks"));
}

void NoteFormTest::theCalendarPicksTheReminderDate()
{
    const qint64 id = store(noteOf(QStringLiteral("No reminder yet"), 82001));
    ProcedureWindow* form = openFormOn(id);
    QVERIFY(form);
    auto* reminder = control<QLineEdit>(form, "?SNO:REMINDERDATE");
    const auto openCalendar = [form]() -> ProcedureWindow* {
        QTest::mouseClick(control<QPushButton>(form, "?POPCALENDAR"), Qt::LeftButton);
        if (!QTest::qWaitFor([] { return !windowsOf(QStringLiteral("PopupCalendar")).isEmpty(); }))
            return nullptr;
        ProcedureWindow* calendar = windowsOf(QStringLiteral("PopupCalendar")).front();
        return QTest::qWaitForWindowExposed(calendar) ? calendar : nullptr;
    };

    // Without a reminder date the calendar shows today's month; leaving it picks nothing, and
    // the note stays without a reminder date.
    ProcedureWindow* calendar = openCalendar();
    QVERIFY(calendar);
    QCOMPARE(calendar->windowTitle(), QStringLiteral("December 2026"));
    QTest::keyClick(calendar, Qt::Key_Escape);
    QTRY_VERIFY(windowsOf(QStringLiteral("PopupCalendar")).isEmpty());
    QTest::qWait(20);
    QCOMPARE(reminder->text(), QString());

    // A click on a day picks it, replacing what was typed.
    reminder->setText(QStringLiteral("12/24/26"));
    calendar = openCalendar();
    QVERIFY(calendar);
    QCOMPARE(calendar->windowTitle(), QStringLiteral("December 2026"));
    QTest::keyClick(calendar, Qt::Key_Right); // January 2027 starts on a Friday: the 8th is cell 13
    QCOMPARE(calendar->windowTitle(), QStringLiteral("January 2027"));
    QTest::mouseClick(calendar->findChild<QWidget*>(QStringLiteral("?REGION13")), Qt::LeftButton);
    QTRY_VERIFY(windowsOf(QStringLiteral("PopupCalendar")).isEmpty());
    QTRY_COMPARE(reminder->text(), QLocale().toString(QDate(2027, 1, 8), QLocale::ShortFormat));
    QTest::mouseClick(control<QPushButton>(form, "?OK"), Qt::LeftButton);
    QTRY_VERIFY(m_run->done());
    QCOMPARE(stored(QStringLiteral("notes")).front().reminderDate, fromQDate(QDate(2027, 1, 8)));
}

// ---- mail and links ----

void NoteFormTest::mailLinks_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("link");
    // clang-format off
    QTest::newRow("blank address and topic")
        << "" << "" << "mailto:?subject=";
    QTest::newRow("blanks inside the topic stay, encoded")
        << "ann@example.com" << "Lunch on Friday" << "mailto:ann@example.com?subject=Lunch%20on%20Friday";
    QTest::newRow("characters that would change the link")
        << "a+b@example.com" << "Q&A? #3 = 50% off"
        << "mailto:a%2Bb@example.com?subject=Q%26A%3F%20%233%20%3D%2050%25%20off";
    QTest::newRow("accented letters as UTF-8")
        << "e@example.com" << "Émile" << "mailto:e@example.com?subject=%C3%89mile";
    // clang-format on
}

void NoteFormTest::mailLinks()
{
    QFETCH(QString, address);
    QFETCH(QString, topic);
    QFETCH(QString, link);
    NoteRecord note;
    note.setEmailAddress(address);
    note.setTopic(topic);
    QCOMPARE(mailLink(note), link);
    // What the desktop is handed means the same: the subject reads as the topic.
    const QUrl url = documentUrl(mailLink(note));
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), topic);
}

void NoteFormTest::whatTheDesktopIsHanded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QUrl>("url");
    QTest::newRow("nothing: an empty target") << "   " << QUrl();
    QTest::newRow("a web address as it stands")
        << "https://example.com/a?b=c  " << QUrl(QStringLiteral("https://example.com/a?b=c"));
    QTest::newRow("a file path as that file")
        << "/tmp/notes folder/list.txt"
        << QUrl::fromLocalFile(QStringLiteral("/tmp/notes folder/list.txt"));
    QTest::newRow("an address without a scheme")
        << "example.com/page" << QUrl(QStringLiteral("http://example.com/page"));
    const QString longText = QStringLiteral("https://example.com/") + QString(280, u'a');
    QTest::newRow("300 characters: the first 255")
        << longText << QUrl(longText.left(documentTextLimit));
}

void NoteFormTest::whatTheDesktopIsHanded()
{
    QFETCH(QString, text);
    QFETCH(QUrl, url);
    openDocument(m_opener, text);
    QCOMPARE(m_opener.opened, QList<QUrl>{url});
}

void NoteFormTest::sendMailAndGoToUrl()
{
    NoteRecord note = noteOf(QStringLiteral("Trip"), 82001, QStringLiteral("Pack the tent"));
    note.setEmailAddress(u"friend@example.com");
    note.setUrl(u"/home/me/trip plan.txt");
    ProcedureWindow* form = openFormOn(store(note));
    QVERIFY(form);
    QApplication::clipboard()->clear();
    QTest::mouseClick(control<QPushButton>(form, "?BUTTON5"), Qt::LeftButton);
    QTRY_COMPARE(m_opener.opened.size(), 1);
    QCOMPARE(m_presenter.shown().size(), size_t(1));
    QCOMPARE(m_presenter.shown().front().title, QString());
    QCOMPARE(m_presenter.shown().front().text, QString::fromLatin1(kSendMailNotice));
    QCOMPARE(m_presenter.shown().front().buttons, std::vector<MessageButton>{MessageButton::Ok});
    QCOMPARE(m_opener.opened.front(),
             QUrl(QStringLiteral("mailto:friend@example.com?subject=Trip")));
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("Pack the tent")); // no padding blanks

    QTest::mouseClick(control<QPushButton>(form, "?BUTTON6"), Qt::LeftButton);
    QCOMPARE(m_opener.opened.size(), 2);
    QCOMPARE(m_opener.opened.back(), QUrl::fromLocalFile(QStringLiteral("/home/me/trip plan.txt")));
    QVERIFY(form->isRunning()); // nothing else happens
}

void NoteFormTest::theHotAreasOpenTheirLinksAtOnce()
{
    NoteRecord note = noteOf(QStringLiteral("Hot"), 82001);
    note.setEmailAddress(u"hot@example.com");
    note.setUrl(u"https://example.com/");
    ProcedureWindow* form = openFormOn(store(note));
    QVERIFY(form);
    QWidget* mailArea = form->findChild<QWidget*>(QStringLiteral("?HOTAREA1"));
    QWidget* urlArea = form->findChild<QWidget*>(QStringLiteral("?HOTAREA2"));
    QVERIFY(mailArea && urlArea);
    QCOMPARE(mailArea->geometry(), control<QPushButton>(form, "?BUTTON5")->geometry());
    QCOMPARE(urlArea->geometry(), control<QPushButton>(form, "?BUTTON6")->geometry());
    QCOMPARE(mailArea->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(control<QPushButton>(form, "?BUTTON5")->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(mailArea, Qt::LeftButton);
    QTest::mouseClick(urlArea, Qt::LeftButton);
    QCOMPARE(m_opener.opened, (QList<QUrl>{QUrl(QStringLiteral("mailto:hot@example.com")),
                                           QUrl(QStringLiteral("https://example.com/"))}));
    QVERIFY(m_presenter.shown().empty()); // no notice, no clipboard
}

// ---- from the main window ----

void NoteFormTest::theMainWindowAddsChangesArchivesAndDeletesThroughTheForm()
{
    store(noteOf(QStringLiteral("Apple"), 82000));
    store(noteOf(QStringLiteral("Cherry"), 82000));
    MainServices main;
    main.windows = services().windows;
    main.presenter = &m_presenter;
    const NoteFormServices form = services();
    main.procedures.updateNote = [form](Thread& thread, Request request, QPointer<QWidget> caller) {
        return updateSNotes(form, thread, request, caller);
    };
    TaskRunner<Response> mainRun(mainNotes(main, *m_thread, Request::None, nullptr));
    QTRY_VERIFY(!windowsOf(QStringLiteral("Main")).isEmpty());
    ProcedureWindow* window = windowsOf(QStringLiteral("Main")).front();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto* list = window->findChild<ListView*>(QStringLiteral("?Browse:1"));
    const auto current = [list] {
        const store::Row* row = list->model()->currentEntry();
        return row ? row->record.text(NoteRecord::Topic) : QString();
    };
    const auto formWindow = []() -> ProcedureWindow* {
        const QList<ProcedureWindow*> forms = windowsOf(QStringLiteral("UpdateSNotes"));
        return forms.isEmpty() ? nullptr : forms.front();
    };

    // Add: the list lands on the new note.
    QTest::mouseClick(control<QPushButton>(window, "?Insert"), Qt::LeftButton);
    QTRY_VERIFY(formWindow());
    QCOMPARE(formWindow()->windowModality(), Qt::WindowModal);
    QTest::keyClicks(control<QLineEdit>(formWindow(), "?SNO:TOPIC"), QStringLiteral("Banana"));
    QTest::mouseClick(control<QPushButton>(formWindow(), "?OK"), Qt::LeftButton);
    QTRY_VERIFY(!formWindow());
    QTRY_COMPARE(current(), QStringLiteral("Banana"));

    // Change it.
    QTest::mouseClick(control<QPushButton>(window, "?Change"), Qt::LeftButton);
    QTRY_VERIFY(formWindow());
    QTest::keyClicks(control<QPlainTextEdit>(formWindow(), "?SNO:MAINMEMO"),
                     QStringLiteral("yellow"));
    QTest::mouseClick(control<QPushButton>(formWindow(), "?OK"), Qt::LeftButton);
    QTRY_VERIFY(!formWindow());
    QTRY_COMPARE(current(), QStringLiteral("Banana"));

    // Archive Cherry.
    QTest::keyClick(list->rows(), Qt::Key_End);
    QCOMPARE(current(), QStringLiteral("Cherry"));
    QTest::mouseClick(control<QPushButton>(window, "?Change"), Qt::LeftButton);
    QTRY_VERIFY(formWindow());
    tick(control<QCheckBox>(formWindow(), "?SNO:REMINDER"));
    QTest::mouseClick(control<QPushButton>(formWindow(), "?OK"), Qt::LeftButton);
    QTRY_VERIFY(!formWindow());
    QTRY_COMPARE(current(), QStringLiteral("Banana")); // the last note now

    // Delete Apple: its neighbour takes its place.
    QTest::keyClick(list->rows(), Qt::Key_Home);
    m_presenter.answer(MessageButton::Yes);
    QTest::keyClick(list->rows(), Qt::Key_Delete);
    QTRY_COMPARE(current(), QStringLiteral("Banana"));
    QVERIFY(!formWindow());

    QList<StoredNote> notes = stored(QStringLiteral("notes"));
    QCOMPARE(notes.size(), 1);
    QCOMPARE(notes.front().topic, QStringLiteral("Banana"));
    QCOMPARE(notes.front().memo, QStringLiteral("yellow"));
    QCOMPARE(notes.front().noteDate, fromQDate(kToday));
    QCOMPARE(notes.front().done, QStringLiteral("N"));
    const QList<StoredNote> archived = stored(QStringLiteral("Arcnotes"));
    QCOMPARE(archived.size(), 1);
    QCOMPARE(archived.front().topic, QStringLiteral("Cherry"));
    QCOMPARE(archived.front().reminder, QStringLiteral("Y"));
    window->finish(Response::Cancelled);
    QTRY_VERIFY(mainRun.done());
}

int runNoteFormTests(int argc, char** argv)
{
    NoteFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_note_form.moc"
