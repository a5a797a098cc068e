#include "params/ParameterKeyRules.h"

#include <algorithm>
#include <array>

#include "protocol/ModemCommands.h"
#include "protocol/ParameterKeys.h"

namespace nkq {

namespace {

using namespace modem;

bool IsCheckPairKey(std::string_view key) {
    return std::find(kCheckPairKeys.begin(), kCheckPairKeys.end(), key) != kCheckPairKeys.end();
}

}  // namespace

bool LineSetsKey(std::string_view line, std::string_view key) {
    if (!line.starts_with(key)) return false;
    // "VERSION1.2" sets nothing: only the version is read up to a blank.
    return key != kVersionKey || line.substr(key.size()).starts_with(kFieldSeparator);
}

const std::vector<std::string_view>& ParameterKeys() {
    static const std::vector<std::string_view> keys{
        kInterfaceKey,     kComFlowKey,       kDeviceKey,        kNameKey,          kModeKey,
        kVersionKey,       kDestIpKey,        kDestPortKey,      kServerPortKey,    kIdleTimeKey,
        kApnKey,           kLoginKey,         kPasswordKey,      kComRateKey,       kComBitsKey,
        kComParityKey,     kParitySelectKey,  kComStopBitKey,    kCheckPairKeys[0], kCheckPairKeys[1],
        kCheckPairKeys[2], kCheckPairKeys[3], kCheckPairKeys[4], kCsqKey,
    };
    return keys;
}

std::optional<std::string_view> KeyOfLine(std::string_view line) {
    for (const auto key : ParameterKeys())
        if (LineSetsKey(line, key)) return key;
    return std::nullopt;
}

std::vector<std::string_view> KeysSentIn(Mode mode) {
    static constexpr std::array kClientKeys{kDestIpKey, kDestPortKey};
    static constexpr std::array kLastKeys{kIdleTimeKey,     kApnKey,       kLoginKey,   kPasswordKey,
                                          kComRateKey,      kComFlowKey,   kComBitsKey, kComParityKey,
                                          kParitySelectKey, kComStopBitKey};
    std::vector<std::string_view> keys{kModeKey};
    if (mode == Mode::Client)
        for (const auto key : kClientKeys) keys.push_back(key);
    if (mode == Mode::Server) {
        keys.push_back(kServerPortKey);
        for (const auto key : kCheckPairKeys) keys.push_back(key);
    }
    for (const auto key : kLastKeys) keys.push_back(key);
    return keys;
}

std::optional<Mode> OnlyModeSending(std::string_view key) {
    if (key == kDestIpKey || key == kDestPortKey) return Mode::Client;
    if (key == kServerPortKey || IsCheckPairKey(key)) return Mode::Server;
    return std::nullopt;
}

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::Client:
            return "client";
        case Mode::Server:
            return "server";
        case Mode::Modem:
            return "modem";
    }
    return "";
}

bool IsWrittenKey(std::string_view key) {
    const auto server = KeysSentIn(Mode::Server);
    return key == kDestIpKey || key == kDestPortKey ||
           std::find(server.begin(), server.end(), key) != server.end();
}

}  // namespace nkq
