#pragma once
// Every parameter key in one table: how a line is taken for it, the field a
// line of it sets, the modes whose write sends it (none: read only), the
// value the write sends and the value as the field holds it, and whether
// the value is a secret. The parser, the line writers, the settings-file
// checks, the reply values, verify and the password masking all read it, so
// none of them can take a line for another key than a read does.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "params/ParameterSet.h"

namespace nkq {

// How a line is taken for a key: it begins with the key, compared
// case-sensitively ("APNX evil" sets APN); VERSION counts only with the
// blank after it.
enum class KeyMatch { Prefix, PrefixAndBlank };

// Which writer appends the key's line, in the order mode, GPRS, port; a
// reported key is never written.
enum class LineGroup { Mode, Gprs, Port, Reported };

// Where a value holds a port that its field shows as received until left.
enum class PortPart { None, Whole, AfterBlank };

struct ParameterKey {
    std::string_view key;
    KeyMatch match;
    LineGroup group;
    std::array<bool, 3> sent_in;  // by Mode: Client, Server, Modem
    bool hidden;                  // a password: never shown, masked in every record
    PortPart port;
    // What a line of the key does to the set (the value after its blank).
    void (*apply)(ParameterSet& set, const std::string& value);
    // The value a write sends, as the field holds it; null for a reported key.
    std::string (*written)(const ParameterSet& set);
    // The value as its field would hold it, in the form a write sends; nullopt
    // when the field would not hold it as given. Null: any text as it is.
    std::optional<std::string> (*held)(std::string_view value);

    bool SentIn(Mode mode) const { return sent_in[static_cast<std::size_t>(mode)]; }
    bool ReadOnly() const { return written == nullptr; }
};

// In the order a write sends them; the keys only ever reported come last.
std::span<const ParameterKey> ParameterKeyTable();

// The row of `key` exactly as spelled; null for no parameter key.
const ParameterKey* FindParameterKey(std::string_view key);

// The MODE line's digits: "1" client, "0" server, "2" modem.
std::string_view ModeDigit(Mode mode);
std::optional<Mode> ModeOfDigit(std::string_view digit);

}  // namespace nkq
