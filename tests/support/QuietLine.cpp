#include "QuietLine.h"

namespace nkq::testing {

void AwaitQuietLine(const VirtualModem& modem, const std::function<void()>& pause) {
    std::size_t seen = modem.ReceivedBytes().size();
    for (;;) {
        pause();
        const std::size_t now = modem.ReceivedBytes().size();
        if (now == seen) return;
        seen = now;
    }
}

}  // namespace nkq::testing
