#include <gtest/gtest.h>

#include "ModemFixture.h"
#include "ReadComThread.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "serial/CommandExchange.h"
#include "serial/EComPort.h"

namespace nkq::testing {
namespace {

using namespace std::chrono_literals;

class CommandExchangeTest : public ModemFixture {
protected:
    void SetUp() override {
        ModemFixture::SetUp();
        port.Open();
    }
    void TearDown() override { port.Close(); }
};

TEST_F(CommandExchangeTest, ReplyIsCollectedAfterTheFirstWaitAndTrimmed) {
    std::string reply;
    const auto took = Timed([&] { reply = ExchangeCommand(port, op, "TCP"); });
    EXPECT_EQ(reply, "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK");
    // The reply arrives at once but is only looked at after 3000 ms.
    EXPECT_TRUE(TookOneWait(took, kTimeout - 50ms));
    EXPECT_TRUE(op.Calls().empty());
}

TEST_F(CommandExchangeTest, TrimmingRemovesCodesUpToBlankAtBothEndsOnly) {
    EXPECT_EQ(TrimReply(" \r\n\t\x01OK  A\r\n\x1f "), "OK  A");
    EXPECT_EQ(TrimReply("\r\n \r\n"), "");
    EXPECT_EQ(TrimReply("\x21"), "\x21");
    EXPECT_EQ(TrimReply("\xE0 "), "\xE0");  // bytes above 127 are text, not blanks
}

TEST_F(CommandExchangeTest, SilenceShowsTimeOutAndAbortsWithThePortStillOpenForStart) {
    Behave([](ModemBehaviour& b) { b.silent = true; });
    const auto took = Timed([&] { EXPECT_THROW(ExchangeCommand(port, op, "GET"), EAbort); });
    EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kTimeout});
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(TookOneWait(took, kTimeout - 50ms));
}

TEST_F(CommandExchangeTest, StaleInputIsDiscardedBeforeTheCommand) {
    // A late reply to an earlier command lies waiting when the next one starts.
    TReadComThread early(port, 50ms, 20ms);
    Behave([](ModemBehaviour& b) { b.reply_delay = 300ms; });
    early.StartCommand("TCP");
    EXPECT_EQ(early.WaitFor(), -1);
    ASSERT_TRUE(WaitUntil([&] { return port.BytesWaiting() > 0; }));

    Behave([](ModemBehaviour& b) {
        b.reply_delay = 0ms;
        b.connections = {"1.1.1.1:1"};
    });
    EXPECT_EQ(ExchangeCommand(port, op, "TCP"), "IP 1.1.1.1:1\r\nOK");
}

TEST_F(CommandExchangeTest, BurstsCloserThanTheStepAreOneReplyAndALongerGapCutsIt) {
    Behave([](ModemBehaviour& b) {
        b.burst_gap = 60ms;
        b.burst_split = 5;
    });
    EXPECT_EQ(ExchangeCommand(port, op, "TCP"), "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK");

    // Past the first look and its quiet step, even when the look comes late.
    Behave([](ModemBehaviour& b) { b.burst_gap = kTimeout + 1000ms; });
    EXPECT_EQ(ExchangeCommand(port, op, "TCP"), "IP 19");
    // The rest stays queued until the next purge.
    EXPECT_TRUE(WaitUntil([&] { return port.BytesWaiting() > 0; }));
}

TEST_F(CommandExchangeTest, DeviceGoneDuringTheReplyIsRaisedNotTakenAsAShortReply) {
    Behave([](ModemBehaviour& b) {
        b.burst_gap = 3050ms;
        b.hang_up_after_get_bytes = 30;
    });
    TReadComThread worker(port, 3000ms, 100ms);
    worker.StartCommand("GET");
    EXPECT_THROW(worker.WaitFor(), EComPort);
}

TEST_F(CommandExchangeTest, ReplyThatNeverEndsIsCutAtTheBound) {
    Behave([](ModemBehaviour& b) { b.endless_reply = true; });
    TReadComThread worker(port, 200ms, 100ms, 64);
    worker.StartCommand("GET");
    try {
        worker.WaitFor();
        FAIL() << "an endless reply ended";
    } catch (const EReplyTooLong& e) {
        EXPECT_EQ(e.Message(), "Reply too long");
    }
    EXPECT_LE(worker.FAnswer().size(), 64u + 4096u);
}

TEST_F(CommandExchangeTest, EmptyCommandSendsABareCarriageReturn) {
    TReadComThread worker(port, 100ms, 50ms);
    worker.StartCommand("");
    EXPECT_EQ(worker.WaitFor(), -1);
    EXPECT_EQ(modem->ReceivedBytes(), "\r");
}

}  // namespace
}  // namespace nkq::testing
