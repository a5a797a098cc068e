#include "params/ParameterLines.h"

#include <cstdint>

#include "app/Failure.h"
#include "app/LibraryText.h"
#include "app/MessageText.h"
#include "app/TextConversions.h"
#include "params/ParameterKeyRules.h"
#include "params/ParameterKeyTable.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"

namespace nkq {

namespace {

// A line sets at most one key (no key begins another), so testing it
// against every key in turn comes to applying the rule of the key it sets.
void ApplyLine(ParameterSet& set, const std::string& line) {
    const auto key = KeyOfLine(line);
    if (key) FindParameterKey(*key)->apply(set, ExtractValue(line));
}

EConvertError InvalidAddressAndPortError(const std::string& value) {
    return EConvertError(FillIn(LibraryText("'%s' is not a valid address and port"), {value}));
}

}  // namespace

std::string ExtractValue(const std::string& line) { return LineValue(line); }

bool ParseParameters(ParameterSet& set, const std::string& text) {
    const std::vector<std::string> lines = SplitLines(text);
    for (const auto& line : lines) ApplyLine(set, line);
    return !lines.empty() && lines.back().starts_with(modem::kReplyEndLine);
}

int SignalLevel(const std::string& value) {
    const auto comma = value.find(',');
    if (comma == std::string::npos) return 0;
    const std::int32_t rssi = TextToIntDef(value.substr(0, comma), -1);
    if (rssi < 0 || rssi > 31) return 0;
    if (rssi <= 5) return 1;
    if (rssi <= 9) return 2;
    if (rssi <= 14) return 3;
    if (rssi <= 18) return 4;
    return 5;
}

void SelectComboItem(ComboField& combo, const std::string& text) {
    if (const int index = combo.IndexOf(text); index >= 0) combo.SetIndex(index);
}

void SetAddressAndPort(const std::string& value, IpAddressField& address, NumericField& port) {
    const auto blank = value.find(' ');
    // A malformed pair is a malformed value like any other, so say which one.
    if (blank == std::string::npos) throw InvalidAddressAndPortError(value);
    address.SetText(value.substr(0, blank));
    port.SetText(value.substr(blank + 1));
}

void ApplyInterface(ParameterSet& set, const std::string& value) {
    if (value == modem::kRs485Interface) {
        set.SetFlowControlAvailable(false);
        set.Fields().FlowCombo.SetIndex(0);
    } else {
        set.SetFlowControlAvailable(true);
    }
}

void ApplyFlowControl(ParameterSet& set, const std::string& value) {
    if (set.FlowControlAvailable()) set.Fields().FlowCombo.SetIndex(TextToInt(value));
}

std::string BoolToDigit(bool flag) { return flag ? "1" : "0"; }

}  // namespace nkq
