// nkq ended by a signal, as timeout, systemd or a closed session end it: the
// step in flight finishes, the modem gets "START", the port is freed and the
// stop is told. The real program against virtual modems.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

#include "NkqRun.h"
#include "Timing.h"
#include "VirtualModem.h"

namespace nkq::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kClientFile =
    "MODE 1\r\nDESTIP 10.0.0.7\r\nDESTPORT 5001\r\nIDLETIME 5\r\nAPN fleet\r\nLOGIN \r\nPASSWORD \r\n"
    "COMRATE 9600\r\nCOMFC 0\r\nCOMBITS 8\r\nCOMPARITY 0\r\nPARITYSELECT 0\r\nCOMSTOPBIT 0\r\n";

struct SignalCase {
    std::string name;
    std::string signal;                  // as kill names it
    std::string after;                   // seconds from the start
    std::vector<std::string> arguments;  // PORT1, PORT2, FILE and IMAGE stand for the real ones
    int modems = 1;
    int exit_status = 1;
    std::string told;  // a part of standard error; empty: nothing in particular
    bool sends_start = true;
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.name; }

class NkqSignalTest : public NkqTest, public ::testing::WithParamInterface<SignalCase> {
protected:
    void SetUp() override {
        File("settings.txt", kClientFile);
        File("image.mfw", std::string(200 * 512, 'x'));
        ModemSetup setup;
        setup.behaviour.reply_delay = 200ms;  // a write takes about 3.5 s
        if (GetParam().arguments.front() == "flash") setup.behaviour.reply_delay = 20ms;
        for (int i = 0; i < GetParam().modems; ++i) modems.push_back(std::make_unique<VirtualModem>(setup));
    }

    std::vector<std::string> Arguments() const {
        std::vector<std::string> arguments = GetParam().arguments;
        for (auto& argument : arguments) {
            if (argument == "PORT1") argument = modems[0]->DevicePath();
            if (argument == "PORT2") argument = modems[1]->DevicePath();
            if (argument == "FILE") argument = (dir / "settings.txt").string();
            if (argument == "IMAGE") argument = (dir / "image.mfw").string();
        }
        return arguments;
    }

    std::vector<std::unique_ptr<VirtualModem>> modems;
};

TEST_P(NkqSignalTest, AStopEndsTheStepInFlightThenStartAndFreesThePort) {
    // timeout sends the signal; --preserve-status hands back nkq's own status.
    std::vector<std::string> arguments{"--preserve-status", "-s", GetParam().signal, GetParam().after,
                                       NKQ_PROGRAM};
    for (const auto& argument : Arguments()) arguments.push_back(argument);
    const auto result = RunProgram("/usr/bin/timeout", arguments);

    EXPECT_EQ(result.exit_status, GetParam().exit_status) << result.err;
    EXPECT_TRUE(result.err.find(GetParam().told) != std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Ошибка. Проверьте подключение устройства"), std::string::npos) << result.err;
    for (const auto& modem : modems) {
        EXPECT_TRUE(DeviceIsFree(modem->DevicePath()));
        if (!GetParam().sends_start) continue;
        // The modem reads on its own thread: "START" may still be on its way.
        WaitUntil([&] { return !modem->CommandLines().empty() && modem->CommandLines().back() == "START"; });
        const auto lines = modem->CommandLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "START");
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "SAVE"), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, NkqSignalTest,
    ::testing::Values(
        SignalCase{"ReadTerm", "TERM", "1.5", {"read", "--port", "PORT1"}, 1, 1, "Read stopped"},
        SignalCase{
            "WriteInt", "INT", "1.5", {"write", "--port", "PORT1", "FILE"}, 1, 1, "Write stopped after "},
        SignalCase{
            "WriteHup", "HUP", "1.5", {"write", "--port", "PORT1", "FILE"}, 1, 1, "Write stopped after "},
        SignalCase{"BatchWriteTerm",
                   "TERM",
                   "1.5",
                   {"write", "--port", "PORT1", "--port", "PORT2", "FILE"},
                   2,
                   1,
                   "Write stopped after "},
        SignalCase{"FlashTerm",
                   "TERM",
                   "3",
                   {"flash", "--yes", "--port", "PORT1", "IMAGE"},
                   1,
                   1,
                   "Firmware update stopped",
                   false},
        SignalCase{"StatusWatchTerm", "TERM", "5", {"status", "--watch", "--port", "PORT1"}, 1, 0, ""}),
    [](const ::testing::TestParamInfo<SignalCase>& info) { return info.param.name; });

// The signals come from this process, at the times asked for: a shell would
// start a program for each pause, which a busy machine can delay a lot.
using NkqSecondSignalTest = NkqTest;

// A second signal, later than an echo, is the technician insisting: no
// clean-up, the status the signal itself would give.
TEST_F(NkqSecondSignalTest, EndsNkqAtOnce) {
    VirtualModem modem;
    RunningNkq nkq({"read", "--port", modem.DevicePath()}, dir.Path());
    // Both come during the first wait for the reply.
    ASSERT_TRUE(WaitUntil([&] { return modem.CommandLines().size() == 2; }));
    nkq.Signal(SIGTERM);
    std::this_thread::sleep_for(1s);
    nkq.Signal(SIGTERM);
    ProgramResult result;
    EXPECT_LT(Timed([&] { result = nkq.Wait(); }), 1500ms) << "the read in flight was waited for";
    EXPECT_EQ(result.exit_status, 128 + SIGTERM);
}

// timeout(1) echoes its signal to the process group; on a busy machine the
// echo can come while nkq is already ending after the stop. It comes well
// inside the echo time (200 ms).
TEST_F(NkqSecondSignalTest, AnEchoWhileEndingAfterTheStopChangesNothing) {
    VirtualModem modem;
    RunningNkq nkq({"status", "--watch", "--port", modem.DevicePath()}, dir.Path());
    // Stopped between two polls.
    ASSERT_TRUE(WaitUntil([&] { return Contains(ReadFile(dir / "out.txt"), "10.20.30.40:5000"); }));
    nkq.Signal(SIGTERM);
    std::this_thread::sleep_for(30ms);
    nkq.Signal(SIGTERM);
    const auto result = nkq.Wait();
    EXPECT_EQ(result.exit_status, 0) << result.err;
}

}  // namespace
}  // namespace nkq::testing
