#include "app/TextCatalogue.h"

#include <system_error>
#include <utility>

#include "app/EInvalidCatalogue.h"

namespace nkq {

namespace {

std::filesystem::path CataloguePath(const std::filesystem::path& folder, const std::string& language,
                                    const std::string& domain) {
    return folder / language / "LC_MESSAGES" / (domain + ".mo");
}

bool IsFile(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

}  // namespace

std::optional<std::filesystem::path> FindCatalogueFile(const std::filesystem::path& locale_folder,
                                                       const std::string& language,
                                                       const std::string& domain) {
    if (locale_folder.empty() || language.empty()) return std::nullopt;
    if (language.find('/') != std::string::npos) return std::nullopt;
    if (auto full = CataloguePath(locale_folder, language, domain); IsFile(full)) return full;
    if (language.size() <= 2) return std::nullopt;
    if (auto two_letters = CataloguePath(locale_folder, language.substr(0, 2), domain); IsFile(two_letters)) {
        return two_letters;
    }
    return std::nullopt;
}

TextCatalogue::TextCatalogue(std::filesystem::path locale_folder, std::string language)
    : locale_folder_(std::move(locale_folder)), language_(std::move(language)) {}

void TextCatalogue::AddDomain(const std::string& domain) {
    const std::lock_guard lock(mutex_);
    domains_.try_emplace(domain);
}

void TextCatalogue::Open(Domain& state, const std::string& domain) const {
    state.opened = true;
    const auto path = FindCatalogueFile(locale_folder_, language_, domain);
    if (!path) return;
    try {
        state.file = std::make_unique<MoFile>(MoFile::Load(*path));
    } catch (const EInvalidCatalogue&) {
        state.invalid_path = path->string();
    }
}

std::string TextCatalogue::Translate(const char* english, const char* domain) {
    const std::lock_guard lock(mutex_);
    const auto found = domains_.find(std::string_view(domain));
    if (found == domains_.end()) return english;
    Domain& state = found->second;
    if (!state.opened) Open(state, found->first);
    if (state.invalid_path) throw EInvalidCatalogue(*state.invalid_path);
    if (state.file) {
        if (const std::string* translation = state.file->Find(english)) return *translation;
    }
    return english;
}

}  // namespace nkq
