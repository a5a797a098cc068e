// Recording one operation as an operation does it: a write of 17 lines with
// its messages, through the recorded run, into a journal that already holds
// earlier operations; the file is opened, appended to and closed each time.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchOperator.h"
#include "journal/WorkJournal.h"
#include "operations/RecordedRun.h"

namespace nkq::journal::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kEarlierOperations = 1000;
constexpr int kRuns = 200;

void RecordWrite(WorkJournal& journal, int run) {
    nkq::bench::BenchOperator shown;
    RunRecorded(journal, "/dev/ttyUSB" + std::to_string(run % 8), OperationKind::Write, shown,
                [](Operator& op, RunRecord& record) {
                    for (int line = 0; line < 16; ++line)
                        record.AddExchange("IPPING1 10.0.0." + std::to_string(line) + " 80", "OK");
                    record.PasswordSent("secret");
                    record.AddExchange("PASSWORD ********", "OK");
                    op.InformOperator("Параметры записаны");
                    return Outcome::Succeeded;
                });
}

}  // namespace
}  // namespace nkq::journal::bench

int main() {
    using namespace nkq::journal;
    using namespace nkq::journal::bench;
    const auto folder =
        std::filesystem::temp_directory_path() / ("nkq-bench-journal-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    WorkJournal journal(ProgramKind::Nkq, folder / "journal.sqlite3");
    for (int run = 0; run < kEarlierOperations; ++run) RecordWrite(journal, run);

    std::vector<double> took;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        RecordWrite(journal, run);
        took.push_back(Ms(Clock::now() - start).count());
    }
    std::filesystem::remove_all(folder);
    std::sort(took.begin(), took.end());
    std::printf(
        "journal_record_operation_ms %.2f (median of %d; 90th percentile %.2f, max %.2f; journal of %d)\n",
        took[kRuns / 2], kRuns, took[kRuns * 9 / 10], took.back(), kEarlierOperations + kRuns);
    return 0;
}
