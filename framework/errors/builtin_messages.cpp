#include "errors/builtin_messages.h"

namespace qly {

std::vector<MessageRow> builtinMessages()
{
    // Texts are exact, double blanks and all.
    return {
        {msg::InvalidKey, Notice, QStringLiteral("Invalid Key"),
         QStringLiteral("%File key file is invalid. Key must be rebuilt.")},
        {msg::KeyWasNotBuilt, Fatal, QStringLiteral("Key was not built"),
         QStringLiteral("Error: (%ErrorText) repairing key for %File.")},
        {msg::FileCreationError, Fatal, QStringLiteral("File Creation Error"),
         QStringLiteral("Error: (%ErrorText) creating %File.")},
        {msg::AccessDenied, Notice, QStringLiteral("Access Denied"),
         QStringLiteral("Could not get write access to %File so trying read-only.")},
        {msg::FileAccessError, Fatal, QStringLiteral("File Access Error"),
         QStringLiteral("File %File could not be opened.  Error: %ErrorText.")},
        {msg::RecordInsertError, Notice, QStringLiteral("Record Insert Error"),
         QStringLiteral("An error was experienced during the creation of a record.|File: %File|Error: %ErrorText.")},
        {msg::RecordWasNotUpdated, Notice, QStringLiteral("Record was not updated"),
         QStringLiteral("An error (%ErrorText) was experienced when making changes to the %File file.")},
        {msg::RecordUpdateError, Question, QStringLiteral("Record Update Error"),
         QStringLiteral("An error was experienced changing this record. Do you want to try to save again?")},
        {msg::SaveRecord, Question, QStringLiteral("Save Record"),
         QStringLiteral("Do you want to save the changes to this record?")},
        {msg::ConfirmDelete, Question, QStringLiteral("Confirm Delete"),
         QStringLiteral("Are you sure you want to delete the highlighted record?")},
        {msg::TransactionCancelled, Notice, QStringLiteral("Transaction cancelled"),
         QStringLiteral("Error: (%ErrorText) attempting to frame the transaction on %File.")},
        {msg::RecordWasNotDeleted, Notice, QStringLiteral("Record was not deleted"),
         QStringLiteral("An error (%ErrorText) was experienced when deleting a record from the %File file.")},
        {msg::RecordDeleteError, Question, QStringLiteral("Record Delete Error"),
         QStringLiteral("An error was experienced deleting this record. Do you want to try to delete it again?")},
        {msg::InvalidRequest, Notice, QStringLiteral("Invalid Request"),
         QStringLiteral("This form cannot be used to insert a record")},
        {msg::RecordRetrievalError, Notice, QStringLiteral("Record Retrieval Error"),
         QStringLiteral("Error: (%ErrorText) attempting to access a record from the %File file.  Returning to previous window.")},
        {msg::ViewOpenError, Notice, QStringLiteral("View Open Error"),
         QStringLiteral("Error: (%ErrorText) attempting to open the current VIEW. Filter and Range Limits ignored.")},
        {msg::NoRecords, Notice, QStringLiteral("No Records"),
         QStringLiteral("There are no records available to process.")},
        {msg::UnsupportedQbeColumn, Notice, QStringLiteral("Unsupported QBE Column"),
         QStringLiteral("The saved QBE column, %Field is not supported. It will be dropped from the query.")},
        {msg::FileUsageError, Fatal, QStringLiteral("File Usage Error"),
         QStringLiteral("File %File was used before it was opened.")},
    };
}

QString builtinCategory()
{
    return QStringLiteral("Quillary");
}

} // namespace qly
