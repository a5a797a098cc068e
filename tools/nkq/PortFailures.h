#pragma once
// How nkq shows a failure that an operation raised: the silent abort has
// been explained already; every other failure is shown once, as the window's
// error display would show it, a port that would not open with advice.
#include <functional>
#include <string>

namespace nkq::cli {

class CommandOperator;

// Runs `body`; returns what it returns, or false after showing its failure
// to `op`. `port` names the device for the advice.
bool RunReportingFailures(CommandOperator& op, const std::string& port, const std::function<bool()>& body);

}  // namespace nkq::cli
