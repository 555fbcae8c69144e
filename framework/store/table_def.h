#pragma once
// How an application declares a table: its name as the store knows it ("QLY\!notes": data-file
// part, the two characters "\!", table part), its record layout and its keys.
//
// Every key allows duplicates, compares text without regard to case (the QNOCASE collation),
// orders each component ascending and leaves out records whose key components are all empty.

#include "store/record.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <variant>
#include <memory>
#include <vector>

namespace qly::store {

enum class SortOrder { Ascending, Descending };

struct OrderPart
{
    int field;
    SortOrder order;
};

// One condition of a key subset: a field compared with a fixed value.
struct SubsetTerm
{
    enum class Op { Equal, Greater };
    int field;
    Op op;
    std::variant<std::int64_t, QString> value;
};

// A smaller index in the key's order over only the records that meet every term, for a list
// whose filter always asks for them (the reminders list: only reminders not yet done). A read
// uses it when told to (TableInstance::setSubset); the key's order and positions are the same.
struct KeySubset
{
    QString name;                  // added to the key's index name: notes_ALLNOTES_DUE
    std::vector<SubsetTerm> terms;
};

struct KeyDef
{
    QString name;             // without prefix: "SNOT"
    QString description;      // the label the managers use: "sno:SNOT"
    std::vector<int> components;  // field indexes, in order
    // Further fields that order records whose key values are equal (a list's appended order, say
    // newest first); part of the index, so reading in that order needs no sorting.
    std::vector<OrderPart> tail = {};
    std::vector<KeySubset> subsets = {};

    // Every column of the order: the components ascending, then the tail.
    std::vector<OrderPart> orderParts() const;
};

enum class CreateWhenMissing { No, Yes };

struct TableDef
{
    QString storeName;        // "QLY\!notes"
    const RecordLayout* layout = nullptr;
    std::vector<KeyDef> keys;
    CreateWhenMissing create = CreateWhenMissing::Yes;
    // Makes the record buffer each thread gets; a plain Record of the layout when empty.
    std::function<std::unique_ptr<Record>()> makeRecord;

    QString dataFileName() const;   // "QLY"
    QString tableName() const;      // "notes"
    // Index of the key with this name or description ("SNOT", "sno:snot"), any case; -1 if none.
    int keyIndex(QStringView nameOrDescription) const;
};

} // namespace qly::store
