// Whole-file reads and replacing writes on Windows: wide-character paths,
// raw bytes (no text mode anywhere), and the replacement moved over the old
// file with MoveFileEx, which, unlike a plain rename, may replace a file.
#include <windows.h>
// windows.h names its own ReplaceFile call with a macro.
#undef ReplaceFile

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

#include "app/Failure.h"
#include "app/WidePath.h"
#include "params/FileBytes.h"

namespace nkq {

namespace {

// A system call failed; its error is kept at once.
struct SystemFailure {
    DWORD error_number;
};

[[noreturn]] void Fail() { throw SystemFailure{GetLastError()}; }

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {
        if (handle_ == INVALID_HANDLE_VALUE) Fail();
    }
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Close() {
        const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }

private:
    HANDLE handle_;
};

std::wstring TemporaryName(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    const auto slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    return folder + L".nkq-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
           L".tmp";
}

void WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) Fail();
        done += written;
    }
}

// The temporary file beside the target; removed unless it was moved over it.
void ReplaceOrFail(const std::string& path, const std::string& bytes) {
    const std::wstring target = WidePath(path);
    const std::wstring temporary = TemporaryName(target);
    bool moved = false;
    try {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        WriteAll(file.Get(), bytes);
        if (!FlushFileBuffers(file.Get())) Fail();
        if (!file.Close()) Fail();
        if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            Fail();
        moved = true;
    } catch (const SystemFailure&) {
        if (!moved) DeleteFileW(temporary.c_str());
        throw;
    }
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    try {
        FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string bytes;
        char buffer[4096];
        for (;;) {
            DWORD count = 0;
            if (!ReadFile(file.Get(), buffer, sizeof buffer, &count, nullptr)) Fail();
            if (count == 0) return bytes;
            bytes.append(buffer, count);
        }
    } catch (const SystemFailure& failure) {
        throw FileOpenError(path, static_cast<int>(failure.error_number));
    }
}

void ReplaceFile(const std::string& path, const std::string& bytes) {
    try {
        ReplaceOrFail(path, bytes);
    } catch (const SystemFailure& failure) {
        throw FileCreateError(path, static_cast<int>(failure.error_number));
    }
}

}  // namespace nkq
