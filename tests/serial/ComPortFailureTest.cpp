// How the port fails: closed-port operations, missing and held devices, a
// device that vanishes mid-transfer, and the failure texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
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

TEST(EComPortText, EachCodeHasItsFixedTextAndTheErrorNumber) {
    const std::pair<int, const char*> rows[] = {
        {1, "Unable to open com port (win error code: 2)"},
        {2, "WriteFile function failed (win error code: 2)"},
        {3, "ReadFile function failed (win error code: 2)"},
        {5, "PurgeComm function failed (win error code: 2)"},
        {7, "SetCommState function failed (win error code: 2)"},
        {8, "SetCommTimeouts failed (win error code: 2)"},
        {9, "SetupComm function failed (win error code: 2)"},
        {10, "ClearCommError function failed (win error code: 2)"},
        {11, "GetCommModemStatus function failed (win error code: 2)"},
        {23, "Registry error (win error code: 2)"},
    };
    for (const auto& [code, text] : rows) {
        const EComPort error(code, 2);
        EXPECT_EQ(error.Message(), text);
        EXPECT_STREQ(error.what(), text);
        EXPECT_EQ(error.KindName(), "EComPort");
        EXPECT_EQ(error.MessageCode(), code);
        EXPECT_EQ(error.SystemError(), 2);
    }
}

TEST(EComPortText, ErrorNumberIsSignedDecimal) {
    EXPECT_EQ(EComPort(3, -1).Message(), "ReadFile function failed (win error code: -1)");
    EXPECT_EQ(EComPort(2, 110).Message(), "WriteFile function failed (win error code: 110)");
}

struct ClosedPortCase {
    const char* name;
    int code;
    std::function<void(TComPort&)> call;
};

TEST(ComPortClosed, EveryTransferFailsWithItsCodeAndTheInvalidHandleError) {
    const std::vector<ClosedPortCase> cases = {
        {"Write", 2, [](TComPort& p) { p.Write("x", 1); }},
        {"WriteText", 2, [](TComPort& p) { p.WriteText("GET\r"); }},
        {"Read", 3,
         [](TComPort& p) {
             char b;
             p.Read(&b, 1);
         }},
        {"ReadText", 3,
         [](TComPort& p) {
             std::string t;
             p.ReadText(t, 6);
         }},
        {"Purge", 5, [](TComPort& p) { p.Purge(true, true); }},
        {"BytesWaiting", 10, [](TComPort& p) { p.BytesWaiting(); }},
    };
    TComPort port(TComPortSetup::System);
    for (const auto& c : cases) {
        const EComPort error = CaptureFailure([&] { c.call(port); });
        EXPECT_EQ(error.MessageCode(), c.code) << c.name;
        EXPECT_EQ(error.SystemError(), kInvalidHandleError) << c.name;
    }
}

TEST(ComPortClosed, EmptyTransfersSucceedWhileClosed) {
    TComPort port;
    std::string text = "x";
    EXPECT_EQ(port.WriteText(""), 0);
    EXPECT_EQ(port.ReadText(text, 0), 0);
    EXPECT_EQ(text, "");
}

TEST(ComPortClosed, WriteTextAfterCloseFailsAndSendsNothing) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    port.SetPort(pty.SlavePath());
    port.Open();
    port.Close();
    const EComPort error = CaptureFailure([&] { port.WriteText("STOP\r"); });
    EXPECT_EQ(error.Message(), "WriteFile function failed (win error code: 9)");
    EXPECT_EQ(pty.ReadMaster(1, 200ms), "");
}

TEST(ComPortOpen, MissingDeviceFailsAndLeavesThePortClosed) {
    for (const char* name : {"/dev/nkq-no-such-port", "nkq-no-such-port"}) {
        TComPort port(TComPortSetup::System);
        port.SetPort(name);
        const EComPort error = CaptureFailure([&] { port.Open(); });
        EXPECT_EQ(error.Message(), "Unable to open com port (win error code: 2)") << name;
        EXPECT_FALSE(port.Connected());
        EXPECT_NO_THROW(port.Close());
    }
}

TEST(ComPortOpen, OpenTwiceAndCloseTwiceAreHarmless) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    EXPECT_NO_THROW(port.Close());
    port.SetPort(pty.SlavePath());
    int opens = 0;
    port.Handlers.OnAfterOpen = [&] { ++opens; };
    port.Open();
    pty.WriteMaster("abc");
    std::this_thread::sleep_for(100ms);
    port.Open();
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(port.BytesWaiting(), 3) << "second Open touched the device";
    port.Close();
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
}

TEST(ComPortOpen, ConnectedOpensAndCloses) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    port.SetPort(pty.SlavePath());
    std::vector<std::string> events;
    port.Handlers.OnBeforeOpen = [&] { events.push_back("before open"); };
    port.Handlers.OnAfterOpen = [&] { events.push_back("after open"); };
    port.Handlers.OnBeforeClose = [&] { events.push_back("before close"); };
    port.Handlers.OnAfterClose = [&] { events.push_back("after close"); };
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(events, (std::vector<std::string>{"before open", "after open", "before close", "after close"}));
}

TEST(ComPortExclusive, SecondOpenOfAHeldDeviceFails) {
    PtyPair pty;
    TComPort holder(TComPortSetup::System);
    holder.SetPort(pty.SlavePath());
    holder.Open();

    TComPort intruder(TComPortSetup::System);
    intruder.SetPort(pty.SlavePath());
    const EComPort error = CaptureFailure([&] { intruder.Open(); });
    EXPECT_EQ(error.MessageCode(), 1);
    EXPECT_TRUE(error.SystemError() == EBUSY || error.SystemError() == EWOULDBLOCK) << error.SystemError();
    EXPECT_FALSE(intruder.Connected());

    EXPECT_EQ(holder.WriteText("still mine"), 10);
    EXPECT_EQ(pty.ReadMaster(10, 1000ms), "still mine");

    holder.Close();
    EXPECT_NO_THROW(intruder.Open());
}

TEST(ComPortExclusive, DestroyingAnOpenPortReleasesTheDevice) {
    PtyPair pty;
    {
        TComPort port(TComPortSetup::System);
        port.SetPort(pty.SlavePath());
        port.Open();
    }
    TComPort next(TComPortSetup::System);
    next.SetPort(pty.SlavePath());
    EXPECT_NO_THROW(next.Open());
}

TEST(ComPortVanished, DeviceGoneDuringAWaitingReadFailsWellBeforeTheTimeout) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    port.SetPort(pty.SlavePath());
    port.Open();
    Later hangUp(200ms, [&] { pty.CloseMaster(); });
    const auto start = Clock::now();
    unsigned char byte = 0;
    const EComPort error = CaptureFailure([&] { port.Read(&byte, 1); });
    EXPECT_EQ(error.MessageCode(), 3);
    EXPECT_EQ(error.SystemError(), EIO);
    EXPECT_LT(MillisecondsSince(start), 2000);
}

TEST(ComPortVanished, DeviceGoneBeforeTheReadFailsAtOnce) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    port.SetPort(pty.SlavePath());
    port.Open();
    pty.CloseMaster();
    const auto start = Clock::now();
    std::string text;
    const EComPort error = CaptureFailure([&] { port.ReadText(text, 6); });
    EXPECT_EQ(error.MessageCode(), 3);
    EXPECT_NE(error.SystemError(), 0);
    EXPECT_LT(MillisecondsSince(start), 500);
    // An error path closes the port; that must work on a vanished device.
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
}

TEST(ComPortVanished, DeviceGoneDuringABlockedWriteFailsWithinTheTimeout) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    port.SetPort(pty.SlavePath());
    port.Open();
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(5000);
    Later hangUp(300ms, [&] { pty.CloseMaster(); });
    const std::string block(1 << 20, 'z');
    const auto start = Clock::now();
    const EComPort error = CaptureFailure([&] { port.WriteText(block); });
    EXPECT_EQ(error.MessageCode(), 2);
    EXPECT_NE(error.SystemError(), 0);
    EXPECT_LT(MillisecondsSince(start), 3000);
}

TEST(ComPortVanished, WriteAfterTheDeviceWentFails) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    port.SetPort(pty.SlavePath());
    port.Open();
    pty.CloseMaster();
    const EComPort error = CaptureFailure([&] { port.WriteText("START\r"); });
    EXPECT_EQ(error.MessageCode(), 2);
    EXPECT_EQ(error.SystemError(), EIO);
}

}  // namespace
}  // namespace nkq
