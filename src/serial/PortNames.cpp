// The order of the port list and the selector's match rule, the same on
// every platform.
#include <algorithm>
#include <cctype>

#include "serial/PortList.h"

namespace nkq {

namespace {

int FoldCase(char c) { return std::tolower(static_cast<unsigned char>(c)); }

}  // namespace

bool PortNameLess(const std::string& left, const std::string& right) {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) { return FoldCase(a) < FoldCase(b); });
}

bool SamePortName(const std::string& left, const std::string& right) {
    const auto same = [](char a, char b) { return FoldCase(a) == FoldCase(b); };
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(), same);
}

}  // namespace nkq
