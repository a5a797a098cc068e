#include "ComPortOption.h"

#include "TelnetCodec.h"

namespace nkq::rfc2217 {

namespace {

// Values of SET-CONTROL.
constexpr unsigned char kNoFlowControl = 1;
constexpr unsigned char kXonXoffFlowControl = 2;
constexpr unsigned char kHardwareFlowControl = 3;
constexpr unsigned char kDtrOn = 8;
constexpr unsigned char kDtrOff = 9;
constexpr unsigned char kRtsOn = 11;
constexpr unsigned char kRtsOff = 12;

ComCommand Byte(unsigned char code, unsigned char value) {
    return {code, std::string(1, static_cast<char>(value))};
}

std::string BigEndian32(unsigned value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// SET-CONTROL values fall into groups, each answered within itself: flow
// control (0 to 3), DTR (7 to 9), RTS (10 to 12) and the rest.
int ControlGroup(const ComCommand& command) {
    if (command.value.size() != 1) return -1;
    const auto value = static_cast<unsigned char>(command.value[0]);
    if (value <= 3) return 0;
    if (value >= 7 && value <= 9) return 1;
    if (value >= 10 && value <= 12) return 2;
    return 3;
}

unsigned char ParityValue(TParityBits parity) {
    // NONE, ODD, EVEN, MARK, SPACE are 1 to 5, in the order of TParityBits.
    return static_cast<unsigned char>(static_cast<int>(parity) + 1);
}

unsigned char StopSizeValue(TStopBits stop_bits) {
    switch (stop_bits) {
        case TStopBits::sbOneStopBit:
            return 1;
        case TStopBits::sbTwoStopBits:
            return 2;
        case TStopBits::sbOne5StopBits:
            return 3;
    }
    return 1;
}

unsigned char FlowControlValue(const SerialLine& line) {
    if (line.cts_flow || line.rts == TRTSFlowControl::rtsHandshake) return kHardwareFlowControl;
    if (line.xon_xoff_out) return kXonXoffFlowControl;
    return kNoFlowControl;
}

const char* Name(unsigned char code) {
    switch (code) {
        case kSetBaudRate:
            return "SET-BAUDRATE";
        case kSetDataSize:
            return "SET-DATASIZE";
        case kSetParity:
            return "SET-PARITY";
        case kSetStopSize:
            return "SET-STOPSIZE";
        case kSetControl:
            return "SET-CONTROL";
        case kNotifyLineState:
            return "NOTIFY-LINESTATE";
        case kNotifyModemState:
            return "NOTIFY-MODEMSTATE";
        case kPurgeData:
            return "PURGE-DATA";
        default:
            return "COM-PORT-OPTION";
    }
}

}  // namespace

std::string RequestBytes(const ComCommand& command) {
    std::string payload(1, static_cast<char>(command.code));
    payload.append(command.value);
    return telnet::Subnegotiation(telnet::kComPortOption, payload);
}

std::vector<ComCommand> LineRequests(const SerialLine& line) {
    return {
        Byte(kSetControl, line.dtr == TDTRFlowControl::dtrDisable ? kDtrOff : kDtrOn),
        Byte(kSetControl, line.rts == TRTSFlowControl::rtsDisable ? kRtsOff : kRtsOn),
        {kSetBaudRate, BigEndian32(static_cast<unsigned>(line.baud_rate))},
        Byte(kSetDataSize, static_cast<unsigned char>(line.data_bits)),
        Byte(kSetParity, ParityValue(line.parity)),
        Byte(kSetStopSize, StopSizeValue(line.stop_bits)),
        Byte(kSetControl, FlowControlValue(line)),
    };
}

bool AnswerRequired(const ComCommand& request) {
    const int group = request.code == kSetControl ? ControlGroup(request) : 0;
    return group == 0;
}

bool Answers(const ComCommand& answer, const ComCommand& request) {
    if (answer.code != request.code) return false;
    return answer.code != kSetControl || ControlGroup(answer) == ControlGroup(request);
}

ComCommand PurgeRequest(bool input, bool output) {
    return Byte(kPurgeData, static_cast<unsigned char>((input ? 1 : 0) | (output ? 2 : 0)));
}

std::optional<ComCommand> ServerCommand(std::string_view payload) {
    if (payload.empty()) return std::nullopt;
    const auto code = static_cast<unsigned char>(payload[0]);
    if (code <= kServerOffset) return std::nullopt;
    return ComCommand{static_cast<unsigned char>(code - kServerOffset), std::string(payload.substr(1))};
}

std::string Describe(const ComCommand& command) {
    std::string text = Name(command.code);
    const auto append = [&](unsigned number) {
        text += ' ';
        text += std::to_string(number);
    };
    if (command.code == kSetBaudRate && command.value.size() == 4) {
        unsigned rate = 0;
        for (const char c : command.value) rate = rate << 8 | static_cast<unsigned char>(c);
        append(rate);
    } else {
        for (const char c : command.value) append(static_cast<unsigned char>(c));
    }
    return text;
}

}  // namespace nkq::rfc2217
