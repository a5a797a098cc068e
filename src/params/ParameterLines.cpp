#include "params/ParameterLines.h"

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/Failure.h"
#include "app/LibraryText.h"
#include "app/MessageText.h"
#include "app/TextConversions.h"
#include "params/ParameterKeyRules.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"

namespace nkq {

namespace {

using Rule = void (*)(ParameterSet&, const std::string&);

void ApplyDevice(ParameterSet& set, const std::string& value) { set.SetDeviceText(value); }
void ApplyName(ParameterSet& set, const std::string& value) { set.SetNameText(value); }
void ApplyVersion(ParameterSet& set, const std::string& value) { set.Fields().VersionEdit.SetText(value); }

std::optional<Mode> ModeOfDigit(const std::string& value) {
    if (value == modem::kClientModeDigit) return Mode::Client;
    if (value == modem::kServerModeDigit) return Mode::Server;
    if (value == modem::kModemModeDigit) return Mode::Modem;
    return std::nullopt;
}

// An unknown mode keeps the selection, but the mode rule runs all the same.
void ApplyMode(ParameterSet& set, const std::string& value) {
    if (const auto mode = ModeOfDigit(value)) {
        set.SelectMode(*mode);
    } else {
        set.ApplyModeRule();
    }
}

void ApplyDestIp(ParameterSet& set, const std::string& value) { set.Fields().IPAddrEdit.SetText(value); }
void ApplyDestPort(ParameterSet& set, const std::string& value) { set.Fields().PortEdit.SetText(value); }
void ApplyServerPort(ParameterSet& set, const std::string& value) {
    set.Fields().IncomePortEdit.SetText(value);
}
void ApplyIdleTime(ParameterSet& set, const std::string& value) {
    set.Fields().IdleEdit.SetNumber(TextToInt(value));
}
void ApplyApn(ParameterSet& set, const std::string& value) { set.Fields().APNEdit.SetText(value); }
void ApplyLogin(ParameterSet& set, const std::string& value) { set.Fields().LoginEdit.SetText(value); }
void ApplyPassword(ParameterSet& set, const std::string& value) { set.Fields().PasswordEdit.SetText(value); }
void ApplyRate(ParameterSet& set, const std::string& value) {
    SelectComboItem(set.Fields().RateCombo, value);
}

void ApplyBits(ParameterSet& set, const std::string& value) {
    const std::int32_t bits = TextToInt(value);
    // Any index outside the list clears it, so an overflowing one may as well be -1.
    set.Fields().BitsCombo.SetIndex(bits < INT_MIN + 5 ? -1 : bits - 5);
}

void ApplyParity(ParameterSet& set, const std::string& value) { set.SetParityUsed(TextToBool(value)); }
void ApplyParityKind(ParameterSet& set, const std::string& value) {
    set.Fields().ParityCombo.SetIndex(TextToInt(value));
}
void ApplyStopBits(ParameterSet& set, const std::string& value) {
    set.Fields().StopCombo.SetIndex(TextToInt(value));
}

template <std::size_t Pair>
void ApplyCheckPair(ParameterSet& set, const std::string& value) {
    SetAddressAndPort(value, set.Fields().IPAddr[Pair], set.Fields().Port[Pair]);
}

void ApplyCsq(ParameterSet& set, const std::string& value) { set.SetLevel(SignalLevel(value)); }

struct KeyRule {
    std::string_view key;
    Rule apply;
};

// What each key's line does; which key a line sets is KeyOfLine's rule.
constexpr std::array<KeyRule, 24> kKeyRules{{
    {modem::kInterfaceKey, ApplyInterface},
    {modem::kComFlowKey, ApplyFlowControl},
    {modem::kDeviceKey, ApplyDevice},
    {modem::kNameKey, ApplyName},
    {modem::kModeKey, ApplyMode},
    {modem::kVersionKey, ApplyVersion},
    {modem::kDestIpKey, ApplyDestIp},
    {modem::kDestPortKey, ApplyDestPort},
    {modem::kServerPortKey, ApplyServerPort},
    {modem::kIdleTimeKey, ApplyIdleTime},
    {modem::kApnKey, ApplyApn},
    {modem::kLoginKey, ApplyLogin},
    {modem::kPasswordKey, ApplyPassword},
    {modem::kComRateKey, ApplyRate},
    {modem::kComBitsKey, ApplyBits},
    {modem::kComParityKey, ApplyParity},
    {modem::kParitySelectKey, ApplyParityKind},
    {modem::kComStopBitKey, ApplyStopBits},
    {modem::kCheckPairKeys[0], ApplyCheckPair<0>},
    {modem::kCheckPairKeys[1], ApplyCheckPair<1>},
    {modem::kCheckPairKeys[2], ApplyCheckPair<2>},
    {modem::kCheckPairKeys[3], ApplyCheckPair<3>},
    {modem::kCheckPairKeys[4], ApplyCheckPair<4>},
    {modem::kCsqKey, ApplyCsq},
}};

// A line sets at most one key (no key begins another), so testing it
// against every key in turn comes to applying the rule of the key it sets.
void ApplyLine(ParameterSet& set, const std::string& line) {
    const auto key = KeyOfLine(line);
    if (!key) return;
    for (const auto& rule : kKeyRules)
        if (rule.key == *key) rule.apply(set, ExtractValue(line));
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
