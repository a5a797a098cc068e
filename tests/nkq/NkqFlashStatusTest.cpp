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

#include "NkqRun.h"
#include "Timing.h"
#include "VirtualModem.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class NkqFlashStatusTest : public NkqTest {
protected:
    std::string Image(std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31) ^ (i >> 9));
        std::ofstream(dir / "image.mfw", std::ios::binary) << bytes;
        return bytes;
    }
    std::string ImagePath() const { return (dir / "image.mfw").string(); }
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
    EXPECT_TRUE(DeviceIsFree(modem.DevicePath()));
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
    RunningNkq nkq({"flash", "--port", modem.DevicePath(), "--yes", ImagePath()}, dir.Path());
    ASSERT_TRUE(WaitUntil([&] { return modem.PacketsReceived() >= 3; }, 10s));
    nkq.Interrupt();
    const auto result = nkq.Wait();
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.err, "Firmware update stopped after block ")) << result.err;
    EXPECT_TRUE(Contains(result.err, "may need to be restarted")) << result.err;
    EXPECT_FALSE(Contains(result.err, "Ошибка. Проверьте подключение устройства"));
    EXPECT_LT(modem.PacketsReceived(), 10);
    EXPECT_EQ(modem.UploadsCompleted(), 0);
    EXPECT_TRUE(DeviceIsFree(modem.DevicePath()));
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
    EXPECT_TRUE(DeviceIsFree(modem.DevicePath()));
}

TEST_F(NkqFlashStatusTest, StatusWatchPollsAgainUntilCtrlCThenSendsStart) {
    VirtualModem modem;
    const std::string trace = (dir / "trace.log").string();
    RunningNkq nkq({"--trace", trace, "status", "--port", modem.DevicePath(), "--watch"}, dir.Path());
    const auto polls = [&] {
        const Lines lines = modem.CommandLines();
        return std::count(lines.begin(), lines.end(), "TCP");
    };
    ASSERT_TRUE(WaitUntil([&] { return polls() >= 2; }, 30s));
    ProgramResult result;
    const auto ending = Timed([&] {
        nkq.Interrupt();
        result = nkq.Wait();
    });
    EXPECT_LT(ending, 2 * kTimeout) << "the poll in flight ends, no more";
    EXPECT_EQ(result.exit_status, 0) << result.err;
    modem.WaitForCommandLines(4, 10s);
    EXPECT_EQ(modem.CommandLines(), (Lines{"STOP", "TCP", "TCP", "START"}));
    const std::string listing = "Текущие подключения:\r\n192.168.0.5:1234\r\n10.20.30.40:5000\r\n";
    EXPECT_EQ(result.out, listing + listing);
    // The second poll comes a full interval after the first one ended, where
    // the trace stamps them: the first wait and the 5 s interval, short of a
    // second interval.
    const Lines lines = SplitLines(ReadFile(trace));
    const std::size_t first = FindTransfer(lines, "->", "\"TCP\\r\"");
    const std::size_t second = FindTransfer(lines, "->", "\"TCP\\r\"", first + 1);
    ASSERT_LT(second, lines.size()) << ReadFile(trace);
    EXPECT_GE(std::stod(lines[second]) - std::stod(lines[first]), 8.0);
    EXPECT_LT(std::stod(lines[second]) - std::stod(lines[first]), 13.0);
}

}  // namespace
}  // namespace nkq::testing
