#include "journal/JournalLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace nkq::journal {

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// The password database's home folder, for a process started without HOME.
std::string AccountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return {};
    return found->pw_dir != nullptr ? found->pw_dir : "";
}

}  // namespace

std::optional<std::filesystem::path> JournalPathFor(const char* nkq_journal, const char* xdg_data_home,
                                                    const char* home) {
    if (IsSet(nkq_journal)) {
        if (std::string_view(nkq_journal) == "off") return std::nullopt;
        return std::filesystem::path(nkq_journal);
    }
    std::filesystem::path data;
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (IsSet(xdg_data_home) && xdg_data_home[0] == '/') {
        data = xdg_data_home;
    } else {
        const std::string home_folder = IsSet(home) ? std::string(home) : AccountHome();
        if (home_folder.empty()) return std::nullopt;
        data = std::filesystem::path(home_folder) / ".local" / "share";
    }
    return data / "nkq" / "journal.sqlite3";
}

std::optional<std::filesystem::path> JournalPathFromEnvironment() {
    return JournalPathFor(std::getenv("NKQ_JOURNAL"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

}  // namespace nkq::journal
