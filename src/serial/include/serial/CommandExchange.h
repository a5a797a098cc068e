#pragma once
// One command with a reply collected until the line falls quiet, as the
// windows run it: the caller is blocked for the whole exchange.
#include <string>

namespace nkq {

class Operator;
class TCustomComPort;

// Returns the reply trimmed of codes 0..32 at both ends. When nothing at all
// arrives, tells the operator "Тайм-аут" and aborts silently, leaving the port
// open so that the caller can still send "START".
std::string ExchangeCommand(TCustomComPort& port, Operator& op, const std::string& command);

// Removes every character with a code from 0 to 32 from both ends.
std::string TrimReply(const std::string& text);

}  // namespace nkq
