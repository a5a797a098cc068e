// Standard output of nkq.exe: the C runtime's descriptor 1, in binary mode
// (see ProgramConsoleWin32.cpp), written straight so that every failure shows.
#include <io.h>

#include <cerrno>
#include <mutex>

#include "StandardOutput.h"

namespace nkq::cli {

namespace {

std::mutex output_mutex;
bool written = false;
bool failed = false;

constexpr const char* kStandardOutput = "standard output";
constexpr int kStandardOutputFd = 1;

}  // namespace

void WriteStandardOutput(const std::string& text) {
    const std::lock_guard lock(output_mutex);
    written = written || !text.empty();
    std::size_t done = 0;
    while (done < text.size()) {
        const int n =
            ::_write(kStandardOutputFd, text.data() + done, static_cast<unsigned>(text.size() - done));
        if (n <= 0) {
            failed = true;
            throw EOutputError(kStandardOutput, n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
}

// Windows gives a program without standard handles descriptors that fail;
// a port cannot take their numbers, so there is nothing to hold.
void HoldClosedStandardDescriptors() {}

void CloseStandardOutput() {
    const std::lock_guard lock(output_mutex);
    if (::_close(kStandardOutputFd) == 0 || failed) return;
    if (errno == EBADF && !written) return;
    throw EOutputError(kStandardOutput, errno);
}

}  // namespace nkq::cli
