#include "params/ParameterKeyRules.h"

#include "params/ParameterKeyTable.h"
#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

bool Matches(std::string_view line, const ParameterKey& row) {
    if (!line.starts_with(row.key)) return false;
    // "VERSION1.2" sets nothing: only the version is read up to a blank.
    return row.match == KeyMatch::Prefix || line.substr(row.key.size()).starts_with(modem::kFieldSeparator);
}

const ParameterKey* RowOfLine(std::string_view line) {
    for (const auto& row : ParameterKeyTable())
        if (Matches(line, row)) return &row;
    return nullptr;
}

}  // namespace

bool LineSetsKey(std::string_view line, std::string_view key) {
    const ParameterKey* row = FindParameterKey(key);
    return row && Matches(line, *row);
}

std::optional<std::string_view> KeyOfLine(std::string_view line) {
    const ParameterKey* row = RowOfLine(line);
    if (!row) return std::nullopt;
    return row->key;
}

const std::vector<std::string_view>& ParameterKeys() {
    static const std::vector<std::string_view> keys = [] {
        std::vector<std::string_view> all;
        for (const auto& row : ParameterKeyTable()) all.push_back(row.key);
        return all;
    }();
    return keys;
}

bool IsWrittenKey(std::string_view key) {
    const ParameterKey* row = FindParameterKey(key);
    return row && !row->ReadOnly();
}

bool IsHiddenKey(std::string_view key) {
    const ParameterKey* row = FindParameterKey(key);
    return row && row->hidden;
}

std::vector<std::string_view> KeysSentIn(Mode mode) {
    std::vector<std::string_view> keys;
    for (const auto& row : ParameterKeyTable())
        if (row.SentIn(mode)) keys.push_back(row.key);
    return keys;
}

std::optional<Mode> OnlyModeSending(std::string_view key) {
    const ParameterKey* row = FindParameterKey(key);
    if (!row) return std::nullopt;
    std::optional<Mode> only;
    for (const Mode mode : {Mode::Client, Mode::Server, Mode::Modem}) {
        if (!row->SentIn(mode)) continue;
        if (only) return std::nullopt;
        only = mode;
    }
    return only;
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

}  // namespace nkq
