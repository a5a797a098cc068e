#pragma once
// Which parameter key a line sets, and which keys a write sends, as the key
// table says: the one rule that applying a reply or a file, checking a
// settings file, comparing a modem with a file and masking a password all
// go by, so that none of them can take a line for another key than a read
// does.
#include <optional>
#include <string_view>
#include <vector>

#include "params/ParameterSet.h"

namespace nkq {

// Whether `line` sets `key` by the key's match rule: the line begins with
// the key ("APNX evil" sets APN); VERSION counts only with the blank after
// it. No key begins another, so a line sets at most one key.
bool LineSetsKey(std::string_view line, std::string_view key);

// The key a line sets, or nullopt for a line that sets nothing ("OK",
// "VERSION1.2", a line of no key).
std::optional<std::string_view> KeyOfLine(std::string_view line);

// Every key a line may set, in the key table's order.
const std::vector<std::string_view>& ParameterKeys();

// Whether a write sends the key in some mode (DEVICE, NAME, VERSION, CSQ
// and INTERFACE are only ever reported).
bool IsWrittenKey(std::string_view key);

// Whether the key's value is a password: never shown, masked in records.
bool IsHiddenKey(std::string_view key);

// The keys a write in `mode` sends, in the order it sends them: 13 in
// client mode, 17 in server mode, 11 in modem mode.
std::vector<std::string_view> KeysSentIn(Mode mode);

// The one mode whose write sends `key`; nullopt for a key every mode sends
// or none does.
std::optional<Mode> OnlyModeSending(std::string_view key);

// "client", "server" or "modem", as messages name a mode.
const char* ModeName(Mode mode);

}  // namespace nkq
