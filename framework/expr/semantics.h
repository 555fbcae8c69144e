#pragma once
// The value rules of filter expressions, shared by the C++ evaluator and the SQL functions so
// that both give the same answer by construction. Internal to framework/expr.

#include "expr/expression.h"

#include <optional>
#include <QString>
#include <QStringView>
#include <variant>

namespace qly::expr {

// A number (day counts included) or a text without trailing blanks.
using Value = std::variant<double, QString>;

Value textValue(QStringView text); // drops trailing blanks

// The number written out: 74189, 0.5, -3 (never with an exponent).
QString numberText(double number);
QString textOf(const Value& value);

// The number a text stands for when compared with a number: 0 for blank text, the value for
// text that reads as a number, nothing otherwise.
std::optional<double> numberInText(QStringView text);

// <0, 0, >0.
int compareValues(const Value& a, const Value& b);

QString upperText(QStringView text);
bool containsText(QStringView text, QStringView part);
bool beginsText(QStringView text, QStringView start);

// How a comparison is written, in filters and in SQL alike: = <> < <= > >=.
QString compareSymbol(CompareOp op);

// A value used as a condition: non-blank text or a non-zero number.
bool isTrue(const Value& value);

} // namespace qly::expr
