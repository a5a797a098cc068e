#pragma once
// Ports on serial device servers that the port list offers besides the
// local ones: the environment variable NKQ_REMOTE_PORTS names them,
// separated by blanks, e.g. "rfc2217://10.0.0.5:4001 socket://10.0.0.5:4002".
#include <string>
#include <string_view>
#include <vector>

namespace nkq {

inline constexpr const char* kRemotePortsVariable = "NKQ_REMOTE_PORTS";

// The names in `text`, in order; blanks, tabs and line breaks separate them.
std::vector<std::string> SplitRemotePorts(std::string_view text);

// Appends the names of NKQ_REMOTE_PORTS, in their order, to `names`.
void AppendRemotePorts(std::vector<std::string>& names);

}  // namespace nkq
