#include "NetworkPortName.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "app/LibraryText.h"
#include "app/MessageText.h"
#include "serial/PortNames.h"

namespace nkq {

namespace {

struct Scheme {
    std::string_view prefix;
    NetworkProtocol protocol;
};

constexpr Scheme kSchemes[] = {{"rfc2217://", NetworkProtocol::Rfc2217}, {"socket://", NetworkProtocol::Raw}};

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

const Scheme* SchemeOf(std::string_view name) {
    for (const Scheme& scheme : kSchemes)
        if (StartsWithFolded(name, scheme.prefix)) return &scheme;
    return nullptr;
}

bool AllOf(std::string_view text, bool (*allowed)(unsigned char)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) { return allowed(c); });
}

bool NameCharacter(unsigned char c) { return std::isalnum(c) || c == '.' || c == '-' || c == '_'; }
// Hex groups, an embedded IPv4 tail and a zone ("%eth0").
bool Ipv6Character(unsigned char c) { return std::isalnum(c) || c == ':' || c == '.' || c == '%'; }

std::optional<std::uint16_t> PortNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (const char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

bool IsNetworkPort(const std::string& port) { return SchemeOf(port) != nullptr; }

std::optional<NetworkPortName> ParseNetworkPortName(const std::string& name) {
    const Scheme* scheme = SchemeOf(name);
    if (!scheme) return std::nullopt;
    std::string_view rest = std::string_view(name).substr(scheme->prefix.size());
    std::string_view host;
    if (rest.starts_with('[')) {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = rest.substr(1, close - 1);
        if (!AllOf(host, Ipv6Character) || host.find(':') == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(close + 1);
        if (!rest.starts_with(':')) return std::nullopt;
    } else {
        const auto colon = rest.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        host = rest.substr(0, colon);
        if (!AllOf(host, NameCharacter)) return std::nullopt;
        rest.remove_prefix(colon);
    }
    const auto port = PortNumber(rest.substr(1));
    if (!port) return std::nullopt;
    return NetworkPortName{scheme->protocol, std::string(host), *port};
}

std::string NetworkPortProblem(const std::string& port) {
    const Scheme* scheme = SchemeOf(port);
    if (!scheme || ParseNetworkPortName(port)) return {};
    const std::string form(scheme->prefix.substr(0, scheme->prefix.size() - 3));
    return FillIn(LibraryText("%s is no port name of the form %s://HOST:PORT (HOST a name, an IPv4 address "
                              "or an [IPv6] address, PORT 1 to 65535)"),
                  {port, form});
}

std::string AddressText(const NetworkPortName& name) {
    const bool ipv6 = name.host.find(':') != std::string::npos;
    return (ipv6 ? "[" + name.host + "]" : name.host) + ":" + std::to_string(name.port);
}

}  // namespace nkq
