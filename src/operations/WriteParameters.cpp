#include "operations/WriteParameters.h"

#include "app/Failure.h"
#include "app/LibraryText.h"
#include "app/MessageText.h"
#include "app/OperationRecorder.h"
#include "app/Operator.h"
#include "app/OperatorMessages.h"
#include "app/ScopeExit.h"
#include "params/ParameterKeyRules.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/PasswordMask.h"
#include "protocol/ModemCommands.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"
#include "serial/Acknowledgement.h"
#include "serial/ComPort.h"
#include "serial/HeldTraffic.h"
#include "serial/InStep.h"
#include "serial/SendCommand.h"

namespace nkq {

namespace {

std::string ReadReply(TCustomComPort& port, std::size_t count) { return ReadAcknowledgement(port, count); }

[[noreturn]] void Refuse(ParameterSession& session, const char* message) {
    session.Op.InformOperator(message);
    AbortOperation();
}

// An answer other than the one expected is a refusal when it comes alone;
// followed by more input it is a sign that the answers are out of step.
[[noreturn]] void RefuseAnswer(ParameterSession& session, const char* refusal) {
    Refuse(session, LineStaysQuiet(session.ComPort) ? refusal : messages::kExtraAnswer);
}

// "CMD" opens the exchange: input waiting before it may still be the modem's
// own traffic from before "STOP", so it is dropped.
std::string AskFirst(TCustomComPort& port, std::string_view command, std::size_t count) {
    port.Purge(true, false);
    SendCommand(port, command);
    return ReadReply(port, count);
}

// Each step and its answer go on the record. The write knows which line
// carries the password: the record gets the value apart, and the line
// without it.
void RecordExchange(ParameterSession& session, std::string_view sent, const std::string& reply) {
    if (!session.Record) return;
    const auto key = KeyOfLine(sent);
    if (!key || !IsHiddenKey(*key)) {
        session.Record->AddExchange(std::string(sent), reply);
        return;
    }
    const std::string value = ExtractValue(std::string(sent));
    session.Record->PasswordSent(value);
    const std::string masked = std::string(*key) + modem::kFieldSeparator + std::string(kPasswordMask);
    session.Record->AddExchange(value.empty() ? std::string(sent) : masked, reply);
}

// Every later step: its answer is the only thing the modem may send now.
std::string AskNext(ParameterSession& session, std::string_view text, std::size_t count) {
    const auto reply = AskInStep(session.ComPort, modem::CommandText(text),
                                 [count](TCustomComPort& port) { return ReadReply(port, count); });
    if (!reply) Refuse(session, messages::kExtraAnswer);
    RecordExchange(session, text, *reply);
    return *reply;
}

void StopIfRequested(const ParameterSession& session, std::size_t sent, std::size_t total) {
    if (!session.StopRequested || !session.StopRequested()) return;
    throw EOperationStopped(FillIn(LibraryText("Write stopped after %s of %s lines, before \"SAVE\""),
                                   {std::to_string(sent), std::to_string(total)}));
}

void RefuseMultiLineValues(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        if (line.find_first_of("\r\n") == std::string::npos) continue;
        throw EConvertError(FillIn(LibraryText("'%s' is not a valid parameter value"), {ExtractValue(line)}));
    }
}

// Sends one parameter line; true when the modem answered the RS485 notice.
bool SendParameterLine(ParameterSession& session, const std::string& line) {
    std::string reply = AskNext(session, line, modem::kOkReplySize);
    bool rs485 = false;
    if (reply == modem::kRs485ReplyStart) {
        ReadReply(session.ComPort, modem::kRs485TailSize);
        reply = modem::kOkReply;
        rs485 = true;
    }
    if (reply != modem::kOkReply) RefuseAnswer(session, messages::kLineWriteFailed);
    return rs485;
}

// CMD, every line and SAVE; returns whether any line was answered with the
// RS485 notice.
bool RunWriteExchange(ParameterSession& session, const std::vector<std::string>& lines) {
    StopIfRequested(session, 0, lines.size());
    if (AskFirst(session.ComPort, modem::kCmd, modem::kReadyReplySize) != modem::kReadyReply)
        Refuse(session, messages::kCmdWriteFailed);
    bool rs485 = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) StopIfRequested(session, i, lines.size());
        rs485 = SendParameterLine(session, lines[i]) || rs485;
    }
    StopIfRequested(session, lines.size(), lines.size());
    if (AskNext(session, modem::kSave, modem::kOkReplySize) != modem::kOkReply)
        RefuseAnswer(session, messages::kSaveWriteFailed);
    // A late answer after "SAVE" would mean one of the answers above was not
    // the one it was taken for.
    if (!LineStaysQuiet(session.ComPort)) Refuse(session, messages::kExtraAnswer);
    return rs485;
}

}  // namespace

void WriteParameters(ParameterSession& session, const std::vector<std::string>& lines) {
    RefuseMultiLineValues(lines);
    session.ComPort.Open();
    const ScopeExit close([&] { CloseQuietly(session.ComPort); });
    HeldTraffic traffic(session.ComPort);

    bool rs485_notice = false;
    bool failed = false;
    try {
        traffic.Stop();
        rs485_notice = RunWriteExchange(session, lines);
    } catch (const EOperationStopped&) {
        throw;  // the connection is fine: no general message; START follows on the way out
    } catch (...) {
        session.Op.InformOperator(messages::kCheckConnection);
        failed = true;
    }
    traffic.Resume();
    session.ComPort.Close();
    if (failed) AbortOperation();

    if (rs485_notice) {
        session.Op.InformOperator(messages::kRs485Notice);
        ApplyInterface(session.Parameters, std::string(modem::kRs485Interface));
    }
}

void WriteModemParameters(ParameterSession& session) {
    {
        session.Op.SetCursorOverride(CursorOverride::Hourglass);
        const ScopeExit restore([&] { session.Op.SetCursorOverride(CursorOverride::Arrow); });
        WriteParameters(session, BuildParameterLines(session.Parameters));
    }
    session.Op.InformOperator(messages::kWriteSucceeded);
}

}  // namespace nkq
