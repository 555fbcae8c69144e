#include "data/note_record.h"

namespace qly {

namespace {
std::vector<FieldDef> noteFields()
{
    return {
        {QStringLiteral("TOPIC"), FieldKind::Text, NoteRecord::kTopicWidth},
        {QStringLiteral("REMINDER"), FieldKind::Text, 1},
        {QStringLiteral("NOTEDATE"), FieldKind::Date, 4},
        {QStringLiteral("REMINDERDATE"), FieldKind::Date, 4},
        {QStringLiteral("MAINMEMO"), FieldKind::Text, NoteRecord::kMemoWidth},
        {QStringLiteral("DONE"), FieldKind::Text, 1},
        {QStringLiteral("URL"), FieldKind::Text, NoteRecord::kUrlWidth},
        {QStringLiteral("EMAILADDRESS"), FieldKind::Text, NoteRecord::kEmailWidth},
    };
}
} // namespace

const RecordLayout& NoteRecord::notesLayout()
{
    static const RecordLayout layout(QStringLiteral("SNO"), noteFields());
    return layout;
}

const RecordLayout& NoteRecord::archiveLayout()
{
    static const RecordLayout layout(QStringLiteral("ARC"), noteFields());
    return layout;
}

} // namespace qly
