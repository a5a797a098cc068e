// Turning the parameter set into lines, in the key table's order. Values are
// written as the fields hold them, whatever their enabled state: the mode
// alone decides what is written.
#include <string>
#include <vector>

#include "params/ParameterKeyTable.h"
#include "params/ParameterLines.h"
#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

// "KEY value": the key, one blank, the value as the field holds it.
void AddLines(const ParameterSet& set, LineGroup group, std::vector<std::string>& lines) {
    for (const auto& row : ParameterKeyTable()) {
        if (row.group != group || !row.SentIn(set.GetMode())) continue;
        lines.push_back(std::string(row.key) + modem::kFieldSeparator + row.written(set));
    }
}

}  // namespace

void AddModeSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    AddLines(set, LineGroup::Mode, lines);
}

void AddGprsSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    AddLines(set, LineGroup::Gprs, lines);
}

void AddPortSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    AddLines(set, LineGroup::Port, lines);
}

std::vector<std::string> BuildParameterLines(const ParameterSet& set) {
    std::vector<std::string> lines;
    AddModeSettings(set, lines);
    AddGprsSettings(set, lines);
    AddPortSettings(set, lines);
    return lines;
}

}  // namespace nkq
