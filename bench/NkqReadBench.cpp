// `nkq read` end to end against a modem that answers at once: the program's
// whole run, start-up included, less the waits the protocol prescribes
// ("STOP" pause 500 ms, first look at the reply after 3000 ms, one quiet
// 100 ms step) is the workstation's own overhead.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "VirtualModem.h"
#include "protocol/ModemCommands.h"

extern char** environ;

namespace nkq::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kRuns = 5;

// Milliseconds the program ran; negative when it failed.
double RunRead(const std::string& device, const std::string& output) {
    std::vector<std::string> words{NKQ_PROGRAM, "read", "--port", device, "--output", output};
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    // The program's messages would only clutter the figures.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, NKQ_PROGRAM, &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const Ms took = Clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1;
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
