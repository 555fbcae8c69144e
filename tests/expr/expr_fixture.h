#pragma once
// What the filter-expression tests share: the note fields under both table prefixes, a compact
// way to describe a note, and an in-memory SQLite table made by the store's own CREATE TABLE,
// with the store's collation and the filter functions installed, that runs compiled filters the
// way the store's reads do (after terms and parameters of its own).

#include "expr/expression.h"
#include "store/record.h"
#include "store/table_def.h"

#include <optional>
#include <QMetaType>
#include <QString>
#include <vector>

struct sqlite3;

namespace qly::test {

enum NoteField
{
    Topic,
    Reminder,
    NoteDate,
    ReminderDate,
    MainMemo,
    Done,
    Url,
    EmailAddress
};

const RecordLayout& notesLayout();   // SNO: TOPIC, REMINDER, NOTEDATE, ... as the program has them
const RecordLayout& archiveLayout(); // ARC: the same fields

// The day the tests call today: 15 March 2024.
DayCount testToday();

struct Note
{
    QString topic{};
    QString done{};
    DayCount reminderDate = 0;
    DayCount noteDate = 0;
    QString memo{};
    QString reminder{};
    QString url{};
    QString email{};
};

Record recordOf(const Note& note, const RecordLayout& layout = notesLayout());
// The tree's structure, fully bracketed: (and (= sno:done 'N') (<= sno:reminderdate (+ today 3)))
QString shape(const expr::Node& node);
QString describe(const Record& record);

// The notes table of a data file, in memory.
class NoteTable
{
public:
    NoteTable();
    ~NoteTable();
    NoteTable(const NoteTable&) = delete;
    NoteTable& operator=(const NoteTable&) = delete;

    // Empty when the table was made.
    QString setupError() const { return m_setupError; }

    // Rows are numbered from 0 in the order they were added.
    bool add(const Record& record);
    void clear();

    // The rows the filter picks, in the order they were added, read the way the store reads;
    // nothing (and lastError()) when SQLite refuses the statement.
    std::optional<std::vector<int>> select(const expr::SqlFilter& filter);
    // Whether SQLite takes the filter in the store's read of a page in topic order.
    bool preparesInTopicOrder(const expr::SqlFilter& filter);
    // SQLite's plan for the store's read of a page in a key's order, one line per step.
    enum class ReadOrder
    {
        AsAdded,
        ByTopic,
        ByReminderDate
    };
    QString queryPlan(const expr::SqlFilter& filter, ReadOrder order);
    QString lastError() const { return m_lastError; }

private:
    QString readSql(const expr::SqlFilter& filter, ReadOrder order) const;

    sqlite3* m_db = nullptr;
    store::TableDef m_def;
    QString m_setupError;
    QString m_lastError;
    int m_rows = 0;
};

} // namespace qly::test

Q_DECLARE_METATYPE(qly::test::Note)
