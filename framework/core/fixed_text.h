#pragma once
// Fixed-width text fields.
//
// A text field is a number of characters (Unicode code points) wide, padded on the right with
// blanks. Values are kept without their padding; assigning a longer value cuts it at the width
// without splitting a surrogate pair, and comparisons ignore trailing blanks.

#include <QString>
#include <QStringView>

namespace qly {

// Number of code points in text.
qsizetype codePointCount(QStringView text);

// Cuts text after width code points and drops trailing blanks: the value a field of that width holds.
QString fitText(QStringView text, int width);

// text without its trailing blanks.
QStringView withoutTrailingBlanks(QStringView text);

// text padded with blanks (or cut) to exactly width code points: the field's fixed-width image.
QString padText(QStringView text, int width);

// Equality and ordering that ignore trailing blanks; ordering is by code point.
bool sameText(QStringView a, QStringView b);
int compareText(QStringView a, QStringView b);

} // namespace qly
