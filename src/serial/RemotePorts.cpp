#include "RemotePorts.h"

#include <algorithm>
#include <cstdlib>

namespace nkq {

std::vector<std::string> SplitRemotePorts(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    std::vector<std::string> names;
    for (auto begin = text.find_first_not_of(kBlanks); begin != std::string_view::npos;) {
        const auto end = std::min(text.find_first_of(kBlanks, begin), text.size());
        names.emplace_back(text.substr(begin, end - begin));
        begin = text.find_first_not_of(kBlanks, end);
    }
    return names;
}

void AppendRemotePorts(std::vector<std::string>& names) {
    const char* text = std::getenv(kRemotePortsVariable);
    if (!text) return;
    for (auto& name : SplitRemotePorts(text)) names.push_back(std::move(name));
}

}  // namespace nkq
