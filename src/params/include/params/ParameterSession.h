#pragma once
// What the parameter operations work on: the window's port, its parameter
// set, the operator and the last reply of a command exchange.
#include <string>

namespace nkq {

class Operator;
class ParameterSet;
class TCustomComPort;

struct ParameterSession {
    TCustomComPort& ComPort;
    ParameterSet& Parameters;
    Operator& Op;
    std::string FAnswer;
};

// Runs one command exchange and keeps its trimmed reply in FAnswer; on
// silence it tells the operator, closes the port and aborts silently.
bool ExecCommand(ParameterSession& session, const std::string& command);

}  // namespace nkq
