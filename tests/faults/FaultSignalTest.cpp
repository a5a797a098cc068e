// Signals arriving while the workstation reads, writes and waits: a handler
// without SA_RESTART makes every blocking call fail with EINTR. Nothing may
// fail spuriously, and no time-out may shrink or grow: a wait is held short
// of a second time-out, and one restarted by every signal would not end while
// the storm lasts. Each case counts the signals that came during its call.
#include <gtest/gtest.h>

#include <algorithm>

#include "FaultSupport.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/ReadParameters.h"
#include "operations/WriteParameters.h"
#include "serial/CommandExchange.h"

namespace nkq::faults {
namespace {

using nkq::testing::kTimeout;
using nkq::testing::TookOneWait;
using Target = SignalStorm::Target;

class FaultSignals : public ModemFaultTest, public ::testing::WithParamInterface<Target> {};

TEST_P(FaultSignals, ReadTimeoutHoldsWhileSignalsArrive) {
    Behave([](ModemBehaviour& b) { b.silent = true; });
    port.Open();
    char byte = 'x';
    int got = -1;
    Stopwatch watch;
    EXPECT_GT(DuringStorm(GetParam(), [&] { got = port.Read(&byte, 1); }), 0);
    EXPECT_TRUE(TookOneWait(watch.Wall(), kTimeout - 100ms));
    EXPECT_EQ(got, 0);
    EXPECT_EQ(byte, 'x');
}

TEST_P(FaultSignals, LongWriteCompletesWhileSignalsArrive) {
    // Far more than the line's buffer, so each write waits for room many
    // times. An idle machine moves it in a few milliseconds, during which a
    // busy one may not run the storm at all: the writes go on until signals
    // have come during them.
    const std::string bytes(256 * 1024, 'A');
    port.Open();
    for (int during = 0; during < 10;) {
        int written = -1;
        during += DuringStorm(
            GetParam(), [&] { written = port.Write(bytes.data(), static_cast<int>(bytes.size())); }, 200us);
        ASSERT_EQ(written, static_cast<int>(bytes.size()));
    }
    port.Close();
}

TEST_P(FaultSignals, ExchangeKeepsItsWaitsWhileSignalsArrive) {
    port.Open();
    std::string reply;
    Stopwatch watch;
    EXPECT_GT(DuringStorm(GetParam(), [&] { reply = ExchangeCommand(port, op, "TCP"); }), 0);
    EXPECT_TRUE(TookOneWait(watch.Wall(), kTimeout - 100ms));
    EXPECT_EQ(reply, "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK");
    EXPECT_TRUE(op.Messages().empty());
}

TEST_P(FaultSignals, SilentModemStillTimesOutOnceWhileSignalsArrive) {
    Behave([](ModemBehaviour& b) { b.silent = true; });
    port.Open();
    Stopwatch watch;
    EXPECT_GT(DuringStorm(GetParam(), [&] { EXPECT_THROW(ExchangeCommand(port, op, "GET"), EAbort); }), 0);
    EXPECT_TRUE(TookOneWait(watch.Wall(), kTimeout - 100ms));
    EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kTimeout});
    EXPECT_TRUE(port.Connected()) << "left open for the caller's START";
}

TEST_P(FaultSignals, ParametersAreReadAndWrittenWhileSignalsArrive) {
    Stopwatch watch;
    EXPECT_GT(DuringStorm(GetParam(),
                          [&] {
                              ReadModemParameters(session);
                              set.Fields().APNEdit.SetText("storm.apn");
                              WriteModemParameters(session);
                          }),
              0);
    EXPECT_EQ(op.Messages(), (std::vector<std::string>{messages::kReadSucceeded, messages::kWriteSucceeded}));
    EXPECT_EQ(modem->Parameters().Get("APN").value_or(""), "storm.apn");
    // Each operation stopped the modem's traffic and started it again. The
    // modem reads on its own thread: read, STOP GET START; write in client
    // mode, STOP CMD 13 lines SAVE START.
    modem->WaitForCommandLines(3 + 17, 10s);
    const auto lines = modem->CommandLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "STOP"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "START"), 2);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "START");
    // STOP pause and first wait of the read, STOP pause of the write.
    EXPECT_GE(watch.Wall(), 500ms + 3000ms + 500ms - 100ms);
    EXPECT_FALSE(port.Connected());
}

TEST_P(FaultSignals, FirmwareGoesOverWholeWhileSignalsArrive) {
    const std::string image = MakeImage(6);
    op.QueueAnswer(true);
    UpdateResult result = UpdateResult::Failed;
    Stopwatch watch;
    EXPECT_GT(DuringStorm(GetParam(), [&] { result = UpdateFirmware(firmware); }), 0);
    EXPECT_EQ(result, UpdateResult::Updated);
    EXPECT_TRUE(op.Messages().empty());
    EXPECT_EQ(modem->FirmwareImage(), image);
    // The loader pause must not be cut short by the signals.
    EXPECT_GE(watch.Wall(), 1950ms);
}

INSTANTIATE_TEST_SUITE_P(Storms, FaultSignals, ::testing::Values(Target::Thread, Target::Process),
                         [](const auto& info) {
                             return info.param == Target::Thread ? "AtTheCaller" : "AtAnyThread";
                         });

}  // namespace
}  // namespace nkq::faults
