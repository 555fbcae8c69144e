// gui_bench [--notes N] [--dir DIR] [--runs R]
//
// Opens the main notes window offscreen over a store of N notes (without --notes: 1,000 and then
// 1,000,000, with the ratios between them) and times what someone using it does: opening it,
// each of the four tabs, PageDown, End, Home, a line down and a typed letter in the list. Each
// figure is the median of R runs (default 5); a run lasts until the events it caused have been
// handled, painting included. The store is built in a temporary folder, or in DIR/n<N>, kept
// and reused on the next run.

#include "bench_support.h"
#include "core/clock.h"
#include "core/procedure.h"
#include "core/thread.h"
#include "data/note_managers.h"
#include "data/note_record.h"
#include "data/note_tables.h"
#include "data/note_views.h"
#include "errors/builtin_messages.h"
#include "errors/error_manager.h"
#include "errors/message_presenter.h"
#include "store/connection_setup.h"
#include "store/table.h"
#include "ui/list_model.h"
#include "ui/list_view.h"
#include "ui/procedure_window.h"
#include "windows/notes/main_window.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <vector>

using namespace qly;

namespace {

// ---- the store ----

// One word for every letter, so that topics run through the whole alphabet.
const char* const kLeadWords[] = {
    "Apples",  "Bank",      "Call",      "Dentist", "Email",   "Fix",     "Garden",
    "Holiday", "Insurance", "Jacket",    "Kitchen", "Library", "Meeting", "Neighbour",
    "Order",   "Passport",  "Quote",     "Renew",   "School",  "Tax",     "Umbrella",
    "Visit",   "Water",     "Xylophone", "Yard",    "Zoo"};
const char* const kSecondWords[] = {
    "appointment", "bill",   "café",   "delivery", "Émile",   "form",    "gift",   "invoice",
    "letter",      "Müller", "parcel", "receipt",  "renewal", "service", "ticket", "Zoë"};
const char* const kMemoWords[] = {"remember",  "before", "the",  "meeting", "about",   "invoice",
                                  "number",    "and",    "ask",  "whether", "Tuesday", "works",
                                  "otherwise", "next",   "week", "café",    "receipt", "address"};

template <size_t N> const char* pick(const char* const (&words)[N], QRandomGenerator& random)
{
    return words[random.bounded(static_cast<quint32>(N))];
}

class RawFile
{
public:
    explicit RawFile(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            fail("cannot open the store");
        store::setUpConnection(m_db);
        exec("PRAGMA synchronous=OFF");
    }
    ~RawFile() { sqlite3_close_v2(m_db); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    void exec(const QByteArray& sql)
    {
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql.constData());
    }
    sqlite3* db() const { return m_db; }
    [[noreturn]] void fail(const char* what) const
    {
        std::fprintf(stderr, "%s: %s\n", what, m_db ? sqlite3_errmsg(m_db) : "no connection");
        std::exit(1);
    }

private:
    sqlite3* m_db = nullptr;
};

void bindText(sqlite3_stmt* stmt, int index, const QByteArray& text)
{
    sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

// Adds count notes straight through SQLite into the tables the program created: its keys are
// dropped first and made again from their own statements afterwards, which is much faster than
// keeping them up to date row by row.
void bulkInsert(const QString& path, qint64 count, quint32 seed)
{
    RawFile raw(path);
    std::vector<QByteArray> keys;
    {
        sqlite3_stmt* list = nullptr;
        sqlite3_prepare_v2(
            raw.db(),
            "SELECT name, sql FROM sqlite_schema WHERE type = 'index' AND tbl_name = 'notes'"
            " AND sql IS NOT NULL",
            -1, &list, nullptr);
        std::vector<QByteArray> names;
        while (sqlite3_step(list) == SQLITE_ROW) {
            names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
            keys.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 1)));
        }
        sqlite3_finalize(list);
        for (const QByteArray& name : names)
            raw.exec("DROP INDEX \"" + name + "\"");
    }

    QRandomGenerator random(seed);
    const DayCount today = qly::clock().todayCount();
    raw.exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(
            raw.db(),
            "INSERT INTO notes(topic,reminder,notedate,reminderdate,mainmemo,done,url,emailaddress)"
            " VALUES (?,?,?,?,?,?,?,?)",
            -1, &insert, nullptr) != SQLITE_OK)
        raw.fail("cannot prepare the insert");
    const QByteArray yes("Y"), no("N"), blank;
    const QByteArray url("https://example.org/notes"), email("someone@example.org");
    for (qint64 i = 0; i < count; ++i) {
        QString topic = QString::fromUtf8(pick(kLeadWords, random)) + u' ' +
                        QString::fromUtf8(pick(kSecondWords, random)) + u' ' +
                        QString::number(random.bounded(1000u));
        const quint32 casing = random.bounded(8u);
        if (casing == 0)
            topic = topic.toUpper();
        else if (casing == 1)
            topic = topic.toLower();
        QByteArray memo;
        while (memo.size() < 150)
            memo += QByteArray(pick(kMemoWords, random)) + ' ';
        memo.chop(1);
        const auto noteDate =
            static_cast<sqlite3_int64>(today) - static_cast<sqlite3_int64>(random.bounded(3650u));
        sqlite3_int64 reminderDate = 0;
        if (random.bounded(4u) == 0)
            reminderDate = static_cast<sqlite3_int64>(today) - 30 +
                           static_cast<sqlite3_int64>(random.bounded(61u));
        const bool done = random.bounded(10u) < 3;
        const quint32 mark = random.bounded(20u);

        bindText(insert, 1, topic.toUtf8());
        bindText(insert, 2, mark == 0 ? yes : (mark < 4 ? no : blank));
        sqlite3_bind_int64(insert, 3, noteDate);
        sqlite3_bind_int64(insert, 4, reminderDate);
        bindText(insert, 5, memo);
        bindText(insert, 6, done ? yes : no);
        bindText(insert, 7, random.bounded(5u) == 0 ? url : blank);
        bindText(insert, 8, random.bounded(5u) == 0 ? email : blank);
        if (sqlite3_step(insert) != SQLITE_DONE)
            raw.fail("cannot insert a note");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    raw.exec("COMMIT");
    for (const QByteArray& key : keys)
        raw.exec(key);
}

qint64 storedNotes()
{
    Thread thread(QStringLiteral("count"));
    store::Table table(notesTableDef());
    store::TableInstance& notes = table.on(thread);
    if (!QFile::exists(notes.path()) || !notes.open(store::Access::ReadOnly))
        return -1;
    const auto counted = notes.count();
    const qint64 have = counted.ok() ? counted.value() : -1;
    notes.close();
    return have;
}

// QLY.db in the current folder with count notes, made with the program's own tables first.
void buildStore(qint64 count)
{
    if (storedNotes() == count) {
        std::printf("# reusing the store of %lld notes\n", static_cast<long long>(count));
        return;
    }
    QElapsedTimer timer;
    timer.start();
    QString path;
    {
        Thread thread(QStringLiteral("build"));
        store::Table notesTable(notesTableDef());
        store::Table archiveTable(archiveTableDef());
        store::TableInstance& notes = notesTable.on(thread);
        QFile::remove(notes.path());
        const store::Status made = notes.create();
        const store::Status archiveMade = made ? archiveTable.on(thread).create() : made;
        if (!archiveMade) {
            std::fprintf(stderr, "cannot create the store: %s\n",
                         qPrintable(archiveMade.error().describe()));
            std::exit(1);
        }
        path = notes.path();
    }
    bulkInsert(path, count, 7u);
    std::printf("# built a store of %lld notes in %.1f s (peak memory so far %ld kb)\n",
                static_cast<long long>(count), double(timer.elapsed()) / 1000.0,
                bench::peakMemoryKb());
    std::fflush(stdout);
}

// ---- the window ----

// Answers every box with its default button, telling what it was.
class DefaultAnswers final : public MessagePresenter
{
public:
    QCoro::Task<MessageButton> present(MessageBoxSpec box) override
    {
        std::fprintf(stderr, "# box: %s: %s\n", qPrintable(box.title),
                     qPrintable(box.displayText()));
        co_return box.defaultButton;
    }
};

QCoro::Task<> runMain(MainServices services, Thread& thread,
                      std::shared_ptr<std::optional<Response>> result)
{
    const Response response =
        co_await mainNotes(std::move(services), thread, Request::None, nullptr);
    *result = response;
}

// Handles what is waiting, and what that posts in turn (layouts, painting).
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

template <class Condition> void waitFor(const char* what, Condition condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (timer.elapsed() > 300'000) {
            std::fprintf(stderr, "gave up waiting for %s\n", what);
            std::exit(1);
        }
    }
}

ProcedureWindow* mainWindow()
{
    for (ProcedureWindow* window : ProcedureWindow::runningWindows()) {
        if (window->procedure() == QLatin1String("Main"))
            return window;
    }
    return nullptr;
}

ListView* listOf(ProcedureWindow* window)
{
    return window ? window->findChild<ListView*>(QStringLiteral("?Browse:1")) : nullptr;
}

void press(QWidget* target, int key, const QString& text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &up);
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

QString currentTopic(const ListView* list)
{
    const store::Row* row = list->model()->currentEntry();
    return row ? row->record.text(NoteRecord::Topic) : QStringLiteral("(none)");
}

// Counts the paints of the widgets it watches, to show that a run drew what it changed.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct Figure
{
    QString operation;
    double ms;
};

class Session
{
public:
    Session(qint64 n, int runs)
        : m_n(n), m_runs(runs), m_errors(m_presenter, [](int code) {
              std::fprintf(stderr, "the window ended the program (%d)\n", code);
              std::exit(1);
          })
    {
        m_errors.addRows(builtinMessages());
        m_errors.setCategory(builtinCategory());
        setUpNoteManagers(m_errors);
        m_services.presenter = &m_presenter;
    }

    ~Session() { tearDownNoteManagers(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::vector<Figure> measure()
    {
        measureOpen();
        m_window->resize(900, 600);
        settle();
        measureTabs();
        measureKeys();
        close();
        return m_figures;
    }

private:
    void record(const QString& operation, const std::vector<double>& times)
    {
        const double ms = bench::median(times);
        m_figures.push_back({operation, ms});
        std::printf("BENCH %s n=%lld ms=%.3f\n", qPrintable(operation), static_cast<long long>(m_n),
                    ms);
        if (operation != QLatin1String("open"))
            std::printf("# %s: the rows were painted %d times in %zu timed runs\n",
                        qPrintable(operation), m_timedPaints, times.size());
        m_timedPaints = 0;
        std::fflush(stdout);
    }

    // Starts Main and waits until its list shows a row.
    void open()
    {
        m_result = std::make_shared<std::optional<Response>>();
        spawn(runMain(m_services, m_thread, m_result));
        waitFor("the main window's rows", [this] {
            const ListView* list = listOf(mainWindow());
            return (list && list->model()->currentRow() >= 0) || m_result->has_value();
        });
        if (m_result->has_value()) {
            std::fprintf(stderr, "the main window closed at once\n");
            std::exit(1);
        }
        settle();
        m_window = mainWindow();
        m_list = listOf(m_window);
        m_list->rows()->viewport()->installEventFilter(&m_paints);
        m_tabs = m_window->findChild<QTabBar*>(QStringLiteral("?CurrentTab"));
        m_topic = m_window->findChild<QLineEdit*>(QStringLiteral("?SNO:TOPIC"));
        if (!m_tabs || !m_topic) {
            std::fprintf(stderr, "the main window lacks its tab bar or topic field\n");
            std::exit(1);
        }
    }

    void close()
    {
        m_window->finish(Response::Cancelled);
        waitFor("the main window to close", [this] { return m_result->has_value(); });
        settle();
        m_window = nullptr;
        m_list = nullptr;
    }

    void measureOpen()
    {
        std::vector<double> times;
        for (int run = 0; run < m_runs; ++run) {
            const auto start = std::chrono::steady_clock::now();
            open();
            times.push_back(msSince(start));
            if (run + 1 < m_runs)
                close();
        }
        record(QStringLiteral("open"), times);
        std::printf("# open: %d rows held, first topic %s\n", m_list->model()->rowCount(),
                    qPrintable(currentTopic(m_list)));
    }

    void measureTabs()
    {
        const int tabs = m_tabs->count();
        for (int tab = 0; tab < tabs; ++tab) {
            std::vector<double> times;
            for (int run = 0; run < m_runs; ++run) {
                m_tabs->setCurrentIndex((tab + 1) % tabs);
                settle();
                m_paints.paints = 0;
                const auto start = std::chrono::steady_clock::now();
                m_tabs->setCurrentIndex(tab);
                settle();
                times.push_back(msSince(start));
                m_timedPaints += m_paints.paints;
            }
            const QString name = QString::fromLatin1(mainTabOrders()[size_t(tab)].caption)
                                     .toLower()
                                     .replace(u' ', u'_');
            record(QStringLiteral("tab:") + name, times);
            std::printf("# tab %s: %d rows held, first topic %s\n", qPrintable(name),
                        m_list->model()->rowCount(), qPrintable(currentTopic(m_list)));
        }
        m_tabs->setCurrentIndex(EverythingTab);
        settle();
    }

    // Times key after before, both pressed in the list's rows.
    void timeKey(const QString& operation, int key, const QString& text, int before,
                 const QString& beforeText = {})
    {
        QTableView* rows = m_list->rows();
        std::vector<double> times;
        for (int run = 0; run < m_runs; ++run) {
            if (before != 0) {
                press(rows, before, beforeText);
                settle();
            }
            m_paints.paints = 0;
            const auto start = std::chrono::steady_clock::now();
            press(rows, key, text);
            settle();
            times.push_back(msSince(start));
            m_timedPaints += m_paints.paints;
        }
        record(operation, times);
        std::printf("# %s: on %s (top row %d of %d held)\n", qPrintable(operation),
                    qPrintable(currentTopic(m_list)), m_list->model()->topRow(),
                    m_list->model()->rowCount());
    }

    void measureKeys()
    {
        press(m_list->rows(), Qt::Key_Home);
        settle();
        timeKey(QStringLiteral("page_down"), Qt::Key_PageDown, {}, 0);
        timeKey(QStringLiteral("end"), Qt::Key_End, {}, Qt::Key_Home);
        timeKey(QStringLiteral("home"), Qt::Key_Home, {}, Qt::Key_End);
        timeKey(QStringLiteral("line_down"), Qt::Key_Down, {}, 0);
        press(m_list->rows(), Qt::Key_Home);
        settle();
        // Backspace before each letter takes the one before away again.
        timeKey(QStringLiteral("type_ahead"), Qt::Key_M, QStringLiteral("m"), Qt::Key_Backspace,
                QStringLiteral("\b"));
        std::printf("# type_ahead: topic field reads \"%s\"\n", qPrintable(m_topic->text()));
    }

    qint64 m_n;
    int m_runs;
    DefaultAnswers m_presenter;
    ErrorManager m_errors;
    Thread m_thread{QStringLiteral("main")};
    MainServices m_services;
    std::shared_ptr<std::optional<Response>> m_result;
    QPointer<ProcedureWindow> m_window;
    ListView* m_list = nullptr;
    QTabBar* m_tabs = nullptr;
    QLineEdit* m_topic = nullptr;
    std::vector<Figure> m_figures;
    PaintCounter m_paints;
    int m_timedPaints = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (QLocale().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    std::vector<qint64> sizes{1'000, 1'000'000};
    int runs = 5;
    QString keepDir;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--notes") && i + 1 < args.size())
            sizes = {args[++i].toLongLong()};
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            keepDir = args[++i];
        else {
            std::fprintf(stderr, "usage: gui_bench [--notes N] [--dir DIR] [--runs R]\n");
            return 2;
        }
    }

    const QString startFolder = QDir::currentPath();
    std::map<qint64, std::vector<Figure>> results;
    for (const qint64 n : sizes) {
        std::optional<QTemporaryDir> temporary;
        QString folder;
        if (keepDir.isEmpty()) {
            temporary.emplace();
            folder = temporary->path();
        } else {
            folder = QDir(keepDir).absoluteFilePath(QStringLiteral("n%1").arg(n));
        }
        QDir().mkpath(folder);
        QDir::setCurrent(folder);
        buildStore(n);
        {
            Session session(n, runs);
            results[n] = session.measure();
        }
        std::printf("BENCH peak_memory n=%lld kb=%ld\n", static_cast<long long>(n),
                    bench::peakMemoryKb());
        std::fflush(stdout);
        QDir::setCurrent(startFolder);
    }

    if (results.size() == 2) {
        const std::vector<Figure>& small = results.begin()->second;
        const std::vector<Figure>& large = results.rbegin()->second;
        for (size_t i = 0; i < small.size() && i < large.size(); ++i) {
            const double ratio = small[i].ms > 0 ? large[i].ms / small[i].ms : 0.0;
            std::printf("BENCH ratio %s n=%lld/%lld ratio=%.2f\n", qPrintable(small[i].operation),
                        static_cast<long long>(results.rbegin()->first),
                        static_cast<long long>(results.begin()->first), ratio);
        }
    }
    return 0;
}
