#pragma once
// The catalogues of one program: a locale folder, one language, and for each
// registered domain the catalogue file found there, opened at its first
// lookup. Safe to use from several threads.
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/MoFile.h"

namespace nkq {

class TextCatalogue {
public:
    // An empty `locale_folder` means the program's folder is unknown: no
    // catalogue is ever found.
    TextCatalogue(std::filesystem::path locale_folder, std::string language);

    // A domain registered more than once keeps its state.
    void AddDomain(const std::string& domain);

    // The translation of `english` in `domain`, or `english` itself when the
    // domain is not registered, has no catalogue, or the catalogue lacks it.
    // Throws EInvalidCatalogue, at every lookup in that domain, when the domain's
    // catalogue file is invalid.
    std::string Translate(const char* english, const char* domain);

    const std::filesystem::path& LocaleFolder() const { return locale_folder_; }
    const std::string& Language() const { return language_; }

private:
    struct Domain {
        bool opened = false;
        std::unique_ptr<MoFile> file;  // null: no catalogue for the domain
        std::optional<std::string> invalid_path;
    };

    void Open(Domain& state, const std::string& domain) const;

    const std::filesystem::path locale_folder_;
    const std::string language_;
    std::mutex mutex_;
    std::map<std::string, Domain, std::less<>> domains_;
};

// The catalogue file for `domain`: <folder>/<language>/LC_MESSAGES/<domain>.mo,
// else the same with the language cut to its first two letters; nothing when
// neither exists. A language holding "/" is refused rather than let it reach
// outside the folder.
std::optional<std::filesystem::path> FindCatalogueFile(const std::filesystem::path& locale_folder,
                                                       const std::string& language,
                                                       const std::string& domain);

}  // namespace nkq
