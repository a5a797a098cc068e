#pragma once
// How nkq shows a failure that an operation raised: the silent abort has
// been explained already; every other failure is shown once, as the window's
// error display would show it, a port that would not open with advice.
#include <functional>
#include <string>

namespace nkq {
class Operator;
}

namespace nkq::cli {

class CommandOperator;
class CommandOutput;

// Runs `body`; returns what it returns, or false after telling `op` its
// failure. `port` names the device for the advice, which goes to `out`.
bool RunReportingFailures(Operator& op, CommandOutput& out, const std::string& port,
                          const std::function<bool()>& body);
bool RunReportingFailures(CommandOperator& op, const std::string& port, const std::function<bool()>& body);

}  // namespace nkq::cli
