#include "ModemParameters.h"

#include <cerrno>
#include <fstream>
#include <iterator>

#include "app/Failure.h"

namespace nkq {

ModemParameters ModemParameters::Defaults() {
    ModemParameters parameters;
    const std::vector<Entry> factory{
        {"MODE", "1"},
        {"DESTIP", "10.0.0.1"},
        {"DESTPORT", "5000"},
        {"SERVERPORT", "4001"},
        {"IPPING1", "0.0.0.0 0"},
        {"IPPING2", "0.0.0.0 0"},
        {"IPPING3", "0.0.0.0 0"},
        {"IPPING4", "0.0.0.0 0"},
        {"IPPING5", "0.0.0.0 0"},
        {"IDLETIME", "5"},
        {"APN", "internet"},
        {"LOGIN", ""},
        {"PASSWORD", ""},
        {"COMRATE", "9600"},
        {"COMFC", "0"},
        {"COMBITS", "8"},
        {"COMPARITY", "0"},
        {"PARITYSELECT", "0"},
        {"COMSTOPBIT", "0"},
        {"NAME", "NKQ-GPRS "},
        {"DEVICE", "virtual"},
        {"VERSION", "1.0"},
        {"CSQ", "19,0"},
        {"INTERFACE", "RS232"},
    };
    for (const auto& [key, value] : factory) parameters.Set(key, value);
    return parameters;
}

ModemParameters::Entry ModemParameters::SplitLine(const std::string& line) {
    const auto blank = line.find(' ');
    if (blank == std::string::npos) return {line, ""};
    return {line.substr(0, blank), line.substr(blank + 1)};
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
        if (c == '\r' || c == '\n') {
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
    for (const auto& [key, value] : entries_) lines.push_back(key + " " + value);
    return lines;
}

}  // namespace nkq
