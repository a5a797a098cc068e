#pragma once
// What the parameter operations work on: the window's port, its parameter
// set, the operator and the last reply of a command exchange.
#include <functional>
#include <string>

namespace nkq {

class OperationRecorder;
class Operator;
class ParameterSet;
class TCustomComPort;

struct ParameterSession {
    TCustomComPort& ComPort;
    ParameterSet& Parameters;
    Operator& Op;
    std::string FAnswer;
    // Asked between the steps of an exchange; true ends the operation with
    // EOperationStopped once the step in flight is over ("START" still sent).
    // The window leaves it empty.
    std::function<bool()> StopRequested = {};
    // The record of the operation, fed what only the operation sees (the
    // modem read, each line sent and its answer); null records nothing.
    OperationRecorder* Record = nullptr;
};

// Runs one command exchange and keeps its trimmed reply in FAnswer; on
// silence it tells the operator "Тайм-аут" and aborts silently.
bool ExecCommand(ParameterSession& session, const std::string& command);

}  // namespace nkq
