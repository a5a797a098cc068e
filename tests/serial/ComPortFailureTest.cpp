// How the port fails: closed-port operations, missing and held devices, a
// device that vanishes mid-transfer, and the failure texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "PtyPort.h"
#include "Timing.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using testing::kTimeout;
using testing::Later;
using testing::PtyPortTest;
using testing::Timed;

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
        {kComOpenFailed, "Unable to open com port (win error code: 2)"},
        {kComWriteFailed, "WriteFile function failed (win error code: 2)"},
        {kComReadFailed, "ReadFile function failed (win error code: 2)"},
        {kComPurgeFailed, "PurgeComm function failed (win error code: 2)"},
        {kComSetStateFailed, "SetCommState function failed (win error code: 2)"},
        {kComSetTimeoutsFailed, "SetCommTimeouts failed (win error code: 2)"},
        {kComSetupFailed, "SetupComm function failed (win error code: 2)"},
        {kComClearErrorFailed, "ClearCommError function failed (win error code: 2)"},
        {kComModemStatusFailed, "GetCommModemStatus function failed (win error code: 2)"},
        {kComRegistryFailed, "Registry error (win error code: 2)"},
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
    EXPECT_EQ(EComPort(kComReadFailed, -1).Message(), "ReadFile function failed (win error code: -1)");
    EXPECT_EQ(EComPort(kComWriteFailed, 110).Message(), "WriteFile function failed (win error code: 110)");
}

struct ClosedPortCase {
    const char* name;
    int code;
    std::function<void(TComPort&)> call;
};

class ComPortClosed : public PtyPortTest {};

TEST_F(ComPortClosed, EveryTransferFailsWithItsCodeAndTheInvalidHandleError) {
    const std::vector<ClosedPortCase> cases = {
        {"Write", kComWriteFailed, [](TComPort& p) { p.Write("x", 1); }},
        {"WriteText", kComWriteFailed, [](TComPort& p) { p.WriteText("GET\r"); }},
        {"Read", kComReadFailed,
         [](TComPort& p) {
             char b;
             p.Read(&b, 1);
         }},
        {"ReadText", kComReadFailed,
         [](TComPort& p) {
             std::string t;
             p.ReadText(t, 6);
         }},
        {"Purge", kComPurgeFailed, [](TComPort& p) { p.Purge(true, true); }},
        {"BytesWaiting", kComClearErrorFailed, [](TComPort& p) { p.BytesWaiting(); }},
    };
    for (const auto& c : cases) {
        const EComPort error = CaptureFailure([&] { c.call(port); });
        EXPECT_EQ(error.MessageCode(), c.code) << c.name;
        EXPECT_EQ(error.SystemError(), kInvalidHandleError) << c.name;
    }
}

TEST_F(ComPortClosed, EmptyTransfersSucceedWhileClosed) {
    std::string text = "x";
    EXPECT_EQ(port.WriteText(""), 0);
    EXPECT_EQ(port.ReadText(text, 0), 0);
    EXPECT_EQ(text, "");
}

TEST_F(ComPortClosed, WriteTextAfterCloseFailsAndSendsNothing) {
    port.Open();
    port.Close();
    const EComPort error = CaptureFailure([&] { port.WriteText("STOP\r"); });
    EXPECT_EQ(error.Message(), "WriteFile function failed (win error code: 9)");
    EXPECT_EQ(pty.ReadMaster(1, 200ms), "");
}

class ComPortOpen : public PtyPortTest {};

TEST_F(ComPortOpen, MissingDeviceFailsAndLeavesThePortClosed) {
    for (const char* name : {"/dev/nkq-no-such-port", "nkq-no-such-port"}) {
        port.SetPort(name);
        const EComPort error = CaptureFailure([&] { port.Open(); });
        EXPECT_EQ(error.Message(), "Unable to open com port (win error code: 2)") << name;
        EXPECT_FALSE(port.Connected());
        EXPECT_NO_THROW(port.Close());
    }
}

TEST_F(ComPortOpen, OpenTwiceAndCloseTwiceAreHarmless) {
    EXPECT_NO_THROW(port.Close());
    int opens = 0;
    port.Handlers.OnAfterOpen = [&] { ++opens; };
    port.Open();
    pty.WriteMaster("abc");
    AwaitQueued(3);
    port.Open();
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(port.BytesWaiting(), 3) << "second Open touched the device";
    port.Close();
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortOpen, ConnectedOpensAndCloses) {
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

class ComPortExclusive : public PtyPortTest {};

TEST_F(ComPortExclusive, SecondOpenOfAHeldDeviceFails) {
    port.Open();
    TComPort intruder(TComPortSetup::System);
    intruder.SetPort(pty.SlavePath());
    const EComPort error = CaptureFailure([&] { intruder.Open(); });
    EXPECT_EQ(error.MessageCode(), kComOpenFailed);
    EXPECT_TRUE(error.SystemError() == EBUSY || error.SystemError() == EWOULDBLOCK) << error.SystemError();
    EXPECT_FALSE(intruder.Connected());

    EXPECT_EQ(port.WriteText("still mine"), 10);
    EXPECT_EQ(pty.ReadMaster(10, 1000ms), "still mine");

    port.Close();
    EXPECT_NO_THROW(intruder.Open());
}

TEST_F(ComPortExclusive, DestroyingAnOpenPortReleasesTheDevice) {
    {
        TComPort held(TComPortSetup::System);
        held.SetPort(pty.SlavePath());
        held.Open();
    }
    EXPECT_NO_THROW(port.Open());
}

class ComPortVanished : public testing::OpenPtyPortTest {};

TEST_F(ComPortVanished, DeviceGoneDuringAWaitingReadFailsWellBeforeTheTimeout) {
    Later hangUp(200ms, [&] { pty.CloseMaster(); });
    unsigned char byte = 0;
    EComPort error(0, 0, "none");
    EXPECT_LT(Timed([&] { error = CaptureFailure([&] { port.Read(&byte, 1); }); }), kTimeout);
    EXPECT_EQ(error.MessageCode(), kComReadFailed);
    EXPECT_EQ(error.SystemError(), EIO);
}

TEST_F(ComPortVanished, DeviceGoneBeforeTheReadFailsAtOnce) {
    pty.CloseMaster();
    std::string text;
    EComPort error(0, 0, "none");
    EXPECT_LT(Timed([&] { error = CaptureFailure([&] { port.ReadText(text, 6); }); }), kTimeout);
    EXPECT_EQ(error.MessageCode(), kComReadFailed);
    EXPECT_NE(error.SystemError(), 0);
    // An error path closes the port; that must work on a vanished device.
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortVanished, DeviceGoneDuringABlockedWriteFailsWithinTheTimeout) {
    constexpr auto kWriteTimeout = 5000ms;
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(static_cast<int>(kWriteTimeout.count()));
    Later hangUp(300ms, [&] { pty.CloseMaster(); });
    const std::string block(1 << 20, 'z');
    EComPort error(0, 0, "none");
    EXPECT_LT(Timed([&] { error = CaptureFailure([&] { port.WriteText(block); }); }), kWriteTimeout);
    EXPECT_EQ(error.MessageCode(), kComWriteFailed);
    EXPECT_NE(error.SystemError(), 0);
}

TEST_F(ComPortVanished, WriteAfterTheDeviceWentFails) {
    pty.CloseMaster();
    const EComPort error = CaptureFailure([&] { port.WriteText("START\r"); });
    EXPECT_EQ(error.MessageCode(), kComWriteFailed);
    EXPECT_EQ(error.SystemError(), EIO);
}

}  // namespace
}  // namespace nkq
