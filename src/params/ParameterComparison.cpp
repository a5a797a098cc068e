#include "params/ParameterComparison.h"

#include "params/ParameterLines.h"
#include "params/ParameterValues.h"
#include "params/ReplyValues.h"

namespace nkq {

std::vector<KeyDifference> CompareWithReply(const std::vector<std::string>& expected_lines,
                                            const std::string& reply) {
    const auto held = ReplyValues(reply);
    std::vector<KeyDifference> differences;
    for (const auto& line : expected_lines) {
        const std::string key = LineKey(line), expected = ExtractValue(line);
        const auto found = held.find(key);
        if (found == held.end()) {
            differences.push_back({key, expected, std::nullopt});
        } else if (!SameFieldValue(key, expected, found->second)) {
            differences.push_back({key, expected, found->second});
        }
    }
    return differences;
}

}  // namespace nkq
