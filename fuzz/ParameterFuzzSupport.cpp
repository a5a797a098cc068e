#include "ParameterFuzzSupport.h"

#include "FuzzCheck.h"
#include "app/Failure.h"
#include "params/ParameterLines.h"

namespace nkq::fuzz {

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace

void ApplyText(ParameterSet& set, const std::string& text) {
    try {
        ParseParameters(set, text);
    } catch (const EConvertError&) {
    } catch (const EAbort&) {
    }
}

void CheckRoundTrip(const ParameterSet& set) {
    const std::vector<std::string> written = BuildParameterLines(set);
    ParameterSet copy;
    copy.ApplyStartupRules();
    // Lines the set wrote itself must never fail to apply.
    ParseParameters(copy, JoinLines(written));
    NKQ_FUZZ_CHECK(BuildParameterLines(copy) == written);
}

}  // namespace nkq::fuzz
