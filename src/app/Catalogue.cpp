#include "app/Catalogue.h"

#include <memory>
#include <mutex>
#include <set>
#include <system_error>

#include "CatalogueRuntime.h"
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
    const auto folder = ProgramFolder();
    return folder.empty() ? folder : folder / "locale";
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
