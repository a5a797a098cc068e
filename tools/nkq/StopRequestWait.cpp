// Waiting that a stop request cuts short: the same on every platform, as it
// only asks whether a stop came.
#include <algorithm>
#include <thread>

#include "StopRequest.h"

namespace nkq::cli {

bool StopRequest::SleepUnlessStopped(std::chrono::milliseconds duration) {
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
