#pragma once
// Failures travel as exceptions that carry a kind name and a message text;
// the front ends decide how (and whether) a failure is shown.
#include <exception>
#include <string>

namespace nkq {

class Exception : public std::exception {
public:
    Exception(std::string kind, std::string message) : kind_(std::move(kind)), message_(std::move(message)) {}

    const std::string& KindName() const noexcept { return kind_; }
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string kind_;
    std::string message_;
};

// The silent abort: raised after the operator has already been told what
// went wrong; the error display drops it.
class EAbort : public Exception {
public:
    EAbort();
};

// An operation ended early because the operator (or a signal) asked it to
// stop; the message says where it stopped and what that left behind.
class EOperationStopped : public Exception {
public:
    explicit EOperationStopped(std::string message) : Exception("EOperationStopped", std::move(message)) {}
};

class EConvertError : public Exception {
public:
    explicit EConvertError(std::string message) : Exception("EConvertError", std::move(message)) {}
};

class EFOpenError : public Exception {
public:
    explicit EFOpenError(std::string message) : Exception("EFOpenError", std::move(message)) {}
};

class EFCreateError : public Exception {
public:
    explicit EFCreateError(std::string message) : Exception("EFCreateError", std::move(message)) {}
};

class ERegistryException : public Exception {
public:
    explicit ERegistryException(std::string message) : Exception("ERegistryException", std::move(message)) {}
};

class EThread : public Exception {
public:
    explicit EThread(std::string message) : Exception("EThread", std::move(message)) {}
};

[[noreturn]] void AbortOperation();

// Builders for the shared failure texts, so every caller words them alike.
EConvertError InvalidIntegerError(const std::string& text);
EConvertError InvalidBooleanError(const std::string& text);
EFOpenError FileOpenError(const std::string& path, int error_number);
EFCreateError FileCreateError(const std::string& path, int error_number);
ERegistryException InvalidRegistryTypeError(const std::string& value_name);
ERegistryException RegistryReadError(const std::string& value_name);
ERegistryException RegistryWriteError(const std::string& value_name);
// Thread failures carry errno values.
EThread ThreadCreationError(int error_number);
EThread ThreadError(int error_number);

// The system's text for one of its error numbers (errno on POSIX,
// GetLastError on Windows), without a final period.
std::string SystemErrorText(int error_number);

}  // namespace nkq
