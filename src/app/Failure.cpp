#include "app/Failure.h"

#include <filesystem>
#include <system_error>

#include "app/LibraryText.h"

namespace nkq {

namespace {

// Replaces the first "%s" of a library text with `value`; the value itself
// is never scanned again, so a "%s" inside it stays as it is.
std::string FillIn(const std::string& pattern, const std::string& value, std::size_t from = 0) {
    std::string text = pattern;
    if (auto at = text.find("%s", from); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

std::string FileErrorText(const char* pattern, const std::string& path, int error_number) {
    std::error_code ignored;
    const std::string full = std::filesystem::absolute(path, ignored).string();
    std::string text = LibraryText(pattern);
    const auto first = text.find("%s");
    text = FillIn(text, full);
    const std::size_t after = first == std::string::npos ? text.size() : first + full.size();
    return FillIn(text, SystemErrorText(error_number), after);
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
    return EConvertError(FillIn(LibraryText("'%s' is not a valid integer value"), text));
}

EConvertError InvalidBooleanError(const std::string& text) {
    return EConvertError(FillIn(LibraryText("'%s' is not a valid boolean value"), text));
}

EFOpenError FileOpenError(const std::string& path, int error_number) {
    return EFOpenError(FileErrorText("Cannot open file \"%s\". %s", path, error_number));
}

EFCreateError FileCreateError(const std::string& path, int error_number) {
    return EFCreateError(FileErrorText("Cannot create file \"%s\". %s", path, error_number));
}

ERegistryException InvalidRegistryTypeError(const std::string& value_name) {
    return ERegistryException(FillIn(LibraryText("Invalid data type for '%s'"), value_name));
}

ERegistryException RegistryReadError(const std::string& value_name) {
    return ERegistryException(FillIn(LibraryText("Failed to get data for '%s'"), value_name));
}

ERegistryException RegistryWriteError(const std::string& value_name) {
    return ERegistryException(FillIn(LibraryText("Failed to set data for '%s'"), value_name));
}

EThread ThreadCreationError(int error_number) {
    return EThread(FillIn(LibraryText("Thread creation error: %s"), ErrnoText(error_number)));
}

EThread ThreadError(int error_number) {
    std::string text = LibraryText("Thread Error: %s (%d)");
    const std::string reason = ErrnoText(error_number);
    const auto first = text.find("%s");
    text = FillIn(text, reason);
    const std::size_t after = first == std::string::npos ? 0 : first + reason.size();
    if (auto at = text.find("%d", after); at != std::string::npos) text.replace(at, 2, std::to_string(error_number));
    return EThread(text);
}

}  // namespace nkq
