// The modem hangs up (the device goes away) in the middle of an exchange:
// the operation ends within one time-out with a clear failure, without
// spinning on the dead line, and the port object can be used again.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/ReadParameters.h"
#include "operations/WriteParameters.h"

namespace nkq::faults {
namespace {

using nkq::testing::kTimeout;

// The wall-time bounds allow one time-out and stay short of a second one.

class FaultHangUp : public ModemFaultTest {
protected:
    void HangUpAfter(const std::function<void(ModemBehaviour&)>& rule) {
        Behave([&](ModemBehaviour& b) {
            rule(b);
            b.hang_up_linger = 100ms;
        });
    }

    bool NoSuccessMessage() const {
        for (const auto& text : op.Messages()) {
            if (text == messages::kReadSucceeded || text == messages::kWriteSucceeded) return false;
        }
        return true;
    }
};

TEST_F(FaultHangUp, InTheMiddleOfAGetReply) {
    HangUpAfter([](ModemBehaviour& b) { b.hang_up_after_get_bytes = 40; });
    const std::string model_before = set.ModelText();
    Stopwatch watch;
    EXPECT_THROW(ReadModemParameters(session), EAbort);
    EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kCheckConnection});
    EXPECT_TRUE(modem->WaitForHangUp(kTimeout));  // the line closes before the flag is set
    // The STOP pause and one first wait of the exchange.
    EXPECT_LT(watch.Wall(), 500ms + 2 * kTimeout);
    EXPECT_LT(watch.Cpu(), watch.Wall() / 2);
    // Nothing of the cut reply reached the parameter set.
    EXPECT_EQ(set.ModelText(), model_before);
    ExpectPortReusable();
}

TEST_F(FaultHangUp, InTheMiddleOfAParameterWrite) {
    set.Fields().APNEdit.SetText("never.saved");
    HangUpAfter([](ModemBehaviour& b) { b.hang_up_after_lines = 3; });
    Stopwatch watch;
    EXPECT_THROW(WriteModemParameters(session), Exception);
    const auto texts = op.Messages();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), messages::kCheckConnection);
    EXPECT_TRUE(NoSuccessMessage());
    EXPECT_TRUE(modem->WaitForHangUp(kTimeout));  // the line closes before the flag is set
    // Nothing unsaved may have been committed by the modem.
    EXPECT_NE(modem->Parameters().Get("APN").value_or(""), "never.saved");
    EXPECT_LT(watch.Wall(), 500ms + 2 * kTimeout);
    EXPECT_LT(watch.Cpu(), watch.Wall() / 2);
    ExpectPortReusable();
}

TEST_F(FaultHangUp, InTheMiddleOfAFirmwareUpload) {
    MakeImage(8);
    HangUpAfter([](ModemBehaviour& b) { b.hang_up_after_packets = 3; });
    op.QueueAnswer(true);
    Stopwatch watch;
    EXPECT_EQ(UpdateFirmware(firmware), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kCheckConnection});
    EXPECT_EQ(modem->UploadsCompleted(), 0);
    EXPECT_EQ(op.progress_completed, 3);
    EXPECT_FALSE(op.progress_visible);
    // The loader pause and one acknowledgement time-out at most.
    EXPECT_LT(watch.Wall(), 2000ms + 2 * kTimeout);
    EXPECT_LT(watch.Cpu(), watch.Wall() / 2);
    ExpectPortReusable();
}

TEST_F(FaultHangUp, BeforeTheOperationOpensThePort) {
    modem->Stop();
    modem.reset();  // the device is gone before anyone opens it
    Stopwatch watch;
    EXPECT_THROW(ReadModemParameters(session), Exception);
    EXPECT_LT(watch.Wall(), kTimeout) << "short of a reply time-out: nothing waits on a modem that is gone";
    ExpectPortReusable();
}

}  // namespace
}  // namespace nkq::faults
