#include "app/MoFile.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "CharsetToUtf8.h"
#include "app/EInvalidCatalogue.h"

namespace nkq {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;
constexpr std::size_t kHeaderSize = 28;

// Reads the 32-bit words of a file in the byte order its magic number shows.
class WordReader {
public:
    WordReader(std::string_view bytes, bool big_endian) : bytes_(bytes), big_endian_(big_endian) {}

    std::uint32_t At(std::uint64_t offset) const {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<std::uint8_t>(bytes_[offset + (big_endian_ ? i : 3 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }

private:
    std::string_view bytes_;
    bool big_endian_;
};

std::optional<bool> BigEndianFromMagic(std::string_view bytes) {
    if (bytes.size() < 4) return std::nullopt;
    const std::uint32_t as_big = WordReader(bytes, true).At(0);
    if (as_big == kMagic) return true;
    if (as_big == kSwappedMagic) return false;
    return std::nullopt;
}

// One string of a descriptor table (length, offset), checked against the file
// size in 64 bits so that no sum can wrap.
std::optional<std::string_view> TableString(std::string_view bytes, const WordReader& words,
                                            std::uint64_t table, std::uint32_t index) {
    const std::uint64_t entry = table + std::uint64_t{index} * 8;
    const std::uint64_t length = words.At(entry);
    const std::uint64_t offset = words.At(entry + 4);
    if (offset + length > bytes.size()) return std::nullopt;
    return bytes.substr(offset, length);
}

// The code set named by the header entry's "charset=", empty when none.
std::string HeaderCharset(std::string_view header) {
    const auto at = header.find("charset=");
    if (at == std::string_view::npos) return {};
    const auto from = at + 8;
    const auto to = header.find_first_of(" \t\r\n;", from);
    return std::string(header.substr(from, to == std::string_view::npos ? to : to - from));
}

// A plural entry holds its forms one after another, each ended by NUL; a
// plain lookup matches its singular and answers with the first form.
std::string_view FirstForm(std::string_view text) { return text.substr(0, text.find('\0')); }

struct Layout {
    std::uint32_t count;
    std::uint64_t originals;
    std::uint64_t translations;
};

Layout CheckedLayout(std::string_view bytes, const WordReader& words, const std::string& path) {
    if (bytes.size() < kHeaderSize) throw EInvalidCatalogue(path);
    const Layout layout{words.At(8), words.At(12), words.At(16)};
    const std::uint64_t table_size = std::uint64_t{layout.count} * 8;
    if (layout.originals + table_size > bytes.size() || layout.translations + table_size > bytes.size()) {
        throw EInvalidCatalogue(path);
    }
    return layout;
}

}  // namespace

MoFile MoFile::Parse(std::string_view bytes, const std::string& path) {
    const auto big_endian = BigEndianFromMagic(bytes);
    if (!big_endian) throw EInvalidCatalogue(path);
    const WordReader words(bytes, *big_endian);
    const Layout layout = CheckedLayout(bytes, words, path);

    std::string charset;
    MoFile file;
    std::vector<std::pair<std::string_view, std::string_view>> entries;
    entries.reserve(layout.count);
    for (std::uint32_t i = 0; i < layout.count; ++i) {
        const auto original = TableString(bytes, words, layout.originals, i);
        const auto translation = TableString(bytes, words, layout.translations, i);
        if (!original || !translation) throw EInvalidCatalogue(path);
        if (original->empty()) {
            charset = HeaderCharset(*translation);
        } else if (!FirstForm(*translation).empty()) {
            entries.emplace_back(FirstForm(*original), FirstForm(*translation));
        }
    }
    const CharsetToUtf8 convert(charset);
    for (const auto& [original, translation] : entries) {
        file.translations_.emplace(std::string(original), convert(translation));
    }
    return file;
}

MoFile MoFile::Load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf())) throw EInvalidCatalogue(path.string());
    return Parse(bytes.str(), path.string());
}

const std::string* MoFile::Find(std::string_view original) const {
    if (original.empty()) return nullptr;
    const auto found = translations_.find(original);
    return found == translations_.end() ? nullptr : &found->second;
}

}  // namespace nkq
