#pragma once
// Errors of the keyed store, as values. Every failure carries one of the store's error codes and
// its text; file-system failures (code 90) also carry the operating system's own code and text.

#include <QString>

#include <optional>
#include <utility>

namespace qly::store {

enum ErrorCode : int {
    NoError = 0,
    FileNotFound = 2,
    AccessDenied = 5,
    RecordNotAvailable = 33,
    CreatesDuplicateKey = 40,
    RecordIsAlreadyHeld = 43,
    KeyFileMustBeRebuilt = 46,
    FileAlreadyOpen = 52,
    NoCreateAttribute = 54,
    RecordChangedByAnotherStation = 89,
    FileSystemError = 90,
};

// The text of a code: "File Not Found", "Access Denied", ...
QString errorCodeText(int code);

struct StoreError
{
    int code = NoError;
    QString text;      // the code's text
    int osCode = 0;    // file-system error code, for code 90
    QString osText;    // file-system error text, for code 90
    QString detail;    // what was being done, for logs and the data tool

    static StoreError of(int code, QString detail = {});
    static StoreError fileSystem(int osCode, QString osText, QString detail = {});

    // "Access Denied (5)"; for a file-system error its own text and code: "No space left (28)".
    QString describe() const;
};

// Success or an error.
class [[nodiscard]] Status
{
public:
    Status() = default;
    Status(StoreError error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const StoreError& error() const { return *m_error; }
    int code() const { return m_error ? m_error->code : NoError; }

private:
    std::optional<StoreError> m_error;
};

// A value or an error.
template <class T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(StoreError error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const StoreError& error() const { return *m_error; }
    Status status() const { return ok() ? Status() : Status(*m_error); }

private:
    std::optional<T> m_value;
    std::optional<StoreError> m_error;
};

} // namespace qly::store
