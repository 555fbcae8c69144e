#pragma once
// How an application declares a table: its name as the store knows it ("QLY\!notes": data-file
// part, the two characters "\!", table part), its record layout and its keys.
//
// Every key allows duplicates, compares text without regard to case (the QNOCASE collation),
// orders each component ascending and leaves out records whose key components are all empty.

#include "store/record.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace qly::store {

enum class SortOrder { Ascending, Descending };

struct OrderPart
{
    int field;
    SortOrder order;
};

struct KeyDef
{
    QString name;             // without prefix: "SNOT"
    QString description;      // the label the managers use: "sno:SNOT"
    std::vector<int> components;  // field indexes, in order
    // Further fields that order records whose key values are equal (a list's appended order, say
    // newest first); part of the index, so reading in that order needs no sorting.
    std::vector<OrderPart> tail = {};

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
