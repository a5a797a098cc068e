#pragma once
// Whether a settings file says exactly what a write will send. Loading a file
// is forgiving (keys match as prefixes, fields bring values into their rules,
// absent lines keep the set's values), which suits the window, where the
// operator sees the result before writing. A script writing a file into a
// modem it cannot see needs the file refused instead.
#include <cstddef>
#include <string>
#include <vector>

namespace nkq {

class ParameterSet;

struct SettingsProblem {
    std::size_t line = 0;  // 1-based; 0 for the file as a whole
    std::string text;      // the line as the file holds it
    std::string reason;    // English; values in it are the file's bytes
};

// What no modem can change: a key that is not exactly one of the keys a
// write sends, a key set twice, a value that its field would change (not in
// its list, out of its range, not an address, not a number).
std::vector<SettingsProblem> CheckSettingsLines(const std::string& text);

// After the file was applied to `set`, the set a write sends: lines its mode
// does not send, values that another line or the set's earlier state
// changed, and with `whole_file` every key the write sends that the file
// does not set.
std::vector<SettingsProblem> CheckSettingsAgainst(const ParameterSet& set, const std::string& text,
                                                  bool whole_file);

}  // namespace nkq
