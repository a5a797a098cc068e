#include "serial/HeldTraffic.h"

#include <thread>

#include "protocol/ModemCommands.h"
#include "serial/SendCommand.h"

namespace nkq {

HeldTraffic::~HeldTraffic() {
    if (!owed_) return;
    try {
        Resume();
    } catch (...) {
        // The operation's own failure is what the operator must hear about.
    }
}

void HeldTraffic::Stop() {
    owed_ = true;
    SendCommand(port_, modem::kStop);
    std::this_thread::sleep_for(modem::kStopPause);
}

void HeldTraffic::Resume() {
    owed_ = false;
    SendCommand(port_, modem::kStart);
}

}  // namespace nkq
