#include "params/IpAddressField.h"

#include "app/TextConversions.h"

namespace nkq {

namespace {

// The piece of `text` from `from` to the next dot; `from` moves past that dot.
std::string NextPiece(const std::string& text, std::size_t& from, bool last) {
    if (from > text.size()) return {};
    const std::size_t dot = last ? std::string::npos : text.find('.', from);
    const std::size_t end = dot == std::string::npos ? text.size() : dot;
    std::string piece = text.substr(from, end - from);
    from = dot == std::string::npos ? text.size() + 1 : dot + 1;
    return piece;
}

}  // namespace

void IpAddressField::SetParts(const Parts& parts) {
    if (parts == parts_) return;
    parts_ = parts;
    Changed(ChangeKind::Value);
}

std::string IpAddressField::Text() const {
    std::string text;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        if (i > 0) text += '.';
        text += IntToText(parts_[i]);
    }
    return text;
}

void IpAddressField::SetText(const std::string& text) {
    Parts parts{};
    std::size_t from = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string piece = NextPiece(text, from, i + 1 == parts.size());
        parts[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(TextToIntDef(piece, 0)) & 0xFFu);
    }
    SetParts(parts);
}

}  // namespace nkq
