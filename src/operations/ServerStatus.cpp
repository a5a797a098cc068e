#include "operations/ServerStatus.h"

#include "app/Cp1251.h"
#include "app/ScopeExit.h"
#include "protocol/ModemCommands.h"
#include "protocol/TextLines.h"
#include "serial/ComPort.h"
#include "serial/HeldTraffic.h"

namespace nkq {

namespace {

constexpr const char* kLineEnd = "\r\n";

}  // namespace

void RunStatusSession(TCustomComPort& port, const std::function<void(TCustomComPort&)>& while_stopped) {
    port.Open();
    const ScopeExit close([&] { CloseQuietly(port); });
    HeldTraffic traffic(port);
    traffic.Stop();
    while_stopped(port);
    traffic.Resume();
    port.Close();
}

std::string ShowConnections(const std::string& answer) {
    constexpr std::size_t kPrefixLength = 3;  // "IP" and its separator
    std::string text = std::string(kConnectionsHeading) + kLineEnd;
    for (const std::string& line : SplitLines(answer)) {
        if (line.rfind(modem::kConnectionLine, 0) != 0) continue;
        const std::string connection = line.size() > kPrefixLength ? line.substr(kPrefixLength) : "";
        text += Cp1251ToUtf8(connection) + kLineEnd;
    }
    return text;
}

}  // namespace nkq
