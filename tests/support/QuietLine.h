#pragma once
// Waiting for what was sent to reach the virtual modem.
#include <functional>

#include "VirtualModem.h"

namespace nkq::testing {

// Returns once the modem has received nothing new for one `pause`: it reads
// on its own thread, so what was sent shows there a moment later.
void AwaitQuietLine(const VirtualModem& modem, const std::function<void()>& pause);

}  // namespace nkq::testing
