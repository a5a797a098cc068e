// The catalogue's operating-system side on Windows: the program's own module
// names its folder; there is no C library runtime to bind.
#include <windows.h>

#include <string>

#include "CatalogueRuntime.h"

namespace nkq {

std::filesystem::path ProgramFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);  // a long path: try again with more room
    }
}

void BindForRuntime(const std::string&, const std::filesystem::path&) {}

}  // namespace nkq
