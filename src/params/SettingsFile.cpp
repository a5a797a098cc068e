#include "params/SettingsFile.h"

#include <string_view>

#include "app/FileBytes.h"
#include "params/ParameterLines.h"

namespace nkq {

std::string SettingsFileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::string SettingsFileText(const ParameterSet& set) { return SettingsFileText(BuildParameterLines(set)); }

void SaveSettingsFile(const ParameterSet& set, const std::string& path) {
    ReplaceFile(path, SettingsFileText(set));
}

std::string ReadSettingsText(const std::string& path) {
    std::string text = ReadWholeFile(path);
    // Editors that save UTF-8 may put a byte-order mark first; left in, it
    // would hide the first line's key and lose its value.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
    return text;
}

void LoadSettingsFile(ParameterSet& set, const std::string& path) {
    // Whether the file ends with an "OK" line means nothing here.
    ParseParameters(set, ReadSettingsText(path));
}

}  // namespace nkq
