#include "app/MessageText.h"

namespace nkq {

namespace {

std::size_t NextPlaceholder(const std::string& text, std::size_t from) {
    for (std::size_t at = text.find('%', from); at != std::string::npos; at = text.find('%', at + 1)) {
        if (at + 1 < text.size() && (text[at + 1] == 's' || text[at + 1] == 'd')) return at;
    }
    return std::string::npos;
}

}  // namespace

std::string FillIn(std::string pattern, std::initializer_list<std::string_view> values) {
    std::size_t from = 0;
    for (const std::string_view value : values) {
        const std::size_t at = NextPlaceholder(pattern, from);
        if (at == std::string::npos) break;
        pattern.replace(at, 2, value);
        from = at + value.size();
    }
    return pattern;
}

}  // namespace nkq
