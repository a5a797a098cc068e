#include "app/Catalogue.h"

#include <libintl.h>

#include <memory>
#include <mutex>
#include <set>
#include <system_error>

#include "app/CatalogueLanguage.h"
#include "app/LibraryText.h"

namespace nkq {

namespace {

struct ProgramCatalogue {
    std::mutex mutex;
    std::set<std::string> domains{kDefaultDomain};
    std::unique_ptr<TextCatalogue> catalogue;  // made once, never replaced
};

ProgramCatalogue& Program() {
    static ProgramCatalogue program;
    return program;
}

// The C library's runtime learns the same bindings, so that a caller of
// dgettext under an installed locale reads the same files; the lookups of
// LibraryText themselves read the catalogue directly.
void BindForRuntime(const std::string& domain, const std::filesystem::path& folder) {
    if (folder.empty()) return;
    bindtextdomain(domain.c_str(), folder.c_str());
    bind_textdomain_codeset(domain.c_str(), "UTF-8");
}

}  // namespace

TextCatalogue& ProgramTextCatalogue() {
    ProgramCatalogue& program = Program();
    const std::lock_guard lock(program.mutex);
    if (!program.catalogue) {
        const auto folder = ProgramLocaleFolder();
        program.catalogue =
            std::make_unique<TextCatalogue>(folder, CatalogueLanguage(LocaleEnvironment::Current()));
        for (const auto& domain : program.domains) {
            program.catalogue->AddDomain(domain);
            BindForRuntime(domain, folder);
        }
    }
    return *program.catalogue;
}

std::filesystem::path ProgramLocaleFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) return {};
    return program.parent_path() / "locale";
}

void InitCatalogue() { ProgramTextCatalogue(); }

void RegisterCatalogueDomain(const std::string& domain) {
    ProgramCatalogue& program = Program();
    const std::lock_guard lock(program.mutex);
    if (!program.domains.insert(domain).second || !program.catalogue) return;
    program.catalogue->AddDomain(domain);
    BindForRuntime(domain, program.catalogue->LocaleFolder());
}

}  // namespace nkq
