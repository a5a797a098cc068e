// The work journal as nkq keeps it: every operation's row, written by the
// real program against the virtual modem and read back with `nkq journal`.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <thread>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "NkqRun.h"
#include "VirtualModem.h"
#include "app/OperatorMessages.h"
#include "journal/JournalFile.h"

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

class NkqJournalTest : public NkqTest {
protected:
    void SetUp() override {
        File("fleet.txt", kSettings);
        File("image.mfw", std::string(2 * 512 + 100, '\x5A'));
    }

    // `rows` writes with their exchanges, appended as the programs do.
    void FillJournal(int rows) {
        for (int row = 0; row < rows; ++row) {
            journal::OperationRecord record;
            record.Started = journal::JournalClock::now();
            record.Port = "/dev/ttyUSB" + std::to_string(row % 8);
            record.Operation = journal::OperationKind::Write;
            record.Result = journal::Outcome::Succeeded;
            record.Messages = {{"Параметры успешно записаны", std::nullopt}};
            for (int line = 0; line < 13; ++line) record.Exchanges.push_back({"APN fleet", "OK"});
            journal::AppendToJournal(Journal(), record);
        }
    }

    // `nkq journal --json` into a pipe nobody reads, ended by `signal_number`
    // once the pipe is full; the program must end within a second time-out.
    ProgramResult StopBlockedListing(int signal_number) {
        int pipe_fds[2];
        EXPECT_EQ(::pipe(pipe_fds), 0);
        const fs::path err = dir / "listing.err";
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(pipe_fds[1], STDOUT_FILENO);
            const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err_fd, STDERR_FILENO);
            ::close(pipe_fds[0]);
            ::setenv("NKQ_JOURNAL", Journal().c_str(), 1);
            ::execl(NKQ_PROGRAM, NKQ_PROGRAM, "journal", "--json", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipe_fds[1]);
        int queued = 0;
        for (int wait = 0; wait < 1000 && queued < 60000; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::ioctl(pipe_fds[0], FIONREAD, &queued);
        }
        EXPECT_GE(queued, 60000) << "the listing never filled the pipe";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::kill(child, signal_number);
        int status = 0;
        pid_t ended = 0;
        for (int wait = 0; wait < 450 && ended == 0; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ended = ::waitpid(child, &status, WNOHANG);
        }
        if (ended == 0) {
            ADD_FAILURE() << "the listing went on after the stop";
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        ::close(pipe_fds[0]);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, ReadFile(err)};
    }

    ProgramResult Nkq(const std::vector<std::string>& arguments) {
        return testing::Nkq(arguments, {"NKQ_JOURNAL=" + Journal().string()});
    }
    fs::path Journal() const { return dir / "journal.sqlite3"; }
    std::string Path(const char* name) const { return (dir / name).string(); }
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
    EXPECT_TRUE(Contains(json.out, "\"blocks\":2")) << json.out;
    EXPECT_TRUE(Contains(json.out, "\"blocks_acknowledged\":2")) << json.out;
    EXPECT_TRUE(Contains(json.out, Path("image.mfw"))) << json.out;
    const ProgramResult failed = Nkq({"journal", "--csv", "--failed"});
    EXPECT_TRUE(Contains(failed.out, ",read,failed,")) << failed.out;
    EXPECT_FALSE(Contains(failed.out, ",write,")) << failed.out;

    EXPECT_FALSE(Contains(ReadFile(Journal()), kSecret));
    EXPECT_FALSE(Contains(Nkq({"journal", "--json"}).out, kSecret));
}

// A write or verify that never opened a port, because its file was refused or
// missing, still leaves a failed row for each port, with what was said.
TEST_F(NkqJournalTest, AFileRefusedBeforeAnyPortLeavesFailedRows) {
    File("twice.txt", kSettings + "PASSWORD " + kSecret + "\r\n");
    EXPECT_EQ(Nkq({"write", "--port", "ttyNONE0", "--port", "ttyNONE1", Path("twice.txt")}).exit_status, 1);
    EXPECT_EQ(Nkq({"verify", "--port", "ttyNONE0", Path("missing.txt")}).exit_status, 1);
    const ProgramResult csv = Nkq({"journal", "--csv"});
    EXPECT_TRUE(Contains(csv.out, "ttyNONE0,verify,failed,")) << csv.out;
    EXPECT_TRUE(Contains(csv.out, "missing.txt")) << csv.out;
    EXPECT_TRUE(Contains(csv.out, "ttyNONE0,write,failed,")) << csv.out;
    EXPECT_TRUE(Contains(csv.out, "ttyNONE1,write,failed,")) << csv.out;
    EXPECT_TRUE(Contains(csv.out, "\"\"PASSWORD ********\"\": PASSWORD is set on line 7 already")) << csv.out;
    EXPECT_FALSE(Contains(ReadFile(Journal()), kSecret));
}

// Only the PASSWORD line's value is masked: a password that is also the
// login, or a digit of the rate, leaves those lines as they were sent.
TEST_F(NkqJournalTest, OnlyThePasswordLinesValueIsMasked) {
    std::string settings = kSettings;
    settings.replace(settings.find("APN fleet"), 9, "APN internet.mts.ru");
    settings.replace(settings.find("LOGIN user"), 10, "LOGIN mts");
    settings.replace(settings.find(kSecret), std::string(kSecret).size(), "mts");
    File("mts.txt", settings);
    VirtualModem modem;
    ASSERT_EQ(Nkq({"write", "--port", modem.DevicePath(), Path("mts.txt")}).exit_status, 0);
    const ProgramResult json = Nkq({"journal", "--json"});
    for (const char* sent :
         {"\"APN internet.mts.ru\"", "\"LOGIN mts\"", "\"COMRATE 9600\"", "\"PASSWORD ********\""})
        EXPECT_TRUE(Contains(json.out, std::string("{\"sent\":") + sent)) << sent << "\n" << json.out;
    EXPECT_FALSE(Contains(json.out, "PASSWORD mts"));
}

// A listing is written as it is read: a reader that has seen enough ends it
// quietly, and a stop ends it even while its reader takes nothing.
TEST_F(NkqJournalTest, AListingEndsQuietlyWhenItsReaderGoesAndAtOnceWhenStopped) {
    FillJournal(300);
    const ProgramResult head = RunProgram(
        "/bin/bash",
        {"-c", std::string(NKQ_PROGRAM) + " journal --json | head -c 100 >/dev/null; exit ${PIPESTATUS[0]}"},
        {"NKQ_JOURNAL=" + Journal().string()});
    EXPECT_EQ(head.exit_status, 0) << head.err;
    EXPECT_EQ(head.err, "");

    for (const int signal_number : {SIGTERM, SIGINT}) {
        const auto stopped = StopBlockedListing(signal_number);
        EXPECT_EQ(stopped.exit_status, 1) << signal_number;
        EXPECT_EQ(stopped.err, "The listing was stopped.\n") << signal_number;
    }
}

// The journal is opened read only for a listing.
TEST_F(NkqJournalTest, AUserWhoMayOnlyReadTheJournalListsIt) {
    if (::getuid() != 0) GTEST_SKIP() << "needs root to become another user";
    FillJournal(3);
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(Journal(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                   fs::perms::others_read);
    const ProgramResult listed = RunProgram(
        "/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", NKQ_PROGRAM, "journal"},
        {"NKQ_JOURNAL=" + Journal().string()});
    EXPECT_EQ(listed.exit_status, 0) << listed.err;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 4) << listed.out;
}

TEST_F(NkqJournalTest, ADamagedJournalCostsOneWarningAndNeverTheOperation) {
    std::ofstream(Journal(), std::ios::binary) << std::string(4096, '\x13');
    const std::string before = ReadFile(Journal());
    VirtualModem modem;
    const ProgramResult write = Nkq({"write", "--port", modem.DevicePath(), Path("fleet.txt")});
    EXPECT_EQ(write.exit_status, 0) << write.err;
    EXPECT_TRUE(Contains(write.err, messages::kWriteSucceeded));
    EXPECT_TRUE(Contains(write.err, "warning: the work journal")) << write.err;
    EXPECT_EQ(ReadFile(Journal()), before);
}

}  // namespace
}  // namespace nkq::testing
