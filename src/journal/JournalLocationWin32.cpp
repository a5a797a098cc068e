// Where the journal lives on Windows: NKQ_JOURNAL as on Linux, otherwise
// %LOCALAPPDATA%\nkq\journal.sqlite3 (the per-user, per-machine data folder),
// with the profile's AppData\Local when LOCALAPPDATA is unset.
#include <cstdlib>
#include <string_view>

#include "app/Utf8Path.h"
#include "journal/JournalLocation.h"

namespace nkq::journal {

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

std::optional<std::filesystem::path> JournalPathFor(const char* nkq_journal, const char* local_app_data,
                                                    const char* user_profile) {
    if (IsSet(nkq_journal)) {
        if (std::string_view(nkq_journal) == "off") return std::nullopt;
        return PathFromUtf8(nkq_journal);
    }
    std::filesystem::path data;
    if (IsSet(local_app_data)) {
        data = PathFromUtf8(local_app_data);
    } else if (IsSet(user_profile)) {
        data = PathFromUtf8(user_profile) / "AppData" / "Local";
    } else {
        return std::nullopt;
    }
    return data / "nkq" / "journal.sqlite3";
}

std::optional<std::filesystem::path> JournalPathFromEnvironment() {
    return JournalPathFor(std::getenv("NKQ_JOURNAL"), std::getenv("LOCALAPPDATA"),
                          std::getenv("USERPROFILE"));
}

}  // namespace nkq::journal
