// A batch of ports on threads and several programs at once: every row
// arrives, each whole.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <thread>
#include <vector>

#include "JournalFixture.h"
#include "journal/JournalFile.h"
#include "journal/WorkJournal.h"

namespace nkq::journal::testing {
namespace {

constexpr int kWriters = 4;
constexpr int kRowsEach = 15;

// Each record names its writer and row in its port and carries as many
// messages as its row number, so a half-written one would show.
OperationRecord Numbered(int writer, int row) {
    OperationRecord record = SampleWrite();
    record.Port = "w" + std::to_string(writer) + "r" + std::to_string(row);
    record.Messages.assign(static_cast<std::size_t>(row) + 1, {"message", std::nullopt});
    return record;
}

void WriteRows(WorkJournal& journal, int writer, int& stored) {
    for (int row = 0; row < kRowsEach; ++row) stored += journal.Append(Numbered(writer, row)) ? 1 : 0;
}

void ExpectEveryRowWhole(const std::filesystem::path& path, int writers) {
    const auto records = ReadJournal(path);
    ASSERT_EQ(records.size(), static_cast<std::size_t>(writers * kRowsEach));
    std::set<std::string> ports;
    for (const auto& record : records) {
        ports.insert(record.Port);
        const int row = std::stoi(record.Port.substr(record.Port.find('r') + 1));
        EXPECT_EQ(record.Messages.size(), static_cast<std::size_t>(row) + 1) << record.Port;
        EXPECT_EQ(record.Exchanges, SampleWrite().Exchanges) << record.Port;
    }
    EXPECT_EQ(ports.size(), records.size());
}

TEST_F(JournalFixture, ThreadsLoseNoRow) {
    WorkJournal journal(ProgramKind::Nkq, path_);
    std::vector<int> stored(2 * kWriters, 0);
    std::vector<std::thread> threads;
    for (int writer = 0; writer < 2 * kWriters; ++writer) {
        threads.emplace_back(
            [&, writer] { WriteRows(journal, writer, stored[static_cast<std::size_t>(writer)]); });
    }
    for (auto& thread : threads) thread.join();
    for (int count : stored) EXPECT_EQ(count, kRowsEach);
    ExpectEveryRowWhole(path_, 2 * kWriters);
}

// Processes start on a journal that does not exist yet, so they also race to
// create it.
TEST_F(JournalFixture, ProcessesLoseNoRow) {
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            WorkJournal journal(ProgramKind::Nkq, path_);
            int stored = 0;
            WriteRows(journal, writer, stored);
            ::_exit(stored == kRowsEach ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ExpectEveryRowWhole(path_, kWriters);
}

}  // namespace
}  // namespace nkq::journal::testing
