#pragma once
// One operation on several modems at once: a thread per port, each with its
// own port object and operator, so the operations themselves need no locks.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nkq {
class PortTrace;
class TComPort;
}  // namespace nkq

namespace nkq::cli {

class PortConsole;
class PortOperator;

struct PortOutcome {
    std::string port;
    bool ok = false;
    std::vector<std::string> messages;  // what the operator was told, in order
    std::chrono::milliseconds duration{0};
};

// Runs on the port's own thread with its port (named, traced, closed) and
// operator; returns whether the operation succeeded or raises its failure.
using PortBody = std::function<bool(TComPort& port, PortOperator& op)>;

// Runs `body` for every port at the same time and waits for all of them.
// Failures that the operations do not show themselves are shown on the
// port's lines as the single-port nkq shows them, with the same advice.
// `answer` is what each port's yes/no question gets.
std::vector<PortOutcome> RunOnPorts(const std::vector<std::string>& ports, PortConsole& console,
                                    const std::shared_ptr<PortTrace>& trace, bool answer,
                                    const PortBody& body);

// Port, result ("ok" or the port's messages) and duration, columns aligned.
std::string ResultTable(const std::vector<PortOutcome>& outcomes);

// The settings file of a port in an output folder: the device path without
// "/dev/" (or "\\.\" on Windows) and with "/" and "\" made "-", so
// "ttyUSB0.txt", "pts-3.txt" or "COM12.txt". A name Windows keeps for a
// device (COM1..COM9 among them) gets "_": "COM7_.txt".
std::string PortFileName(const std::string& port);

}  // namespace nkq::cli
