#include "StandardOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "StopRequest.h"

namespace nkq::cli {

namespace {

std::mutex output_mutex;
bool written = false;
bool failed = false;  // told once: closing after a failed write adds nothing

constexpr const char* kStandardOutput = "standard output";

}  // namespace

void WriteStandardOutput(const std::string& text) {
    const std::lock_guard lock(output_mutex);
    written = written || !text.empty();
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
        // A reader that stopped reading (a pager) must not keep a stop
        // request waiting: the signal ends a blocked write, at once or after
        // the part the pipe still took.
        const bool cut = n < 0 ? errno == EINTR : static_cast<std::size_t>(n) < text.size() - done;
        if (cut && StopRequest::Requested()) {
            failed = true;
            throw EOutputError(kStandardOutput, EINTR);
        }
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed = true;
            throw EOutputError(kStandardOutput, n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
}

void HoldClosedStandardDescriptors() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int held = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

void CloseStandardOutput() {
    const std::lock_guard lock(output_mutex);
    if (::close(STDOUT_FILENO) == 0 || errno == EINTR || failed) return;
    if (errno == EBADF && !written) return;
    throw EOutputError(kStandardOutput, errno);
}

}  // namespace nkq::cli
