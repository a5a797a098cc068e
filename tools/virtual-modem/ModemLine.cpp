#include "ModemLine.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>

namespace nkq {

namespace {

using Clock = std::chrono::steady_clock;

// One byte at 115200 bit/s with start and stop bit: 10 bits.
constexpr std::chrono::nanoseconds kByteTime{10'000'000'000LL / 115200};
constexpr std::size_t kPacedChunk = 8;

}  // namespace

ModemLine::ModemLine(const std::string& link_path, const std::string& trace_path)
    : pty_(link_path), link_path_(pty_.LinkPath()), trace_(trace_path) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    wake_read_fd_ = fds[0];
    wake_write_fd_ = fds[1];
}

ModemLine::~ModemLine() {
    close(wake_read_fd_);
    close(wake_write_fd_);
}

void ModemLine::RequestStop() {
    stopping_ = true;
    const char wake = 1;
    [[maybe_unused]] const auto written = write(wake_write_fd_, &wake, 1);
}

ModemLine::Event ModemLine::Wait(int timeout_ms) {
    pollfd fds[2] = {{pty_.MasterFd(), POLLIN, 0}, {wake_read_fd_, POLLIN, 0}};
    if (poll(fds, 2, timeout_ms) < 0 && errno != EINTR) return Event::Stopped;
    if (fds[1].revents != 0) return Event::Stopped;
    if ((fds[0].revents & POLLIN) != 0) return Event::Input;
    // No client has the slave open; the master reports a hang-up until one
    // opens it again.
    if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) return Event::NoClient;
    return Event::Nothing;
}

bool ModemLine::Read(std::string& bytes) {
    char buffer[4096];
    const auto count = read(pty_.MasterFd(), buffer, sizeof buffer);
    bytes.clear();
    if (count <= 0) return count < 0 && (errno == EAGAIN || errno == EINTR);
    bytes.assign(buffer, static_cast<std::size_t>(count));
    trace_.Record(TraceDirection::ToModem, bytes);
    return true;
}

bool ModemLine::Pause(std::chrono::nanoseconds duration) {
    if (duration <= std::chrono::nanoseconds::zero()) return !stopping_;
    // A signal ends ppoll early; the pause still runs its whole length, or
    // a reply delay or the line's pace would shrink under a signal storm.
    const auto due = Clock::now() + duration;
    for (;;) {
        const auto left = std::max(std::chrono::nanoseconds::zero(), due - Clock::now());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{static_cast<time_t>(seconds.count()),
                            static_cast<long>((left - seconds).count())};
        pollfd wake{wake_read_fd_, POLLIN, 0};
        const int woken = ppoll(&wake, 1, &wait, nullptr);
        if (woken > 0 || stopping_) return !stopping_;
        if (woken == 0 || Clock::now() >= due) return true;
    }
}

void ModemLine::AwaitDelivery(std::size_t count) {
    // The modem can only act on the bytes after the last one is in.
    const auto now = Clock::now();
    input_done_ = std::max(input_done_, now) + kByteTime * static_cast<long>(count);
    Pause(input_done_ - now);
}

void ModemLine::Send(std::string_view bytes, bool real_speed) {
    if (bytes.empty() || !pty_.MasterOpen()) return;
    if (!real_speed) {
        trace_.Record(TraceDirection::FromModem, std::string(bytes.substr(0, WriteAll(bytes))));
        return;
    }
    // A byte is there only once its last bit is: wait first, then hand it over.
    const auto start = Clock::now();
    for (std::size_t offset = 0; offset < bytes.size(); offset += kPacedChunk) {
        const auto chunk = bytes.substr(offset, kPacedChunk);
        const auto due = start + kByteTime * static_cast<long>(offset + chunk.size());
        if (!Pause(due - Clock::now())) return;
        const auto written = WriteAll(chunk);
        trace_.Record(TraceDirection::FromModem, std::string(chunk.substr(0, written)));
        if (written < chunk.size()) return;
    }
}

std::size_t ModemLine::WriteAll(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && !stopping_) {
        const auto count = write(pty_.MasterFd(), bytes.data() + done, bytes.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count == 0 || errno != EAGAIN) break;
        // The client is not reading; wait for room, but give the bytes up
        // when no client has the line open at all.
        pollfd room{pty_.MasterFd(), POLLOUT, 0};
        poll(&room, 1, 50);
        if ((room.revents & POLLHUP) != 0 && (room.revents & POLLOUT) == 0) break;
    }
    return done;
}

}  // namespace nkq
