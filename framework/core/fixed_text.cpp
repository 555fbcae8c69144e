#include "core/fixed_text.h"

namespace qly {

qsizetype codePointCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QStringView withoutTrailingBlanks(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.first(end);
}

QString fitText(QStringView text, int width)
{
    qsizetype units = 0;
    for (int points = 0; points < width && units < text.size(); ++points) {
        if (text[units].isHighSurrogate() && units + 1 < text.size() &&
            text[units + 1].isLowSurrogate())
            ++units;
        ++units;
    }
    return withoutTrailingBlanks(text.first(units)).toString();
}

QString padText(QStringView text, int width)
{
    QString fitted = fitText(text, width);
    const qsizetype missing = width - codePointCount(fitted);
    if (missing > 0)
        fitted.append(QString(missing, u' '));
    return fitted;
}

bool sameText(QStringView a, QStringView b)
{
    return withoutTrailingBlanks(a) == withoutTrailingBlanks(b);
}

int compareText(QStringView a, QStringView b)
{
    a = withoutTrailingBlanks(a);
    b = withoutTrailingBlanks(b);
    // UTF-16 order differs from code point order only where a surrogate meets U+E000..U+FFFF.
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        const bool xs = QChar::isSurrogate(x);
        const bool ys = QChar::isSurrogate(y);
        if (xs != ys)
            return xs ? 1 : -1;
        return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace qly
