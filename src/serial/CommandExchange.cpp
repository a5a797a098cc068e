#include "serial/CommandExchange.h"

#include "ReadComThread.h"
#include "app/Failure.h"
#include "app/Operator.h"
#include "app/OperatorMessages.h"
#include "protocol/ModemCommands.h"
#include "serial/ComPort.h"

namespace nkq {

std::string TrimReply(const std::string& text) {
    const auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && is_blank(text[begin])) ++begin;
    while (end > begin && is_blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string ExchangeCommand(TCustomComPort& port, Operator& op, const std::string& command) {
    int result = 0;
    std::string reply;
    {
        TReadComThread worker(port, modem::kReplyFirstWait, modem::kReplyNextWait);
        worker.StartCommand(command);
        result = worker.WaitFor();
        reply = worker.FAnswer();
    }
    if (result != 0) {
        // The port stays open: the caller still owes the modem its "START".
        op.InformOperator(messages::kTimeout);
        AbortOperation();
    }
    return TrimReply(reply);
}

}  // namespace nkq
