#include "PtyPair.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace nkq::testing {

using Clock = std::chrono::steady_clock;

PtyPair::PtyPair() {
    int master = -1;
    char name[256] = {};
    if (openpty(&master, &slave_, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    master_ = master;
    slave_path_ = name;
    // Raw from the start so that bytes queued before the port opens are
    // neither echoed nor translated.
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
}

PtyPair::~PtyPair() {
    CloseMaster();
    ReleaseSlave();
}

void PtyPair::ReleaseSlave() {
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
}

void PtyPair::WriteMaster(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::system_error(errno, std::generic_category(), "write to pty master");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string PtyPair::ReadMaster(std::size_t max, std::chrono::milliseconds wait) {
    std::string received;
    const auto end = Clock::now() + wait;
    while (received.size() < max && Clock::now() < end) {
        pollfd entry{master_, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
        if (::poll(&entry, 1, static_cast<int>(left)) <= 0 || !(entry.revents & POLLIN)) continue;
        char buffer[4096];
        const std::size_t want = std::min(sizeof buffer, max - received.size());
        const ssize_t n = ::read(master_, buffer, want);
        if (n <= 0) break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

void PtyPair::CloseMaster() {
    const int master = master_.exchange(-1);
    if (master >= 0) ::close(master);
}

}  // namespace nkq::testing
