#include "ui/list_scale.h"

#include <algorithm>
#include <cmath>

namespace qly {

namespace {

// Letters of a topic count in base 27: 0 for anything before "a", then "a" to "z". Four
// letters tell topics apart well past what a scroll bar's pixels can show.
constexpr int kBase = 27;
constexpr int kLetters = 4;

int slotOf(QChar c)
{
    const QString decomposed = c.decomposition();
    const QChar base = (decomposed.isEmpty() ? c : decomposed.front()).toLower();
    if (base < u'a')
        return 0;
    if (base > u'z')
        return base.isLetter() ? kBase - 1 : 0;
    return base.unicode() - u'a' + 1;
}

double alphabeticValue(QStringView text)
{
    double value = 0;
    double unit = 1;
    const qsizetype n = std::min<qsizetype>(text.size(), kLetters);
    for (qsizetype i = 0; i < n; ++i) {
        unit /= kBase;
        value += slotOf(text[i]) * unit;
    }
    return value;
}

QString textAt(double value)
{
    QString text;
    for (int i = 0; i < kLetters; ++i) {
        // A whisker added so that the value of "ab" gives back "ab", not "aazz".
        value *= kBase;
        const int slot = std::clamp(static_cast<int>(std::floor(value + 1e-9)), 0, kBase - 1);
        value = std::max(0.0, value - slot);
        if (slot == 0)
            break;
        text += QChar(u'a' + slot - 1);
    }
    return text;
}

double between(double value, double low, double high)
{
    if (high <= low)
        return 0;
    return std::clamp((value - low) / (high - low), 0.0, 1.0);
}

class TextScale final : public ListScale
{
public:
    TextScale(int field, int keyComponent) : m_field(field), m_component(keyComponent) {}

    double fraction(const Record& record, const Record& first, const Record& last) const override
    {
        return between(alphabeticValue(record.text(m_field)), alphabeticValue(first.text(m_field)),
                       alphabeticValue(last.text(m_field)));
    }

    KeyValues valuesAt(double fraction, const Record& first, const Record& last) const override
    {
        const double low = alphabeticValue(first.text(m_field));
        const double high = alphabeticValue(last.text(m_field));
        KeyValues at{first, m_component + 1};
        at.values.setText(m_field, textAt(low + std::clamp(fraction, 0.0, 1.0) * (high - low)));
        return at;
    }

private:
    int m_field;
    int m_component;
};

class DateScale final : public ListScale
{
public:
    DateScale(int field, int keyComponent) : m_field(field), m_component(keyComponent) {}

    double fraction(const Record& record, const Record& first, const Record& last) const override
    {
        return between(record.date(m_field), first.date(m_field), last.date(m_field));
    }

    KeyValues valuesAt(double fraction, const Record& first, const Record& last) const override
    {
        const double low = first.date(m_field);
        const double high = std::max(low, double(last.date(m_field)));
        KeyValues at{first, m_component + 1};
        at.values.setDate(m_field, static_cast<DayCount>(std::lround(
                                       low + std::clamp(fraction, 0.0, 1.0) * (high - low))));
        return at;
    }

private:
    int m_field;
    int m_component;
};

} // namespace

std::unique_ptr<ListScale> textListScale(int field, int keyComponent)
{
    return std::make_unique<TextScale>(field, keyComponent);
}

std::unique_ptr<ListScale> dateListScale(int field, int keyComponent)
{
    return std::make_unique<DateScale>(field, keyComponent);
}

} // namespace qly
