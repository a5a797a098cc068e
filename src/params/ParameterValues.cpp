#include "params/ParameterValues.h"

#include "app/TextConversions.h"
#include "params/ParameterFields.h"
#include "params/ParameterKeyTable.h"
#include "params/ParameterSet.h"
#include "protocol/ModemCommands.h"

namespace nkq {

std::optional<std::string> HeldNumber(std::string_view text, std::int64_t minimum, std::int64_t maximum) {
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

std::optional<std::string> HeldAddress(std::string_view text) {
    std::string address;
    for (int part = 0; part < 4; ++part) {
        const auto dot = part < 3 ? text.find('.') : std::string_view::npos;
        if (part < 3 && dot == std::string_view::npos) return std::nullopt;
        const auto number = HeldNumber(text.substr(0, dot), 0, 255);
        if (!number) return std::nullopt;
        address += (part == 0 ? "" : ".") + *number;
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    return address;
}

std::optional<std::string> HeldAddressAndPort(std::string_view text) {
    const auto blank = text.find(modem::kFieldSeparator);
    if (blank == std::string_view::npos) return std::nullopt;
    const auto address = HeldAddress(text.substr(0, blank));
    const auto port = PortNumberText(text.substr(blank + 1));
    if (!address || !port) return std::nullopt;
    return *address + modem::kFieldSeparator + *port;
}

std::optional<std::string> PortNumberText(std::string_view text) { return HeldNumber(text, 0, 65535); }

std::optional<std::string> FieldValue(std::string_view key, const std::string& value) {
    const ParameterKey* row = FindParameterKey(key);
    if (!row || !row->held) return value;
    return row->held(value);
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
