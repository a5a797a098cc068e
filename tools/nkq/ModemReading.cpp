#include "ModemReading.h"

#include "HeldMessage.h"
#include "StopRequest.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "params/ReadParameters.h"
#include "params/ReplyValues.h"

namespace nkq::cli {

ParameterSession CommandSession(TCustomComPort& port, ParameterSet& set, Operator& op) {
    return ParameterSession{port, set, op, {}, &StopRequest::Requested};
}

std::string ReadModem(TCustomComPort& port, CommandOperator& op, ParameterSet& set) {
    HeldMessage held(op, messages::kReadSucceeded);
    ParameterSession session = CommandSession(port, set, held);
    ReadModemParameters(session);
    if (!ReplySetsParameters(session.FAnswer))
        throw Exception("EEmptyReply", "The modem's reply held no parameters");
    held.Release();
    return session.FAnswer;
}

}  // namespace nkq::cli
