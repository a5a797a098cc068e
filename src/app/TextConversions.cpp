#include "app/TextConversions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <optional>
#include <stdexcept>

#include "app/Failure.h"

namespace nkq {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::int32_t> ParseInt(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';

    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    const std::size_t first_digit = i;
    std::uint64_t value = 0;
    if (hex) {
        for (; i < n && HexDigit(text[i]) >= 0; ++i) {
            value = value * 16 + static_cast<unsigned>(HexDigit(text[i]));
            if (value > 0xFFFFFFFFull) return std::nullopt;
        }
    } else {
        const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
        for (; i < n && IsDigit(text[i]); ++i) {
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
            if (value > limit) return std::nullopt;
        }
    }
    if (i == first_digit || i != n) return std::nullopt;

    // Hex values take the full 32-bit pattern: $FFFFFFFF is -1.
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

char LocaleDecimalSeparator() {
    static const char separator = [] {
        try {
            return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
        } catch (const std::runtime_error&) {
            return '.';  // the environment names a locale the system lacks
        }
    }();
    return separator;
}

// A number in the float syntax: blanks, sign, digits with at most one
// separator, an optional exponent, blanks. Yields its value.
std::optional<long double> ParseNumber(const std::string& text, char separator) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    std::string plain;  // the number rewritten for strtold in the "C" notation
    if (i < n && (text[i] == '-' || text[i] == '+')) plain += text[i++];
    std::size_t digits = 0;
    bool separator_seen = false;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            plain += text[i];
            ++digits;
        } else if (text[i] == separator && !separator_seen) {
            plain += '.';
            separator_seen = true;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+')) plain += text[i++];
        std::size_t exponent_digits = 0;
        for (; i < n && IsDigit(text[i]); ++i, ++exponent_digits) plain += text[i];
        if (exponent_digits == 0) return std::nullopt;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;

    errno = 0;
    char* end = nullptr;
    // strtold reads "." in the "C" locale, which this program never changes.
    const long double value = std::strtold(plain.c_str(), &end);
    if (errno == ERANGE && std::isinf(value)) return std::nullopt;
    return value;
}

bool EqualsIgnoringCase(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        if (i >= text.size()) return false;
        const char a = text[i], b = word[i];
        if (std::tolower(static_cast<unsigned char>(a)) != std::tolower(static_cast<unsigned char>(b)))
            return false;
    }
    return i == text.size();
}

}  // namespace

std::int32_t TextToInt(const std::string& text) {
    if (auto value = ParseInt(text)) return *value;
    throw InvalidIntegerError(text);
}

std::int32_t TextToIntDef(const std::string& text, std::int32_t fallback) {
    return ParseInt(text).value_or(fallback);
}

std::string IntToText(std::int32_t value) { return std::to_string(value); }

bool TextToBool(const std::string& text) {
    if (auto number = ParseNumber(text, LocaleDecimalSeparator())) return *number != 0;
    if (EqualsIgnoringCase(text, "True")) return true;
    if (EqualsIgnoringCase(text, "False")) return false;
    throw InvalidBooleanError(text);
}

}  // namespace nkq
