#pragma once
// Every wait of the serial layer is bounded by one steady-clock deadline, so
// retries after EINTR or a spurious wake-up never stretch the time-out.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>

namespace nkq {

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(std::chrono::milliseconds span) : end_(Clock::now() + std::max(span, {})) {}

    bool Expired() const { return Clock::now() >= end_; }

    Clock::duration Remaining() const { return std::max(end_ - Clock::now(), Clock::duration::zero()); }

    // Milliseconds left for poll(), rounded up: a remainder below 1 ms must
    // not become 0 (busy loop) and never -1 (wait without end).
    int PollMilliseconds() const {
        const auto left = end_ - Clock::now();
        if (left <= Clock::duration::zero()) return 0;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        return static_cast<int>(std::min<std::int64_t>(ms, INT_MAX));
    }

private:
    Clock::time_point end_;
};

}  // namespace nkq
