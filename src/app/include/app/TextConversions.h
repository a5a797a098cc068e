#pragma once
// The strict text conversions the parameter lines are read and written with.
#include <cstdint>
#include <string>

namespace nkq {

// Leading blanks, an optional sign, decimal digits or "$"/"x"/"0x" hex digits
// and nothing after them; otherwise EConvertError with the whole text.
std::int32_t TextToInt(const std::string& text);

std::string IntToText(std::int32_t value);

// A number (non-zero is true) or "True"/"False" in any case; otherwise
// EConvertError with the whole text.
bool TextToBool(const std::string& text);

// TextToInt that yields `fallback` instead of failing.
std::int32_t TextToIntDef(const std::string& text, std::int32_t fallback);

}  // namespace nkq
