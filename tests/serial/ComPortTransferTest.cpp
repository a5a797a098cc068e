// Reads and writes through a real pseudo-terminal with the system's
// time-outs. The waits are real; what must not wait is held short of the
// time-out, what waits short of waiting twice.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "PtyPort.h"
#include "Timing.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using testing::kTimeout;
using testing::Later;
using testing::Timed;
using testing::TookOneWait;

class ComPortTransfer : public testing::OpenPtyPortTest {};

TEST_F(ComPortTransfer, OneByteReadWithNothingArrivingReturnsZeroAfterTheReadTimeout) {
    unsigned char byte = 0xA5;
    EXPECT_TRUE(TookOneWait(Timed([&] { EXPECT_EQ(port.Read(&byte, 1), 0); }), kTimeout - 100ms));
    EXPECT_EQ(byte, 0xA5);
}

TEST_F(ComPortTransfer, OneByteReadWithBytesWaitingReturnsAtOnce) {
    pty.WriteMaster("01");
    AwaitQueued(2);
    unsigned char byte = 0;
    EXPECT_LT(Timed([&] { EXPECT_EQ(port.Read(&byte, 1), 1); }), kTimeout);
    EXPECT_EQ(byte, '0');
    EXPECT_EQ(port.BytesWaiting(), 1);
}

TEST_F(ComPortTransfer, ReplyArrivingInOneBurstEndsTheReadWhenComplete) {
    Later reply(50ms, [this] { pty.WriteMaster("READY\r"); });
    std::string text;
    const auto took = Timed([&] { EXPECT_EQ(port.ReadText(text, 6), 6); });
    EXPECT_EQ(text, "READY\r");
    EXPECT_GE(took, 40ms);
    EXPECT_LT(took, kTimeout) << "ended when complete, not by the time-out";
}

TEST_F(ComPortTransfer, ReadTextReturnsTheWaitingBytesAtOnceWhenFewerThanAsked) {
    pty.WriteMaster("OK\r\n");
    AwaitQueued(4);
    std::string text = "previous";
    EXPECT_LT(Timed([&] { EXPECT_EQ(port.ReadText(text, 9), 4); }), kTimeout);
    EXPECT_EQ(text, "OK\r\n");
}

TEST_F(ComPortTransfer, PauseBetweenBytesDoesNotEndTheRead) {
    pty.WriteMaster("AB");
    AwaitQueued(2);
    unsigned char drained[2];
    ASSERT_EQ(port.Read(drained, 2), 2);
    Later first(100ms, [this] { pty.WriteMaster("CD"); });
    Later second(600ms, [this] { pty.WriteMaster("EF"); });
    std::string text;
    EXPECT_GE(Timed([&] { EXPECT_EQ(port.ReadText(text, 4), 4); }), 550ms);
    EXPECT_EQ(text, "CDEF");
}

TEST_F(ComPortTransfer, ZeroCountTransfersNothingAndLeavesTheQueue) {
    pty.WriteMaster("abc");
    AwaitQueued(3);
    std::string text = "stale";
    EXPECT_EQ(port.ReadText(text, 0), 0);
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_EQ(port.ReadText(text, -5), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(port.BytesWaiting(), 3);
    EXPECT_EQ(port.WriteText(""), 0);
    EXPECT_EQ(pty.ReadMaster(1, 100ms), "");
}

TEST_F(ComPortTransfer, ReadBeyondTheBytesReadLeavesTheBufferUntouched) {
    pty.WriteMaster("xy");
    AwaitQueued(2);
    std::vector<unsigned char> buffer(8, 0xEE);
    EXPECT_EQ(port.Read(buffer.data(), 8), 2);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(buffer[1], 'y');
    for (std::size_t i = 2; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xEE) << i;
}

TEST_F(ComPortTransfer, EveryByteValuePassesUnchangedBothWays) {
    std::string all;
    for (int value = 0; value < 256; ++value) all.push_back(static_cast<char>(value));

    EXPECT_EQ(port.WriteText(all), 256);
    EXPECT_EQ(pty.ReadMaster(all.size(), 2000ms), all);

    pty.WriteMaster(all);
    std::string received;
    while (received.size() < all.size()) {
        std::string part;
        if (port.ReadText(part, static_cast<int>(all.size() - received.size())) == 0) break;
        received += part;
    }
    EXPECT_EQ(received, all);
    EXPECT_EQ(pty.ReadMaster(1, 100ms), "") << "the line echoed or added bytes";
}

TEST_F(ComPortTransfer, PurgeOfInputDropsQueuedBytes) {
    pty.WriteMaster("stale reply");
    AwaitQueued(11);
    port.Purge(true, false);
    EXPECT_EQ(port.BytesWaiting(), 0);
    pty.WriteMaster("new");
    AwaitQueued(3);
    std::string text;
    EXPECT_EQ(port.ReadText(text, 3), 3);
    EXPECT_EQ(text, "new");
}

TEST_F(ComPortTransfer, CloseDropsQueuedBytesAndOpenDoesNotPurge) {
    pty.WriteMaster("left over");
    AwaitQueued(9);
    port.Close();
    port.Open();
    EXPECT_EQ(port.BytesWaiting(), 0);

    port.Close();
    pty.WriteMaster("kept");
    port.Open();
    AwaitQueued(4);
}

TEST_F(ComPortTransfer, WriteThatCannotCompleteEndsAtItsTimeoutWithoutError) {
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(1000);
    const std::string block(1 << 20, 'x');
    int written = -1;
    const auto took = Timed([&] { EXPECT_NO_THROW(written = port.WriteText(block)); });
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<int>(block.size()));
    EXPECT_TRUE(TookOneWait(took, 950ms, 1000ms));
}

TEST_F(ComPortTransfer, ZeroReadTimeoutReturnsWithoutWaiting) {
    port.Timeouts().SetReadTotalConstant(0);
    unsigned char byte = 0x42;
    EXPECT_LT(Timed([&] { EXPECT_EQ(port.Read(&byte, 1), 0); }), kTimeout);
    EXPECT_EQ(byte, 0x42);
}

TEST_F(ComPortTransfer, ReadTimeoutGrowsWithTheMultiplier) {
    port.Timeouts().SetReadTotalConstant(200);
    port.Timeouts().SetReadTotalMultiplier(100);
    unsigned char buffer[4];
    // 200 ms and 100 ms for each of the 4 bytes.
    EXPECT_TRUE(TookOneWait(Timed([&] { EXPECT_EQ(port.Read(buffer, 4), 0); }), 580ms, 600ms));
}

}  // namespace
}  // namespace nkq
