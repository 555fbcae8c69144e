#include "windows/notes/main_window.h"

#include "core/clock.h"
#include "core/fixed_text.h"
#include "core/procedure.h"
#include "core/thread.h"
#include "data/note_managers.h"
#include "data/note_views.h"
#include "errors/builtin_messages.h"
#include "expr/view.h"
#include "resources/icons.h"
#include "ui/date_text.h"
#include "ui/dialog_units.h"
#include "ui/list_model.h"
#include "ui/list_view.h"
#include "ui/resizer.h"
#include "windows/about/about.h"
#include "windows/edit/open_document.h"
#include "windows/notes/note_columns.h"

#include <array>
#include <memory>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace qly {

bool opensOnReminders(const QStringList& arguments)
{
    return std::any_of(arguments.begin(), arguments.end(), [](const QString& argument) {
        return argument.compare(QLatin1String("/CR"), Qt::CaseInsensitive) == 0;
    });
}

QString supportMailLink(const QString& address)
{
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=QLY4");
}

int reminderIcon(DayCount reminderDate, DayCount today)
{
    if (reminderDate > today + 3)
        return 0;
    return reminderDate > 0 ? 1 : 0;
}

namespace {

struct TabText
{
    const char* toolTip;
    const char* helpKeyword;
};

constexpr std::array<TabText, 4> kTabTexts{{
    {"Displays notes that are NOT reminders.", "Notes Only"},
    {"Displays current reminders that are still undone.", "Current Reminders"},
    {"Displays items that have been marked as Done.", "Done Items"},
    {"Displays all notes, reminders, and done items.", "Everything"},
}};

class MainWindow;
QCoro::Task<Response> runProcedure(QPointer<MainWindow> window, int number, Request request);
QCoro::Task<> callNoteForm(QPointer<MainWindow> window, Request request);
QCoro::Task<> printOneNote(QPointer<MainWindow> window);
QCoro::Task<> checkTopic(QPointer<MainWindow> window);
QCoro::Task<> reportReadFailure(QPointer<MainWindow> window, store::StoreError error);

class MainWindow final : public ProcedureWindow
{
public:
    MainWindow(const MainServices& services, Thread& thread, Request request, QWidget* caller)
        : ProcedureWindow(services.windows, thread, QStringLiteral("Main"), request, caller,
                          QSize(353, 270), Sizing::Resizable),
          m_services(services)
    {
        setWindowTitle(QStringLiteral("Quillary   Notes and reminders"));
        setFont(windowFont());
        setHelpKeyword(QStringLiteral("Main"));
        buildMenuBar();
        buildControls();
    }

    ~MainWindow() override
    {
        // The list reads through the views: it goes first.
        delete m_list;
        m_model.reset();
    }

    const MainServices& services() const { return m_services; }
    bool isSelecting() const { return request() == Request::Select; }
    store::TableInstance& notes() const { return noteManagers().notes->instance(thread()); }

    // The views over the notes, once the table is open.
    void setUpList()
    {
        store::TableInstance& table = notes();
        for (size_t i = 0; i < m_views.size(); ++i) {
            const TabOrder& order = mainTabOrders()[i];
            m_views[i] = std::make_unique<expr::View>(table, order.key);
            (void)m_views[i]->setAppendedOrder(QString::fromLatin1(order.appendedOrder));
            m_views[i]->setFilters({QString::fromLatin1(order.filter)});
        }
        m_model = std::make_unique<ListModel>(*m_views[EverythingTab], noteColumns());
        m_list = new ListView(m_model.get(), body());
        describeControl(m_list, {.name = QStringLiteral("?Browse:1"),
                                 .statusText = QStringLiteral("Browsing Records")});
        addListControl();
        connectList();
    }

    // The first tab once the window is open: "Current Reminders" after "/CR", else "Everything".
    void showFirstTab()
    {
        setWindowIcon(programIcon());
        const int first = m_services.opensOnReminders ? CurrentRemindersTab : EverythingTab;
        if (m_tabs->currentIndex() == first)
            showTab(first);
        else
            m_tabs->setCurrentIndex(first); // shows it
        if (m_list)
            m_list->setFocus();
    }

    // ---- what the procedures below use ----
    ListModel* model() const { return m_model.get(); }
    ListView* list() const { return m_list; }
    QLineEdit* topicField() const { return m_topic; }

    // Reads the rows again in the selected tab's order and filter, from the top.
    void showTab(int index)
    {
        m_tab = index >= NotesOnlyTab && index <= DoneItemsTab ? MainTab(index) : EverythingTab;
        qly::setHelpKeyword(m_tabs, QString::fromLatin1(kTabTexts[size_t(m_tab)].helpKeyword));
        const bool topicShown = m_tab == EverythingTab;
        m_topicPrompt->setVisible(topicShown);
        m_topic->setVisible(topicShown);
        m_search.clear();
        m_topic->clear();
        m_acceptedTopic.clear();
        if (!m_model)
            return;
        expr::View& view = *m_views[size_t(m_tab)];
        (void)view.open(clock().todayCount()); // the tabs' filters are the program's own
        m_model->setView(view);
        m_model->setScale(noteListScale(m_tab));
        run(m_model->fillFromTop());
    }

    // Opens the view again for today (the day may have turned while a form was open) and reads
    // the rows around row, or around the note with row id when row is empty.
    void refillAround(const std::optional<store::Row>& row, qint64 id = 0)
    {
        if (!m_model)
            return;
        (void)m_model->view().open(clock().todayCount());
        if (id > 0)
            run(m_model->fillAroundRowId(id));
        else if (row)
            run(m_model->fillAround(*row));
        else
            run(m_model->fillFromTop());
    }

    std::optional<store::Row> highlighted() const
    {
        const store::Row* row = m_model ? m_model->currentEntry() : nullptr;
        return row ? std::optional<store::Row>(*row) : std::nullopt;
    }

    // Reads the highlighted note into the thread's buffer; false when there is none or it has
    // gone (reported).
    bool fetchHighlighted()
    {
        const std::optional<store::Row> row = highlighted();
        if (!row)
            return false;
        const store::Status fetched = notes().fetchRow(row->id);
        if (!fetched.ok()) {
            spawn(reportReadFailure(QPointer<MainWindow>(this), fetched.error()));
            return false;
        }
        return true;
    }

    void run(const store::Status& status)
    {
        if (!status.ok())
            spawn(reportReadFailure(QPointer<MainWindow>(this), status.error()));
        updateButtons();
    }

    bool reportingReadFailure = false;

    // Type-ahead: the list moves to the first row whose topic is at or after text.
    void typeAhead(const QString& text)
    {
        if (!m_model || !hasTypeAhead())
            return;
        if (m_tab == NotesOnlyTab) {
            // Ordered by topic within the archive mark and the (empty) reminder date: the
            // topic is located within the highlighted row's mark.
            KeyValues values{NoteRecord(), 3};
            if (const store::Row* row = m_model->currentEntry())
                values.values = row->record;
            values.values.setText(NoteRecord::Topic, text);
            values.values.setDate(NoteRecord::ReminderDate, 0);
            run(m_model->locate(values));
        } else {
            run(m_model->locateText(0, text));
        }
    }

    void resetSearch(const QString& text)
    {
        m_search = text.left(typeAheadLimit);
        m_topic->setText(m_search);
        m_acceptedTopic = m_search;
    }

    // The topic field accepted: Enter checks the text, leaving the field checks a text not
    // checked yet; never while a check runs.
    enum class Accept
    {
        Enter,
        Leaving
    };
    void acceptTopic(Accept how)
    {
        if (!m_topic->isVisible() || m_checking)
            return;
        if (how == Accept::Leaving && m_topic->text() == m_acceptedTopic)
            return;
        m_acceptedTopic = m_topic->text();
        spawn(checkTopic(QPointer<MainWindow>(this)));
    }
    void setChecking(bool on) { m_checking = on; }

private:
    bool hasTypeAhead() const { return m_tab == NotesOnlyTab || m_tab == EverythingTab; }

    void buildMenuBar()
    {
        auto* bar = new QMenuBar(this);
        bar->setObjectName(QStringLiteral("?MenuBar"));
        QAction* exit = bar->addAction(QStringLiteral("E&xit"));
        exit->setObjectName(QStringLiteral("?Exit"));
        connect(exit, &QAction::triggered, this, &MainWindow::reject);
        QAction* printerSetup = bar->addAction(QStringLiteral("&Printer Setup"));
        printerSetup->setObjectName(QStringLiteral("?PrinterSetup"));
        connect(printerSetup, &QAction::triggered, this, [this] { openPrinterSetup(); });
        QAction* aboutCommand = bar->addAction(QStringLiteral("&About"));
        aboutCommand->setObjectName(QStringLiteral("?About"));
        connect(aboutCommand, &QAction::triggered, this,
                [this] { startAbout(m_services.windows, m_services.presenter); });
        static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
    }

    QPushButton* button(QRect design, const ControlText& text, const QString& icon = {})
    {
        auto* made = addControl<QPushButton>(design, text);
        if (!icon.isEmpty())
            made->setIcon(iconFor(icon));
        return made;
    }

    void buildControls()
    {
        // In tab order.
        auto* email = button(QRect(4, 2, 56, 12), {.name = QStringLiteral("?EmailSupport"),
                                                   .text = QStringLiteral("Email Support")});
        connect(email, &QPushButton::clicked, this, [this] { emailSupport(); });

        m_tabs =
            addControl<QTabBar>(QRect(4, 16, 240, 14), {.name = QStringLiteral("?CurrentTab")});
        m_tabs->setExpanding(false);
        m_tabs->setUsesScrollButtons(false);
        m_tabs->setElideMode(Qt::ElideNone);
        m_tabs->setDrawBase(false);
        for (size_t i = 0; i < kTabTexts.size(); ++i) {
            const int index = m_tabs->addTab(QString::fromLatin1(mainTabOrders()[i].caption));
            m_tabs->setTabToolTip(index, QString::fromLatin1(kTabTexts[i].toolTip));
        }

        // Notes Only's pick-list button: never shown; in select mode the list presses it.
        m_select = button(QRect(4, 16, 40, 12),
                          {.name = QStringLiteral("?Select"), .text = QStringLiteral("&Select")});
        m_select->hide();
        m_select->setEnabled(false);
        connect(m_select, &QPushButton::clicked, this, [this] { selectHighlighted(); });

        m_topicPrompt = addControl<QLabel>(
            QRect(244, 18, 56, 10),
            {.name = QStringLiteral("?SelectByTopic"), .text = QStringLiteral("Select By TOPIC:")});
        m_topicPrompt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_topic =
            addControl<QLineEdit>(QRect(302, 16, 47, 13), {.name = QStringLiteral("?SNO:TOPIC")});
        m_topic->setMaxLength(typeAheadLimit);
        m_topicPrompt->setBuddy(m_topic);
        m_topic->installEventFilter(this);

        m_insert = button(QRect(4, 222, 84, 20),
                          {.name = QStringLiteral("?Insert"),
                           .text = QStringLiteral("&Add New Note"),
                           .helpKeyword = QStringLiteral("Insert")},
                          QStringLiteral("insert3.ico"));
        m_change = button(QRect(92, 222, 84, 20),
                          {.name = QStringLiteral("?Change"),
                           .text = QStringLiteral("&Change"),
                           .helpKeyword = QStringLiteral("Change")},
                          QStringLiteral("chg4.ico"));
        auto* help = button(QRect(180, 222, 84, 20),
                            {.name = QStringLiteral("?Help"), .text = QStringLiteral("Help")});
        help->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
        helpFrom(help);
        auto* close = button(QRect(268, 222, 81, 20),
                             {.name = QStringLiteral("?Close"),
                              .text = QStringLiteral("Close"),
                              .helpKeyword = QStringLiteral("Close Program")},
                             QStringLiteral("close.ico"));
        closeWith(close, Response::Cancelled);

        m_print = button(QRect(4, 246, 84, 20),
                         {.name = QStringLiteral("?PrintOneNote"),
                          .text = QStringLiteral("&Print One Note"),
                          .toolTip = QStringLiteral("Print highlighted note"),
                          .helpKeyword = QStringLiteral("Print One Note")},
                         QStringLiteral("printer.ico"));
        m_print->setIconSize(QSize(24, 24));
        m_delete = button(QRect(92, 246, 84, 20),
                          {.name = QStringLiteral("?Delete"),
                           .text = QStringLiteral("&Delete"),
                           .helpKeyword = QStringLiteral("Delete")},
                          QStringLiteral("delete4.ico"));
        auto* archive = button(QRect(180, 246, 84, 20),
                               {.name = QStringLiteral("?ViewArchive"),
                                .text = QStringLiteral("View Archive"),
                                .helpKeyword = QStringLiteral("View Archive")},
                               QStringLiteral("padpencl.ico"));
        m_findBy = button(QRect(268, 245, 81, 11),
                          {.name = QStringLiteral("?FindBy"), .text = QStringLiteral("Find By...")},
                          QStringLiteral("View.ico"));
        auto* printFindBy =
            button(QRect(268, 257, 81, 11),
                   {.name = QStringLiteral("?PrintFindBy"),
                    .text = QStringLiteral("Print Find By's"),
                    .toolTip = QStringLiteral("Left click to print completed query")},
                   QStringLiteral("printer.ico"));

        const bool updates = request() != Request::View;
        m_insert->setEnabled(updates);
        connect(m_insert, &QPushButton::clicked, this,
                [this] { spawn(callNoteForm(QPointer<MainWindow>(this), Request::Insert)); });
        connect(m_change, &QPushButton::clicked, this,
                [this] { spawn(callNoteForm(QPointer<MainWindow>(this), Request::Change)); });
        connect(m_delete, &QPushButton::clicked, this,
                [this] { spawn(callNoteForm(QPointer<MainWindow>(this), Request::Delete)); });
        connect(m_print, &QPushButton::clicked, this,
                [this] { spawn(printOneNote(QPointer<MainWindow>(this))); });
        connect(archive, &QPushButton::clicked, this, [this] {
            if (m_services.procedures.viewArchive)
                m_services.procedures.viewArchive();
        });
        connect(m_findBy, &QPushButton::clicked, this, [this] {
            if (m_services.procedures.findBy)
                m_services.procedures.findBy(QPointer<QWidget>(this));
        });
        connect(printFindBy, &QPushButton::clicked, this, [this] {
            if (m_services.procedures.printFindBy)
                m_services.procedures.printFindBy(QPointer<QWidget>(this));
        });

        if (isSelecting())
            m_select->setDefault(true);
        else
            m_change->setDefault(true);
        connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) { showTab(index); });
        updateButtons();
    }

    void addListControl()
    {
        // Between the topic field and "&Add New Note" in the tab order.
        resizer()->addControl(m_list, kListDesign);
        setTabOrder(m_topic, m_list);
        setTabOrder(m_list, m_insert);
        m_list->show();
    }

    void connectList()
    {
        connect(m_list, &ListView::rowActivated, this,
                [this] { pressIfEnabled(isSelecting() ? m_select : m_change); });
        connect(m_list, &ListView::insertPressed, this, [this] { pressIfEnabled(m_insert); });
        connect(m_list, &ListView::deletePressed, this, [this] { pressIfEnabled(m_delete); });
        connect(m_list, &ListView::contextMenuRequested, this,
                [this](QPoint at) { openContextMenu(at); });
        connect(m_list, &ListView::textTyped, this, [this](const QString& text) { typed(text); });
        connect(m_list, &ListView::readFailed, this, [this](const store::StoreError& error) {
            spawn(reportReadFailure(QPointer<MainWindow>(this), error));
        });
        connect(m_model.get(), &ListModel::placeChanged, this, [this] { updateButtons(); });
        // Text typed into the topic field moves the list as the list's own type-ahead does.
        connect(m_topic, &QLineEdit::textEdited, this, [this](const QString& text) {
            m_search = text.left(typeAheadLimit);
            typeAhead(m_search);
        });
        connect(m_topic, &QLineEdit::editingFinished, this,
                [this] { acceptTopic(Accept::Leaving); });
    }

    // Esc cancels a pick list; the main window itself ends only by its commands and close box,
    // never by a stray Esc after typing into the list.
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && !isSelecting()) {
            event->accept();
            return;
        }
        ProcedureWindow::keyPressEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Enter in the topic field accepts it, and only it: not the default button as well.
        if (watched == m_topic && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                acceptTopic(Accept::Enter);
                return true;
            }
        }
        return ProcedureWindow::eventFilter(watched, event);
    }

    // A printable key or Backspace typed into the list.
    void typed(const QString& text)
    {
        if (!hasTypeAhead())
            return;
        if (text == QLatin1String("\b"))
            m_search.chop(1);
        else
            m_search = (m_search + text).left(typeAheadLimit);
        m_topic->setText(m_search);
        typeAhead(m_search);
    }

    void pressIfEnabled(QPushButton* pressed)
    {
        updateButtons();
        if (pressed->isEnabled())
            pressed->click();
    }

    void updateButtons()
    {
        const bool rows = m_model && m_model->currentRow() >= 0;
        const bool updates = request() != Request::View;
        m_change->setEnabled(rows && updates);
        m_delete->setEnabled(rows && updates);
        m_print->setEnabled(rows);
        m_select->setEnabled(rows && isSelecting());
    }

    void openContextMenu(QPoint at)
    {
        updateButtons();
        auto* menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("?ListMenu"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        const auto item = [this, menu](const QString& name, const QString& text,
                                       QPushButton* pressed) {
            QAction* action = menu->addAction(text);
            action->setObjectName(name);
            action->setEnabled(pressed->isEnabled());
            connect(action, &QAction::triggered, this,
                    [this, pressed] { pressIfEnabled(pressed); });
        };
        item(QStringLiteral("?MenuInsert"), QStringLiteral("&Insert"), m_insert);
        item(QStringLiteral("?MenuChange"), QStringLiteral("&Change"), m_change);
        item(QStringLiteral("?MenuDelete"), QStringLiteral("&Delete"), m_delete);
        item(QStringLiteral("?MenuPrint"), QStringLiteral("&Print"), m_print);
        menu->addSeparator();
        item(QStringLiteral("?MenuQuery"), QStringLiteral("&Query"), m_findBy);
        if (isSelecting())
            item(QStringLiteral("?MenuSelect"), QStringLiteral("&Select"), m_select);
        menu->popup(at);
    }

    void selectHighlighted()
    {
        if (fetchHighlighted())
            finish(Response::Completed);
    }

    void emailSupport()
    {
        if (m_services.documents)
            openDocument(*m_services.documents, supportMailLink(m_services.supportAddress));
    }

    void openPrinterSetup()
    {
        if (!m_services.printer)
            return;
        auto* dialog = new QPrintDialog(m_services.printer, this);
        dialog->setObjectName(QStringLiteral("?PrinterSetupDialog"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    }

    static constexpr QRect kListDesign{4, 32, 345, 186};

    MainServices m_services;
    std::array<std::unique_ptr<expr::View>, 4> m_views;
    std::unique_ptr<ListModel> m_model;
    ListView* m_list = nullptr;
    QTabBar* m_tabs = nullptr;
    QPushButton* m_select = nullptr;
    QLabel* m_topicPrompt = nullptr;
    QLineEdit* m_topic = nullptr;
    QPushButton* m_insert = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_findBy = nullptr;
    MainTab m_tab = EverythingTab;
    QString m_search;
    QString m_acceptedTopic; // the topic field's text last checked
    bool m_checking = false; // the topic check is running
};

// Run a procedure: 1 Main, 2 the note form, 3 the one-note report, with request; a window
// opened with the view request calls nothing.
QCoro::Task<Response> runProcedure(QPointer<MainWindow> window, int number, Request request)
{
    if (!window || window->request() == Request::View)
        co_return Response::Cancelled;
    const MainServices services = window->services();
    Thread& thread = window->thread();
    const QPointer<QWidget> caller(window.data());
    if (number == 1) {
        const Response response = co_await mainNotes(services, thread, request, caller);
        co_return response;
    }
    const NoteProcedure* called = number == 2   ? &services.procedures.updateNote
                                  : number == 3 ? &services.procedures.printNote
                                                : nullptr;
    if (!called || !*called)
        co_return Response::Cancelled; // not built yet: nothing runs
    const Response response = co_await (*called)(thread, request, caller);
    co_return response;
}

QCoro::Task<> callNoteForm(QPointer<MainWindow> window, Request request)
{
    if (!window || !window->services().procedures.updateNote)
        co_return;
    Thread& thread = window->thread();
    const std::optional<store::Row> before = window->highlighted();
    if (request == Request::Insert) {
        const bool primed = co_await noteManagers().notes->primeRecord(thread);
        if (!primed || !window)
            co_return;
    } else if (!window->fetchHighlighted()) {
        co_return;
    }
    const Response response = co_await runProcedure(window, 2, request);
    if (!window)
        co_return;
    if (response == Response::Completed && request != Request::Delete)
        window->refillAround(before, window->notes().currentRow()); // on the saved note
    else
        window->refillAround(before); // a deleted row's neighbour takes its place
    if (window->list())
        window->list()->setFocus();
}

QCoro::Task<> printOneNote(QPointer<MainWindow> window)
{
    if (!window || !window->fetchHighlighted())
        co_return;
    const std::optional<store::Row> before = window->highlighted();
    const Response response = co_await runProcedure(window, 3, Request::Process);
    (void)response;
    if (window)
        window->refillAround(before);
}

// The topic field accepted: is there a note with the highlighted row's archive mark and reminder
// date and the typed topic? If not, the user picks one from a second window.
QCoro::Task<> checkTopic(QPointer<MainWindow> window)
{
    if (!window || !window->model())
        co_return;
    window->setChecking(true);
    const QString typed = window->topicField()->text();
    window->typeAhead(typed);
    NoteRecord& buffer = notesBuffer(window->thread());
    if (const std::optional<store::Row> row = window->highlighted())
        static_cast<Record&>(buffer) = row->record;
    buffer.setTopic(typed);
    if (buffer.topic().isEmpty()) {
        window->setChecking(false);
        co_return;
    }
    store::TableInstance& notes = window->notes();
    if (!notes.fetch(SnoSnot).ok()) {
        const Response picked = co_await runProcedure(window, 1, Request::Select);
        if (!window)
            co_return;
        window->setChecking(false);
        if (picked != Response::Completed) {
            window->topicField()->setFocus();
            co_return;
        }
    }
    window->setChecking(false);
    // Shown again: the field with the note's topic, the list on the note.
    window->resetSearch(notesBuffer(window->thread()).topic());
    window->refillAround(std::nullopt, notes.currentRow());
}

QCoro::Task<> reportReadFailure(QPointer<MainWindow> window, store::StoreError error)
{
    if (!window || window->reportingReadFailure)
        co_return;
    window->reportingReadFailure = true;
    Thread& thread = window->thread();
    TableManager& notes = *noteManagers().notes;
    notes.noteError(error);
    const Answer answer = co_await notes.errors().raise(thread, msg::RecordRetrievalError);
    (void)answer;
    if (window)
        window->reportingReadFailure = false;
}

} // namespace

QCoro::Task<Response> mainNotes(MainServices services, Thread& thread, Request request,
                                QPointer<QWidget> caller)
{
    setProjectName(QStringLiteral("QLY4"));
    RelationManager& notes = *noteManagers().notesRelation;
    notes.open(thread);
    OwnedWindow<MainWindow> window(new MainWindow(services, thread, request, caller.data()));
    const bool usable = co_await notes.table().use(thread);
    if (!usable || !window) {
        notes.close(thread);
        co_return Response::Cancelled;
    }
    window->setUpList();
    window->start();
    window->showFirstTab();
    const Response response = co_await runWindow(window.get());
    notes.close(thread);
    co_return response;
}

} // namespace qly
