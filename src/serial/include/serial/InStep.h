#pragma once
// Once the modem has answered an operation's first acknowledged step, every
// byte it sends should answer the step just sent. A byte already waiting when
// the next step is due, one that arrived while a step was still leaving the
// port, or one after the last answer shows the two sides out of step: taken
// for the next answer it would shift every later one, so that a refusal could
// pass as success. The operations end with a failure instead.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

// Reads a step's answer as the operation expects it (an acknowledgement
// line, a loader's byte).
using AnswerReader = std::function<std::string(TCustomComPort& port)>;

// One step after the first answer: sends `step` as it is and returns its
// answer. Nothing when the line is out of step: input was already waiting
// (the step is not sent) or arrived while the step was leaving the port (no
// answer is read). Raises the port's failures.
std::optional<std::string> AskInStep(TCustomComPort& port, std::string_view step,
                                     const AnswerReader& read_answer);

}  // namespace nkq
