// Reading a firmware image on POSIX.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/Failure.h"
#include "firmware/FirmwareImage.h"

namespace nkq {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Reads until end of file or until `limit` bytes are in; -1 with errno set on failure.
ssize_t ReadUpTo(int fd, std::string& bytes, std::size_t limit) {
    constexpr std::size_t kChunk = 64 * 1024;
    while (bytes.size() < limit) {
        const std::size_t old_size = bytes.size();
        bytes.resize(std::min(limit, old_size + kChunk));
        const ssize_t n = ::read(fd, bytes.data() + old_size, bytes.size() - old_size);
        if (n < 0 && errno == EINTR) {
            bytes.resize(old_size);
            continue;
        }
        bytes.resize(old_size + (n > 0 ? static_cast<std::size_t>(n) : 0));
        if (n <= 0) return n;
    }
    return 1;
}

}  // namespace

FirmwareImage ReadFirmwareImage(const std::string& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) throw FileOpenError(path, errno);
    FirmwareImage image;
    if (ReadUpTo(file.Get(), image.bytes, kFirstOversizedImage) < 0) throw FileOpenError(path, errno);
    image.oversized = image.bytes.size() >= kFirstOversizedImage;
    return image;
}

}  // namespace nkq
