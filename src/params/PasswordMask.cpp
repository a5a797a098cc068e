#include "params/PasswordMask.h"

#include "params/ParameterKeyTable.h"
#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

bool IsKeyCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool EndsValue(std::string_view text, std::size_t at) {
    return at == text.size() || text[at] == '\r' || text[at] == '\n' || text[at] == '"';
}

// Where the value of a "KEY " line starting at `at` begins; npos when the
// key there is part of a longer word.
std::size_t ValueStart(std::string_view text, std::size_t at, std::size_t key_size) {
    if (at > 0 && IsKeyCharacter(text[at - 1])) return std::string_view::npos;
    return at + key_size;
}

void MaskKeyLines(std::string& text, std::string_view hidden_key, const std::vector<std::string>& values) {
    std::string key(hidden_key);
    key += modem::kFieldSeparator;
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        const std::size_t start = ValueStart(text, at, key.size());
        if (start == std::string::npos) continue;
        // The longest value that fits, so "PASSWORD ab" is masked whole when
        // both "a" and "ab" are known.
        std::size_t length = std::string::npos;
        for (const auto& value : values) {
            if (value.empty() || text.compare(start, value.size(), value) != 0) continue;
            if (!EndsValue(text, start + value.size())) continue;
            if (length == std::string::npos || value.size() > length) length = value.size();
        }
        if (length != std::string::npos) text.replace(start, length, kPasswordMask);
    }
}

}  // namespace

std::string MaskPasswordLines(std::string text, const std::vector<std::string>& values) {
    for (const auto& row : ParameterKeyTable())
        if (row.hidden) MaskKeyLines(text, row.key, values);
    return text;
}

}  // namespace nkq
