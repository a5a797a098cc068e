// The catalogue's operating-system side on Linux: /proc names the program,
// and glibc's gettext learns the same bindings.
#include "CatalogueRuntime.h"

#include <libintl.h>

#include <system_error>

namespace nkq {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) return {};
    return program.parent_path();
}

void BindForRuntime(const std::string& domain, const std::filesystem::path& folder) {
    if (folder.empty()) return;
    bindtextdomain(domain.c_str(), folder.c_str());
    bind_textdomain_codeset(domain.c_str(), "UTF-8");
}

}  // namespace nkq
