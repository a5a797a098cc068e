#include "params/ReadParameters.h"

#include <string>
#include <thread>

#include "app/Failure.h"
#include "app/Operator.h"
#include "app/OperatorMessages.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "serial/ComPort.h"
#include "serial/CommandExchange.h"
#include "protocol/ModemCommands.h"

namespace nkq {

namespace {
std::string CommandLine(std::string_view command) { return std::string(command) + modem::kCR; }
}  // namespace

bool ExecCommand(ParameterSession& session, const std::string& command) {
    session.FAnswer.clear();
    session.FAnswer = ExchangeCommand(session.ComPort, session.Op, command);
    return true;
}

void ReadParameters(ParameterSession& session) {
    session.ComPort.WriteText(CommandLine(modem::kStop));
    std::this_thread::sleep_for(modem::kStopPause);
    try {
        ExecCommand(session, std::string(modem::kGet));
        if (!ParseParameters(session.Parameters, session.FAnswer)) AbortOperation();
        session.Parameters.UpdateModelLabel();
    } catch (...) {
        session.ComPort.WriteText(CommandLine(modem::kStart));
        throw;
    }
    session.ComPort.WriteText(CommandLine(modem::kStart));
}

void ReadModemParameters(ParameterSession& session) {
    session.ComPort.Open();
    session.Op.SetCursorOverride(CursorOverride::Hourglass);
    try {
        ReadParameters(session);
    } catch (...) {
        session.Op.InformOperator(messages::kCheckConnection);
        session.ComPort.Close();
        session.Op.SetCursorOverride(CursorOverride::Arrow);
        AbortOperation();
    }
    session.ComPort.Close();
    session.Op.SetCursorOverride(CursorOverride::Arrow);
    session.Op.InformOperator(messages::kReadSucceeded);
}

}  // namespace nkq
