// `nkq --quick read` end to end against modems that answer at once: one
// port with and without --quick, and a batch of eight ports against one.
// The figures include the 500 ms pause after "STOP", which --quick keeps.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "NkqRun.h"
#include "VirtualModem.h"

namespace nkq::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr int kBatchPorts = 8;

struct Figure {
    double median, min, max;
};

// The median of kRuns runs of `arguments`; a failed run fails the benchmark.
bool Measure(const std::vector<std::string>& arguments, Figure& figure) {
    std::vector<double> runs;
    for (int run = 0; run < kRuns; ++run) {
        const double took = RunNkq(arguments);
        if (took < 0) return false;
        runs.push_back(took / 1000);
    }
    std::sort(runs.begin(), runs.end());
    figure = {runs[kRuns / 2], runs.front(), runs.back()};
    return true;
}

void Print(const char* name, const Figure& figure) {
    std::printf("%s %.2f (median of %d; min %.2f, max %.2f)\n", name, figure.median, kRuns, figure.min,
                figure.max);
}

// "read --port A --port B ... --output-dir DIR", with --quick when asked.
std::vector<std::string> ReadArguments(const std::vector<std::unique_ptr<VirtualModem>>& modems,
                                       std::size_t count, bool quick, const fs::path& dir) {
    std::vector<std::string> arguments{"read"};
    if (quick) arguments.push_back("--quick");
    for (std::size_t i = 0; i < count; ++i) {
        arguments.push_back("--port");
        arguments.push_back(modems[i]->DevicePath());
    }
    arguments.push_back("--output-dir");
    arguments.push_back(dir.string());
    return arguments;
}

}  // namespace
}  // namespace nkq::bench

int main() {
    using namespace nkq::bench;
    const fs::path dir = fs::temp_directory_path() / ("nkq-bench-quick-" + std::to_string(getpid()));
    std::vector<std::unique_ptr<nkq::VirtualModem>> modems;
    for (int i = 0; i < kBatchPorts; ++i) modems.push_back(std::make_unique<nkq::VirtualModem>());
    Figure plain{}, quick{}, batch{};
    const bool measured = Measure(ReadArguments(modems, 1, false, dir), plain) &&
                          Measure(ReadArguments(modems, 1, true, dir), quick) &&
                          Measure(ReadArguments(modems, kBatchPorts, true, dir), batch);
    fs::remove_all(dir);
    if (!measured) {
        std::fprintf(stderr, "nkq read failed\n");
        return 1;
    }
    Print("nkq_read_plain_s", plain);
    Print("nkq_read_quick_s", quick);
    Print("nkq_read_quick_8_ports_s", batch);
    std::printf("nkq_read_quick_8_ports_over_1 %.3f (medians)\n", batch.median / quick.median);
    return 0;
}
