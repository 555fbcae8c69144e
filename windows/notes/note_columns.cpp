#include "windows/notes/note_columns.h"

#include "core/clock.h"
#include "data/note_record.h"
#include "resources/icons.h"
#include "ui/date_text.h"
#include "windows/notes/main_window.h"

namespace qly {

namespace {

constexpr int kMemoShown = 255;

QString memoLine(const Record& note)
{
    QString memo = note.text(NoteRecord::MainMemo).left(kMemoShown);
    for (QChar& c : memo) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    return memo;
}

} // namespace

std::vector<ListColumn> noteColumns()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    std::vector<ListColumn> columns;
    columns.push_back(
        {.header = QStringLiteral("Reminder Date"),
         .width = 50,
         .alignment = Qt::AlignRight | Qt::AlignVCenter,
         .headerAlignment = Qt::AlignHCenter | Qt::AlignVCenter,
         .text =
             [](const Record& note) { return shortDateText(note.date(NoteRecord::ReminderDate)); },
         .icon =
             [](const Record& note) {
                 return reminderIcon(note.date(NoteRecord::ReminderDate), clock().todayCount()) == 1
                            ? checkMarkIcon()
                            : QIcon();
             },
         .indent = 2});
    columns.push_back(
        {.header = QStringLiteral("NoteDate"),
         .width = 39,
         .alignment = left,
         .headerAlignment = left,
         .text = [](const Record& note) { return shortDateText(note.date(NoteRecord::NoteDate)); },
         .indent = 2});
    columns.push_back({.header = QStringLiteral("Topic"),
                       .width = 80,
                       .alignment = left,
                       .headerAlignment = left,
                       .text = [](const Record& note) { return note.text(NoteRecord::Topic); },
                       .indent = 2});
    columns.push_back({.header = QStringLiteral("Main Memo"),
                       .width = 140,
                       .alignment = left,
                       .headerAlignment = left,
                       .text = memoLine,
                       .indent = 2});
    return columns;
}

// Where each tab's thumb stands: by the topic where the topic leads the order, else by a date.
std::unique_ptr<ListScale> noteListScale(MainTab tab)
{
    switch (tab) {
    case NotesOnlyTab:
        return textListScale(NoteRecord::Topic, 2);
    case CurrentRemindersTab:
        return dateListScale(NoteRecord::NoteDate, 0);
    case DoneItemsTab:
        return dateListScale(NoteRecord::ReminderDate, 1);
    case EverythingTab:
        break;
    }
    return textListScale(NoteRecord::Topic, 0);
}

} // namespace qly
