// The modem hangs up (the device goes away) in the middle of an exchange:
// the operation ends within one time-out with a clear failure, without
// spinning on the dead line, and the port object can be used again.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/ReadParameters.h"
#include "operations/WriteParameters.h"

namespace nkq::faults {
namespace {

// Far below what a loop polling the dead line would burn in the seconds an
// operation lasts.
constexpr auto kCpuBudget = 200ms;
// The wall-time bounds allow one time-out plus room for a busy machine, and
// stay short of a second time-out.

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
    EXPECT_TRUE(modem->HungUp());
    // The STOP pause and one first wait of the exchange.
    EXPECT_LE(watch.Wall(), 500ms + 3000ms + 1500ms);
    EXPECT_LT(watch.Cpu(), kCpuBudget);
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
    EXPECT_TRUE(modem->HungUp());
    // Nothing unsaved may have been committed by the modem.
    EXPECT_NE(modem->Parameters().Get("APN").value_or(""), "never.saved");
    EXPECT_LE(watch.Wall(), 500ms + 3000ms + 1500ms);
    EXPECT_LT(watch.Cpu(), kCpuBudget);
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
    EXPECT_FALSE(op.progress_visible);
    // The loader pause and one acknowledgement time-out at most.
    EXPECT_LE(watch.Wall(), 2000ms + 3000ms + 1500ms);
    EXPECT_LT(watch.Cpu(), kCpuBudget);
    ExpectPortReusable();
}

TEST_F(FaultHangUp, BeforeTheOperationOpensThePort) {
    modem->Stop();
    modem.reset();  // the device is gone before anyone opens it
    Stopwatch watch;
    EXPECT_THROW(ReadModemParameters(session), Exception);
    EXPECT_LT(watch.Wall(), 500ms);
    ExpectPortReusable();
}

}  // namespace
}  // namespace nkq::faults
