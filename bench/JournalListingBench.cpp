// `nkq journal` over a journal of 100,000 operations (each a write with its
// message and 13 exchanges): the peak resident memory of the listing in each
// format, written to /dev/null, and how soon Ctrl+C ends one in progress.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "journal/JournalFile.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kRows = 100000;

// The journal's own schema made by one append, then the rows in one
// transaction straight in SQL: 100,000 appends one by one would take minutes.
void FillJournal(const std::filesystem::path& path) {
    nkq::journal::AppendToJournal(path, nkq::journal::OperationRecord{});
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const std::string sql =
        "BEGIN; DELETE FROM operation;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRows) +
        ") INSERT INTO operation (id, started, duration_ms, program, user, host, port, operation, result, "
        "modem_name, modem_device, modem_version, password_set, password_change) "
        "SELECT i, strftime('%Y-%m-%dT%H:%M:%fZ', 1796000000 + i, 'unixepoch'), 4210, 'nkq', 'anna', "
        "'bench-3', "
        "'/dev/ttyUSB' || (i % 8), 'write', 'succeeded', 'NKQ-GPRS ', 'virtual', '1.0', 1, 'unchanged' FROM "
        "n;"
        "INSERT INTO message SELECT id, 0, 'Параметры успешно записаны', NULL FROM operation;"
        "WITH RECURSIVE p(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM p WHERE k < 12) "
        "INSERT INTO exchange SELECT id, k, 'IPPING1 10.0.0.' || k || ' 80', 'OK' FROM operation, p;"
        "COMMIT;";
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "filling the journal failed: %s\n", error);
        std::exit(1);
    }
    sqlite3_close(db);
}

struct Run {
    int status = -1;
    double peak_mib = 0;
    double ms = 0;
};

// `nkq journal ARGS` with its output to /dev/null; `interrupt_after` sends
// SIGINT that long after the start and times the end from then.
Run Listing(const std::filesystem::path& journal, const std::vector<std::string>& arguments,
            std::chrono::milliseconds interrupt_after = {}) {
    std::vector<std::string> words{NKQ_PROGRAM, "journal"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string variable = "NKQ_JOURNAL=" + journal.string();
    std::vector<char*> env{const_cast<char*>(variable.c_str())};
    for (char** entry = environ; *entry; ++entry) env.push_back(*entry);
    env.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    posix_spawn(&pid, NKQ_PROGRAM, &quiet, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&quiet);
    auto from = start;
    if (interrupt_after.count() > 0) {
        std::this_thread::sleep_for(interrupt_after);
        from = Clock::now();
        kill(pid, SIGINT);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run run;
    run.ms = Ms(Clock::now() - from).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
    return run;
}

}  // namespace

int main() {
    const auto folder =
        std::filesystem::temp_directory_path() / ("nkq-bench-listing-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto journal = folder / "journal.sqlite3";
    FillJournal(journal);
    for (const auto& [name, arguments] : std::vector<std::pair<const char*, std::vector<std::string>>>{
             {"json", {"--json"}}, {"csv", {"--csv"}}, {"table", {}}}) {
        const Run run = Listing(journal, arguments);
        std::printf("journal_listing_%s_peak_mib %.1f (%d rows in %.1f s, exit status %d)\n", name,
                    run.peak_mib, kRows, run.ms / 1000, run.status);
    }
    const Run stopped = Listing(journal, {"--json"}, std::chrono::milliseconds(300));
    std::printf("journal_listing_stop_after_ctrl_c_ms %.1f (exit status %d)\n", stopped.ms, stopped.status);
    std::filesystem::remove_all(folder);
    return 0;
}
