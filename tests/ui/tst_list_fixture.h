#pragma once
// What the list tests share: a real data file in a temporary working folder holding numbered
// notes whose topics run through the alphabet in number order, the "Everything" order over
// them, and a list model on it checked by QAbstractItemModelTester.

#include "data/note_record.h"
#include "data/note_views.h"
#include "expr/view.h"
#include "store/table.h"
#include "support/temp_workdir.h"
#include "ui/list_model.h"

#include <memory>
#include <QAbstractItemModelTester>

namespace qly::test {

class NoteList
{
public:
    // Every third note is done; every fourth has no reminder date, the others one from three
    // days ago to three days ahead; note dates repeat every 50 notes.
    explicit NoteList(int notes, int pageSize = 10, MainTab tab = EverythingTab);
    ~NoteList();

    bool isValid() const { return m_valid; }
    store::TableInstance& table() { return *m_table; }
    ListModel& model() { return *m_model; }
    expr::View& view() { return *m_view; }

    // "mm note 150": two letters that climb through the alphabet with the number, so the topic
    // order is the number order and the middle number has the middle topic.
    static QString topicOf(int number);
    // The number of a held row, from its topic; -1 for none.
    int numberOf(int row) const;
    int topNumber() const { return numberOf(m_model->topRow()); }
    int currentNumber() const { return numberOf(m_model->currentRow()); }
    // The most rows the model held at any moment.
    int mostRowsHeld() const { return m_mostHeld; }
    // Whether the held rows are consecutive notes, as read in order.
    bool rowsAreConsecutive() const;

    // Adds a note and returns its row id (0 on failure).
    qint64 add(const QString& topic, DayCount noteDate, DayCount reminderDate = 0,
               const QString& done = QStringLiteral("N"));

private:
    TempWorkdir m_dir;
    std::unique_ptr<Thread> m_thread;
    std::unique_ptr<store::Table> m_notes;
    store::TableInstance* m_table = nullptr;
    std::unique_ptr<expr::View> m_view;
    std::unique_ptr<ListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    int m_mostHeld = 0;
    bool m_valid = false;
};

} // namespace qly::test
