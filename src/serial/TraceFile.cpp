// The trace file on POSIX: O_APPEND, one write() per line.
#include "TraceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/Failure.h"

namespace nkq {

TraceFile::TraceFile(const std::filesystem::path& path)
    : handle_(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)) {
    if (handle_ < 0) throw FileCreateError(path.string(), errno);
}

TraceFile::~TraceFile() { Close(); }

int TraceFile::Append(const std::string& bytes) noexcept {
    if (!open_) return 0;  // closed: nothing more is written
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(static_cast<int>(handle_), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int TraceFile::Close() noexcept {
    if (!open_) return 0;
    open_ = false;
    return ::close(static_cast<int>(handle_)) == 0 ? 0 : errno;
}

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

}  // namespace nkq
