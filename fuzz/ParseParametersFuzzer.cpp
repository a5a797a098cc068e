// A "GET" reply is whatever the modem (or the line noise) sends: applying it
// to a fresh parameter set must end normally or with a conversion failure or
// the silent abort, and leave a set whose lines survive a round trip.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "ParameterFuzzSupport.h"
#include "params/ParameterSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    nkq::ParameterSet set;
    set.ApplyStartupRules();
    nkq::fuzz::ApplyText(set, text);
    NKQ_FUZZ_CHECK(set.Level() >= 0 && set.Level() <= 5);
    nkq::fuzz::CheckRoundTrip(set);
    return 0;
}
