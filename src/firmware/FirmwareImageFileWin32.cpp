// Reading a firmware image on Windows: a wide-character path and raw bytes,
// so an image never stops at a 0x1A byte as a text-mode read would.
#include <windows.h>

#include <algorithm>

#include "app/Failure.h"
#include "app/WidePath.h"
#include "firmware/FirmwareImage.h"

namespace nkq {

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// Reads until end of file or until `limit` bytes are in; false on failure.
bool ReadUpTo(HANDLE file, std::string& bytes, std::size_t limit) {
    constexpr std::size_t kChunk = 64 * 1024;
    while (bytes.size() < limit) {
        const std::size_t old_size = bytes.size();
        bytes.resize(std::min(limit, old_size + kChunk));
        DWORD count = 0;
        const BOOL ok = ReadFile(file, bytes.data() + old_size, static_cast<DWORD>(bytes.size() - old_size),
                                 &count, nullptr);
        bytes.resize(old_size + (ok ? count : 0));
        if (!ok) return false;
        if (count == 0) break;
    }
    return true;
}

}  // namespace

FirmwareImage ReadFirmwareImage(const std::string& path) {
    const FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) throw FileOpenError(path, static_cast<int>(GetLastError()));
    FirmwareImage image;
    if (!ReadUpTo(file.Get(), image.bytes, kFirstOversizedImage))
        throw FileOpenError(path, static_cast<int>(GetLastError()));
    image.oversized = image.bytes.size() >= kFirstOversizedImage;
    return image;
}

}  // namespace nkq
