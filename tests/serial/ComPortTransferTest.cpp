// Reads and writes through a real pseudo-terminal with the system's
// time-outs. Timing bounds are tolerant; the waits themselves are real.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "PtyPair.h"
#include "Timing.h"
#include "serial/ComPort.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using testing::Clock;
using testing::Later;
using testing::MillisecondsSince;
using testing::PtyPair;

class ComPortTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        port_.SetPort(pty_.SlavePath());
        port_.Open();
    }

    // Waits until the port sees `count` queued bytes (the pty delivers
    // through a kernel work queue, not at once).
    void AwaitQueued(int count) {
        const auto start = Clock::now();
        while (port_.BytesWaiting() < count && MillisecondsSince(start) < 2000)
            std::this_thread::sleep_for(5ms);
        ASSERT_EQ(port_.BytesWaiting(), count);
    }

    PtyPair pty_;
    TComPort port_{TComPortSetup::System};
};

TEST_F(ComPortTransfer, OneByteReadWithNothingArrivingReturnsZeroAfterTheReadTimeout) {
    unsigned char byte = 0xA5;
    const auto start = Clock::now();
    EXPECT_EQ(port_.Read(&byte, 1), 0);
    const auto elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 2900);
    EXPECT_LE(elapsed, 4500);
    EXPECT_EQ(byte, 0xA5);
}

TEST_F(ComPortTransfer, OneByteReadWithBytesWaitingReturnsAtOnce) {
    pty_.WriteMaster("01");
    AwaitQueued(2);
    unsigned char byte = 0;
    const auto start = Clock::now();
    EXPECT_EQ(port_.Read(&byte, 1), 1);
    EXPECT_LT(MillisecondsSince(start), 100);
    EXPECT_EQ(byte, '0');
    EXPECT_EQ(port_.BytesWaiting(), 1);
}

TEST_F(ComPortTransfer, ReplyArrivingInOneBurstEndsTheReadWhenComplete) {
    Later reply(50ms, [this] { pty_.WriteMaster("READY\r"); });
    std::string text;
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadText(text, 6), 6);
    const auto elapsed = MillisecondsSince(start);
    EXPECT_EQ(text, "READY\r");
    EXPECT_GE(elapsed, 40);
    EXPECT_LT(elapsed, 1000);
}

TEST_F(ComPortTransfer, ReadTextReturnsTheWaitingBytesAtOnceWhenFewerThanAsked) {
    pty_.WriteMaster("OK\r\n");
    AwaitQueued(4);
    std::string text = "previous";
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadText(text, 9), 4);
    EXPECT_LT(MillisecondsSince(start), 100);
    EXPECT_EQ(text, "OK\r\n");
}

TEST_F(ComPortTransfer, PauseBetweenBytesDoesNotEndTheRead) {
    pty_.WriteMaster("AB");
    AwaitQueued(2);
    unsigned char drained[2];
    ASSERT_EQ(port_.Read(drained, 2), 2);
    Later first(100ms, [this] { pty_.WriteMaster("CD"); });
    Later second(600ms, [this] { pty_.WriteMaster("EF"); });
    std::string text;
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadText(text, 4), 4);
    EXPECT_EQ(text, "CDEF");
    EXPECT_GE(MillisecondsSince(start), 550);
}

TEST_F(ComPortTransfer, ZeroCountTransfersNothingAndLeavesTheQueue) {
    pty_.WriteMaster("abc");
    AwaitQueued(3);
    std::string text = "stale";
    EXPECT_EQ(port_.ReadText(text, 0), 0);
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_EQ(port_.ReadText(text, -5), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(port_.BytesWaiting(), 3);
    EXPECT_EQ(port_.WriteText(""), 0);
    EXPECT_EQ(pty_.ReadMaster(1, 100ms), "");
}

TEST_F(ComPortTransfer, ReadBeyondTheBytesReadLeavesTheBufferUntouched) {
    pty_.WriteMaster("xy");
    AwaitQueued(2);
    std::vector<unsigned char> buffer(8, 0xEE);
    EXPECT_EQ(port_.Read(buffer.data(), 8), 2);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(buffer[1], 'y');
    for (std::size_t i = 2; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xEE) << i;
}

TEST_F(ComPortTransfer, EveryByteValuePassesUnchangedBothWays) {
    std::string all;
    for (int value = 0; value < 256; ++value) all.push_back(static_cast<char>(value));

    EXPECT_EQ(port_.WriteText(all), 256);
    EXPECT_EQ(pty_.ReadMaster(all.size(), 2000ms), all);

    pty_.WriteMaster(all);
    std::string received;
    while (received.size() < all.size()) {
        std::string part;
        if (port_.ReadText(part, static_cast<int>(all.size() - received.size())) == 0) break;
        received += part;
    }
    EXPECT_EQ(received, all);
    EXPECT_EQ(pty_.ReadMaster(1, 100ms), "") << "the line echoed or added bytes";
}

TEST_F(ComPortTransfer, PurgeOfInputDropsQueuedBytes) {
    pty_.WriteMaster("stale reply");
    AwaitQueued(11);
    port_.Purge(true, false);
    EXPECT_EQ(port_.BytesWaiting(), 0);
    pty_.WriteMaster("new");
    AwaitQueued(3);
    std::string text;
    EXPECT_EQ(port_.ReadText(text, 3), 3);
    EXPECT_EQ(text, "new");
}

TEST_F(ComPortTransfer, CloseDropsQueuedBytesAndOpenDoesNotPurge) {
    pty_.WriteMaster("left over");
    AwaitQueued(9);
    port_.Close();
    port_.Open();
    EXPECT_EQ(port_.BytesWaiting(), 0);

    port_.Close();
    pty_.WriteMaster("kept");
    std::this_thread::sleep_for(100ms);
    port_.Open();
    EXPECT_EQ(port_.BytesWaiting(), 4);
}

TEST_F(ComPortTransfer, WriteThatCannotCompleteEndsAtItsTimeoutWithoutError) {
    port_.Timeouts().SetWriteTotalMultiplier(0);
    port_.Timeouts().SetWriteTotalConstant(400);
    const std::string block(1 << 20, 'x');
    const auto start = Clock::now();
    int written = -1;
    EXPECT_NO_THROW(written = port_.WriteText(block));
    const auto elapsed = MillisecondsSince(start);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<int>(block.size()));
    EXPECT_GE(elapsed, 350);
    EXPECT_LE(elapsed, 1000);
}

TEST_F(ComPortTransfer, ZeroReadTimeoutReturnsWithoutWaiting) {
    port_.Timeouts().SetReadTotalConstant(0);
    unsigned char byte = 0x42;
    const auto start = Clock::now();
    EXPECT_EQ(port_.Read(&byte, 1), 0);
    EXPECT_LT(MillisecondsSince(start), 100);
    EXPECT_EQ(byte, 0x42);
}

TEST_F(ComPortTransfer, ReadTimeoutGrowsWithTheMultiplier) {
    port_.Timeouts().SetReadTotalConstant(200);
    port_.Timeouts().SetReadTotalMultiplier(100);
    unsigned char buffer[4];
    const auto start = Clock::now();
    EXPECT_EQ(port_.Read(buffer, 4), 0);
    const auto elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 580);
    EXPECT_LE(elapsed, 1100);
}

std::atomic<int> g_signals{0};
void CountSignal(int) { g_signals.fetch_add(1); }

TEST_F(ComPortTransfer, SignalsDuringAReadNeitherFailNorShortenIt) {
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = CountSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: poll sees EINTR
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    g_signals = 0;

    const pthread_t reader = pthread_self();
    std::atomic<bool> done{false};
    std::jthread interrupter([&] {
        while (!done) {
            std::this_thread::sleep_for(200ms);
            if (!done) pthread_kill(reader, SIGUSR1);
        }
    });
    unsigned char byte = 0x5A;
    const auto start = Clock::now();
    int got = -1;
    EXPECT_NO_THROW(got = port_.Read(&byte, 1));
    const auto elapsed = MillisecondsSince(start);
    done = true;
    interrupter.join();
    sigaction(SIGUSR1, &previous, nullptr);

    EXPECT_EQ(got, 0);
    EXPECT_EQ(byte, 0x5A);
    EXPECT_GE(g_signals.load(), 5);
    EXPECT_GE(elapsed, 2900);
    EXPECT_LE(elapsed, 3500);
}

}  // namespace
}  // namespace nkq
