// store_bench [--notes N] [--dir DIR] [--runs R]
//
// Builds a store of N realistic notes (default 1,000,000) in a temporary folder (or in DIR, kept
// and reused on the next run) and times, for each of the six keys, the first page of 50 in key
// order, the next and the previous page from a random place, and locating the first entry at or
// after a typed value; then one insert, update and delete each in its own transaction. Every
// operation is timed beside the same work written by hand against SQLite's C API.

#include "bench_support.h"

#include "core/thread.h"
#include "data/note_record.h"
#include "data/note_tables.h"
#include "data/note_views.h"
#include "expr/view.h"
#include "store/connection_setup.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <optional>

using namespace qly;
using namespace qly::store;

namespace {

constexpr int kPage = 50;
const char* kAllColumns = "rowid,topic,reminder,notedate,reminderdate,mainmemo,done,url,emailaddress";

// The keys as someone would write them by hand: columns, the all-empty test, and how many leading
// components a typed value fills when locating.
struct HandKey
{
    const TableDef* def;
    int key;
    const char* table;
    const char* columns;
    const char* present;
    int locateComponents;
    // For a key that orders equal entries by note date, newest first: the hand-written order and
    // the rows after and before a place (?1.. the components, then the note date, then the row id).
    const char* order = nullptr;
    const char* reverse = nullptr;
    const char* after = nullptr;
    const char* before = nullptr;
};

std::vector<HandKey> handKeys()
{
    return {
        {&notesTableDef(), SnoSnot, "notes", "reminder,reminderdate,topic",
         "(reminder <> '' OR reminderdate <> 0 OR topic <> '')", 3},
        {&notesTableDef(), SnoMainKey, "notes", "topic,notedate", "(topic <> '' OR notedate <> 0)", 1},
        {&notesTableDef(), SnoAllNotes, "notes", "notedate", "(notedate <> 0)", 1},
        {&notesTableDef(), SnoDonYet, "notes", "done,reminderdate", "(done <> '' OR reminderdate <> 0)", 2,
         "done,reminderdate,notedate DESC,rowid", "done DESC,reminderdate DESC,notedate,rowid DESC",
         "((done,reminderdate) > (?1,?2) OR ((done,reminderdate) = (?1,?2) AND (notedate < ?3 OR (notedate = ?3 AND rowid > ?4))))",
         "((done,reminderdate) < (?1,?2) OR ((done,reminderdate) = (?1,?2) AND (notedate > ?3 OR (notedate = ?3 AND rowid < ?4))))"},
        {&archiveTableDef(), ArcSnot, "Arcnotes", "reminder,reminderdate,topic",
         "(reminder <> '' OR reminderdate <> 0 OR topic <> '')", 3},
        {&archiveTableDef(), ArcAllNotes, "Arcnotes", "notedate", "(notedate <> 0)", 1},
    };
}

class Raw
{
public:
    explicit Raw(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        setUpConnection(m_db);
        sqlite3_exec(m_db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    }
    ~Raw()
    {
        for (sqlite3_stmt* s : m_statements)
            sqlite3_finalize(s);
        sqlite3_close_v2(m_db);
    }
    sqlite3_stmt* prepare(const QByteArray& sql)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(m_db, sql.constData(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "cannot prepare %s: %s\n", sql.constData(), sqlite3_errmsg(m_db));
            std::exit(1);
        }
        m_statements.push_back(stmt);
        return stmt;
    }
    void exec(const char* sql) { sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
    qint64 lastRow() const { return sqlite3_last_insert_rowid(m_db); }

    // Steps through every row, reading each column as a caller showing the notes would.
    static int drain(sqlite3_stmt* stmt)
    {
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_TEXT) {
                    sqlite3_column_text(stmt, c);
                    sqlite3_column_bytes(stmt, c);
                } else {
                    sqlite3_column_int64(stmt, c);
                }
            }
            ++rows;
        }
        sqlite3_reset(stmt);
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
    std::vector<sqlite3_stmt*> m_statements;
};

void bindKeyValues(sqlite3_stmt* stmt, const SqlValues& values, int first)
{
    for (const SqlValue& value : values) {
        if (const auto* i = std::get_if<std::int64_t>(&value)) {
            sqlite3_bind_int64(stmt, first++, *i);
        } else {
            const QByteArray text = std::get<QString>(value).toUtf8();
            sqlite3_bind_text(stmt, first++, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
    }
}

SqlValues keyValuesOf(const Record& record, const TableDef& def, int key, int components)
{
    SqlValues values;
    const KeyDef& k = def.keys[static_cast<size_t>(key)];
    for (int i = 0; i < components; ++i) {
        const int field = k.components[static_cast<size_t>(i)];
        if (def.layout->field(field).kind == FieldKind::Text)
            values.emplace_back(record.text(field));
        else
            values.emplace_back(std::int64_t{record.date(field)});
    }
    return values;
}

bool openOrCreate(TableInstance& table)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Status opened = table.open(Access::ReadWrite);
        if (opened)
            return true;
        if (opened.code() == FileNotFound && table.create())
            continue;
        if (opened.code() == KeyFileMustBeRebuilt && table.rebuildKeys())
            continue;
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(table.def().storeName),
                     qPrintable(opened.error().describe()));
        return false;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qint64 wanted = 1'000'000;
    int runs = 101;
    QString keepDir;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--notes") && i + 1 < args.size())
            wanted = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            keepDir = args[++i];
        else {
            std::fprintf(stderr, "usage: store_bench [--notes N] [--dir DIR] [--runs R]\n");
            return 2;
        }
    }
    std::optional<QTemporaryDir> temporary;
    if (keepDir.isEmpty()) {
        temporary.emplace();
        keepDir = temporary->path();
    }
    QDir().mkpath(keepDir);
    QDir::setCurrent(keepDir);

    Thread thread(QStringLiteral("bench"));
    Table notesTable(notesTableDef());
    Table archiveTable(archiveTableDef());
    TableInstance& notes = notesTable.on(thread);
    TableInstance& archive = archiveTable.on(thread);
    if (!openOrCreate(notes) || !openOrCreate(archive))
        return 1;
    for (TableInstance* table : {&notes, &archive}) {
        const qint64 have = table->count().value();
        if (have < wanted) {
            QElapsedTimer timer;
            timer.start();
            if (!bench::fillNotes(*table, wanted - have, table == &notes ? 1u : 2u)) {
                std::fprintf(stderr, "cannot fill %s\n", qPrintable(table->def().storeName));
                return 1;
            }
            std::printf("# added %lld notes to %s in %.1f s\n", static_cast<long long>(wanted - have),
                        qPrintable(table->def().tableName()), double(timer.elapsed()) / 1000.0);
        }
    }
    const qint64 n = notes.count().value();
    const QString path = notes.path();
    Raw raw(path);

    QRandomGenerator random(99);
    for (const HandKey& hand : handKeys()) {
        TableInstance& table = hand.def == &notesTableDef() ? notes : archive;
        const QString label = table.def().keys[static_cast<size_t>(hand.key)].description;
        const qint64 rows = table.count().value();
        const QByteArray select = QByteArray("SELECT ") + kAllColumns + " FROM " + hand.table + " WHERE " + hand.present;
        const QByteArray order = QByteArray(" ORDER BY ") + (hand.order ? QByteArray(hand.order) : QByteArray(hand.columns) + ",rowid");
        const QByteArray descending = hand.reverse ? QByteArray(hand.reverse)
                                                   : QByteArray(hand.columns).replace(",", " DESC,") + " DESC,rowid DESC";
        const int componentCount = static_cast<int>(table.def().keys[static_cast<size_t>(hand.key)].components.size());
        QByteArray marks = QByteArray("?").repeated(componentCount + 1);
        for (qsizetype at = marks.size() - 1; at > 0; --at)
            marks.insert(at, ',');

        // Random places in the key to page from: records picked by row id.
        std::vector<Row> places;
        for (int i = 0; i < runs; ++i) {
            const auto id = static_cast<qint64>(random.bounded(static_cast<quint32>(rows))) + 1;
            if (table.fetchRow(id))
                places.push_back(Row{id, table.buffer()});
        }
        if (places.empty())
            continue;
        const auto place = [&](int i) -> const Row& { return places[static_cast<size_t>(i) % places.size()]; };

        sqlite3_stmt* rawFirst = raw.prepare(select + order + " LIMIT 50");
        const double oursFirst = bench::medianMs(runs, [&](int) {
            table.setOrder(hand.key);
            (void)table.readPage(Direction::Forward, kPage);
        });
        const double rawFirstMs = bench::medianMs(runs, [&](int) { Raw::drain(rawFirst); });
        bench::printBench(QStringLiteral("first_page.") + label, rows, oursFirst, rawFirstMs);

        const QByteArray after = hand.after ? QByteArray(hand.after) : "(" + QByteArray(hand.columns) + ",rowid) > (" + marks + ")";
        const QByteArray before = hand.before ? QByteArray(hand.before) : "(" + QByteArray(hand.columns) + ",rowid) < (" + marks + ")";
        const auto bindPlace = [&](sqlite3_stmt* stmt, const Row& row) {
            bindKeyValues(stmt, keyValuesOf(row.record, table.def(), hand.key, componentCount), 1);
            int next = componentCount + 1;
            if (hand.after)
                sqlite3_bind_int64(stmt, next++, row.record.date(NoteRecord::NoteDate));
            sqlite3_bind_int64(stmt, next, row.id);
        };
        sqlite3_stmt* rawNext = raw.prepare(select + " AND " + after + order + " LIMIT 50");
        const double oursNext = bench::medianMs(runs, [&](int i) {
            table.setOrder(hand.key);
            table.setPositionAfter(place(i));
            (void)table.readPage(Direction::Forward, kPage);
        });
        const double rawNextMs = bench::medianMs(runs, [&](int i) {
            bindPlace(rawNext, place(i));
            Raw::drain(rawNext);
        });
        bench::printBench(QStringLiteral("next_page.") + label, rows, oursNext, rawNextMs);

        sqlite3_stmt* rawPrevious = raw.prepare(select + " AND " + before + " ORDER BY " + descending + " LIMIT 50");
        const double oursPrevious = bench::medianMs(runs, [&](int i) {
            table.setOrder(hand.key);
            table.setPositionAfter(place(i));
            (void)table.readPage(Direction::Backward, kPage);
        });
        const double rawPreviousMs = bench::medianMs(runs, [&](int i) {
            bindPlace(rawPrevious, place(i));
            Raw::drain(rawPrevious);
        });
        bench::printBench(QStringLiteral("previous_page.") + label, rows, oursPrevious, rawPreviousMs);

        // Locate: the typed value is the first three letters of a topic where the key has one,
        // the place's own value otherwise.
        const int c = hand.locateComponents;
        QByteArray locateMarks = QByteArray("?").repeated(c);
        for (qsizetype at = locateMarks.size() - 1; at > 0; --at)
            locateMarks.insert(at, ',');
        const QByteArray leading = QByteArray(hand.columns).split(',').mid(0, c).join(',');
        sqlite3_stmt* rawLocate = raw.prepare(select + " AND (" + leading + ") >= (" + locateMarks + ")" + order + " LIMIT 1");
        const auto typed = [&](int i) {
            Record record = place(i).record;
            record.setText(NoteRecord::Topic, record.text(NoteRecord::Topic).left(3));
            return record;
        };
        const double oursLocate = bench::medianMs(runs, [&](int i) {
            table.setOrder(hand.key);
            table.buffer() = typed(i);
            table.setPosition(c);
            (void)table.next();
        });
        const double rawLocateMs = bench::medianMs(runs, [&](int i) {
            bindKeyValues(rawLocate, keyValuesOf(typed(i), table.def(), hand.key, c), 1);
            Raw::drain(rawLocate);
        });
        bench::printBench(QStringLiteral("locate.") + label, rows, oursLocate, rawLocateMs);
    }

    // The main window's four tabs through their views, beside the same queries written by hand.
    struct HandTab
    {
        const char* where;     // after the key's all-empty test
        const char* order;     // ORDER BY, forward
        const char* reverse;   // ORDER BY, backward
        const char* after;     // the rows after a place: ?1.. are the place's order values, then its row id
        const char* before;
    };
    const DayCount today = fromQDate(QDate(2026, 12, 11));
    const HandTab handTabs[] = {
        {"(reminder <> '' OR reminderdate <> 0 OR topic <> '') AND +done = 'N' AND +reminderdate = 0",
         "reminder,reminderdate,topic,rowid", "reminder DESC,reminderdate DESC,topic DESC,rowid DESC",
         "(reminder,reminderdate,topic,rowid) > (?1,?2,?3,?4)", "(reminder,reminderdate,topic,rowid) < (?1,?2,?3,?4)"},
        {"(notedate <> 0) AND +reminderdate <= ?9 AND +reminderdate > 0 AND +done = 'N'", "notedate,rowid",
         "notedate DESC,rowid DESC", "(notedate,rowid) > (?1,?2)", "(notedate,rowid) < (?1,?2)"},
        {"(done <> '' OR reminderdate <> 0) AND done = 'Y'", "done,reminderdate,notedate DESC,rowid",
         "done DESC,reminderdate DESC,notedate,rowid DESC",
         "((done,reminderdate) > (?1,?2) OR ((done,reminderdate) = (?1,?2) AND (notedate < ?3 OR (notedate = ?3 AND rowid > ?4))))",
         "((done,reminderdate) < (?1,?2) OR ((done,reminderdate) = (?1,?2) AND (notedate > ?3 OR (notedate = ?3 AND rowid < ?4))))"},
        {"(topic <> '' OR notedate <> 0)", "topic,notedate,rowid", "topic DESC,notedate DESC,rowid DESC",
         "(topic,notedate,rowid) > (?1,?2,?3)", "(topic,notedate,rowid) < (?1,?2,?3)"},
    };
    std::vector<Row> notePlaces;
    for (int i = 0; i < runs; ++i) {
        const auto id = static_cast<qint64>(random.bounded(static_cast<quint32>(n))) + 1;
        if (notes.fetchRow(id))
            notePlaces.push_back(Row{id, notes.buffer()});
    }
    for (size_t t = 0; t < mainTabOrders().size() && !notePlaces.empty(); ++t) {
        const TabOrder& tab = mainTabOrders()[t];
        const HandTab& hand = handTabs[t];
        expr::View view(notes, tab.key);
        (void)view.setAppendedOrder(QString::fromLatin1(tab.appendedOrder));
        view.setFilters({QString::fromLatin1(tab.filter)});
        if (const auto error = view.open(today)) {
            std::fprintf(stderr, "tab %s: %s\n", tab.caption, qPrintable(error->message));
            return 1;
        }
        const QString label = QString::fromLatin1(tab.caption).toLower().replace(u' ', u'_');
        // A list pages on from a row it shows: places that pass the tab's filter.
        std::vector<Row> tabPlaces;
        for (const Row& row : notePlaces) {
            if (view.passes(row.record, today))
                tabPlaces.push_back(row);
        }
        for (int tries = 0; tabPlaces.size() < 20 && tries < 20000; ++tries) {
            const auto id = static_cast<qint64>(random.bounded(static_cast<quint32>(n))) + 1;
            if (notes.fetchRow(id) && view.passes(notes.buffer(), today))
                tabPlaces.push_back(Row{id, notes.buffer()});
        }
        if (tabPlaces.empty())
            continue;
        const auto place = [&](int i) -> const Row& { return tabPlaces[static_cast<size_t>(i) % tabPlaces.size()]; };
        const QByteArray select = QByteArray("SELECT ") + kAllColumns + " FROM notes WHERE " + hand.where;
        const auto bindPlace = [&](sqlite3_stmt* stmt, const Row& row) {
            const SqlValues values = keyValuesOf(row.record, notesTableDef(), tab.key,
                                                 static_cast<int>(notesTableDef().keys[size_t(tab.key)].components.size()));
            bindKeyValues(stmt, values, 1);
            int next = static_cast<int>(values.size()) + 1;
            if (!notesTableDef().keys[size_t(tab.key)].tail.empty())
                sqlite3_bind_int64(stmt, next++, row.record.date(NoteRecord::NoteDate));
            sqlite3_bind_int64(stmt, next, row.id);
            if (sqlite3_bind_parameter_index(stmt, "?9") > 0)
                sqlite3_bind_int64(stmt, 9, today + 3);
        };
        sqlite3_stmt* rawFirst = raw.prepare(select + " ORDER BY " + hand.order + " LIMIT 50");
        sqlite3_stmt* rawNext = raw.prepare(select + " AND " + hand.after + " ORDER BY " + hand.order + " LIMIT 50");
        sqlite3_stmt* rawPrevious = raw.prepare(select + " AND " + hand.before + " ORDER BY " + hand.reverse + " LIMIT 50");
        if (sqlite3_bind_parameter_index(rawFirst, "?9") > 0)
            sqlite3_bind_int64(rawFirst, 9, today + 3);

        const double oursFirst = bench::medianMs(runs, [&](int) { (void)view.first(kPage); });
        const double rawFirstMs = bench::medianMs(runs, [&](int) { Raw::drain(rawFirst); });
        bench::printBench(QStringLiteral("tab_first_page.") + label, n, oursFirst, rawFirstMs);
        const double oursNext = bench::medianMs(runs, [&](int i) { (void)view.after(place(i), Direction::Forward, kPage); });
        const double rawNextMs = bench::medianMs(runs, [&](int i) {
            bindPlace(rawNext, place(i));
            Raw::drain(rawNext);
        });
        bench::printBench(QStringLiteral("tab_next_page.") + label, n, oursNext, rawNextMs);
        const double oursPrevious = bench::medianMs(runs, [&](int i) { (void)view.after(place(i), Direction::Backward, kPage); });
        const double rawPreviousMs = bench::medianMs(runs, [&](int i) {
            bindPlace(rawPrevious, place(i));
            Raw::drain(rawPrevious);
        });
        bench::printBench(QStringLiteral("tab_previous_page.") + label, n, oursPrevious, rawPreviousMs);
    }

    // A "Contains" query on the memo over the Everything order: the whole table is scanned.
    {
        expr::View view(notes, SnoMainKey);
        view.setFilters({QStringLiteral("CONTAINS(UPPER(sno:MAINMEMO),'RECEIPT ADDRESS')")});
        (void)view.open(today);
        qint64 found = 0;
        const int scanRuns = std::max(3, runs / 20);
        const double ours = bench::medianMs(scanRuns, [&](int) {
            found = 0;
            for (auto page = view.first(kPage); page.ok() && !page.value().empty(); page = view.next(kPage))
                found += static_cast<qint64>(page.value().size());
        });
        sqlite3_stmt* rawScan = raw.prepare(QByteArray("SELECT ") + kAllColumns +
                                            " FROM notes WHERE (topic <> '' OR notedate <> 0) AND mainmemo LIKE '%receipt address%'"
                                            " ORDER BY topic,notedate,rowid");
        int rawFound = 0;
        const double rawMs = bench::medianMs(scanRuns, [&](int) { rawFound = Raw::drain(rawScan); });
        bench::printBench(QStringLiteral("memo_contains_scan"), n, ours, rawMs);
        std::printf("# memo_contains_scan found %lld notes (hand-written: %d)\n", static_cast<long long>(found), rawFound);
    }

    // Changes, each in its own transaction, on a fully synchronous file.
    const int writeRuns = std::max(5, runs / 5);
    for (TableInstance* table : {&notes, &archive}) {
        const QString name = table->def().tableName();
        const qint64 rows = table->count().value();
        const QByteArray tableName = name.toUtf8();
        sqlite3_stmt* rawInsert = raw.prepare("INSERT INTO " + tableName +
                                              "(topic,reminder,notedate,reminderdate,mainmemo,done,url,emailaddress) VALUES (?,?,?,?,?,?,?,?)");
        sqlite3_stmt* rawUpdate = raw.prepare("UPDATE " + tableName + " SET topic=?,reminder=?,notedate=?,reminderdate=?,mainmemo=?,done=?,url=?,emailaddress=? WHERE rowid=?");
        sqlite3_stmt* rawDelete = raw.prepare("DELETE FROM " + tableName + " WHERE rowid=?");
        const auto bindNote = [](sqlite3_stmt* stmt, const Record& r) {
            for (int f = 0; f < r.layout().fieldCount(); ++f) {
                if (r.layout().field(f).kind == FieldKind::Text) {
                    const QByteArray text = r.text(f).toUtf8();
                    sqlite3_bind_text(stmt, f + 1, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
                } else {
                    sqlite3_bind_int64(stmt, f + 1, r.date(f));
                }
            }
        };
        (void)table->fetchRow(1);
        const Record sample = table->buffer();
        std::vector<qint64> added;
        const double oursInsert = bench::medianMs(writeRuns, [&](int) {
            (void)table->begin();
            table->buffer() = sample;
            (void)table->insert();
            (void)table->commit();
            added.push_back(table->currentRow());
        });
        std::vector<qint64> rawAdded;
        const double rawInsertMs = bench::medianMs(writeRuns, [&](int) {
            raw.exec("BEGIN IMMEDIATE");
            bindNote(rawInsert, sample);
            sqlite3_step(rawInsert);
            sqlite3_reset(rawInsert);
            raw.exec("COMMIT");
            rawAdded.push_back(raw.lastRow());
        });
        bench::printBench(QStringLiteral("insert.") + name, rows, oursInsert, rawInsertMs);

        const double oursUpdate = bench::medianMs(writeRuns, [&](int i) {
            (void)table->fetchRow(added[static_cast<size_t>(i)]);
            table->buffer().setText(NoteRecord::MainMemo, QStringLiteral("changed %1").arg(i));
            (void)table->begin();
            (void)table->update();
            (void)table->commit();
        });
        const double rawUpdateMs = bench::medianMs(writeRuns, [&](int i) {
            Record changed = sample;
            changed.setText(NoteRecord::MainMemo, QStringLiteral("changed %1").arg(i));
            raw.exec("BEGIN IMMEDIATE");
            bindNote(rawUpdate, changed);
            sqlite3_bind_int64(rawUpdate, 9, added[static_cast<size_t>(i)]);
            sqlite3_step(rawUpdate);
            sqlite3_reset(rawUpdate);
            raw.exec("COMMIT");
        });
        bench::printBench(QStringLiteral("update.") + name, rows, oursUpdate, rawUpdateMs);

        const double oursDelete = bench::medianMs(writeRuns, [&](int i) {
            (void)table->fetchRow(added[static_cast<size_t>(i)]);
            (void)table->begin();
            (void)table->remove();
            (void)table->commit();
        });
        const double rawDeleteMs = bench::medianMs(writeRuns, [&](int i) {
            raw.exec("BEGIN IMMEDIATE");
            sqlite3_bind_int64(rawDelete, 1, rawAdded[static_cast<size_t>(i)]);
            sqlite3_step(rawDelete);
            sqlite3_reset(rawDelete);
            raw.exec("COMMIT");
        });
        bench::printBench(QStringLiteral("delete.") + name, rows, oursDelete, rawDeleteMs);
    }

    std::printf("BENCH file_size n=%lld bytes=%lld\n", static_cast<long long>(n),
                static_cast<long long>(QFileInfo(path).size()));
    std::printf("BENCH peak_memory n=%lld kb=%ld\n", static_cast<long long>(n), bench::peakMemoryKb());
    return 0;
}
