// The conversion on Windows: the code set named by the catalogue becomes a
// Windows code page; an unknown name converts nothing.
#include <windows.h>

#include <cctype>
#include <utility>

#include "CharsetToUtf8.h"

namespace nkq {

namespace {

std::string Canonical(const std::string& charset) {
    std::string name;
    for (const char c : charset) {
        if (c != '-' && c != '_') name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

UINT CodePageOf(const std::string& charset) {
    static const std::pair<const char*, UINT> kPages[] = {
        {"windows1250", 1250}, {"windows1251", 1251}, {"windows1252", 1252}, {"cp1250", 1250},
        {"cp1251", 1251},      {"cp1252", 1252},      {"koi8r", 20866},      {"koi8u", 21866},
        {"iso88591", 28591},   {"iso88592", 28592},   {"iso88595", 28595},   {"cp866", 866},
        {"ibm866", 866},       {"latin1", 28591}};
    const std::string name = Canonical(charset);
    for (const auto& [known, page] : kPages) {
        if (name == known) return page;
    }
    return 0;
}

}  // namespace

struct CharsetToUtf8::Converter {
    UINT code_page;
};

CharsetToUtf8::CharsetToUtf8(const std::string& charset) {
    if (IsUtf8Compatible(charset)) return;
    if (const UINT page = CodePageOf(charset); page != 0)
        converter_ = std::make_unique<Converter>(Converter{page});
}

CharsetToUtf8::~CharsetToUtf8() = default;

std::string CharsetToUtf8::operator()(std::string_view text) const {
    if (!converter_ || text.empty()) return std::string(text);
    const int in_size = static_cast<int>(text.size());
    const int wide_size =
        MultiByteToWideChar(converter_->code_page, MB_ERR_INVALID_CHARS, text.data(), in_size, nullptr, 0);
    if (wide_size == 0) return std::string(text);
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(converter_->code_page, 0, text.data(), in_size, wide.data(), wide_size);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace nkq
