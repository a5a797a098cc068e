#include "StopRequest.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <ctime>

namespace nkq::cli {

namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};

// timeout(1) signals nkq and then its whole process group, so one request
// may arrive twice within microseconds; only a signal after this echo time
// is the technician insisting.
constexpr std::int64_t kEchoNanoseconds = 200'000'000;

// Lock-free, so the handler may set them and every port's thread read them.
std::atomic<int> stop_signal{0};
std::atomic<std::int64_t> stop_time{0};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<std::int64_t>::is_always_lock_free);
std::array<struct sigaction, kStopSignals.size()> previous_actions{};
struct sigaction previous_pipe_action {};

// clock_gettime, unlike the C++ clocks, may be called from a handler.
std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

extern "C" void OnStopSignal(int signal_number) {
    const std::int64_t now = MonotonicNanoseconds();
    if (stop_signal == 0) {
        stop_time = now;
        stop_signal = signal_number;
    } else if (now - stop_time > kEchoNanoseconds) {
        _exit(128 + signal_number);  // asked again: no clean-up
    }
}

}  // namespace

StopRequest::StopRequest() {
    stop_signal = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting on the terminal gives up (as "no")
    // instead of waiting for Enter; the port's own waits retry by themselves.
    action.sa_flags = 0;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &action, &previous_actions[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous_pipe_action);
}

StopRequest::~StopRequest() {
    // After a stop, the handler stays to the end: an echo of the same request
    // arriving while the program exits must not turn the clean stop into an
    // end by the signal.
    if (Requested()) return;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        sigaction(kStopSignals[i], &previous_actions[i], nullptr);
    sigaction(SIGPIPE, &previous_pipe_action, nullptr);
}

bool StopRequest::Requested() { return stop_signal != 0; }

}  // namespace nkq::cli
