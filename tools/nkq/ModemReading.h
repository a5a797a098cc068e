#pragma once
// Reading a modem's parameters for a command: the window's "Считать
// параметры", with the checks a script needs before it trusts the result.
#include <string>

#include "params/ParameterSession.h"

namespace nkq {
class ParameterSet;
class TCustomComPort;
}  // namespace nkq

namespace nkq::cli {

class CommandOperator;

// A parameter session that stops when nkq is asked to stop.
ParameterSession CommandSession(TCustomComPort& port, ParameterSet& set, Operator& op);

// Reads the modem into `set` and returns its reply. A reply that set no
// parameter (only "OK", or lines no key matches) fails after "START" was
// sent: saving or comparing it would take the initial values for the
// modem's settings. The read's success is told only after that check.
std::string ReadModem(TCustomComPort& port, CommandOperator& op, ParameterSet& set);

}  // namespace nkq::cli
