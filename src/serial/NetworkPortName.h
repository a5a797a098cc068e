#pragma once
// The names of ports on a serial device server, as firmware flashers already
// write them: "rfc2217://HOST:PORT" (telnet with serial port control) and
// "socket://HOST:PORT" (the bytes as they are). HOST is a name, an IPv4
// address or an IPv6 address in brackets.
#include <cstdint>
#include <optional>
#include <string>

namespace nkq {

enum class NetworkProtocol { Rfc2217, Raw };

struct NetworkPortName {
    NetworkProtocol protocol = NetworkProtocol::Raw;
    std::string host;  // without the brackets of an IPv6 address
    std::uint16_t port = 0;

    bool operator==(const NetworkPortName&) const = default;
};

// The parts of a well-formed network port's name; none otherwise (see
// NetworkPortProblem in serial/PortNames.h for what is wrong).
std::optional<NetworkPortName> ParseNetworkPortName(const std::string& name);

// "HOST:PORT", with brackets around an IPv6 address.
std::string AddressText(const NetworkPortName& name);

}  // namespace nkq
