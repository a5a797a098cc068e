#pragma once
// A compiled GNU gettext message catalogue (MO format), read whole and kept as
// a table from untranslated to translated text. Read here rather than through
// the C library so that the lookup needs no installed system locale, touches
// no process-wide locale or environment, and can tell an invalid file apart.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace nkq {

class MoFile {
public:
    // Throws EInvalidCatalogue naming `path` unless `bytes` begin with the magic
    // number in either byte order and every table and string lies inside them.
    static MoFile Parse(std::string_view bytes, const std::string& path);
    // Reads the file at `path`; an unreadable file counts as an invalid one.
    static MoFile Load(const std::filesystem::path& path);

    // The UTF-8 translation of `original`, or nullptr. The empty text (the
    // catalogue's header entry) and untranslated entries never match; a plural
    // entry matches its singular with its first form, as in the C library.
    const std::string* Find(std::string_view original) const;
    std::size_t Size() const { return translations_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> translations_;
};

}  // namespace nkq
