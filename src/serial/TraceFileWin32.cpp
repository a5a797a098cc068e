// The trace file on Windows: opened for appending only, so the system puts
// each write at the end of the file; shared, so a second program may trace
// into it too.
#include <windows.h>

#include "TraceFile.h"
#include "app/Failure.h"
#include "app/Utf8Path.h"

namespace nkq {

namespace {

HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

TraceFile::TraceFile(const std::filesystem::path& path)
    : handle_(reinterpret_cast<std::intptr_t>(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (Native(handle_) == INVALID_HANDLE_VALUE)
        throw FileCreateError(Utf8FromPath(path), static_cast<int>(GetLastError()));
}

TraceFile::~TraceFile() { Close(); }

int TraceFile::Append(const std::string& bytes) noexcept {
    if (!open_) return 0;  // closed: nothing more is written
    DWORD written = 0;
    if (!WriteFile(Native(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return static_cast<int>(GetLastError());
    return written == bytes.size() ? 0 : ERROR_DISK_FULL;
}

int TraceFile::Close() noexcept {
    if (!open_) return 0;
    open_ = false;
    return CloseHandle(Native(handle_)) ? 0 : static_cast<int>(GetLastError());
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

}  // namespace nkq
