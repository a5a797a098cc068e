#pragma once
// RFC 2217's COM-PORT-OPTION as pure functions: the requests that set a
// server's serial line and purge its buffers, and the reading of its
// answers. A request travels as a telnet subnegotiation; the server answers
// each setting with the same command (its code plus 100) and the value it
// has actually set.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SerialDevice.h"

namespace nkq::rfc2217 {

inline constexpr unsigned char kSetBaudRate = 1;
inline constexpr unsigned char kSetDataSize = 2;
inline constexpr unsigned char kSetParity = 3;
inline constexpr unsigned char kSetStopSize = 4;
inline constexpr unsigned char kSetControl = 5;
inline constexpr unsigned char kNotifyLineState = 6;
inline constexpr unsigned char kNotifyModemState = 7;
inline constexpr unsigned char kPurgeData = 12;
inline constexpr unsigned char kServerOffset = 100;

struct ComCommand {
    unsigned char code;  // the client's code, also for an answer
    std::string value;   // unescaped
    bool operator==(const ComCommand&) const = default;
};

// The whole subnegotiation of a request.
std::string RequestBytes(const ComCommand& command);

// What sets `line` on the server, in the order it goes out: DTR and RTS
// first (a server may leave them unanswered where the device has no such
// lines), then the rate, data size, parity, stop size and flow control.
std::vector<ComCommand> LineRequests(const SerialLine& line);
// Whether the server must answer `request` (all but DTR and RTS).
bool AnswerRequired(const ComCommand& request);
// Whether `answer` is the server's answer to `request`: the same setting,
// whatever the value.
bool Answers(const ComCommand& answer, const ComCommand& request);

// PURGE-DATA for the server's receive buffer (input), its transmit buffer
// (output) or both.
ComCommand PurgeRequest(bool input, bool output);

// A COM-PORT-OPTION subnegotiation from the server as the command it
// answers or notifies; none for a payload that is no server command.
std::optional<ComCommand> ServerCommand(std::string_view payload);

// "SET-BAUDRATE 115200", "SET-CONTROL 9": the command's name and value.
std::string Describe(const ComCommand& command);

}  // namespace nkq::rfc2217
