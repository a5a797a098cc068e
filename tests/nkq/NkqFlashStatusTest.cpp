// nkq flash and nkq status as a script or a technician runs them: the real
// program, a real pseudo-terminal and the virtual modem at the other end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ProgramRun.h"
#include "TestFiles.h"
#include "VirtualModem.h"
#include "serial/ComPort.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

ProgramResult Nkq(const std::vector<std::string>& arguments) { return RunProgram(NKQ_PROGRAM, arguments); }

// nkq running in the background, so a test can press Ctrl+C while it works.
class RunningNkq {
public:
    RunningNkq(const std::vector<std::string>& arguments, const fs::path& dir)
        : out_(dir / "out.txt"), err_(dir / "err.txt") {
        pid_ = fork();
        if (pid_ != 0) return;
        dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
        dup2(open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        dup2(open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(NKQ_PROGRAM)};
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(NKQ_PROGRAM, argv.data());
        _exit(127);
    }
    ~RunningNkq() {
        if (!waited_) {
            kill(pid_, SIGKILL);
            Wait();
        }
    }

    void Interrupt() const { kill(pid_, SIGINT); }

    ProgramResult Wait() {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0) {
        }
        waited_ = true;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out_), ReadFile(err_)};
    }

private:
    fs::path out_, err_;
    pid_t pid_ = -1;
    bool waited_ = false;
};

template <typename Condition>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class NkqFlashStatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("nkq-flash-cli-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Image(std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31) ^ (i >> 9));
        std::ofstream(dir / "image.mfw", std::ios::binary) << bytes;
        return bytes;
    }
    std::string ImagePath() const { return (dir / "image.mfw").string(); }

    static bool PortIsFree(const VirtualModem& modem) {
        TComPort probe(TComPortSetup::System);
        probe.SetPort(modem.DevicePath());
        probe.Open();
        probe.Close();
        return true;
    }

    fs::path dir;
};

TEST_F(NkqFlashStatusTest, HelpDescribesFlashAndStatus) {
    const auto general = Nkq({"--help"});
    for (const char* word : {"flash", "status", "--yes", "--watch"})
        EXPECT_TRUE(Contains(general.out, word)) << word;
    const auto flash = Nkq({"flash", "--help"});
    EXPECT_EQ(flash.exit_status, 0);
    for (const char* word : {"Usage: nkq flash --port PORT [--yes] IMAGE", "Ctrl+C", "loader"})
        EXPECT_TRUE(Contains(flash.out, word)) << word;
    const auto status = Nkq({"status", "--help"});
    EXPECT_EQ(status.exit_status, 0);
    for (const char* word : {"Usage: nkq status --port PORT [--watch]", "5 seconds", "START"})
        EXPECT_TRUE(Contains(status.out, word)) << word;
}

TEST_F(NkqFlashStatusTest, WrongCommandLinesEndWithStatusTwo) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"flash"},
                                               {"flash", "--port", "x"},
                                               {"flash", "--port", "x", "a", "b"},
                                               {"flash", "a", "--yes"},
                                               {"flash", "--port", "x", "--watch", "a"},
                                               {"status"},
                                               {"status", "--port", "x", "file"},
                                               {"status", "--port", "x", "--yes"},
                                               {"read", "--port", "x", "--yes"}}) {
        const auto result = Nkq(arguments);
        EXPECT_EQ(result.exit_status, 2) << ::testing::PrintToString(arguments);
        EXPECT_TRUE(Contains(result.err, "Usage")) << ::testing::PrintToString(arguments);
    }
}

TEST_F(NkqFlashStatusTest, FlashWithoutATerminalToAskNeedsYes) {
    VirtualModem modem;
    Image(1000);
    const auto result = Nkq({"flash", "--port", modem.DevicePath(), ImagePath()});
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_TRUE(Contains(result.err, "--yes"));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(modem.ReceivedBytes(), "");
}

TEST_F(NkqFlashStatusTest, FlashLoadsTheWholeBlocksOfTheImage) {
    VirtualModem modem;
    const std::string image = Image(3 * 512 + 200);
    const auto result = Nkq({"flash", "--port", modem.DevicePath(), "--yes", ImagePath()});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(modem.FirmwareImage(), image.substr(0, 3 * 512));
    EXPECT_EQ(modem.PacketsReceived(), 3);
    EXPECT_TRUE(Contains(result.err, "Вопрос: Вы собираетесь обновить ПО устройства. Вы уверены? yes\n"));
    EXPECT_TRUE(Contains(result.err, "100%  3/3 blocks  "));
    EXPECT_TRUE(
        Contains(result.err, "The last 200 bytes of " + ImagePath() + ", less than a block, are not sent"))
        << result.err;
    EXPECT_LT(result.err.find("are not sent"), result.err.find("Вопрос")) << "told before it starts";
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(PortIsFree(modem));
}

TEST_F(NkqFlashStatusTest, FlashProgressInALogIsAFewWholeLines) {
    ModemSetup setup;
    setup.behaviour.reply_delay = 40ms;  // about two seconds for the blocks
    VirtualModem modem(setup);
    Image(50 * 512);
    const auto result = Nkq({"flash", "--port", modem.DevicePath(), "--yes", ImagePath()});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_FALSE(Contains(result.err, "\r")) << "no in-place redraw when standard error is no terminal";
    Lines progress;
    std::istringstream lines(result.err);
    for (std::string line; std::getline(lines, line);)
        if (Contains(line, " blocks ")) progress.push_back(line);
    ASSERT_FALSE(progress.empty());
    EXPECT_LE(progress.size(), 4u) << "at most one line a second, plus the last";
    EXPECT_EQ(progress.back().rfind("100%  50/50 blocks  ", 0), 0u) << progress.back();
    EXPECT_TRUE(Contains(progress.back(), "KiB/s  0:00 left"));
}

TEST_F(NkqFlashStatusTest, FlashFailuresEndWithStatusOne) {
    ModemSetup setup;
    setup.behaviour.nak_block = 1;
    setup.behaviour.nak_times = 5;
    VirtualModem modem(setup);
    Image(512);
    const auto failed = Nkq({"flash", "--port", modem.DevicePath(), "--yes", ImagePath()});
    EXPECT_EQ(failed.exit_status, 1);
    EXPECT_TRUE(Contains(failed.err, "Ошибка передачи\nОшибка. Проверьте подключение устройства\n"))
        << failed.err;

    const auto missing = Nkq({"flash", "--port", modem.DevicePath(), "--yes", (dir / "none.mfw").string()});
    EXPECT_EQ(missing.exit_status, 1);
    EXPECT_TRUE(
        Contains(missing.err, "Cannot open file \"" + (dir / "none.mfw").string() + "\". No such file"));
    EXPECT_EQ(modem.PacketsReceived(), 5) << "nothing more was sent for the missing image";
}

TEST_F(NkqFlashStatusTest, CtrlCStopsAfterThePacketInFlightAndClosesThePort) {
    ModemSetup setup;
    setup.behaviour.reply_delay = 20ms;
    VirtualModem modem(setup);
    Image(200 * 512);
    RunningNkq nkq({"flash", "--port", modem.DevicePath(), "--yes", ImagePath()}, dir);
    ASSERT_TRUE(WaitUntil([&] { return modem.PacketsReceived() >= 3; }, 10s));
    nkq.Interrupt();
    const auto result = nkq.Wait();
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.err, "Firmware update stopped after block ")) << result.err;
    EXPECT_TRUE(Contains(result.err, "may need to be restarted")) << result.err;
    EXPECT_FALSE(Contains(result.err, "Ошибка. Проверьте подключение устройства"));
    EXPECT_LT(modem.PacketsReceived(), 10);
    EXPECT_EQ(modem.UploadsCompleted(), 0);
    EXPECT_TRUE(PortIsFree(modem));
}

TEST_F(NkqFlashStatusTest, StatusPrintsTheConnectionsBetweenStopAndStart) {
    VirtualModem modem;
    const auto result = Nkq({"status", "--port", modem.DevicePath()});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out, "Текущие подключения:\r\n192.168.0.5:1234\r\n10.20.30.40:5000\r\n");
    modem.WaitForCommandLines(3, 10s);  // the modem reads on its own thread
    EXPECT_EQ(modem.CommandLines(), (Lines{"STOP", "TCP", "START"}));
    EXPECT_FALSE(modem.TrafficStopped());
}

TEST_F(NkqFlashStatusTest, AStatusTimeOutStillEndsWithStartAndFails) {
    ModemSetup setup;
    setup.behaviour.silent = true;
    VirtualModem modem(setup);
    const auto result = Nkq({"status", "--port", modem.DevicePath()});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(Contains(result.err, "Тайм-аут\n"));
    EXPECT_FALSE(Contains(result.err, "WriteFile function failed")) << result.err;
    modem.WaitForCommandLines(3, 10s);
    EXPECT_EQ(modem.CommandLines(), (Lines{"STOP", "TCP", "START"}));
    EXPECT_TRUE(PortIsFree(modem));
}

TEST_F(NkqFlashStatusTest, StatusWatchPollsAgainUntilCtrlCThenSendsStart) {
    VirtualModem modem;
    RunningNkq nkq({"status", "--port", modem.DevicePath(), "--watch"}, dir);
    const auto polls = [&] {
        const Lines lines = modem.CommandLines();
        return std::count(lines.begin(), lines.end(), "TCP");
    };
    ASSERT_TRUE(WaitUntil([&] { return polls() >= 2; }, 15s));
    const auto second_poll = std::chrono::steady_clock::now();
    nkq.Interrupt();
    const auto result = nkq.Wait();
    EXPECT_LE(std::chrono::steady_clock::now() - second_poll, 4500ms) << "the poll in flight ends, no more";
    EXPECT_EQ(result.exit_status, 0) << result.err;
    modem.WaitForCommandLines(4, 10s);
    EXPECT_EQ(modem.CommandLines(), (Lines{"STOP", "TCP", "TCP", "START"}));
    const std::string listing = "Текущие подключения:\r\n192.168.0.5:1234\r\n10.20.30.40:5000\r\n";
    EXPECT_EQ(result.out, listing + listing);
    // The second poll comes a full interval after the first one ended.
    std::vector<std::chrono::microseconds> tcp_times;
    for (const auto& entry : modem.Trace())
        if (entry.direction == TraceDirection::ToModem && entry.bytes.find("TCP") != std::string::npos)
            tcp_times.push_back(entry.time);
    ASSERT_EQ(tcp_times.size(), 2u);
    EXPECT_GE(tcp_times[1] - tcp_times[0], 8000ms);
    EXPECT_LE(tcp_times[1] - tcp_times[0], 9000ms);
}

}  // namespace
}  // namespace nkq::testing
