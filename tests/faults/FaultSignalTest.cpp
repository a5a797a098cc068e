// Signals arriving while the workstation reads, writes and waits: a handler
// without SA_RESTART makes every blocking call fail with EINTR. Nothing may
// fail spuriously, and no time-out may shrink or grow (the upper bounds leave
// room for a busy machine; a wait restarted by every signal would not end).
#include <gtest/gtest.h>

#include <algorithm>

#include "FaultSupport.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/ReadParameters.h"
#include "operations/WriteParameters.h"
#include "serial/CommandExchange.h"

namespace nkq::faults {
namespace {

using Target = SignalStorm::Target;

class FaultSignals : public ModemFaultTest, public ::testing::WithParamInterface<Target> {
protected:
    void ExpectStormed(int before) { EXPECT_GT(SignalStorm::Delivered() - before, 100); }
};

TEST_P(FaultSignals, ReadTimeoutHoldsWhileSignalsArrive) {
    Behave([](ModemBehaviour& b) { b.silent = true; });
    port.Open();
    const int before = SignalStorm::Delivered();
    char byte = 'x';
    int got = -1;
    Stopwatch watch;
    {
        SignalStorm storm(GetParam());
        got = port.Read(&byte, 1);
    }
    EXPECT_EQ(got, 0);
    EXPECT_EQ(byte, 'x');
    EXPECT_GE(watch.Wall(), 2900ms);
    EXPECT_LE(watch.Wall(), 4500ms);
    ExpectStormed(before);
}

TEST_P(FaultSignals, LongWriteCompletesWhileSignalsArrive) {
    // Far more than the line's buffer, so the write waits for room many times.
    const std::string bytes(256 * 1024, 'A');
    port.Open();
    const int before = SignalStorm::Delivered();
    int written = -1;
    {
        SignalStorm storm(GetParam(), 200us);
        written = port.Write(bytes.data(), static_cast<int>(bytes.size()));
    }
    EXPECT_EQ(written, static_cast<int>(bytes.size()));
    port.Close();
    EXPECT_GT(SignalStorm::Delivered() - before, 10);
}

TEST_P(FaultSignals, ExchangeKeepsItsWaitsWhileSignalsArrive) {
    port.Open();
    const int before = SignalStorm::Delivered();
    std::string reply;
    Stopwatch watch;
    {
        SignalStorm storm(GetParam());
        reply = ExchangeCommand(port, op, "TCP");
    }
    EXPECT_EQ(reply, "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK");
    EXPECT_GE(watch.Wall(), 2900ms);
    EXPECT_LE(watch.Wall(), 4500ms);
    EXPECT_TRUE(op.Messages().empty());
    ExpectStormed(before);
}

TEST_P(FaultSignals, SilentModemStillTimesOutOnceWhileSignalsArrive) {
    Behave([](ModemBehaviour& b) { b.silent = true; });
    port.Open();
    Stopwatch watch;
    {
        SignalStorm storm(GetParam());
        EXPECT_THROW(ExchangeCommand(port, op, "GET"), EAbort);
    }
    EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kTimeout});
    EXPECT_GE(watch.Wall(), 2900ms);
    EXPECT_LE(watch.Wall(), 4500ms);
    EXPECT_TRUE(port.Connected()) << "left open for the caller's START";
}

TEST_P(FaultSignals, ParametersAreReadAndWrittenWhileSignalsArrive) {
    Stopwatch watch;
    {
        SignalStorm storm(GetParam());
        ReadModemParameters(session);
        set.Fields().APNEdit.SetText("storm.apn");
        WriteModemParameters(session);
    }
    EXPECT_EQ(op.Messages(), (std::vector<std::string>{messages::kReadSucceeded, messages::kWriteSucceeded}));
    EXPECT_EQ(modem->Parameters().Get("APN").value_or(""), "storm.apn");
    // Each operation stopped the modem's traffic and started it again. The
    // modem reads on its own thread: read, STOP GET START; write in client
    // mode, STOP CMD 13 lines SAVE START.
    modem->WaitForCommandLines(3 + 17, 2s);
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
    {
        SignalStorm storm(GetParam());
        result = UpdateFirmware(firmware);
    }
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
