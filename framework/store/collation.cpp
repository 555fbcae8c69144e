#include "store/collation.h"

#include <QChar>
#include <QString>

#include <sqlite3.h>

#include <cstring>

namespace qly::store {

namespace {

// Base letters only, case folded: the first level of the order.
QString primaryKey(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const char32_t c = decomposed.at(i).isHighSurrogate() && i + 1 < decomposed.size()
                               ? QChar::surrogateToUcs4(decomposed.at(i), decomposed.at(i + 1))
                               : decomposed.at(i).unicode();
        const qsizetype width = c > 0xffff ? 2 : 1;
        const QChar::Category category = QChar::category(c);
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
            category != QChar::Mark_Enclosing)
            key.append(decomposed.mid(i, width));
        i += width - 1;
    }
    return key.toCaseFolded();
}

// Accents kept, case folded: breaks ties between equal base letters.
QString secondaryKey(QStringView text)
{
    return text.toString().normalized(QString::NormalizationForm_D).toCaseFolded();
}

// Code point order; unlike field comparisons, trailing blanks count here, exactly as in the
// byte-wise shortcut for plain ASCII below.
int compareCodePoints(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    const int c = std::memcmp(x.constData(), y.constData(), static_cast<size_t>(std::min(x.size(), y.size())));
    if (c != 0)
        return c;
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

bool isAscii(const char* s, int n)
{
    for (int i = 0; i < n; ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    }
    return true;
}

int asciiFold(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int collateCallback(void*, int aLength, const void* a, int bLength, const void* b)
{
    return collateUtf8(static_cast<const char*>(a), aLength, static_cast<const char*>(b), bLength);
}

} // namespace

QString collationIdentity()
{
    return QStringLiteral("qnocase-1/unicode-%1").arg(static_cast<int>(QChar::currentUnicodeVersion()));
}

int collate(QStringView a, QStringView b)
{
    if (const int primary = compareCodePoints(primaryKey(a), primaryKey(b)); primary != 0)
        return primary;
    return compareCodePoints(secondaryKey(a), secondaryKey(b));
}

int collateUtf8(const char* a, int aLength, const char* b, int bLength)
{
    if (isAscii(a, aLength) && isAscii(b, bLength)) {
        const int n = std::min(aLength, bLength);
        for (int i = 0; i < n; ++i) {
            const int x = asciiFold(static_cast<unsigned char>(a[i]));
            const int y = asciiFold(static_cast<unsigned char>(b[i]));
            if (x != y)
                return x < y ? -1 : 1;
        }
        return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
    }
    return collate(QString::fromUtf8(a, aLength), QString::fromUtf8(b, bLength));
}

int installCollation(sqlite3* db)
{
    return sqlite3_create_collation_v2(db, kCollationName, SQLITE_UTF8, nullptr, collateCallback,
                                       nullptr);
}

} // namespace qly::store
