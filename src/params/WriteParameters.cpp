#include "params/WriteParameters.h"

#include <thread>

#include "app/Failure.h"
#include "app/LibraryText.h"
#include "app/Operator.h"
#include "app/OperatorMessages.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "serial/ComPort.h"
#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

void SendCommand(TCustomComPort& port, std::string_view text) {
    port.WriteText(std::string(text) + modem::kCR);
}

std::string ReadReply(TCustomComPort& port, std::size_t count) {
    std::string reply;
    port.ReadText(reply, static_cast<int>(count));
    return reply;
}

// Sends a command or line whose reply is read next. Bytes already waiting
// cannot be that reply (a late reply to an earlier attempt, say); taken for
// it they would shift every later reply and fail a write that went well.
std::string Ask(TCustomComPort& port, std::string_view text, std::size_t count) {
    port.Purge(true, false);
    SendCommand(port, text);
    return ReadReply(port, count);
}

void RefuseMultiLineValues(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        if (line.find_first_of("\r\n") == std::string::npos) continue;
        std::string text = LibraryText("'%s' is not a valid parameter value");
        text.replace(text.find("%s"), 2, ExtractValue(line));
        throw EConvertError(text);
    }
}

// Sends one parameter line; true when the modem answered the RS485 notice.
bool SendParameterLine(ParameterSession& session, const std::string& line) {
    std::string reply = Ask(session.ComPort, line, modem::kOkReplySize);
    bool rs485 = false;
    if (reply == modem::kRs485ReplyStart) {
        ReadReply(session.ComPort, modem::kRs485TailSize);
        reply = modem::kOkReply;
        rs485 = true;
    }
    if (reply != modem::kOkReply) {
        session.Op.InformOperator(messages::kLineWriteFailed);
        AbortOperation();
    }
    return rs485;
}

// Returns whether any line was answered with the RS485 notice.
bool RunWriteExchange(ParameterSession& session, const std::vector<std::string>& lines) {
    SendCommand(session.ComPort, modem::kStop);
    std::this_thread::sleep_for(modem::kStopPause);

    if (Ask(session.ComPort, modem::kCmd, modem::kReadyReplySize) != modem::kReadyReply) {
        session.Op.InformOperator(messages::kCmdWriteFailed);
        AbortOperation();
    }
    bool rs485 = false;
    for (const auto& line : lines) rs485 = SendParameterLine(session, line) || rs485;

    if (Ask(session.ComPort, modem::kSave, modem::kOkReplySize) != modem::kOkReply) {
        session.Op.InformOperator(messages::kSaveWriteFailed);
        AbortOperation();
    }
    return rs485;
}

}  // namespace

void WriteParameters(ParameterSession& session, const std::vector<std::string>& lines) {
    RefuseMultiLineValues(lines);
    bool rs485_notice = false;
    session.ComPort.Open();

    bool failed = false;
    try {
        rs485_notice = RunWriteExchange(session, lines);
    } catch (...) {
        session.Op.InformOperator(messages::kCheckConnection);
        failed = true;
    }
    try {
        SendCommand(session.ComPort, modem::kStart);
    } catch (...) {
        session.ComPort.Close();  // a port that failed must not stay held
        throw;
    }
    session.ComPort.Close();
    if (failed) AbortOperation();

    if (rs485_notice) {
        session.Op.InformOperator(messages::kRs485Notice);
        ApplyInterface(session.Parameters, "RS485");
    }
}

void WriteModemParameters(ParameterSession& session) {
    session.Op.SetCursorOverride(CursorOverride::Hourglass);
    const std::vector<std::string> lines = BuildParameterLines(session.Parameters);
    try {
        WriteParameters(session, lines);
    } catch (...) {
        session.Op.SetCursorOverride(CursorOverride::Arrow);
        throw;
    }
    session.Op.SetCursorOverride(CursorOverride::Arrow);
    session.Op.InformOperator(messages::kWriteSucceeded);
}

}  // namespace nkq
