#include "app/StopAwareWait.h"

#include <algorithm>
#include <thread>

namespace nkq {

bool WaitUnlessStopped(std::chrono::milliseconds duration, const std::function<bool()>& stop_requested) {
    constexpr std::chrono::milliseconds kSlice{50};
    const auto until = std::chrono::steady_clock::now() + duration;
    while (!(stop_requested && stop_requested())) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return false;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kSlice, until - now));
    }
    return true;
}

}  // namespace nkq
