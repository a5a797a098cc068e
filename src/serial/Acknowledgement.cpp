#include "serial/Acknowledgement.h"

#include <chrono>

#include "Deadline.h"
#include "protocol/ModemCommands.h"
#include "serial/ComPort.h"

namespace nkq {

namespace {

bool HoldsLineEnd(const std::string& text) {
    return text.find_first_of(std::string{modem::kCR, modem::kLF}) != std::string::npos;
}

// The port's read rule: its total time-out for a read of `count` bytes.
std::chrono::milliseconds ReadTimeout(const TCustomComPort& port, std::size_t count) {
    const auto& timeouts = port.Timeouts();
    const long long total =
        static_cast<long long>(timeouts.ReadTotalMultiplier()) * static_cast<long long>(count) +
        timeouts.ReadTotalConstant();
    return std::chrono::milliseconds(total > 0 ? total : 0);
}

}  // namespace

std::string ReadAcknowledgement(TCustomComPort& port, std::size_t count) {
    const Deadline deadline(ReadTimeout(port, count));
    std::string answer;
    while (answer.size() < count && !HoldsLineEnd(answer)) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline.Remaining());
        if (!port.WaitForInput(left)) break;
        // Bytes are waiting (or the line hung up, which the read reports):
        // the read returns at once with them.
        std::string piece;
        port.ReadText(piece, static_cast<int>(count - answer.size()));
        if (piece.empty()) break;
        answer += piece;
    }
    return answer;
}

}  // namespace nkq
