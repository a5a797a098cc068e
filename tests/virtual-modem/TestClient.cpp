#include "TestClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace nkq::testing {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Left(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? left : std::chrono::milliseconds{0};
}

}  // namespace

TestClient::TestClient(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "open " + path);
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B115200);
    settings.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd_, TCSANOW, &settings);
}

TestClient::~TestClient() {
    if (fd_ >= 0) close(fd_);
}

bool TestClient::Write(std::string_view bytes) {
    std::size_t done = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (done < bytes.size() && Clock::now() < deadline) {
        const auto count = write(fd_, bytes.data() + done, bytes.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
        } else if (count < 0 && errno == EAGAIN) {
            pollfd room{fd_, POLLOUT, 0};
            poll(&room, 1, 20);
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

std::string TestClient::ReadSome(std::chrono::milliseconds timeout) {
    pollfd input{fd_, POLLIN, 0};
    if (poll(&input, 1, static_cast<int>(timeout.count())) <= 0) return {};
    char buffer[4096];
    const auto count = read(fd_, buffer, sizeof buffer);
    if (count > 0) return std::string(buffer, static_cast<std::size_t>(count));
    if (count == 0 || errno == EIO) gone_ = true;
    return {};
}

std::string TestClient::ReadExactly(std::size_t count, std::chrono::milliseconds timeout) {
    std::string text;
    const auto deadline = Clock::now() + timeout;
    while (text.size() < count && !gone_ && Left(deadline).count() > 0) {
        pollfd input{fd_, POLLIN, 0};
        if (poll(&input, 1, static_cast<int>(Left(deadline).count())) <= 0) break;
        char buffer[4096];
        const auto got = read(fd_, buffer, std::min(sizeof buffer, count - text.size()));
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno == EIO) {
            gone_ = true;
        }
    }
    return text;
}

std::string TestClient::ReadUntilQuiet(std::chrono::milliseconds first, std::chrono::milliseconds quiet) {
    std::string text = ReadSome(first);
    if (text.empty()) return text;
    for (std::string more = ReadSome(quiet); !more.empty(); more = ReadSome(quiet)) text += more;
    return text;
}

std::string TestClient::ReadUntil(std::string_view suffix, std::chrono::milliseconds timeout) {
    std::string text;
    const auto deadline = Clock::now() + timeout;
    while (!text.ends_with(suffix) && !gone_ && Left(deadline).count() > 0) {
        text += ReadSome(Left(deadline));
    }
    return text;
}

bool TestClient::WaitForDeviceGone(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!gone_ && Left(deadline).count() > 0) ReadSome(Left(deadline));
    return gone_;
}

}  // namespace nkq::testing
