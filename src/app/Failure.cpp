#include "app/Failure.h"

#include <filesystem>
#include <system_error>

#include "app/LibraryText.h"
#include "app/MessageText.h"
#include "app/Utf8Path.h"

namespace nkq {

namespace {

std::string FileErrorText(const char* pattern, const std::string& path, int error_number) {
    std::error_code ignored;
    const std::string full = Utf8FromPath(std::filesystem::absolute(PathFromUtf8(path), ignored));
    return FillIn(LibraryText(pattern), {full, SystemErrorText(error_number)});
}

// Threads report errno values on every platform, which are not the system's
// own error numbers on Windows.
std::string ErrnoText(int error_number) {
    std::string text = std::generic_category().message(error_number);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

EAbort::EAbort() : Exception("EAbort", LibraryText("Operation aborted")) {}

void AbortOperation() { throw EAbort(); }

EConvertError InvalidIntegerError(const std::string& text) {
    return EConvertError(FillIn(LibraryText("'%s' is not a valid integer value"), {text}));
}

EConvertError InvalidBooleanError(const std::string& text) {
    return EConvertError(FillIn(LibraryText("'%s' is not a valid boolean value"), {text}));
}

EFOpenError FileOpenError(const std::string& path, int error_number) {
    return EFOpenError(FileErrorText("Cannot open file \"%s\". %s", path, error_number));
}

EFCreateError FileCreateError(const std::string& path, int error_number) {
    return EFCreateError(FileErrorText("Cannot create file \"%s\". %s", path, error_number));
}

ERegistryException InvalidRegistryTypeError(const std::string& value_name) {
    return ERegistryException(FillIn(LibraryText("Invalid data type for '%s'"), {value_name}));
}

ERegistryException RegistryReadError(const std::string& value_name) {
    return ERegistryException(FillIn(LibraryText("Failed to get data for '%s'"), {value_name}));
}

ERegistryException RegistryWriteError(const std::string& value_name) {
    return ERegistryException(FillIn(LibraryText("Failed to set data for '%s'"), {value_name}));
}

EThread ThreadCreationError(int error_number) {
    return EThread(FillIn(LibraryText("Thread creation error: %s"), {ErrnoText(error_number)}));
}

EThread ThreadError(int error_number) {
    return EThread(FillIn(LibraryText("Thread Error: %s (%d)"),
                          {ErrnoText(error_number), std::to_string(error_number)}));
}

}  // namespace nkq
