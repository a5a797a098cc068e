#pragma once
// Reading a modem's parameters for a command: the window's "Считать
// параметры", with the checks a script needs before it trusts the result.
#include <functional>
#include <string>
#include <vector>

#include "operations/ParameterSession.h"
#include "params/ParameterSet.h"

namespace nkq {
class Operator;
}  // namespace nkq

namespace nkq::cli {

struct PortWork;

// A parameter session on the port's work that stops when nkq is asked to
// stop and feeds the operation's record; `op` tells the technician.
ParameterSession CommandSession(PortWork& work, ParameterSet& set, Operator& op);

// What a command asks of the reply before it trusts it; raises to refuse it.
using ReplyCheck = std::function<void(const std::string& reply)>;

// Reads the modem into `set` and returns its reply. A reply that set no
// parameter (only "OK", or lines no key matches) fails after "START" was
// sent: saving or comparing it would take the initial values for the
// modem's settings. `check` then judges the reply. The read's success is
// told only after both.
std::string ReadModem(PortWork& work, ParameterSet& set, const ReplyCheck& check = {});

// Raises, naming the keys, when `missing` is not empty: the modem did not
// report keys the command needs, so it would take the initial values for
// them. `what_follows` ends the message (": nothing saved").
void RequireReported(const std::vector<std::string>& missing, Mode mode, const std::string& what_follows);

}  // namespace nkq::cli
