// The pause that a stop request cuts short.
#include <gtest/gtest.h>

#include <chrono>

#include "app/StopAwareWait.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(StopAwareWait, AStopAskedForDuringThePauseEndsItLongBeforeItsEnd) {
    int asked = 0;
    const auto begin = Clock::now();
    EXPECT_TRUE(WaitUnlessStopped(30s, [&] { return ++asked == 3; }));
    EXPECT_LT(Clock::now() - begin, 15s) << "the stop must cut the pause short";
    EXPECT_EQ(asked, 3);
}

TEST(StopAwareWait, WithoutAStopThePauseLastsItsWholeDuration) {
    for (const bool empty : {false, true}) {
        const auto begin = Clock::now();
        EXPECT_FALSE(WaitUnlessStopped(
            120ms, empty ? std::function<bool()>{} : [] { return false; }));
        EXPECT_GE(Clock::now() - begin, 120ms);
    }
}

}  // namespace
}  // namespace nkq
