#include "params/SettingsFile.h"

#include "app/FileBytes.h"
#include "params/ParameterLines.h"

namespace nkq {

std::string SettingsFileText(const ParameterSet& set) {
    std::string text;
    for (const auto& line : BuildParameterLines(set)) text += line + "\r\n";
    return text;
}

void SaveSettingsFile(const ParameterSet& set, const std::string& path) {
    ReplaceFile(path, SettingsFileText(set));
}

void LoadSettingsFile(ParameterSet& set, const std::string& path) {
    // Whether the file ends with an "OK" line means nothing here.
    ParseParameters(set, ReadWholeFile(path));
}

}  // namespace nkq
