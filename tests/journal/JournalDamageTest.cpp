// A journal that cannot be used never stops an operation: one warning, no
// exception, and the file left exactly as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>

#include "JournalFixture.h"
#include "SqliteConnection.h"
#include "journal/JournalFile.h"
#include "journal/WorkJournal.h"

namespace nkq::journal::testing {
namespace {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Junk(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919 + 13) % 251);
    return bytes;
}

struct DamageCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> damage;
    const char* reason;  // part of the warning
};

void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.name; }

class DamagedJournal : public JournalFixture, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedJournal, WarnsOnceAndLeavesTheFileAlone) {
    GetParam().damage(path_);
    const std::string before = nkq::testing::ReadFile(path_);
    WorkJournal journal(ProgramKind::Nkq, path_);

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(journal.Append(SampleWrite()));
    EXPECT_FALSE(journal.Append(SampleFlash()));
    const std::string warnings = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(nkq::testing::ReadFile(path_), before);
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
    EXPECT_NE(warnings.find("warning: the work journal is not being kept"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find(GetParam().reason), std::string::npos) << warnings;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedJournal,
    ::testing::Values(
        DamageCase{"JunkBytes", [](const auto& path) { WriteBytes(path, Junk(8192)); }, "not a database"},
        DamageCase{"DamagedPages",
                   [](const auto& path) {
                       AppendToJournal(path, SampleWrite());
                       std::string bytes = nkq::testing::ReadFile(path);
                       WriteBytes(path, bytes.substr(0, 4096) + Junk(bytes.size() - 4096));
                   },
                   "malformed"},
        DamageCase{"ForeignDatabase",
                   [](const auto& path) {
                       SqliteConnection other(path, SqliteConnection::Opening::Create);
                       other.Execute("CREATE TABLE invoice (total INTEGER)");
                   },
                   "not a work journal"},
        DamageCase{"NewerVersion",
                   [](const auto& path) {
                       AppendToJournal(path, SampleWrite());
                       SqliteConnection newer(path, SqliteConnection::Opening::Existing);
                       newer.Execute("PRAGMA user_version = 7");
                   },
                   "journal version 7 is newer"},
        DamageCase{"FolderInTheWay", [](const auto& path) { std::filesystem::create_directories(path); },
                   "cannot open"}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST_F(JournalFixture, JunkGainsNoCompanionFiles) {
    WriteBytes(path_, Junk(4096));
    WorkJournal journal(ProgramKind::Window, path_);
    ::testing::internal::CaptureStderr();
    journal.Append(SampleWrite());
    ::testing::internal::GetCapturedStderr();
    for (const char* companion : {"-wal", "-shm", "-journal"}) {
        EXPECT_FALSE(std::filesystem::exists(path_.string() + companion)) << companion;
    }
}

// Another program holding the journal locked costs one short wait, not the
// ten seconds that would hold up an operation and a Ctrl+C after it.
TEST_F(JournalFixture, ALockedJournalCostsOneShortWaitAndTheWarning) {
    AppendToJournal(path_, SampleWrite());
    SqliteConnection holder(path_, SqliteConnection::Opening::Existing);
    holder.Execute("BEGIN EXCLUSIVE");
    WorkJournal journal(ProgramKind::Nkq, path_);
    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(journal.Append(SampleFlash()));
    const auto took = std::chrono::steady_clock::now() - start;
    // The next port of a batch does not wait all over again.
    EXPECT_FALSE(journal.Append(SampleFlash()));
    const auto next_took = std::chrono::steady_clock::now() - start - took;
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    holder.Execute("ROLLBACK");
    EXPECT_GE(took, kLockedJournalWait);
    EXPECT_LT(took, std::chrono::seconds(5)) << "well short of the old ten-second wait";
    EXPECT_LT(next_took, kLockedJournalWait);
    EXPECT_NE(warnings.find("locked"), std::string::npos) << warnings;
    // Once the lock is gone the journal takes rows again.
    EXPECT_TRUE(journal.Append(SampleFlash()));
    EXPECT_EQ(ReadJournal(path_).size(), 2u);
}

TEST_F(JournalFixture, RecordingOffWritesNothingAndSaysNothing) {
    WorkJournal journal(ProgramKind::Nkq, std::nullopt);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(journal.Append(SampleWrite()));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder_.Path()));
}

}  // namespace
}  // namespace nkq::journal::testing
