#pragma once
// Record layouts and record buffers.
//
// A RecordLayout names a table's fields in stored order (text of a fixed width in characters,
// or a date). A Record is one buffer of that layout: text kept without its padding and cut at
// the field's width, dates kept packed. Fields are found by name with or without the table's
// prefix, in any letter case ("SNO:TOPIC", "sno:topic", "topic").
//
// Typed records of an application (a note, say) derive from Record and add accessors only,
// never data members, so a buffer can be copied and restored through the base class.

#include "core/dates.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace qly {

enum class FieldKind { Text, Date };

struct FieldDef
{
    QString name;   // without prefix, as written in the layout: "TOPIC"
    FieldKind kind;
    int width;      // characters for text; 4 (bytes of the packed form) for a date
};

class RecordLayout
{
public:
    RecordLayout(QString prefix, std::vector<FieldDef> fields);

    const QString& prefix() const { return m_prefix; }   // "SNO"
    const std::vector<FieldDef>& fields() const { return m_fields; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const FieldDef& field(int index) const { return m_fields.at(static_cast<size_t>(index)); }

    // Index of a field named "PRE:NAME" or "NAME" in any case; -1 when there is none or the
    // prefix belongs to another table.
    int indexOf(QStringView name) const;
    // "SNO:TOPIC"
    QString qualifiedName(int index) const;
    // The SQL column that holds the field: its name in lower case.
    QString columnName(int index) const;

private:
    QString m_prefix;
    std::vector<FieldDef> m_fields;
};

class Record
{
public:
    explicit Record(const RecordLayout& layout);
    virtual ~Record() = default;
    Record(const Record&) = default;
    Record(Record&&) noexcept = default;
    Record& operator=(const Record&);
    Record& operator=(Record&& other);

    const RecordLayout& layout() const { return *m_layout; }

    QString text(int field) const;          // without trailing blanks
    QString paddedText(int field) const;    // exactly the field's width
    void setText(int field, QStringView value);
    // As setText, taking over value when it already fits (text read back from the store).
    void setText(int field, QString&& value);

    DayCount date(int field) const;         // read as a day count
    void setDate(int field, DayCount days);
    PackedDate packedDate(int field) const;
    void setPackedDate(int field, PackedDate packed);

    // All text blank and all dates 0.
    void clear();
    bool isClear() const;

    // Copies every field of other into the field of the same name here.
    void copyFieldsByName(const Record& other);

    // Same field values, trailing blanks ignored.
    bool sameValues(const Record& other) const;

private:
    const RecordLayout* m_layout;
    std::vector<QString> m_text;      // per field; unused for dates
    std::vector<PackedDate> m_dates;  // per field; unused for text
};

} // namespace qly
