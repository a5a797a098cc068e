// Whole-file reads and replacing writes on Windows: wide-character paths,
// raw bytes (no text mode anywhere, so a 0x1A byte is just a byte), and the
// replacement moved over the old file with MoveFileEx, which, unlike a plain
// rename, may replace a file.
#include <windows.h>
// windows.h names its own ReplaceFile call with a macro.
#undef ReplaceFile

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

#include "app/Failure.h"
#include "app/FileBytes.h"
#include "app/WidePath.h"

namespace nkq {

namespace {

// A system call failed; its error is kept at once.
struct SystemFailure {
    DWORD error_number;
};

[[noreturn]] void Fail() { throw SystemFailure{GetLastError()}; }

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }

private:
    HANDLE handle_;
};

HANDLE OpenForWriting(const std::wstring& path, DWORD disposition, DWORD share) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
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

std::wstring TemporaryName(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    const auto slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    return folder + L".nkq-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
           L".tmp";
}

// A device (NUL, CON, a pipe) is written into, never replaced.
bool WroteIntoDevice(const std::wstring& target, const std::string& bytes) {
    FileHandle file(OpenForWriting(target, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE));
    if (!file.Valid() || GetFileType(file.Get()) == FILE_TYPE_DISK) return false;
    WriteAll(file.Get(), bytes);
    return true;
}

// A writable file in a folder that takes no new files is written in place.
void WriteInPlace(const std::wstring& target, const std::string& bytes) {
    FileHandle file(OpenForWriting(target, TRUNCATE_EXISTING, 0));
    if (!file.Valid()) Fail();
    WriteAll(file.Get(), bytes);
    if (!FlushFileBuffers(file.Get()) || !file.Close()) Fail();
}

// A read-only file is refused, as on Linux: MoveFileEx over it is not
// refused everywhere (Wine replaces it), so the attribute is checked first.
void RefuseReadOnly(const std::wstring& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        throw SystemFailure{ERROR_ACCESS_DENIED};
}

// The temporary file beside the target; removed unless it was moved over it.
void Replace(const std::wstring& target, const std::string& bytes) {
    RefuseReadOnly(target);
    const std::wstring temporary = TemporaryName(target);
    FileHandle file(OpenForWriting(temporary, CREATE_NEW, 0));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
            return WriteInPlace(target, bytes);
        throw SystemFailure{error};
    }
    try {
        WriteAll(file.Get(), bytes);
        if (!FlushFileBuffers(file.Get()) || !file.Close()) Fail();
        if (!MoveFileExW(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            Fail();
    } catch (const SystemFailure&) {
        file.Close();
        DeleteFileW(temporary.c_str());
        throw;
    }
}

}  // namespace

std::string ReadWholeFile(const std::string& path, std::size_t limit) {
    constexpr std::size_t kChunk = 64 * 1024;
    try {
        FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) Fail();
        std::string bytes;
        while (bytes.size() < limit) {
            const std::size_t old_size = bytes.size();
            bytes.resize(std::min(limit, old_size + kChunk));
            DWORD count = 0;
            const BOOL ok = ReadFile(file.Get(), bytes.data() + old_size,
                                     static_cast<DWORD>(bytes.size() - old_size), &count, nullptr);
            bytes.resize(old_size + (ok ? count : 0));
            if (!ok) Fail();
            if (count == 0) break;
        }
        return bytes;
    } catch (const SystemFailure& failure) {
        throw FileOpenError(path, static_cast<int>(failure.error_number));
    }
}

void ReplaceFile(const std::string& path, const std::string& bytes) {
    try {
        const std::wstring target = WidePath(path);
        if (!WroteIntoDevice(target, bytes)) Replace(target, bytes);
    } catch (const SystemFailure& failure) {
        throw FileCreateError(path, static_cast<int>(failure.error_number));
    }
}

}  // namespace nkq
