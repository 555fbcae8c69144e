#include "store/store_error.h"

namespace qly::store {

QString errorCodeText(int code)
{
    switch (code) {
    case NoError: return QString();
    case FileNotFound: return QStringLiteral("File Not Found");
    case AccessDenied: return QStringLiteral("Access Denied");
    case RecordNotAvailable: return QStringLiteral("Record Not Available");
    case CreatesDuplicateKey: return QStringLiteral("Creates Duplicate Key");
    case RecordIsAlreadyHeld: return QStringLiteral("Record Is Already Held");
    case KeyFileMustBeRebuilt: return QStringLiteral("Key File Must Be Rebuilt");
    case FileAlreadyOpen: return QStringLiteral("File Already Open");
    case NoCreateAttribute: return QStringLiteral("No Create Attribute");
    case RecordChangedByAnotherStation: return QStringLiteral("Record Changed By Another Station");
    case FileSystemError: return QStringLiteral("File System Error");
    }
    return QStringLiteral("Error %1").arg(code);
}

StoreError StoreError::of(int code, QString detail)
{
    return StoreError{code, errorCodeText(code), 0, QString(), std::move(detail)};
}

StoreError StoreError::fileSystem(int osCode, QString osText, QString detail)
{
    return StoreError{FileSystemError, errorCodeText(FileSystemError), osCode, std::move(osText),
                      std::move(detail)};
}

QString StoreError::describe() const
{
    if (code == FileSystemError)
        return QStringLiteral("%1 (%2)").arg(osText.isEmpty() ? text : osText).arg(osCode);
    return QStringLiteral("%1 (%2)").arg(text).arg(code);
}

} // namespace qly::store
