#include "protocol/TextLines.h"

namespace nkq {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

std::string LineKey(std::string_view line) { return std::string(line.substr(0, line.find(' '))); }

std::string LineValue(std::string_view line) {
    const auto blank = line.find(' ');
    return blank == std::string_view::npos ? std::string() : std::string(line.substr(blank + 1));
}

}  // namespace nkq
