#pragma once
// A parameter's value as its field holds it, so that two spellings of one
// value count as the same value: "010.000.000.001" is the address 10.0.0.1,
// "07" the reconnect time 7, "0080" the port 80. Only values the field takes
// whole have such a form; anything it would change or refuse is compared as
// the text it is.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nkq {

class ParameterSet;

// The value of `key` in the form a write sends once its field holds it (the
// key table's rule); a text field holds any text as it is. nullopt when the
// field would not hold the value as given: not a whole number, out of the
// field's range, not an entry of its list, not four address parts of 0..255.
std::optional<std::string> FieldValue(std::string_view key, const std::string& value);

// True when the texts are equal, or both are values the field holds and
// they are the same value.
bool SameFieldValue(std::string_view key, const std::string& a, const std::string& b);

// The held forms the key table's fields share. Decimal digits only, leading
// zeros allowed, within [minimum, maximum], as the number.
std::optional<std::string> HeldNumber(std::string_view text, std::int64_t minimum, std::int64_t maximum);
// Exactly four parts of 0..255, each such a number: any other text is cut,
// masked or zeroed by the address field, so it is not the value it reads as.
std::optional<std::string> HeldAddress(std::string_view text);
// An address, one blank and a port.
std::optional<std::string> HeldAddressAndPort(std::string_view text);

// A port written as decimal digits (leading zeros allowed) within 0..65535,
// as its number: "0080" gives "80". nullopt for anything else.
std::optional<std::string> PortNumberText(std::string_view text);

// Every port field whose text is such a port number shows the number, as
// leaving the field would show it; any other text stays as it is.
void WritePortsAsNumbers(ParameterSet& set);

}  // namespace nkq
