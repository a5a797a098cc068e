#pragma once
// The modem's text form: every command goes out followed by one CR, and a
// text is split into lines at CR, LF or CR LF.
#include <string>
#include <string_view>
#include <vector>

#include "protocol/ModemCommands.h"

namespace nkq::modem {

// The bytes of a command as they go out: its text and one CR.
inline std::string CommandText(std::string_view command) { return std::string(command) + kCR; }

}  // namespace nkq::modem

namespace nkq {

// Lines split at CR, LF or CR LF; a final line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// A parameter line is its key, one blank and its value. The key runs to the
// first blank (the whole line without one); the value is everything after
// that blank, further blanks included (empty without one).
std::string LineKey(std::string_view line);
std::string LineValue(std::string_view line);

}  // namespace nkq
