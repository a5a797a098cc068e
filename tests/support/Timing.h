#pragma once
// Clocks for the tests that measure real waits, the bounds such a
// measurement may be held to on a busy machine, and an action run later on
// its own thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace nkq::testing {

using Clock = std::chrono::steady_clock;

// The protocol's longest single wait: the port's read time-out and the
// exchange's first look at a reply.
inline constexpr std::chrono::milliseconds kTimeout{3000};

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

// A measured time held to its rule: at least `at_least` (what the rule
// guarantees), and short of one more `wait` on top: a wait taken twice or
// restarted shows, while the delays of a busy machine, which only ever add
// to a time, stay well inside.
inline ::testing::AssertionResult TookOneWait(Clock::duration took, std::chrono::milliseconds at_least,
                                              std::chrono::milliseconds wait = kTimeout) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(took);
    if (ms >= at_least && ms < at_least + wait) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "took " << ms.count() << " ms, expected at least " << at_least.count() << " ms and less than "
           << (at_least + wait).count() << " ms";
}

// Looks every 10 ms until `condition` holds; false when `limit` passed first.
template <typename Condition>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto until = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
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
