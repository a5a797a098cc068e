#pragma once
// Writing the parameter set into the modem, one acknowledged line at a time.
#include <string>
#include <vector>

#include "operations/ParameterSession.h"

namespace nkq {

// The whole operation behind "Записать параметры": ends with the success
// message, or after the messages of WriteParameters.
void WriteModemParameters(ParameterSession& session);

// Opens the port, sends STOP, CMD, every line and SAVE, and always START and
// close. A line whose value holds CR or LF is refused before the port opens,
// since it would reach the modem as more than one command. An answer out of
// step with what was sent (a doubled or late acknowledgement) fails the write
// rather than being taken for the next one. A stop request ends it before the
// next line or "SAVE" with EOperationStopped.
void WriteParameters(ParameterSession& session, const std::vector<std::string>& lines);

}  // namespace nkq
