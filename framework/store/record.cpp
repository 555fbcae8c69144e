#include "store/record.h"

#include "core/fixed_text.h"

#include <stdexcept>

namespace qly {

RecordLayout::RecordLayout(QString prefix, std::vector<FieldDef> fields)
    : m_prefix(std::move(prefix)), m_fields(std::move(fields))
{
}

int RecordLayout::indexOf(QStringView name) const
{
    const qsizetype colon = name.indexOf(u':');
    if (colon >= 0) {
        if (name.first(colon).compare(m_prefix, Qt::CaseInsensitive) != 0)
            return -1;
        name = name.sliced(colon + 1);
    }
    for (int i = 0; i < fieldCount(); ++i) {
        if (name.compare(m_fields[static_cast<size_t>(i)].name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString RecordLayout::qualifiedName(int index) const
{
    return m_prefix + u':' + field(index).name;
}

QString RecordLayout::columnName(int index) const
{
    return field(index).name.toLower();
}

Record::Record(const RecordLayout& layout)
    : m_layout(&layout), m_text(static_cast<size_t>(layout.fieldCount())),
      m_dates(static_cast<size_t>(layout.fieldCount()), 0)
{
}

Record& Record::operator=(const Record& other)
{
    if (this == &other)
        return *this;
    if (m_layout->fieldCount() != other.m_layout->fieldCount())
        throw std::logic_error("records of different layouts assigned");
    m_text = other.m_text;
    m_dates = other.m_dates;
    return *this;
}

Record& Record::operator=(Record&& other)
{
    if (this == &other)
        return *this;
    if (m_layout->fieldCount() != other.m_layout->fieldCount())
        throw std::logic_error("records of different layouts assigned");
    m_text = std::move(other.m_text);
    m_dates = std::move(other.m_dates);
    return *this;
}

QString Record::text(int field) const
{
    return m_text.at(static_cast<size_t>(field));
}

QString Record::paddedText(int field) const
{
    return padText(text(field), m_layout->field(field).width);
}

void Record::setText(int field, QStringView value)
{
    m_text.at(static_cast<size_t>(field)) = fitText(value, m_layout->field(field).width);
}

void Record::setText(int field, QString&& value)
{
    const int width = m_layout->field(field).width;
    // UTF-16 units are never fewer than code points, so a short enough value fits as it is.
    if (value.size() <= width && (value.isEmpty() || value.back() != u' '))
        m_text.at(static_cast<size_t>(field)) = std::move(value);
    else
        setText(field, QStringView(value));
}

DayCount Record::date(int field) const
{
    return unpackDate(packedDate(field));
}

void Record::setDate(int field, DayCount days)
{
    setPackedDate(field, packDate(days));
}

PackedDate Record::packedDate(int field) const
{
    return m_dates.at(static_cast<size_t>(field));
}

void Record::setPackedDate(int field, PackedDate packed)
{
    m_dates.at(static_cast<size_t>(field)) = packed;
}

void Record::clear()
{
    for (QString& t : m_text)
        t.clear();
    std::fill(m_dates.begin(), m_dates.end(), 0);
}

bool Record::isClear() const
{
    for (const QString& t : m_text) {
        if (!t.isEmpty())
            return false;
    }
    for (PackedDate d : m_dates) {
        if (d != 0)
            return false;
    }
    return true;
}

void Record::copyFieldsByName(const Record& other)
{
    const RecordLayout& from = other.layout();
    for (int i = 0; i < from.fieldCount(); ++i) {
        const int to = m_layout->indexOf(from.field(i).name);
        if (to < 0 || m_layout->field(to).kind != from.field(i).kind)
            continue;
        if (from.field(i).kind == FieldKind::Text)
            setText(to, other.text(i));
        else
            setPackedDate(to, other.packedDate(i));
    }
}

bool Record::sameValues(const Record& other) const
{
    return m_layout->fieldCount() == other.m_layout->fieldCount() && m_text == other.m_text &&
           m_dates == other.m_dates;
}

} // namespace qly
