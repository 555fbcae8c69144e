#include "windows/edit/update_snotes.h"

#include "core/clock.h"
#include "core/procedure.h"
#include "core/thread.h"
#include "data/note_managers.h"
#include "errors/builtin_messages.h"
#include "errors/message_presenter.h"
#include "resources/icons.h"
#include "ui/date_text.h"
#include "ui/dialog_units.h"
#include "windows/edit/mail_actions.h"
#include "windows/edit/open_document.h"
#include "windows/edit/popup_calendar.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace qly {

NoteRecord& noteFormHistory()
{
    static NoteRecord history;
    return history;
}

namespace {

QString yesNo(bool ticked)
{
    return ticked ? QStringLiteral("Y") : QStringLiteral("N");
}

// A transparent area over a button that shows the hand cursor and opens its link when the
// mouse button is released over it. It lies beneath its button, so the button's own click
// still works; the area answers where nothing covers it.
class HotArea final : public QWidget
{
public:
    HotArea(QWidget* parent, std::function<void()> open) : QWidget(parent), m_open(std::move(open))
    {
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_open();
        event->accept();
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }

private:
    std::function<void()> m_open;
};

enum class FormAction
{
    None,
    Ok,
    Close,
    Ended
};

class NoteForm final : public ProcedureWindow
{
    Q_OBJECT

public:
    NoteForm(const NoteFormServices& services, Thread& thread, Request request, QWidget* caller)
        : ProcedureWindow(services.windows, thread, QStringLiteral("UpdateSNotes"), request, caller,
                          QSize(365, 293), Sizing::Resizable),
          m_services(services), m_buffer(notesBuffer(thread))
    {
        setWindowTitle(QStringLiteral("Update the Notes File"));
        setFont(windowFont());
        setHelpKeyword(QStringLiteral("UpdateSNotes"));
        body()->installEventFilter(this); // the ruled paper behind the controls
        buildMenuBar();
        buildControls();
        connect(this, &QDialog::finished, this, [this] { act(FormAction::Ended); });
    }

    // ---- what the procedure uses ----
    FormAction takeAction() { return std::exchange(m_action, FormAction::None); }
    NoteRecord& buffer() const { return m_buffer; }
    const NoteRecord& savedCopy() const { return m_saved; }
    const NoteFormServices& services() const { return m_services; }
    bool isChanged() const { return !m_buffer.sameValues(m_saved); }

    void keepSavedCopy() { static_cast<Record&>(m_saved) = m_buffer; }

    // Shows the buffer in every control.
    void display()
    {
        m_topic->setText(m_buffer.topic());
        m_done->setChecked(m_buffer.done() == QLatin1String("Y"));
        m_reminderDate->setText(shortDateText(m_buffer.reminderDate()));
        m_noteDate->setText(shortDateText(m_buffer.noteDate()));
        if (m_memo->toPlainText() != m_buffer.mainMemo()) {
            const QSignalBlocker blockMemo(m_memo);
            m_memo->setPlainText(m_buffer.mainMemo());
        }
        m_email->setText(m_buffer.emailAddress());
        m_url->setText(m_buffer.url());
        m_archive->setChecked(m_buffer.reminder() == QLatin1String("Y"));
    }

    // A new note takes today's date the first time it is edited; a note's date never changes.
    void applyNoteDateDefault()
    {
        if (m_buffer.noteDate() == 0) {
            m_buffer.setNoteDate(clock().todayCount());
            display();
        }
    }

    // Takes the reminder date typed into the buffer. One that is not a date is refused: a beep,
    // and the field takes the focus back once the focus change under way (to OK, say) is over.
    bool takeReminderDate()
    {
        const std::optional<DayCount> day =
            parseShortDate(m_reminderDate->text(), clock().todayCount());
        if (!day) {
            QApplication::beep();
            QTimer::singleShot(0, m_reminderDate, [field = m_reminderDate] {
                field->setFocus();
                field->selectAll();
            });
            return false;
        }
        m_buffer.setReminderDate(*day);
        m_reminderDate->setText(shortDateText(*day));
        return true;
    }

    void focusTopic() { m_topic->setFocus(); }
    void showReminderDate() { m_reminderDate->setText(shortDateText(m_buffer.reminderDate())); }

    void setCaptionByRequest()
    {
        setWindowTitle(request() == Request::Insert ? QStringLiteral("Adding a Notes Record")
                                                    : QStringLiteral("Changing a Notes Record"));
    }

    void reject() override { act(FormAction::Close); } // Esc, the close box: the close check

Q_SIGNALS:
    // The OK button, a close request or the window's end; read with takeAction().
    void acted();

private:
    void act(FormAction action)
    {
        if (m_action != FormAction::Ended)
            m_action = action;
        Q_EMIT acted();
    }

    void buildMenuBar()
    {
        auto* bar = new QMenuBar(this);
        bar->setObjectName(QStringLiteral("?MenuBar"));
        const auto item = [this, bar](const QString& name, const QString& text,
                                      const QString& status, EditAction edit) {
            QAction* action = bar->addAction(text);
            action->setObjectName(name);
            action->setStatusTip(status);
            connect(action, &QAction::hovered, this, [this, status] {
                if (status.isEmpty())
                    statusLine()->clearMessage();
                else
                    statusLine()->showMessage(status);
            });
            connect(action, &QAction::triggered, this, [edit] { editFocused(edit); });
        };
        item(QStringLiteral("?COPY"), QStringLiteral("&Copy"),
             QStringLiteral("Use on highlighted text"), EditAction::Copy);
        item(QStringLiteral("?PASTE"), QStringLiteral("&Paste"), QString(), EditAction::Paste);
        item(QStringLiteral("?CUT"), QStringLiteral("C&ut"),
             QStringLiteral("Use on highlighted text"), EditAction::Cut);
        static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
    }

    enum class EditAction
    {
        Copy,
        Paste,
        Cut
    };

    template <class Editor> static void apply(Editor* editor, EditAction edit)
    {
        switch (edit) {
        case EditAction::Copy:
            editor->copy();
            break;
        case EditAction::Paste:
            editor->paste();
            break;
        case EditAction::Cut:
            editor->cut();
            break;
        }
    }

    // The menu bar's edit commands act on the focused control's selected text.
    static void editFocused(EditAction edit)
    {
        QWidget* focused = QApplication::focusWidget();
        if (auto* field = qobject_cast<QLineEdit*>(focused))
            apply(field, edit);
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(focused))
            apply(memo, edit);
    }

    QLineEdit* entry(QRect design, const QString& name, int width, const QString& toolTip = {})
    {
        auto* field = addControl<QLineEdit>(design, {.name = name, .toolTip = toolTip});
        field->setMaxLength(width);
        return field;
    }

    QLabel* prompt(QRect design, const QString& name, const QString& text, QWidget* buddy = nullptr)
    {
        auto* label = addControl<QLabel>(design, {.name = name, .text = text});
        label->setBuddy(buddy);
        return label;
    }

    void buildControls()
    {
        // In tab order.
        m_topic =
            entry(QRect(40, 6, 226, 13), QStringLiteral("?SNO:TOPIC"), NoteRecord::kTopicWidth,
                  QStringLiteral("Topic max length is 60 characters"));
        m_done = addControl<QCheckBox>(QRect(280, 7, 70, 12), {.name = QStringLiteral("?SNO:DONE"),
                                                               .text = QStringLiteral("Done")});
        prompt(QRect(8, 8, 30, 10), QStringLiteral("?SNO:TOPIC:PROMPT"), QStringLiteral("Topic:"),
               m_topic);
        m_reminderDate = entry(QRect(166, 22, 64, 13), QStringLiteral("?SNO:REMINDERDATE"), 10);
        auto* calendar = addControl<QPushButton>(
            QRect(233, 21, 17, 15), {.name = QStringLiteral("?POPCALENDAR"),
                                     .toolTip = QStringLiteral("Pop-up calendar"),
                                     .helpKeyword = QStringLiteral("Pop-up calendar")});
        calendar->setIcon(iconFor(QStringLiteral("cal1.ico")));
        m_memo = addControl<QPlainTextEdit>(QRect(8, 50, 349, 150),
                                            {.name = QStringLiteral("?SNO:MAINMEMO")});
        m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_memo->setTabChangesFocus(true);
        auto* emailPrompt =
            prompt(QRect(8, 209, 56, 10), QStringLiteral("?SNO:EMAILADDRESS:PROMPT"),
                   QStringLiteral("Email Address:"));
        m_email = entry(QRect(66, 207, 200, 13), QStringLiteral("?SNO:EMAILADDRESS"),
                        NoteRecord::kEmailWidth);
        emailPrompt->setBuddy(m_email);
        m_sendMail = addControl<QPushButton>(
            QRect(274, 206, 70, 15),
            {.name = QStringLiteral("?BUTTON5"),
             .text = QStringLiteral("Send Mail"),
             .toolTip = QStringLiteral("Mails Note as EMAIL to this address")});
        auto* urlPrompt = prompt(QRect(8, 227, 56, 10), QStringLiteral("?SNO:URL:PROMPT"),
                                 QStringLiteral("URL:"));
        m_url = entry(QRect(66, 225, 200, 13), QStringLiteral("?SNO:URL"), NoteRecord::kUrlWidth);
        urlPrompt->setBuddy(m_url);
        m_goToUrl = addControl<QPushButton>(
            QRect(274, 224, 70, 15),
            {.name = QStringLiteral("?BUTTON6"),
             .text = QStringLiteral("GoToURL"),
             .toolTip = QStringLiteral("Starts default browser with this URL")});
        m_archive = addControl<QCheckBox>(QRect(8, 246, 120, 12),
                                          {.name = QStringLiteral("?SNO:REMINDER"),
                                           .text = QStringLiteral("Archive This Record?"),
                                           .helpKeyword = QStringLiteral("Archive")});
        m_ok = addControl<QPushButton>(
            QRect(196, 268, 62, 18), {.name = QStringLiteral("?OK"), .text = QStringLiteral("OK")});
        m_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
        m_ok->setDefault(true);
        auto* cancel =
            addControl<QPushButton>(QRect(264, 268, 62, 18), {.name = QStringLiteral("?CANCEL"),
                                                              .text = QStringLiteral("Cancel")});
        cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
        auto* help =
            addControl<QPushButton>(QRect(330, 268, 28, 18), {.name = QStringLiteral("?HELP"),
                                                              .text = QStringLiteral("Help")});
        help->hide();
        helpFrom(help);
        prompt(QRect(8, 24, 22, 10), QStringLiteral("?STRING4"), QStringLiteral("Date:"));
        m_noteDate =
            addControl<QLabel>(QRect(32, 24, 60, 10), {.name = QStringLiteral("?SNO:NOTEDATE")});
        m_noteDate->setFocusPolicy(Qt::NoFocus);
        prompt(QRect(106, 24, 58, 10), QStringLiteral("?SNO:REMINDERDATE:PROMPT"),
               QStringLiteral("Reminder Date:"), m_reminderDate);
        prompt(QRect(8, 40, 30, 10), QStringLiteral("?SNO:MAINMEMO:PROMPT"),
               QStringLiteral("Memo:"), m_memo);

        // The controls write the buffer as they change, so it always holds what they show.
        connect(m_topic, &QLineEdit::textEdited, this,
                [this](const QString& text) { m_buffer.setTopic(text); });
        connect(m_done, &QCheckBox::toggled, this,
                [this](bool on) { m_buffer.setDone(yesNo(on)); });
        connect(m_memo, &QPlainTextEdit::textChanged, this,
                [this] { m_buffer.setMainMemo(m_memo->toPlainText()); });
        connect(m_email, &QLineEdit::textEdited, this,
                [this](const QString& text) { m_buffer.setEmailAddress(text); });
        connect(m_url, &QLineEdit::textEdited, this,
                [this](const QString& text) { m_buffer.setUrl(text); });
        connect(m_archive, &QCheckBox::toggled, this,
                [this](bool on) { m_buffer.setReminder(yesNo(on)); });
        m_topic->installEventFilter(this);
        m_reminderDate->installEventFilter(this);

        connect(m_ok, &QPushButton::clicked, this, [this] { act(FormAction::Ok); });
        connect(cancel, &QPushButton::clicked, this, [this] { act(FormAction::Close); });
        connect(calendar, &QPushButton::clicked, this,
                [this] { spawn(pickReminderDate(QPointer<NoteForm>(this))); });
        connect(m_sendMail, &QPushButton::clicked, this,
                [this] { spawn(sendMail(QPointer<NoteForm>(this))); });
        connect(m_goToUrl, &QPushButton::clicked, this, [this] { open(webLink(m_buffer)); });

        bindRecall();
    }

public:
    // The two hot areas over "Send Mail" and "GoToURL", beneath their buttons.
    void layHotAreas()
    {
        const auto lay = [this](QPushButton* button, const QString& name,
                                std::function<void()> open) {
            auto* area = new HotArea(button->parentWidget(), std::move(open));
            area->setObjectName(name);
            area->setGeometry(button->geometry());
            area->show();
            area->stackUnder(button);
            button->setCursor(Qt::PointingHandCursor);
            m_hotAreas.emplace_back(area, button);
        };
        lay(m_sendMail, QStringLiteral("?HOTAREA1"), [this] { open(mailAddressLink(m_buffer)); });
        lay(m_goToUrl, QStringLiteral("?HOTAREA2"), [this] { open(webLink(m_buffer)); });
    }

private:
    void open(const QString& link)
    {
        if (m_services.documents)
            openDocument(*m_services.documents, link);
    }

    // Ctrl+' in one of the seven edit controls brings back the last accepted note's value.
    void bindRecall()
    {
        const auto recall = [this](QWidget* control, int field) {
            auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Apostrophe), control);
            key->setContext(Qt::WidgetShortcut);
            connect(key, &QShortcut::activated, this, [this, field] {
                const NoteRecord& history = noteFormHistory();
                if (field == NoteRecord::ReminderDate)
                    m_buffer.setDate(field, history.date(field));
                else
                    m_buffer.setText(field, history.text(field));
                display();
            });
        };
        recall(m_topic, NoteRecord::Topic);
        recall(m_done, NoteRecord::Done);
        recall(m_reminderDate, NoteRecord::ReminderDate);
        recall(m_memo, NoteRecord::MainMemo);
        recall(m_email, NoteRecord::EmailAddress);
        recall(m_url, NoteRecord::Url);
        recall(m_archive, NoteRecord::Reminder);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == body() && event->type() == QEvent::Paint) {
            QPainter painter(body());
            paintPicture(painter, QStringLiteral("notepad.bmp"), body()->rect());
            return false;
        }
        if (watched == m_topic && event->type() == QEvent::FocusIn)
            applyNoteDateDefault();
        if (watched == m_reminderDate && event->type() == QEvent::FocusOut && isRunning())
            (void)takeReminderDate();
        return ProcedureWindow::eventFilter(watched, event);
    }

    void resizeEvent(QResizeEvent* event) override
    {
        ProcedureWindow::resizeEvent(event);
        for (const auto& [area, button] : m_hotAreas)
            area->setGeometry(button->geometry());
    }

    static QCoro::Task<> pickReminderDate(QPointer<NoteForm> form);
    static QCoro::Task<> sendMail(QPointer<NoteForm> form);

    NoteFormServices m_services;
    NoteRecord& m_buffer;
    NoteRecord m_saved;
    FormAction m_action = FormAction::None;
    QLineEdit* m_topic = nullptr;
    QCheckBox* m_done = nullptr;
    QLineEdit* m_reminderDate = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLineEdit* m_email = nullptr;
    QPushButton* m_sendMail = nullptr;
    QLineEdit* m_url = nullptr;
    QPushButton* m_goToUrl = nullptr;
    QCheckBox* m_archive = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_noteDate = nullptr;
    std::vector<std::pair<HotArea*, QPushButton*>> m_hotAreas;
};

QCoro::Task<> NoteForm::pickReminderDate(QPointer<NoteForm> form)
{
    if (!form || !form->takeReminderDate())
        co_return;
    const NoteFormServices services = form->services();
    WindowServices calendarServices = services.windows;
    calendarServices.settings = nullptr; // the calendar always opens centred
    const std::optional<DayCount> picked =
        co_await popupCalendar(calendarServices, services.presenter, form->thread(),
                               form->buffer().reminderDate(), QPointer<QWidget>(form.data()));
    if (!form)
        co_return;
    if (picked) // leaving without a pick keeps the date the note had
        form->buffer().setReminderDate(*picked);
    form->showReminderDate();
}

QCoro::Task<> NoteForm::sendMail(QPointer<NoteForm> form)
{
    if (!form)
        co_return;
    if (MessagePresenter* presenter = form->services().presenter) {
        MessageBoxSpec notice;
        notice.text = QString::fromLatin1(kSendMailNotice);
        const MessageButton pressed = co_await presenter->present(notice);
        (void)pressed; // the box only informs
        if (!form)
            co_return;
    }
    form->open(mailLink(form->buffer()));
    QApplication::clipboard()->setText(clipboardText(form->buffer()));
}

// The "Stop" box for an archive copy that could not be stored: Abort ends the program, Ignore
// goes on to save the note as it is.
MessageBoxSpec stopBox(const store::StoreError& error)
{
    MessageBoxSpec stop;
    stop.title = QStringLiteral("Stop");
    stop.text = error.describe();
    stop.icon = MessageIcon::Stop;
    stop.buttons = {MessageButton::Abort, MessageButton::Ignore};
    stop.defaultButton = MessageButton::Abort;
    return stop;
}

std::vector<MessageButton> yesNoCancel()
{
    return {MessageButton::Yes, MessageButton::No, MessageButton::Cancel};
}

QCoro::Task<bool> ignoreFailedArchiveCopy(store::StoreError error)
{
    ErrorManager& errors = noteManagers().archive->errors();
    const MessageButton pressed = co_await errors.presenter().present(stopBox(error));
    if (pressed == MessageButton::Ignore)
        co_return true;
    errors.terminate(3);
    co_return false;
}

enum class SaveOutcome
{
    Saved,
    Unchanged,
    Failed
};

// OK: the note-date default, the history copy, then the archive move or the save.
QCoro::Task<SaveOutcome> save(QPointer<NoteForm> form)
{
    if (!form || !form->takeReminderDate())
        co_return SaveOutcome::Failed;
    Thread& thread = form->thread();
    const Request request = form->request();
    form->applyNoteDateDefault();
    static_cast<Record&>(noteFormHistory()) = form->buffer();

    if (form->buffer().reminder() == QLatin1String("Y")) {
        const ArchiveMoveOutcome moved = co_await moveToArchive(
            thread, request == Request::Insert ? NoteOrigin::New : NoteOrigin::Stored);
        if (!form)
            co_return SaveOutcome::Failed;
        if (moved.ok())
            co_return SaveOutcome::Saved;
        if (moved.failedStep != ArchiveMoveStep::OpenFailed) {
            const bool ignored = co_await ignoreFailedArchiveCopy(moved.error);
            if (!ignored || !form)
                co_return SaveOutcome::Failed;
        }
        // Ignored: the note is saved as it is, its mark with it.
    }

    if (request == Request::Insert) {
        const bool added = co_await noteManagers().notes->insert(thread);
        co_return added ? SaveOutcome::Saved : SaveOutcome::Failed;
    }
    if (!form->isChanged())
        co_return SaveOutcome::Unchanged;
    const bool updated = co_await noteManagers().notesRelation->update(thread);
    co_return updated ? SaveOutcome::Saved : SaveOutcome::Failed;
}

// Runs the form until it closes; resolves with its response.
QCoro::Task<Response> runForm(QPointer<NoteForm> form)
{
    form->start();
    form->setCaptionByRequest();
    form->layHotAreas();
    form->focusTopic();
    for (;;) {
        if (!form || !form->isRunning())
            co_return Response::Cancelled;
        const bool acted = co_await awaitSignal(form.data(), &NoteForm::acted);
        if (!acted || !form || !form->isRunning())
            co_return Response::Cancelled;
        FormAction action = form->takeAction();
        if (action == FormAction::Ended)
            co_return Response::Cancelled;
        if (action == FormAction::Close) {
            if (!form->isChanged()) {
                form->finish(Response::Cancelled);
                co_return Response::Cancelled;
            }
            const MessageButton answer = co_await noteManagers().notes->errors().ask(
                form->thread(), msg::SaveRecord, yesNoCancel(), MessageButton::Cancel);
            if (!form || !form->isRunning())
                co_return Response::Cancelled;
            if (answer == MessageButton::No) {
                form->finish(Response::Cancelled);
                co_return Response::Cancelled;
            }
            if (answer != MessageButton::Yes) {
                form->focusTopic();
                continue;
            }
            action = FormAction::Ok; // Yes saves as OK does
        }
        if (action == FormAction::Ok) {
            const SaveOutcome outcome = co_await save(form);
            if (!form || !form->isRunning())
                co_return Response::Cancelled;
            if (outcome == SaveOutcome::Failed) {
                form->focusTopic();
                continue;
            }
            const Response response =
                outcome == SaveOutcome::Saved ? Response::Completed : Response::Cancelled;
            form->finish(response);
            co_return response;
        }
    }
}

} // namespace

QCoro::Task<Response> updateSNotes(NoteFormServices services, Thread& thread, Request request,
                                   QPointer<QWidget> caller)
{
    const NoteManagers& managers = noteManagers();
    managers.archiveRelation->open(thread);
    managers.notesRelation->open(thread);
    Response response = Response::Cancelled;
    if (request == Request::Delete) {
        // Never shown: the question, then the delete.
        thread.pushProcedure(QStringLiteral("UpdateSNotes"));
        const bool removed = co_await managers.notesRelation->remove(thread, Confirm::Yes);
        thread.popProcedure();
        response = removed ? Response::Completed : Response::Cancelled;
    } else if (request == Request::Insert || request == Request::Change) {
        OwnedWindow<NoteForm> form(new NoteForm(services, thread, request, caller.data()));
        form->keepSavedCopy();
        form->display();
        response = co_await runForm(QPointer<NoteForm>(form.get()));
    }
    managers.notesRelation->close(thread);
    managers.archiveRelation->close(thread);
    co_return response;
}

} // namespace qly

#include "update_snotes.moc"
