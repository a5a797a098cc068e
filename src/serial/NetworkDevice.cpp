#include "NetworkDevice.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <variant>

#include "app/LibraryText.h"
#include "app/MessageText.h"

namespace nkq {

namespace {

constexpr std::size_t kMaxAnswers = 64;

std::string NoAnswerText(const std::string& what) {
    return FillIn(LibraryText("no answer to %s within %d ms"),
                  {what, std::to_string(NetworkDevice::kAnswerTime.count())});
}

// How many of the data bytes whose escaped form begins `wire` went out whole.
std::size_t DataBytesSent(std::string_view data, std::size_t wire_sent) {
    std::size_t wire = 0, bytes = 0;
    for (const char c : data) {
        wire += static_cast<unsigned char>(c) == telnet::kIac ? 2 : 1;
        if (wire > wire_sent) break;
        ++bytes;
    }
    return bytes;
}

// The printable words of what a server sent, on one line, at most 80 bytes.
std::string PlainWords(const std::string& text) {
    std::string words;
    for (const char c : text) {
        const bool printable = c >= 0x20 && c < 0x7F;
        if (!printable && (words.empty() || words.back() == ' ')) continue;
        words += printable ? c : ' ';
        if (words.size() >= 80) break;
    }
    while (!words.empty() && words.back() == ' ') words.pop_back();
    return words;
}

}  // namespace

NetworkDevice::NetworkDevice(const NetworkPortName& name)
    : name_(name), socket_(name.host, name.port, kAnswerTime) {
    if (!Telnet()) return;
    SendControl(telnet::RequestOurs(options_, telnet::kComPortOption) +
                telnet::RequestOurs(options_, telnet::kBinary) +
                telnet::RequestTheirs(options_, telnet::kBinary));
    const auto& com_port = options_.ours[telnet::kComPortOption];
    AwaitServer([&] { return com_port != telnet::OptionState::WantYes; }, "COM-PORT-OPTION");
    if (com_port != telnet::OptionState::Yes)
        throw SerialDeviceError(
            net::kNoProtocol,
            LibraryText("the server does not control serial ports (it refused COM-PORT-OPTION)"));
}

NetworkDevice::~NetworkDevice() { std::this_thread::sleep_until(delivered_by_); }

void NetworkDevice::ApplyLine(const SerialLine& line) {
    char_time_ = line.CharacterTime();
    if (!Telnet()) return;
    const std::vector<rfc2217::ComCommand> requests = rfc2217::LineRequests(line);
    answers_.clear();
    std::string bytes;
    for (const auto& request : requests) bytes += rfc2217::RequestBytes(request);
    SendControl(bytes);
    const auto answer_to = [&](const rfc2217::ComCommand& request) {
        return std::find_if(answers_.begin(), answers_.end(),
                            [&](const auto& answer) { return rfc2217::Answers(answer, request); });
    };
    for (const auto& request : requests) {
        if (rfc2217::AnswerRequired(request))
            AwaitServer([&] { return answer_to(request) != answers_.end(); }, rfc2217::Describe(request));
    }
    for (const auto& request : requests) {
        const auto answer = answer_to(request);
        if (answer != answers_.end() && answer->value != request.value)
            throw SerialDeviceError(net::kInvalid,
                                    FillIn(LibraryText("the server answered %s to %s"),
                                           {rfc2217::Describe(*answer), rfc2217::Describe(request)}));
    }
}

int NetworkDevice::BytesWaiting() {
    Pull();
    if (input_.empty() && socket_.Ended()) FailEnded();
    return static_cast<int>(input_.size());
}

bool NetworkDevice::WaitForInput(std::chrono::milliseconds timeout) {
    const Deadline deadline(timeout);
    for (;;) {
        Pull();
        if (!input_.empty() || socket_.Ended()) return true;
        if (!socket_.WaitReadable(deadline)) return false;
    }
}

// What has arrived is dropped here; what the server still holds, and what
// is on its way from it, goes with the server's purge: everything up to its
// answer was read from the device before the purge.
void NetworkDevice::Flush(bool input, bool output) {
    if (!input && !output) return;
    Pull();
    if (socket_.Ended()) FailEnded();
    if (input) input_.clear();
    if (!Telnet()) return;
    SendControl(rfc2217::RequestBytes(rfc2217::PurgeRequest(input, output)));
    if (input) purging_ = true;
}

std::size_t NetworkDevice::Read(unsigned char* buffer, std::size_t count) {
    const Deadline deadline(timeouts_.ReadTotal(count));
    Pull();
    if (input_.empty()) {
        while (input_.size() < count && !socket_.Ended() && socket_.WaitReadable(deadline)) Pull();
    }
    if (input_.empty() && socket_.Ended()) FailEnded();
    const std::size_t got = std::min(count, input_.size());
    std::memcpy(buffer, input_.data(), got);
    input_.erase(0, got);
    return got;
}

SerialWrite NetworkDevice::Write(const unsigned char* buffer, std::size_t count) {
    if (socket_.Ended()) FailEnded();
    const Deadline deadline(timeouts_.WriteTotal(count));
    const std::string_view data(reinterpret_cast<const char*>(buffer), count);
    std::size_t written = 0;
    if (!Telnet()) {
        written = socket_.Send(data, deadline);
    } else {
        const std::string wire = telnet::Escape(data);
        const std::size_t sent = socket_.Send(wire, deadline);
        written = sent == wire.size() ? count : DataBytesSent(data, sent);
    }
    const auto line_time = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        char_time_ * static_cast<std::int64_t>(written));
    delivered_by_ = std::chrono::steady_clock::now() + line_time + kServerAllowance;
    return {written, 0};
}

void NetworkDevice::Pull() {
    const std::string bytes = socket_.Receive();
    if (bytes.empty()) return;
    if (!Telnet()) {
        input_ += bytes;
        return;
    }
    for (const telnet::Piece& piece : decoder_.Feed(bytes)) Take(piece);
}

void NetworkDevice::Take(const telnet::Piece& piece) {
    if (const auto* data = std::get_if<std::string>(&piece)) {
        if (!purging_) input_ += *data;
    } else if (const auto* negotiation = std::get_if<telnet::Negotiation>(&piece)) {
        const std::string answer = telnet::Answer(options_, *negotiation);
        if (!answer.empty()) SendControl(answer);
    } else if (const auto* suboption = std::get_if<telnet::Suboption>(&piece)) {
        if (suboption->option != telnet::kComPortOption) return;
        if (const auto command = rfc2217::ServerCommand(suboption->payload)) TakeServerCommand(*command);
    }
}

// Notifications only keep the line state; nothing else depends on them.
void NetworkDevice::TakeServerCommand(const rfc2217::ComCommand& command) {
    const int value = command.value.size() == 1 ? static_cast<unsigned char>(command.value[0]) : -1;
    switch (command.code) {
        case rfc2217::kNotifyLineState:
            notified_.line = value;
            return;
        case rfc2217::kNotifyModemState:
            notified_.modem = value;
            return;
        case rfc2217::kPurgeData:
            purging_ = false;
            return;
        default:
            if (answers_.size() < kMaxAnswers) answers_.push_back(command);
    }
}

void NetworkDevice::SendControl(const std::string& bytes) {
    if (socket_.Send(bytes, Deadline(kAnswerTime)) < bytes.size())
        throw SerialDeviceError(net::kTimedOut, NoAnswerText("telnet"));
}

template <class Done>
void NetworkDevice::AwaitServer(Done done, const std::string& what) {
    const Deadline deadline(kAnswerTime);
    try {
        for (Pull(); !done(); Pull()) {
            if (socket_.Ended()) FailEnded();
            if (!socket_.WaitReadable(deadline)) throw SerialDeviceError(net::kTimedOut, NoAnswerText(what));
        }
    } catch (const SerialDeviceError& error) {
        socket_.Abandon();
        // A server that turns a client away says why in text ("Port already in use").
        const std::string words = PlainWords(input_);
        if (words.empty()) throw;
        throw SerialDeviceError(error.code().value(),
                                error.Detail() + FillIn(LibraryText(", saying \"%s\""), {words}));
    }
}

void NetworkDevice::FailEnded() {
    throw SerialDeviceError(net::kConnectionReset, LibraryText("the server closed the connection"));
}

}  // namespace nkq
