#pragma once
// The server status display without its window: opening the status session
// on the port, and turning a "TCP" reply into the text the window lists.
#include <functional>
#include <string>

namespace nkq {

class TCustomComPort;

// The text box's content before the first poll, and the heading every poll
// writes. Both UTF-8, like everything ShowConnections returns.
inline constexpr const char* kStatusInitialText = "Текущие подключения";
inline constexpr const char* kConnectionsHeading = "Текущие подключения:";

// Opens the port, sends "STOP", waits, runs `while_stopped` (the window's
// status window, until the operator closes it), then sends "START" and
// closes the port. Nothing is guarded: a failure goes to the caller and the
// steps after it do not run.
void RunStatusSession(TCustomComPort& port, const std::function<void(TCustomComPort&)>& while_stopped);

// The heading and CR LF, then every reply line that begins with "IP", without
// its first three characters, each followed by CR LF. Lines end at CR, LF or
// CR LF. The modem's Windows-1251 bytes come back as UTF-8.
std::string ShowConnections(const std::string& answer);

}  // namespace nkq
