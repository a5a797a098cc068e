#include "ModemParameters.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

#include "app/Failure.h"
#include "protocol/ModemCommands.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"

namespace nkq {

ModemParameters ModemParameters::Defaults() {
    using namespace modem;
    static constexpr std::pair<std::string_view, std::string_view> kFactory[] = {
        {kModeKey, kClientModeDigit},
        {kDestIpKey, "10.0.0.1"},
        {kDestPortKey, "5000"},
        {kServerPortKey, "4001"},
        {kCheckPairKeys[0], "0.0.0.0 0"},
        {kCheckPairKeys[1], "0.0.0.0 0"},
        {kCheckPairKeys[2], "0.0.0.0 0"},
        {kCheckPairKeys[3], "0.0.0.0 0"},
        {kCheckPairKeys[4], "0.0.0.0 0"},
        {kIdleTimeKey, "5"},
        {kApnKey, "internet"},
        {kLoginKey, ""},
        {kPasswordKey, ""},
        {kComRateKey, "9600"},
        {kComFlowKey, "0"},
        {kComBitsKey, "8"},
        {kComParityKey, "0"},
        {kParitySelectKey, "0"},
        {kComStopBitKey, "0"},
        {kNameKey, "NKQ-GPRS "},
        {kDeviceKey, "virtual"},
        {kVersionKey, "1.0"},
        {kCsqKey, "19,0"},
        {kInterfaceKey, kRs232Interface},
    };
    ModemParameters parameters;
    for (const auto& [key, value] : kFactory) parameters.Set(std::string(key), std::string(value));
    return parameters;
}

ModemParameters::Entry ModemParameters::SplitLine(const std::string& line) {
    return {LineKey(line), LineValue(line)};
}

ModemParameters ModemParameters::FromText(const std::string& text) {
    ModemParameters parameters;
    std::string line;
    auto flush = [&] {
        if (!line.empty()) {
            auto [key, value] = SplitLine(line);
            parameters.Set(key, value);
        }
        line.clear();
    };
    for (const char c : text) {
        if (c == modem::kCR || c == modem::kLF) {
            flush();
        } else {
            line += c;
        }
    }
    flush();
    return parameters;
}

ModemParameters ModemParameters::FromFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw FileOpenError(path, errno);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return FromText(text);
}

void ModemParameters::Set(const std::string& key, const std::string& value) {
    for (auto& entry : entries_) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    entries_.emplace_back(key, value);
}

std::optional<std::string> ModemParameters::Get(const std::string& key) const {
    for (const auto& entry : entries_) {
        if (entry.first == key) return entry.second;
    }
    return std::nullopt;
}

void ModemParameters::Merge(const ModemParameters& other) {
    for (const auto& [key, value] : other.entries_) Set(key, value);
}

std::vector<std::string> ModemParameters::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(entries_.size());
    for (const auto& [key, value] : entries_) lines.push_back(key + modem::kFieldSeparator + value);
    return lines;
}

}  // namespace nkq
