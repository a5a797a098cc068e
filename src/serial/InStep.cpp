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

std::optional<std::string> AskInStep(TCustomComPort& port, std::string_view step,
                                     const AnswerReader& read_answer) {
    if (InputWaiting(port)) return std::nullopt;
    port.Write(step.data(), static_cast<int>(step.size()));
    if (InputArrivedWhileSending(port)) return std::nullopt;
    return read_answer(port);
}

}  // namespace nkq
