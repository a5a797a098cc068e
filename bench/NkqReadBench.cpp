// `nkq read` end to end against a modem that answers at once: the program's
// whole run, start-up included, less the waits the protocol prescribes
// ("STOP" pause 500 ms, first look at the reply after 3000 ms, one quiet
// 100 ms step) is the workstation's own overhead.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "NkqRun.h"
#include "VirtualModem.h"
#include "protocol/ModemCommands.h"

namespace nkq::bench {
namespace {

using Ms = std::chrono::duration<double, std::milli>;

constexpr int kRuns = 5;

double RunRead(const std::string& device, const std::string& output) {
    return RunNkq({"read", "--port", device, "--output", output});
}

}  // namespace
}  // namespace nkq::bench

int main() {
    using namespace nkq;
    using namespace nkq::bench;
    const Ms waits = modem::kStopPause + modem::kReplyFirstWait + modem::kReplyNextWait;
    const auto output =
        std::filesystem::temp_directory_path() / ("nkq-bench-read-" + std::to_string(getpid()));
    VirtualModem modem;
    std::vector<double> overheads;
    for (int run = 0; run < kRuns; ++run) {
        const double took = RunRead(modem.DevicePath(), output.string());
        if (took < 0) {
            std::fprintf(stderr, "nkq read failed\n");
            return 1;
        }
        overheads.push_back(took - waits.count());
    }
    std::filesystem::remove(output);
    std::sort(overheads.begin(), overheads.end());
    std::printf("nkq_read_overhead_ms %.1f (median of %d; min %.1f, max %.1f; waits of %.0f ms taken off)\n",
                overheads[kRuns / 2], kRuns, overheads.front(), overheads.back(), waits.count());
    return 0;
}
