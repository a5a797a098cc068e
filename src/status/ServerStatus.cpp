#include "status/ServerStatus.h"

#include <thread>

#include "app/Cp1251.h"
#include "serial/ComPort.h"
#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

constexpr const char* kLineEnd = "\r\n";

void SendCommand(TCustomComPort& port, std::string_view command) {
    port.WriteText(std::string(command) + modem::kCR);
}

// Calls `line` for every line of `text`; a final line break opens no empty line.
template <typename LineHandler>
void ForEachLine(const std::string& text, LineHandler&& line) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string::npos) {
            line(text.substr(begin));
            return;
        }
        line(text.substr(begin, end - begin));
        begin = end + 1;
        if (text[end] == '\r' && begin < text.size() && text[begin] == '\n') ++begin;
    }
}

}  // namespace

void RunStatusSession(TCustomComPort& port, const std::function<void(TCustomComPort&)>& while_stopped) {
    port.Open();
    SendCommand(port, modem::kStop);
    std::this_thread::sleep_for(modem::kStopPause);
    while_stopped(port);
    SendCommand(port, modem::kStart);
    port.Close();
}

std::string ShowConnections(const std::string& answer) {
    constexpr std::size_t kPrefixLength = 3;  // "IP" and its separator
    std::string text = std::string(kConnectionsHeading) + kLineEnd;
    ForEachLine(answer, [&](const std::string& line) {
        if (line.rfind(modem::kConnectionLine, 0) != 0) return;
        const std::string connection = line.size() > kPrefixLength ? line.substr(kPrefixLength) : "";
        text += Cp1251ToUtf8(connection) + kLineEnd;
    });
    return text;
}

}  // namespace nkq
