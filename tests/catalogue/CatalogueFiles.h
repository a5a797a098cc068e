#pragma once
// Real catalogues for the tests: a .po file written here, compiled by the
// system's msgfmt, placed in a temporary folder.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace nkq::testing {

using Entries = std::vector<std::pair<std::string, std::string>>;

enum class ByteOrder { Little, Big };

// A folder below the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& label);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Resolved, as the program sees its own path.
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Compiles `entries` (untranslated, translated) into an MO file at `mo`,
// creating its folders. `charset` is what the header declares; the texts are
// written as given.
void CompileCatalogue(const std::filesystem::path& mo, const Entries& entries,
                      ByteOrder order = ByteOrder::Little, const std::string& charset = "UTF-8");

// <folder>/<language>/LC_MESSAGES/<domain>.mo
std::filesystem::path CatalogueFile(const std::filesystem::path& locale_folder, const std::string& language,
                                    const std::string& domain = "default");

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace nkq::testing
