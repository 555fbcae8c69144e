#include "data/note_tables.h"

namespace qly {

namespace {
using store::KeyDef;
using store::TableDef;
using F = NoteRecord::Field;

TableDef noteTable(QString storeName, const RecordLayout& layout, std::vector<KeyDef> keys)
{
    TableDef def;
    def.storeName = std::move(storeName);
    def.layout = &layout;
    def.keys = std::move(keys);
    def.create = store::CreateWhenMissing::Yes;
    def.makeRecord = [&layout] { return std::make_unique<NoteRecord>(layout); };
    return def;
}
} // namespace

const TableDef& notesTableDef()
{
    static const TableDef def = noteTable(
        QStringLiteral("QLY\\!notes"), NoteRecord::notesLayout(),
        {
            {QStringLiteral("SNOT"), QStringLiteral("sno:SNOT"), {F::Reminder, F::ReminderDate, F::Topic}},
            {QStringLiteral("MAINKEY"), QStringLiteral("sno:mainkey"), {F::Topic, F::NoteDate}},
            // The reminders list reads only reminders not yet done, from an index of its own.
            {QStringLiteral("ALLNOTES"), QStringLiteral("sno:allnotes"), {F::NoteDate}, {},
             {{QStringLiteral("DUE"),
               {{F::ReminderDate, store::SubsetTerm::Op::Greater, std::int64_t{0}},
                {F::Done, store::SubsetTerm::Op::Equal, QStringLiteral("N")}}}}},
            // Done items list newest notes first among equal reminder dates.
            {QStringLiteral("DONYET"), QStringLiteral("sno:Donyet"), {F::Done, F::ReminderDate},
             {{F::NoteDate, store::SortOrder::Descending}}},
        });
    return def;
}

const TableDef& archiveTableDef()
{
    static const TableDef def = noteTable(
        QStringLiteral("qly\\!Arcnotes"), NoteRecord::archiveLayout(),
        {
            {QStringLiteral("SNOT"), QStringLiteral("arc:SNOT"), {F::Reminder, F::ReminderDate, F::Topic}},
            {QStringLiteral("ALLNOTES"), QStringLiteral("arc:allnotes"), {F::NoteDate}},
        });
    return def;
}

} // namespace qly
