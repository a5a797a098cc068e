#pragma once
// Writing one modem command: its text followed by one CR.
#include <string_view>

namespace nkq {

class TCustomComPort;

// Raises the port's failure when the write fails.
void SendCommand(TCustomComPort& port, std::string_view command);

}  // namespace nkq
