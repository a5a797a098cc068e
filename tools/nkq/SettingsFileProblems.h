#pragma once
// How nkq tells the problems of a settings file: one line each, naming the
// file, the line number and the line, as a compiler names a source line.
#include <string>
#include <vector>

#include "params/SettingsCheck.h"

namespace nkq {
class Operator;
}  // namespace nkq

namespace nkq::cli {

// "FILE:LINE: "TEXT": reason", or "FILE: reason" for the file as a whole.
// At most kShownProblems lines, then one that counts the rest: a firmware
// image given by mistake must not flood the terminal.
std::vector<std::string> ProblemLines(const std::string& path, const std::vector<SettingsProblem>& problems);

inline constexpr std::size_t kShownProblems = 20;

// Tells every problem line; true when there was none.
bool NoProblems(Operator& op, const std::string& path, const std::vector<SettingsProblem>& problems);

}  // namespace nkq::cli
