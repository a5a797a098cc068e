#include "params/NumericField.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "app/TextConversions.h"

namespace nkq {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Blanks around an optional sign, digits with at most one "." and an optional
// exponent; the text as a whole must be that number.
std::optional<double> ReadDecimal(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    const std::size_t start = i;
    if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t digits = 0;
    bool point_seen = false;
    for (; i < n && (IsDigit(text[i]) || (text[i] == '.' && !point_seen)); ++i) {
        if (text[i] == '.')
            point_seen = true;
        else
            ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
        const std::size_t first = i;
        while (i < n && IsDigit(text[i])) ++i;
        if (i == first) return std::nullopt;
    }
    const std::size_t end = i;
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;
    const std::string number = text.substr(start, end - start);
    // A number too large for a double reads as infinity and is then clamped
    // like any other large number.
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace

NumericField::NumericField(std::int32_t minimum, std::int32_t maximum, std::int32_t initial)
    : minimum_(minimum), maximum_(maximum), text_(IntToText(std::clamp(initial, minimum, maximum))) {}

void NumericField::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed(ChangeKind::Value);
}

void NumericField::SetNumber(std::int64_t number) {
    SetText(IntToText(static_cast<std::int32_t>(std::clamp<std::int64_t>(number, minimum_, maximum_))));
}

void NumericField::Leave() { ShowRounded(NumberOrMinimum()); }

void NumericField::Step(std::int32_t delta) {
    // An empty text starts from the minimum, like any text that is no number.
    ShowRounded(NumberOrMinimum() + delta);
}

double NumericField::NumberOrMinimum() const { return ReadDecimal(text_).value_or(minimum_); }

void NumericField::ShowRounded(double number) {
    const double clamped = std::clamp<double>(number, minimum_, maximum_);
    // Halves go to the even neighbour, as the toolkit's rounding does.
    SetText(IntToText(static_cast<std::int32_t>(std::nearbyint(clamped))));
}

}  // namespace nkq
