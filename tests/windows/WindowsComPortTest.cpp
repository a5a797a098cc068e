// The Win32 serial port against a virtual modem behind a COM port: the read
// rules with the workstation's real time-outs, the port name forms, and the
// failures with their Windows error numbers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "serial/ComPort.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The read time-out; a wait is held short of a second one, what must not
// wait short of one, so that a busy machine cannot fail them.
constexpr long long kTimeoutMs = 3000;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string PortFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? value : "";
}

template <class Action>
EComPort CaptureFailure(Action&& action) {
    try {
        action();
    } catch (const EComPort& error) {
        return error;
    }
    ADD_FAILURE() << "no EComPort raised";
    return EComPort(0, 0, "none");
}

class WindowsComPort : public ::testing::Test {
protected:
    void OpenPort(const char* variable) {
        const std::string name = PortFromEnvironment(variable);
        ASSERT_FALSE(name.empty()) << variable << " must name a COM port served by nkq-virtual-modem";
        port_.SetPort(name);
        port_.Open();
    }

    // Sends GET and waits until the whole reply (ending in "OK" CR LF) is queued.
    int AwaitReply() {
        port_.WriteText("GET\r");
        const auto start = Clock::now();
        int waiting = 0;
        while (MillisecondsSince(start) < 2000) {
            std::this_thread::sleep_for(50ms);
            const int now = port_.BytesWaiting();
            if (now > 0 && now == waiting) break;
            waiting = now;
        }
        return waiting;
    }

    TComPort port_{TComPortSetup::System};
};

TEST_F(WindowsComPort, OneByteReadOnASilentLineReturnsZeroAfterTheReadTimeout) {
    OpenPort("NKQ_TEST_PORT");
    unsigned char byte = 0xA5;
    const auto start = Clock::now();
    EXPECT_EQ(port_.Read(&byte, 1), 0);
    const auto elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, kTimeoutMs - 100);
    EXPECT_LT(elapsed, 2 * kTimeoutMs - 100);
    EXPECT_EQ(byte, 0xA5);
}

TEST_F(WindowsComPort, WaitingBytesAreReturnedAtOnceEvenWhenMoreAreAskedFor) {
    OpenPort("NKQ_TEST_PORT");
    const int waiting = AwaitReply();
    ASSERT_GT(waiting, 0);
    std::string text;
    const auto start = Clock::now();
    EXPECT_EQ(port_.ReadText(text, waiting + 100), waiting);
    EXPECT_LT(MillisecondsSince(start), kTimeoutMs);
    EXPECT_EQ(text.substr(text.size() - 4), "OK\r\n");
    EXPECT_EQ(port_.BytesWaiting(), 0);
}

TEST_F(WindowsComPort, APauseInsideTheReplyDoesNotEndARead) {
    OpenPort("NKQ_TEST_GAP_PORT");
    port_.WriteText("GET\r");
    std::string text;
    const auto start = Clock::now();
    const int got = port_.ReadText(text, 4096);
    const auto elapsed = MillisecondsSince(start);
    // Nothing was waiting when the read began: it runs for the whole
    // time-out and collects both parts of the reply.
    EXPECT_GE(elapsed, kTimeoutMs - 100);
    EXPECT_LT(elapsed, 2 * kTimeoutMs - 100);
    ASSERT_GT(got, 4);
    EXPECT_EQ(text.substr(text.size() - 4), "OK\r\n");
}

TEST_F(WindowsComPort, PurgeDropsAQueuedReply) {
    OpenPort("NKQ_TEST_PORT");
    ASSERT_GT(AwaitReply(), 0);
    port_.Purge(true, false);
    EXPECT_EQ(port_.BytesWaiting(), 0);
}

TEST_F(WindowsComPort, TheDeviceFormOfTheNameOpensTheSamePort) {
    const std::string name = PortFromEnvironment("NKQ_TEST_PORT");
    ASSERT_FALSE(name.empty());
    port_.SetPort("\\\\.\\" + name);
    port_.Open();
    EXPECT_GT(AwaitReply(), 0);
}

TEST_F(WindowsComPort, WriteAfterCloseFailsWithTheInvalidHandleError) {
    OpenPort("NKQ_TEST_PORT");
    port_.Close();
    const EComPort error = CaptureFailure([&] { port_.WriteText("STOP\r"); });
    EXPECT_EQ(error.Message(), "WriteFile function failed (win error code: 6)");
    const EComPort read_error = CaptureFailure([&] { port_.BytesWaiting(); });
    EXPECT_EQ(read_error.Message(), "ClearCommError function failed (win error code: 6)");
}

TEST_F(WindowsComPort, AMissingPortFailsWithFileNotFoundAndStaysClosed) {
    port_.SetPort("COM99");
    const EComPort error = CaptureFailure([&] { port_.Open(); });
    EXPECT_EQ(error.Message(), "Unable to open com port (win error code: 2)");
    EXPECT_FALSE(port_.Connected());
    EXPECT_NO_THROW(port_.Close());
}

}  // namespace
}  // namespace nkq
