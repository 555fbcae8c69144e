#include "expr/semantics.h"

#include "core/fixed_text.h"

#include <cmath>
#include <QLocale>

namespace qly::expr {

namespace {
int compareNumbers(double a, double b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
} // namespace

Value textValue(QStringView text)
{
    return withoutTrailingBlanks(text).toString();
}

QString numberText(double number)
{
    if (number == 0)
        return QStringLiteral("0"); // also for -0
    return QString::number(number, 'f', QLocale::FloatingPointShortest);
}

QString textOf(const Value& value)
{
    if (const double* number = std::get_if<double>(&value))
        return numberText(*number);
    return *std::get_if<QString>(&value);
}

std::optional<double> numberInText(QStringView text)
{
    text = withoutTrailingBlanks(text);
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i == text.size())
        return 0.0;
    const qsizetype start = i;
    if (text[i] == u'+' || text[i] == u'-')
        ++i;
    const qsizetype digits = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (i == digits)
        return std::nullopt;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fraction = ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == fraction)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    bool ok = false;
    const double number = text.sliced(start).toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

int compareValues(const Value& a, const Value& b)
{
    const double* an = std::get_if<double>(&a);
    const double* bn = std::get_if<double>(&b);
    if (an && bn)
        return compareNumbers(*an, *bn);
    if (!an && !bn)
        return compareText(*std::get_if<QString>(&a), *std::get_if<QString>(&b));
    if (!an)
        return -compareValues(b, a);
    const QString& text = *std::get_if<QString>(&b);
    if (const std::optional<double> number = numberInText(text))
        return compareNumbers(*an, *number);
    return compareText(numberText(*an), text);
}

QString upperText(QStringView text)
{
    return withoutTrailingBlanks(text).toString().toUpper();
}

// Qt tells null text from empty text here (a null text does not start with ""); values don't.
bool containsText(QStringView text, QStringView part)
{
    part = withoutTrailingBlanks(part);
    return part.isEmpty() || withoutTrailingBlanks(text).contains(part);
}

bool beginsText(QStringView text, QStringView start)
{
    start = withoutTrailingBlanks(start);
    return start.isEmpty() || withoutTrailingBlanks(text).startsWith(start);
}

bool isTrue(const Value& value)
{
    if (const double* number = std::get_if<double>(&value))
        return *number != 0;
    return !withoutTrailingBlanks(*std::get_if<QString>(&value)).isEmpty();
}

QString compareSymbol(CompareOp op)
{
    switch (op) {
    case CompareOp::Equal:
        return QStringLiteral("=");
    case CompareOp::NotEqual:
        return QStringLiteral("<>");
    case CompareOp::Less:
        return QStringLiteral("<");
    case CompareOp::LessOrEqual:
        return QStringLiteral("<=");
    case CompareOp::Greater:
        return QStringLiteral(">");
    case CompareOp::GreaterOrEqual:
        return QStringLiteral(">=");
    }
    return {};
}

} // namespace qly::expr
