#pragma once
// Ctrl+C asks the running command to stop at its next safe point (between
// firmware packets, between status polls), so the port is closed and the
// modem left in a known state. A second Ctrl+C ends the program at once.
#include <chrono>

namespace nkq::cli {

class InterruptRequest {
public:
    // Catches SIGINT for the lifetime of this object.
    InterruptRequest();
    ~InterruptRequest();
    InterruptRequest(const InterruptRequest&) = delete;
    InterruptRequest& operator=(const InterruptRequest&) = delete;

    static bool Requested();
    // Waits up to `duration`; true when Ctrl+C came first.
    static bool SleepUnlessInterrupted(std::chrono::milliseconds duration);
};

}  // namespace nkq::cli
