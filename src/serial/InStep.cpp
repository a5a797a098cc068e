#include "serial/InStep.h"

#include <thread>

#include "serial/ComPort.h"

namespace nkq {

bool InputWaiting(TCustomComPort& port) { return port.BytesWaiting() > 0; }

bool InputArrivedWhileSending(const TCustomComPort& port) { return port.InputDuringLastWrite() > 0; }

bool LineStaysQuiet(TCustomComPort& port) {
    std::this_thread::sleep_for(kSettleTime);
    return !InputWaiting(port);
}

}  // namespace nkq
