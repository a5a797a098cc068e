#include "params/ParameterValues.h"

#include <algorithm>
#include <cstdint>

#include "app/TextConversions.h"
#include "params/ParameterFields.h"
#include "params/ParameterSet.h"
#include "protocol/ModemCommands.h"
#include "protocol/ParameterKeys.h"

namespace nkq {

namespace {

using namespace modem;

// Decimal digits only, leading zeros allowed, within [minimum, maximum].
std::optional<std::string> NumberIn(std::string_view text, std::int64_t minimum, std::int64_t maximum) {
    if (text.empty()) return std::nullopt;
    std::int64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
        if (number > maximum) return std::nullopt;
    }
    if (number < minimum) return std::nullopt;
    return IntToText(static_cast<std::int32_t>(number));
}

// Exactly four parts of 0..255: any other text is cut, masked or zeroed by
// the address field, so it is not the value it reads as.
std::optional<std::string> Address(std::string_view text) {
    std::string address;
    for (int part = 0; part < 4; ++part) {
        const auto dot = part < 3 ? text.find('.') : std::string_view::npos;
        if (part < 3 && dot == std::string_view::npos) return std::nullopt;
        const auto number = NumberIn(text.substr(0, dot), 0, 255);
        if (!number) return std::nullopt;
        address += (part == 0 ? "" : ".") + *number;
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    return address;
}

std::optional<std::string> CheckPair(std::string_view text) {
    const auto blank = text.find(kFieldSeparator);
    if (blank == std::string_view::npos) return std::nullopt;
    const auto address = Address(text.substr(0, blank));
    const auto port = PortNumberText(text.substr(blank + 1));
    if (!address || !port) return std::nullopt;
    return *address + kFieldSeparator + *port;
}

// The last index of a list, for the keys whose value is an index.
std::int64_t LastIndex(const ComboField& list) { return list.Count() - 1; }

bool IsCheckPairKey(std::string_view key) {
    return std::find(kCheckPairKeys.begin(), kCheckPairKeys.end(), key) != kCheckPairKeys.end();
}

}  // namespace

std::optional<std::string> PortNumberText(std::string_view text) { return NumberIn(text, 0, 65535); }

std::optional<std::string> FieldValue(std::string_view key, const std::string& value) {
    static const ParameterFields fields;  // the lists and ranges, as the window has them
    if (key == kModeKey) {
        if (value == kClientModeDigit || value == kServerModeDigit || value == kModemModeDigit) return value;
        return std::nullopt;
    }
    if (key == kDestIpKey) return Address(value);
    if (key == kDestPortKey || key == kServerPortKey) return PortNumberText(value);
    if (IsCheckPairKey(key)) return CheckPair(value);
    if (key == kIdleTimeKey) return NumberIn(value, fields.IdleEdit.Minimum(), fields.IdleEdit.Maximum());
    if (key == kComRateKey) return fields.RateCombo.IndexOf(value) >= 0 ? std::optional(value) : std::nullopt;
    if (key == kComFlowKey) return NumberIn(value, 0, LastIndex(fields.FlowCombo));
    // The data bits are written as the index plus 5.
    if (key == kComBitsKey) return NumberIn(value, 5, 5 + LastIndex(fields.BitsCombo));
    if (key == kComParityKey) return NumberIn(value, 0, 1);
    if (key == kParitySelectKey) return NumberIn(value, 0, LastIndex(fields.ParityCombo));
    if (key == kComStopBitKey) return NumberIn(value, 0, LastIndex(fields.StopCombo));
    return value;
}

bool SameFieldValue(std::string_view key, const std::string& a, const std::string& b) {
    if (a == b) return true;
    const auto held = FieldValue(key, a);
    return held && held == FieldValue(key, b);
}

void WritePortsAsNumbers(ParameterSet& set) {
    ParameterFields& fields = set.Fields();
    const auto as_number = [](NumericField& field) {
        if (const auto number = PortNumberText(field.Text())) field.SetText(*number);
    };
    as_number(fields.PortEdit);
    as_number(fields.IncomePortEdit);
    for (auto& port : fields.Port) as_number(port);
}

}  // namespace nkq
