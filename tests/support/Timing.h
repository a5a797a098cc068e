#pragma once
// Clocks for the tests that measure real waits, and an action run later on
// its own thread.
#include <chrono>
#include <thread>

namespace nkq::testing {

using Clock = std::chrono::steady_clock;

inline long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Runs `operation` and returns how long it took; failures propagate.
template <typename Operation>
std::chrono::milliseconds Timed(Operation&& operation) {
    const auto start = Clock::now();
    operation();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// Runs `action` on its own thread after `delay`; joined on destruction.
class Later {
public:
    template <class Action>
    Later(std::chrono::milliseconds delay, Action action)
        : thread_([delay, action]() mutable {
              std::this_thread::sleep_for(delay);
              action();
          }) {}

private:
    std::jthread thread_;
};

}  // namespace nkq::testing
