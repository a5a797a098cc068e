#pragma once
// The one thing a record masks: the value of a PASSWORD line, wherever the
// line itself turns up (sent, echoed in an answer, quoted in a message). The
// same characters elsewhere are other data ("0" in "COMRATE 9600", a login
// that happens to equal the password) and stay as they are.
#include <string>
#include <string_view>
#include <vector>

namespace nkq {

inline constexpr std::string_view kPasswordMask = "********";

// Every "PASSWORD value" in `text` whose value is one of `values` (and runs
// to the end of the text, a line end or a quote) gets kPasswordMask for its
// value. The key must stand at the start or after a character that cannot
// be part of a key.
std::string MaskPasswordLines(std::string text, const std::vector<std::string>& values);

}  // namespace nkq
