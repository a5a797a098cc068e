#include "params/ReplyValues.h"

#include "params/ParameterKeyRules.h"
#include "params/ParameterLines.h"

namespace nkq {

std::map<std::string, std::string> ReplyValues(const std::string& reply) {
    std::map<std::string, std::string> values;
    for (const auto& line : SplitLines(reply))
        if (const auto key = KeyOfLine(line)) values[std::string(*key)] = ExtractValue(line);
    return values;
}

std::set<std::string> ReportedKeys(const std::string& reply) {
    std::set<std::string> keys;
    for (const auto& line : SplitLines(reply))
        if (const auto key = KeyOfLine(line)) keys.emplace(*key);
    return keys;
}

bool ReplySetsParameters(const std::string& reply) { return !ReportedKeys(reply).empty(); }

std::vector<std::string> KeysNotReported(Mode mode, const std::string& reply,
                                         const std::set<std::string>& named) {
    const auto reported = ReportedKeys(reply);
    std::vector<std::string> missing;
    for (const auto key : KeysSentIn(mode)) {
        const std::string name(key);
        if (!reported.count(name) && !named.count(name)) missing.push_back(name);
    }
    return missing;
}

}  // namespace nkq
