#include "ModemReading.h"

#include "HeldMessage.h"
#include "ManyPorts.h"
#include "StopRequest.h"
#include "VisibleText.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/ReadParameters.h"
#include "operations/RecordedRun.h"
#include "params/ParameterKeyRules.h"
#include "params/ReplyValues.h"
#include "serial/ComPort.h"

namespace nkq::cli {

ParameterSession CommandSession(PortWork& work, ParameterSet& set, Operator& op) {
    return ParameterSession{work.port, set, op, {}, &StopRequest::Requested, &work.record};
}

std::string ReadModem(PortWork& work, ParameterSet& set, const ReplyCheck& check) {
    HeldMessage held(work.op, messages::kReadSucceeded);
    ParameterSession session = CommandSession(work, set, held);
    ReadModemParameters(session);
    if (!ReplySetsParameters(session.FAnswer))
        throw Exception("EEmptyReply", "The modem's reply held no parameters");
    if (check) check(session.FAnswer);
    held.Release();
    return session.FAnswer;
}

void RequireReported(const std::vector<std::string>& missing, Mode mode, const std::string& what_follows) {
    if (missing.empty()) return;
    std::string keys;
    for (const auto& key : missing) keys += (keys.empty() ? "" : ", ") + Visible(key);
    throw Exception("EIncompleteReply", "The modem did not report " + keys + ", which a " + ModeName(mode) +
                                            "-mode write sends" + what_follows);
}

}  // namespace nkq::cli
