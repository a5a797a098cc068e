#include "operations/ReadParameters.h"

#include <string>

#include "app/Failure.h"
#include "app/LibraryText.h"
#include "app/OperationRecorder.h"
#include "app/Operator.h"
#include "app/OperatorMessages.h"
#include "app/ScopeExit.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "protocol/ModemCommands.h"
#include "serial/ComPort.h"
#include "serial/CommandExchange.h"
#include "serial/HeldTraffic.h"

namespace nkq {

namespace {

void StopIfRequested(const ParameterSession& session, const char* where) {
    if (session.StopRequested && session.StopRequested()) throw EOperationStopped(LibraryText(where));
}

}  // namespace

bool ExecCommand(ParameterSession& session, const std::string& command) {
    session.FAnswer.clear();
    session.FAnswer = ExchangeCommand(session.ComPort, session.Op, command);
    return true;
}

void ReadParameters(ParameterSession& session) {
    HeldTraffic traffic(session.ComPort);
    traffic.Stop();
    StopIfRequested(session, "Read stopped before \"GET\" was sent");
    ExecCommand(session, std::string(modem::kGet));
    StopIfRequested(session, "Read stopped after the modem's reply, before it was applied");
    if (!ParseParameters(session.Parameters, session.FAnswer)) AbortOperation();
    session.Parameters.UpdateModelLabel();
    traffic.Resume();
    if (session.Record) {
        const ParameterSet& set = session.Parameters;
        session.Record->ModemRead(set.NameText(), set.DeviceText(), set.Fields().VersionEdit.Text(),
                                  set.Fields().PasswordEdit.Text());
    }
}

void ReadModemParameters(ParameterSession& session) {
    {
        session.ComPort.Open();
        const ScopeExit restore([&] {
            CloseQuietly(session.ComPort);
            session.Op.SetCursorOverride(CursorOverride::Arrow);
        });
        session.Op.SetCursorOverride(CursorOverride::Hourglass);
        try {
            ReadParameters(session);
        } catch (const EOperationStopped&) {
            throw;  // the connection is fine: no general message
        } catch (...) {
            session.Op.InformOperator(messages::kCheckConnection);
            AbortOperation();
        }
        session.ComPort.Close();
    }
    session.Op.InformOperator(messages::kReadSucceeded);
}

}  // namespace nkq
