#pragma once
// A filter tree after binding: fields resolved to layout indexes, every term typed, and values
// used as conditions marked (Truth). Shared by the C++ evaluator and the SQL compiler; internal
// to framework/expr.

#include "expr/expression.h"
#include "expr/semantics.h"

#include <vector>

namespace qly::expr {

enum class Type
{
    Number,
    Text,
    Condition
};

enum class Op
{
    Field,    // field
    Constant, // constant
    Today,
    Upper,
    Contains,
    Begins,
    Compare, // compare
    And,
    Or,
    Not,
    Truth, // a Number or Text child used as a condition
    Add,
    Subtract,
    Negate,
};

struct BoundNode
{
    Op op = Op::Constant;
    Type type = Type::Condition;
    CompareOp compare = CompareOp::Equal;
    int field = -1;
    Value constant;
    std::vector<BoundNode> children;
};

struct Filter::Bound
{
    const RecordLayout* layout = nullptr;
    Node tree;
    BoundNode root;
};

// Whether a three-way comparison result satisfies op.
inline bool holds(CompareOp op, int comparison)
{
    switch (op) {
    case CompareOp::Equal:
        return comparison == 0;
    case CompareOp::NotEqual:
        return comparison != 0;
    case CompareOp::Less:
        return comparison < 0;
    case CompareOp::LessOrEqual:
        return comparison <= 0;
    case CompareOp::Greater:
        return comparison > 0;
    case CompareOp::GreaterOrEqual:
        return comparison >= 0;
    }
    return false;
}

} // namespace qly::expr
