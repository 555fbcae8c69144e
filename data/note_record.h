#pragma once
// The note record shared by both tables: current notes ("SNO:" fields) and archived notes
// ("ARC:" fields) have the same eight fields in the same order and widths.

#include "store/record.h"

namespace qly {

class NoteRecord : public Record
{
public:
    enum Field { Topic, Reminder, NoteDate, ReminderDate, MainMemo, Done, Url, EmailAddress };

    static constexpr int kTopicWidth = 60;
    static constexpr int kMemoWidth = 5050;
    static constexpr int kUrlWidth = 60;
    static constexpr int kEmailWidth = 50;

    // Layouts of the two tables; they differ only in their prefix.
    static const RecordLayout& notesLayout();     // "SNO"
    static const RecordLayout& archiveLayout();   // "ARC"

    explicit NoteRecord(const RecordLayout& layout = notesLayout()) : Record(layout) {}

    QString topic() const { return text(Topic); }
    void setTopic(QStringView v) { setText(Topic, v); }
    // Archive mark: "Y" asked to archive, "N" box cleared, blank never set.
    QString reminder() const { return text(Reminder); }
    void setReminder(QStringView v) { setText(Reminder, v); }
    DayCount noteDate() const { return date(NoteDate); }
    void setNoteDate(DayCount d) { setDate(NoteDate, d); }
    DayCount reminderDate() const { return date(ReminderDate); }
    void setReminderDate(DayCount d) { setDate(ReminderDate, d); }
    QString mainMemo() const { return text(MainMemo); }
    void setMainMemo(QStringView v) { setText(MainMemo, v); }
    QString done() const { return text(Done); }
    void setDone(QStringView v) { setText(Done, v); }
    QString url() const { return text(Url); }
    void setUrl(QStringView v) { setText(Url, v); }
    QString emailAddress() const { return text(EmailAddress); }
    void setEmailAddress(QStringView v) { setText(EmailAddress, v); }
};

} // namespace qly
