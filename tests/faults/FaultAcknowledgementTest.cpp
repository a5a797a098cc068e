// A modem whose acknowledgements go wrong during a firmware upload: garbage,
// doubled, late or endless requests to resend. Retries stay bounded, the
// operator sees the firmware operation's own messages, and a success is
// reported only for an image the modem really holds.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"

namespace nkq::faults {
namespace {

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

TEST_F(FaultAcknowledgement, GarbageEndsTheUploadAtOnceWithoutRetries) {
    Behave([](ModemBehaviour& b) {
        b.bad_ack_block = 3;
        b.bad_ack_byte = '\xff';
    });
    EXPECT_EQ(Upload(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(),
              (std::vector<std::string>{messages::kInvalidAcknowledgement, messages::kCheckConnection}));
    EXPECT_EQ(modem->PacketsReceived(), 3);
    EXPECT_EQ(modem->UploadsCompleted(), 0);
    EXPECT_FALSE(port.Connected());
}

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
        b.late_ack_delay = 3300ms;
    });
    Stopwatch watch;
    EXPECT_EQ(Upload(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(),
              (std::vector<std::string>{messages::kInvalidAcknowledgement, messages::kCheckConnection}));
    EXPECT_EQ(modem->UploadsCompleted(), 0);
    EXPECT_LE(watch.Wall(), 2000ms + 3000ms + 1500ms);
    EXPECT_LT(watch.Cpu(), 200ms);
}

TEST_F(FaultAcknowledgement, EndlessResendRequestsStopAfterFiveAttempts) {
    Behave([](ModemBehaviour& b) {
        b.nak_block = 2;
        b.nak_times = 1000;
    });
    EXPECT_EQ(Upload(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(),
              (std::vector<std::string>{messages::kTransferFailed, messages::kCheckConnection}));
    EXPECT_EQ(modem->PacketsReceived(), 1 + 5);
    EXPECT_EQ(op.progress_completed, 1);
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
