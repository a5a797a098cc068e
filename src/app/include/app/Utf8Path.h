#pragma once
// Paths travel through the program as UTF-8 text. std::filesystem takes and
// gives them through these two, because on Windows a path's plain narrow
// form is the ANSI code page, which cannot hold a folder named in any script.
#include <filesystem>
#include <string>

namespace nkq {

inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace nkq
