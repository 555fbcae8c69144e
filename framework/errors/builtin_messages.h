#pragma once
// The message rows the framework's table managers, forms, lists and reports raise, by number.

#include "errors/error_manager.h"

#include <vector>

namespace qly {

namespace msg {
enum : int {
    RecordRetrievalError = 1,
    AccessDenied = 2,
    RecordInsertError = 4,
    ConfirmDelete = 9,
    FileCreationError = 10,
    RecordWasNotDeleted = 11,
    InvalidRequest = 20,
    TransactionCancelled = 21,
    NoRecords = 22,
    FileAccessError = 23,
    RecordWasNotUpdated = 25,
    KeyWasNotBuilt = 26,
    InvalidKey = 27,
    RecordDeleteError = 33,
    RecordUpdateError = 34,
    SaveRecord = 35,
    FileUsageError = 39,
    ViewOpenError = 40,
    UnsupportedQbeColumn = 41,
};
} // namespace msg

// Every built-in row, loaded by the error manager when the program starts.
std::vector<MessageRow> builtinMessages();

// The category label of the built-in rows.
QString builtinCategory();

} // namespace qly
