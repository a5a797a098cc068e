// The work journal as nkq keeps it: every operation's row, written by the
// real program against the virtual modem and read back with `nkq journal`.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ProgramRun.h"
#include "VirtualModem.h"
#include "app/OperatorMessages.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSecret = "pass-9f2e1c";
const std::string kSettings = std::string(
                                  "MODE 1\r\nDESTIP 10.0.0.7\r\nDESTPORT 5001\r\nIDLETIME 5\r\nAPN fleet\r\n"
                                  "LOGIN user\r\nPASSWORD ") +
                              kSecret +
                              "\r\nCOMRATE 9600\r\nCOMFC 0\r\nCOMBITS 8\r\nCOMPARITY 0\r\nPARITYSELECT 0\r\n"
                              "COMSTOPBIT 0\r\n";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class NkqJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("nkq-journal-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "fleet.txt", std::ios::binary) << kSettings;
        std::ofstream(dir / "image.mfw", std::ios::binary) << std::string(2 * 512 + 100, '\x5A');
    }
    void TearDown() override { fs::remove_all(dir); }

    ProgramResult Nkq(const std::vector<std::string>& arguments) {
        return RunProgram(NKQ_PROGRAM, arguments, {"NKQ_JOURNAL=" + Journal().string()});
    }
    fs::path Journal() const { return dir / "journal.sqlite3"; }
    std::string Path(const char* name) const { return (dir / name).string(); }

    fs::path dir;
};

TEST_F(NkqJournalTest, EachOperationLeavesItsRowAndNoPassword) {
    VirtualModem modem;
    ASSERT_EQ(Nkq({"write", "--port", modem.DevicePath(), Path("fleet.txt")}).exit_status, 0);
    ASSERT_EQ(Nkq({"flash", "--yes", "--port", modem.DevicePath(), Path("image.mfw")}).exit_status, 0);
    modem.SetBehaviour([] {
        ModemBehaviour silent;
        silent.silent = true;
        return silent;
    }());
    ASSERT_EQ(Nkq({"read", "--port", modem.DevicePath()}).exit_status, 1);

    const ProgramResult table = Nkq({"journal"});
    ASSERT_EQ(table.exit_status, 0) << table.err;
    const auto read_row = table.out.find(" read ");
    const auto flash_row = table.out.find(" flash ");
    const auto write_row = table.out.find(" write ");
    ASSERT_NE(write_row, std::string::npos) << table.out;
    EXPECT_LT(read_row, flash_row) << "newest first";
    EXPECT_LT(flash_row, write_row);
    EXPECT_TRUE(Contains(table.out, messages::kTimeout)) << table.out;

    const ProgramResult json = Nkq({"journal", "--json", "--operation", "flash"});
    EXPECT_TRUE(Contains(json.out, "\"blocks\": 2")) << json.out;
    EXPECT_TRUE(Contains(json.out, "\"blocks_acknowledged\": 2")) << json.out;
    EXPECT_TRUE(Contains(json.out, Path("image.mfw"))) << json.out;
    const ProgramResult failed = Nkq({"journal", "--csv", "--failed"});
    EXPECT_TRUE(Contains(failed.out, ",read,failed,")) << failed.out;
    EXPECT_FALSE(Contains(failed.out, ",write,")) << failed.out;

    EXPECT_FALSE(Contains(Bytes(Journal()), kSecret));
    EXPECT_FALSE(Contains(Nkq({"journal", "--json"}).out, kSecret));
}

TEST_F(NkqJournalTest, ADamagedJournalCostsOneWarningAndNeverTheOperation) {
    std::ofstream(Journal(), std::ios::binary) << std::string(4096, '\x13');
    const std::string before = Bytes(Journal());
    VirtualModem modem;
    const ProgramResult write = Nkq({"write", "--port", modem.DevicePath(), Path("fleet.txt")});
    EXPECT_EQ(write.exit_status, 0) << write.err;
    EXPECT_TRUE(Contains(write.err, messages::kWriteSucceeded));
    EXPECT_TRUE(Contains(write.err, "warning: the work journal")) << write.err;
    EXPECT_EQ(Bytes(Journal()), before);
}

}  // namespace
}  // namespace nkq::testing
