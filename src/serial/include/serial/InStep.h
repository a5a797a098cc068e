#pragma once
// Once the modem has answered an operation's first acknowledged step, every
// byte it sends should answer the step just sent. A byte already waiting when
// the next step is due, one that arrived while a step was still leaving the
// port, or one after the last answer shows the two sides out of step: taken
// for the next answer it would shift every later one, so that a refusal could
// pass as success. The operations end with a failure instead.
#include <chrono>

namespace nkq {

class TCustomComPort;

// How long the line must stay quiet after an operation's last answer.
inline constexpr std::chrono::milliseconds kSettleTime{50};

// Before a step whose answer is read next.
bool InputWaiting(TCustomComPort& port);
// After writing a step: something arrived before it had left the port.
bool InputArrivedWhileSending(const TCustomComPort& port);
// After the last answer: waits kSettleTime; true when nothing more arrived.
bool LineStaysQuiet(TCustomComPort& port);

}  // namespace nkq
