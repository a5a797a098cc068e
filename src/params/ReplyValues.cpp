#include "params/ReplyValues.h"

#include <array>
#include <string_view>

#include "params/ParameterLines.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"

namespace nkq {

namespace {

using namespace modem;

// Every key a reply line may begin with to set something.
constexpr std::array<std::string_view, 24> kReplyKeys{
    kInterfaceKey,     kComFlowKey,       kDeviceKey,        kNameKey,          kModeKey,
    kVersionKey,       kDestIpKey,        kDestPortKey,      kServerPortKey,    kIdleTimeKey,
    kApnKey,           kLoginKey,         kPasswordKey,      kComRateKey,       kComBitsKey,
    kComParityKey,     kParitySelectKey,  kComStopBitKey,    kCheckPairKeys[0], kCheckPairKeys[1],
    kCheckPairKeys[2], kCheckPairKeys[3], kCheckPairKeys[4], kCsqKey,
};

// Keys match as prefixes of the line, as ParseParameters applies them; the
// version's key counts only with its blank.
bool SetsParameter(std::string_view line) {
    for (const auto key : kReplyKeys) {
        if (!line.starts_with(key)) continue;
        if (key == kVersionKey && !line.substr(key.size()).starts_with(' ')) continue;
        return true;
    }
    return false;
}

}  // namespace

std::map<std::string, std::string> ReplyValues(const std::string& reply) {
    std::map<std::string, std::string> values;
    for (const auto& line : SplitLines(reply)) values[LineKey(line)] = ExtractValue(line);
    return values;
}

bool ReplySetsParameters(const std::string& reply) {
    for (const auto& line : SplitLines(reply))
        if (SetsParameter(line)) return true;
    return false;
}

}  // namespace nkq
