#include "InterruptRequest.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

namespace nkq::cli {

namespace {

// Lock-free, so the handler may set it and every port's thread may read it.
std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction previous_action {};

extern "C" void OnInterrupt(int) {
    if (interrupts > 0) _exit(130);  // the operator insists: no clean-up
    interrupts = 1;
}

}  // namespace

InterruptRequest::InterruptRequest() {
    interrupts = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting on the terminal gives up (as "no")
    // instead of waiting for Enter; the port's own waits retry by themselves.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &previous_action);
}

InterruptRequest::~InterruptRequest() { sigaction(SIGINT, &previous_action, nullptr); }

bool InterruptRequest::Requested() { return interrupts != 0; }

bool InterruptRequest::SleepUnlessInterrupted(std::chrono::milliseconds duration) {
    constexpr std::chrono::milliseconds kSlice{50};
    const auto until = std::chrono::steady_clock::now() + duration;
    while (!Requested()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return false;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kSlice, until - now));
    }
    return true;
}

}  // namespace nkq::cli
