#pragma once
// Comparing the lines a modem should hold with what its reply says it holds.
#include <optional>
#include <string>
#include <vector>

namespace nkq {

struct KeyDifference {
    std::string key;
    std::string expected;               // the value of the expected line
    std::optional<std::string> actual;  // the modem's value; none when it lists no such key
};

// Every expected "KEY value" line whose value the reply does not hold, in
// the order of the expected lines. A reply line counts for the key a read
// applies it to (KeyOfLine), and values are compared as their fields hold
// them (SameFieldValue).
std::vector<KeyDifference> CompareWithReply(const std::vector<std::string>& expected_lines,
                                            const std::string& reply);

}  // namespace nkq
