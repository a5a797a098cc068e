#pragma once
// A pause that a stop request cuts short: it asks about every 50 ms, so a
// technician's stop is heeded within that, and once more as the pause ends.
#include <chrono>
#include <functional>

namespace nkq {

// Waits up to `duration`; true, at once, when `stop_requested` says so
// before the pause has ended. An empty `stop_requested` never stops.
bool WaitUnlessStopped(std::chrono::milliseconds duration, const std::function<bool()>& stop_requested);

}  // namespace nkq
