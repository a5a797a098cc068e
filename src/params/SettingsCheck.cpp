#include "params/SettingsCheck.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "app/Failure.h"
#include "params/ParameterKeyRules.h"
#include "params/ParameterKeyTable.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/ParameterValues.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"

namespace nkq {

namespace {

using namespace modem;

bool IsReadOnlyKey(std::string_view key) {
    const ParameterKey* row = FindParameterKey(key);
    return row && row->ReadOnly();
}

// Where the line's value holds a port, by the key table.
PortPart PortPartOf(std::string_view key) {
    const ParameterKey* row = FindParameterKey(key);
    return row ? row->port : PortPart::None;
}

struct FileLine {
    std::size_t number;
    std::string text;
    std::string key;
    std::string value;
};

// The non-empty lines, numbered as an editor numbers them.
std::vector<FileLine> FileLines(const std::string& text) {
    std::vector<FileLine> lines;
    std::size_t number = 0;
    for (const auto& line : SplitLines(text)) {
        ++number;
        if (!line.empty()) lines.push_back({number, line, LineKey(line), ExtractValue(line)});
    }
    return lines;
}

std::map<std::string, std::string> SentValues(const ParameterSet& set) {
    std::map<std::string, std::string> values;
    for (const auto& line : BuildParameterLines(set)) values[LineKey(line)] = ExtractValue(line);
    return values;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A key must be exactly the one a read would apply the line to: "APNX"
// would be applied as APN.
std::string KeyProblem(const FileLine& line) {
    const std::string& key = line.key;
    if (KeyOfLine(line.text) == key && IsWrittenKey(key)) return {};
    if (IsReadOnlyKey(key)) return key + " is never written to a modem";
    // A long "key" is junk, not a misspelt key: it would only repeat the line.
    constexpr std::size_t kLongestKey = 16;
    if (key.size() > kLongestKey) return "the line does not begin with a parameter key";
    if (const auto taken = KeyOfLine(line.text); taken && *taken != key)
        return Quoted(key) + " is not a parameter key: a read would take the line as " + std::string(*taken);
    return Quoted(key) + " is not a parameter key";
}

// A port number is shown as received until its field is left, and only
// leaving it brings the number into the field's range.
const NumericField* PortFieldOf(const ParameterSet& set, const std::string& key) {
    if (key == kDestPortKey) return &set.Fields().PortEdit;
    if (key == kServerPortKey) return &set.Fields().IncomePortEdit;
    const auto pair = std::find(kCheckPairKeys.begin(), kCheckPairKeys.end(), key);
    return pair == kCheckPairKeys.end() ? nullptr : &set.Fields().Port[pair - kCheckPairKeys.begin()];
}

// A port number is shown as received until its field is left; a number
// with leading zeros is the same port and is written as the number.
std::string PortNumberProblem(const ParameterSet& set, const FileLine& line) {
    const PortPart part = PortPartOf(line.key);
    const NumericField* field = PortFieldOf(set, line.key);
    if (part == PortPart::None || !field) return {};
    const std::string number = part == PortPart::AfterBlank ? ExtractValue(line.value) : line.value;
    if (PortNumberText(number)) return {};
    return "port " + Quoted(number) + " is not a whole number from " + std::to_string(field->Minimum()) +
           " to " + std::to_string(field->Maximum());
}

// Applies the line alone to a fresh set in a mode that sends its key and
// sees whether the line the write would send carries the same value.
std::string ValueProblem(const FileLine& line) {
    ParameterSet set;
    set.ApplyStartupRules();
    if (const auto mode = OnlyModeSending(line.key)) set.SelectMode(*mode);
    try {
        ParseParameters(set, line.text);
    } catch (const Exception& e) {
        return e.Message();
    }
    const auto sent = SentValues(set);
    if (const auto found = sent.find(line.key); found != sent.end() && found->second != line.value)
        return "the value would be sent as " + Quoted(found->second);
    return PortNumberProblem(set, line);
}

}  // namespace

std::vector<SettingsProblem> CheckSettingsLines(const std::string& text) {
    std::vector<SettingsProblem> problems;
    std::map<std::string, std::size_t> first_line;
    for (const auto& line : FileLines(text)) {
        std::string reason = KeyProblem(line);
        if (reason.empty()) {
            const auto [earlier, first] = first_line.emplace(line.key, line.number);
            reason = first ? ValueProblem(line)
                           : line.key + " is set on line " + std::to_string(earlier->second) + " already";
        }
        if (!reason.empty()) problems.push_back({line.number, line.text, reason});
    }
    return problems;
}

std::vector<SettingsProblem> CheckSettingsAgainst(const ParameterSet& set, const std::string& text,
                                                  bool whole_file) {
    std::vector<SettingsProblem> problems;
    const auto sent = SentValues(set);
    std::set<std::string> named;
    for (const auto& line : FileLines(text)) {
        if (!IsWrittenKey(line.key) || !named.insert(line.key).second) continue;
        const auto found = sent.find(line.key);
        if (found == sent.end()) {
            problems.push_back(
                {line.number, line.text, line.key + " is not sent in " + ModeName(set.GetMode()) + " mode"});
        } else if (found->second != line.value) {
            problems.push_back(
                {line.number, line.text, "the value would be sent as " + Quoted(found->second)});
        }
    }
    if (!whole_file) return problems;
    std::string missing;
    for (const auto key : KeysSentIn(set.GetMode()))
        if (!named.count(std::string(key))) missing += (missing.empty() ? "" : ", ") + std::string(key);
    if (!missing.empty())
        problems.push_back(
            {0, {}, "no line for " + missing + ", which a " + ModeName(set.GetMode()) + "-mode write sends"});
    return problems;
}

}  // namespace nkq
