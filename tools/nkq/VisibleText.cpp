#include "VisibleText.h"

namespace nkq::cli {

namespace {

constexpr unsigned char kDelete = 0x7F;

std::string MadeVisible(const std::string& text, bool keep_line_ends) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if ((code >= 0x20 && code != kDelete) || (keep_line_ends && (c == '\r' || c == '\n'))) {
            shown += c;
        } else {
            shown += '^';
            shown += static_cast<char>(code ^ 0x40);  // 0x1B gives '[', 0x7F gives '?'
        }
    }
    return shown;
}

}  // namespace

std::string Visible(const std::string& text) { return MadeVisible(text, false); }

std::string VisibleKeepingLineEnds(const std::string& text) { return MadeVisible(text, true); }

}  // namespace nkq::cli
