// A modem whose acknowledgements go wrong during a firmware upload: doubled
// or late (garbage and resend requests are the update's own tests). The
// operator sees the firmware operation's own messages, and a success is
// reported only for an image the modem really holds.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "Timing.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"

namespace nkq::faults {
namespace {

using nkq::testing::kTimeout;

constexpr int kBlocks = 6;

class FaultAcknowledgement : public ModemFaultTest {
protected:
    void SetUp() override {
        ModemFaultTest::SetUp();
        image = MakeImage(kBlocks);
    }

    UpdateResult Upload() {
        op.QueueAnswer(true);
        return UpdateFirmware(firmware);
    }

    std::string image;
};

TEST_F(FaultAcknowledgement, DoubledAcknowledgementEndsTheUploadBeforeTheNextPacket) {
    // Block 2 is acknowledged twice; block 4 is asked for again once. Taking
    // the spare "0" for block 3's answer would resend block 5 in place of 4.
    Behave([](ModemBehaviour& b) {
        b.doubled_ack_block = 2;
        b.nak_block = 4;
        b.nak_times = 1;
    });
    EXPECT_EQ(Upload(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), (std::vector<std::string>{messages::kExtraAnswer, messages::kCheckConnection}));
    EXPECT_EQ(modem->PacketsReceived(), 2);
    EXPECT_EQ(modem->UploadsCompleted(), 0);
}

TEST_F(FaultAcknowledgement, LateAcknowledgementIsInvalidAndEndsWithinOneTimeout) {
    Behave([](ModemBehaviour& b) {
        b.late_ack_block = 2;
        b.late_ack_delay = kTimeout + 1000ms;  // late even if the workstation starts its wait late
    });
    Stopwatch watch;
    EXPECT_EQ(Upload(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(),
              (std::vector<std::string>{messages::kInvalidAcknowledgement, messages::kCheckConnection}));
    EXPECT_EQ(modem->UploadsCompleted(), 0);
    // The loader pause and one time-out, short of a second one.
    EXPECT_LT(watch.Wall(), 2000ms + 2 * kTimeout);
    EXPECT_LT(watch.Cpu(), watch.Wall() / 2);
}

TEST_F(FaultAcknowledgement, ResendRequestForTheLastBlockIsNeverReportedAsSuccess) {
    Behave([](ModemBehaviour& b) {
        b.doubled_ack_block = 1;
        b.nak_block = kBlocks;
        b.nak_times = 1000;
    });
    EXPECT_EQ(Upload(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), (std::vector<std::string>{messages::kExtraAnswer, messages::kCheckConnection}));
    EXPECT_EQ(modem->UploadsCompleted(), 0);
}

}  // namespace
}  // namespace nkq::faults
