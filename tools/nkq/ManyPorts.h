#pragma once
// One operation on one or several modems. One port runs on the calling thread
// and speaks plainly on the terminal; several run at once, a thread per port,
// each with its own port object and operator, so the operations themselves
// need no locks.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/OperationRecorder.h"

namespace nkq {
class Operator;
class PortTrace;
class RunRecord;
class TComPort;
}  // namespace nkq

namespace nkq::cli {

class CommandOperator;
class CommandOutput;

struct PortOutcome {
    std::string port;
    bool ok = false;
    std::vector<std::string> messages;  // what the operator was told, in order
    std::chrono::milliseconds duration{0};
};

// How every port of a run is set up before its body runs.
struct PortSetup {
    std::shared_ptr<PortTrace> trace;               // records every port's exchange when set
    bool quick = false;                             // replies end at their "OK" line (--quick)
    OperationKind operation = OperationKind::Read;  // what each port's record names the operation
};

// What the operation on one port works with.
struct PortWork {
    TComPort& port;      // named and set up; closed after the body
    Operator& op;        // what the technician is told and asked, all of it on the record
    CommandOutput& out;  // the command's output and summary, kept off the record
    RunRecord& record;   // the operation's record
};

// The operation on one port: returns how it ended, or raises its failure.
using PortBody = std::function<Outcome(PortWork& work)>;

// Runs `body` for every port and returns the exit status: 0 when it
// succeeded on every port, else 1. Failures that the operations do not show
// themselves are shown with the same advice on one port or many. With
// several ports every line carries its port and a table of the outcomes
// ends the run on standard output. `answer`: with one port, whether its
// questions are answered yes without asking; with several, what every
// port's question gets (the batch was asked once, before).
int RunOnPorts(const std::vector<std::string>& ports, const PortSetup& setup, bool answer,
               const PortBody& body);

// Port, result ("ok" or the port's messages) and duration, columns aligned.
std::string ResultTable(const std::vector<PortOutcome>& outcomes);

// What follows a port's file name (serial/PortNames.h) in an output folder.
inline constexpr std::string_view kPortFileExtension = ".txt";

}  // namespace nkq::cli
