#pragma once
// Converts the translations of a catalogue written in another code set to
// UTF-8, as the C library's runtime does for a domain bound to UTF-8. Each
// platform converts with its own means (iconv, or the Windows code pages).
#include <memory>
#include <string>
#include <string_view>

namespace nkq {

class CharsetToUtf8 {
public:
    // An empty, UTF-8 or ASCII code set converts nothing.
    explicit CharsetToUtf8(const std::string& charset);
    ~CharsetToUtf8();
    CharsetToUtf8(const CharsetToUtf8&) = delete;
    CharsetToUtf8& operator=(const CharsetToUtf8&) = delete;

    // A text that cannot be converted is kept as it stands.
    std::string operator()(std::string_view text) const;

private:
    struct Converter;
    std::unique_ptr<Converter> converter_;  // null: nothing to convert
};

// True for the code set names that need no conversion.
bool IsUtf8Compatible(const std::string& charset);

}  // namespace nkq
