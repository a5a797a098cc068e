#pragma once
// Where the journal lives: NKQ_JOURNAL=PATH chooses the file, NKQ_JOURNAL=off
// turns recording off, otherwise $XDG_DATA_HOME/nkq/journal.sqlite3 with
// ~/.local/share as the data folder when XDG_DATA_HOME is unset. On Windows
// the data folder is %LOCALAPPDATA% (the two arguments below are then
// LOCALAPPDATA and USERPROFILE).
#include <filesystem>
#include <optional>

namespace nkq::journal {

// nullopt: recording is off (or there is no home folder to keep it in).
std::optional<std::filesystem::path> JournalPathFromEnvironment();

// The same rule over given values; a null pointer stands for an unset variable.
std::optional<std::filesystem::path> JournalPathFor(const char* nkq_journal, const char* xdg_data_home,
                                                    const char* home);

}  // namespace nkq::journal
