// A reply that comes after its time-out has run out lands in the line while
// the workstation has already given up (and closed the port). It must never
// be taken as the answer to the next command (for a bare exchange, see the
// exchange's own tests).
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/WriteParameters.h"
#include "serial/CommandExchange.h"

namespace nkq::faults {
namespace {

// Past the read time-out, even when the workstation starts its wait late.
constexpr auto kLate = nkq::testing::kTimeout + 1000ms;

class FaultLateReply : public ModemFaultTest {
protected:
    // Waits until the modem has sent `bytes` in all, the late reply included.
    void AwaitSent(const std::string& tail) {
        ASSERT_TRUE(nkq::testing::WaitUntil([&] { return modem->SentBytes().ends_with(tail); }))
            << "the late reply never went out";
    }
};

TEST_F(FaultLateReply, LateReadyDoesNotSpoilTheNextParameterWrite) {
    Behave([](ModemBehaviour& b) { b.reply_delay = kLate; });
    EXPECT_THROW(WriteModemParameters(session), EAbort);
    EXPECT_EQ(op.Messages(),
              (std::vector<std::string>{messages::kCmdWriteFailed, messages::kCheckConnection}));
    AwaitSent("READY\r");
    // The failed write still started the modem's traffic again.
    EXPECT_TRUE(modem->WaitForCommandLines(3, 10s));
    EXPECT_EQ(modem->CommandLines().back(), "START");
    Behave([](ModemBehaviour& b) { b.reply_delay = 0ms; });
    set.Fields().APNEdit.SetText("second.try");
    WriteModemParameters(session);
    EXPECT_EQ(op.Messages().back(), messages::kWriteSucceeded);
    EXPECT_EQ(modem->Parameters().Get("APN").value_or(""), "second.try");
}

TEST_F(FaultLateReply, LateLoaderAnswerIsNotTakenByTheNextUpload) {
    // The first upload gives up on "UPDATE"; its late "0" waits in the line.
    MakeImage(4);
    Behave([](ModemBehaviour& b) { b.reply_delay = kLate; });
    op.QueueAnswer(true);
    EXPECT_EQ(UpdateFirmware(firmware), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kDeviceNotFound});
    AwaitSent("0");

    // The second upload meets a modem that refuses the last block for good:
    // taking the stale "0" would shift every answer by one and report the
    // refused block as accepted.
    Behave([](ModemBehaviour& b) {
        b.reply_delay = 0ms;
        b.nak_block = 4;
        b.nak_times = 99;
    });
    op.QueueAnswer(true);
    EXPECT_EQ(UpdateFirmware(firmware), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), (std::vector<std::string>{messages::kDeviceNotFound, messages::kTransferFailed,
                                                       messages::kCheckConnection}));
    EXPECT_EQ(modem->UploadsCompleted(), 0);
}

}  // namespace
}  // namespace nkq::faults
