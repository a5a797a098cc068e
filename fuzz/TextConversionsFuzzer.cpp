// The strict conversions read values from modem replies and settings files:
// any text either converts or fails with EConvertError, and what converts
// agrees with its own written form.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "app/Failure.h"
#include "app/TextConversions.h"

namespace {

std::optional<std::int32_t> TryInt(const std::string& text) {
    try {
        return nkq::TextToInt(text);
    } catch (const nkq::EConvertError&) {
        return std::nullopt;
    }
}

std::optional<bool> TryBool(const std::string& text) {
    try {
        return nkq::TextToBool(text);
    } catch (const nkq::EConvertError&) {
        return std::nullopt;
    }
}

// Blanks, an optional sign and decimal digits: a text both conversions read.
bool IsPlainDecimal(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    if (text[i] == '+' || text[i] == '-') ++i;
    return i < text.size() && text.find_first_not_of("0123456789", i) == std::string::npos;
}

void CheckInteger(const std::string& text) {
    const auto value = TryInt(text);
    if (!value) {
        NKQ_FUZZ_CHECK(nkq::TextToIntDef(text, 7) == 7 && nkq::TextToIntDef(text, -8) == -8);
        return;
    }
    NKQ_FUZZ_CHECK(nkq::TextToIntDef(text, 7) == *value);
    NKQ_FUZZ_CHECK(TryInt(nkq::IntToText(*value)) == value);
    if (IsPlainDecimal(text)) NKQ_FUZZ_CHECK(TryBool(text) == std::optional<bool>(*value != 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckInteger(text);
    TryBool(text);
    return 0;
}
