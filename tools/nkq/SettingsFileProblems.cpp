#include "SettingsFileProblems.h"

#include "app/Cp1251.h"
#include "app/Operator.h"

namespace nkq::cli {

namespace {

// Long enough for any real parameter line; binary junk is cut.
constexpr std::size_t kShownLineLength = 60;

std::string Shown(const std::string& bytes) {
    if (bytes.size() <= kShownLineLength) return Cp1251ToUtf8(bytes);
    return Cp1251ToUtf8(bytes.substr(0, kShownLineLength)) + "...";
}

std::string ProblemLine(const std::string& path, const SettingsProblem& problem) {
    if (problem.line == 0) return path + ": " + Cp1251ToUtf8(problem.reason);
    return path + ":" + std::to_string(problem.line) + ": \"" + Shown(problem.text) +
           "\": " + Cp1251ToUtf8(problem.reason);
}

}  // namespace

std::vector<std::string> ProblemLines(const std::string& path, const std::vector<SettingsProblem>& problems) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < problems.size() && i < kShownProblems; ++i)
        lines.push_back(ProblemLine(path, problems[i]));
    if (problems.size() > kShownProblems)
        lines.push_back(path + ": " + std::to_string(problems.size() - kShownProblems) + " more problems");
    return lines;
}

bool NoProblems(Operator& op, const std::string& path, const std::vector<SettingsProblem>& problems) {
    for (const auto& line : ProblemLines(path, problems)) op.InformOperator(line);
    return problems.empty();
}

}  // namespace nkq::cli
