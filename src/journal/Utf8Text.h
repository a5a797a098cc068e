#pragma once
// The journal's texts reach a database, a spreadsheet and JSON parsers, all of
// which want valid UTF-8; what arrives is mostly so, but not promised.
#include <string>
#include <string_view>

namespace nkq::journal {

// The text with every byte that is not part of a valid UTF-8 sequence
// replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace nkq::journal
