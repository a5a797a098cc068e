// Where the journal lives on Windows: NKQ_JOURNAL as on Linux, otherwise
// %LOCALAPPDATA%\nkq\journal.sqlite3 (the per-user, per-machine data folder),
// with the profile's AppData\Local when LOCALAPPDATA is unset. Everything is
// read in wide characters: the narrow environment is the ANSI code page,
// which turns a Cyrillic folder (C:\Users\Иван) into question marks.
#include <windows.h>
// windows.h first: the shell header needs its types.
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/Utf8Path.h"
#include "app/WidePath.h"
#include "journal/JournalLocation.h"

namespace nkq::journal {

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// A variable as UTF-8; nullopt when unset.
std::optional<std::string> Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    if (value == nullptr) return std::nullopt;
    return Utf8Path(value);
}

// The local application data folder as the shell knows it, for a process
// started without the variable.
std::optional<std::string> LocalAppDataFolder() {
    PWSTR folder = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder);
    std::optional<std::string> path;
    if (SUCCEEDED(found) && folder != nullptr) path = Utf8Path(folder);
    CoTaskMemFree(folder);
    return path;
}

const char* Pointer(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

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
    const auto nkq_journal = Environment(L"NKQ_JOURNAL");
    auto local_app_data = Environment(L"LOCALAPPDATA");
    if (!local_app_data || local_app_data->empty()) local_app_data = LocalAppDataFolder();
    const auto user_profile = Environment(L"USERPROFILE");
    return JournalPathFor(Pointer(nkq_journal), Pointer(local_app_data), Pointer(user_profile));
}

}  // namespace nkq::journal
