// A reply that comes after its time-out has run out lands in the line while
// the workstation has already given up (and closed the port). It must never
// be taken as the answer to the next command.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/WriteParameters.h"
#include "serial/CommandExchange.h"

namespace nkq::faults {
namespace {

constexpr auto kLate = 3300ms;  // past the 3000 ms read time-out

class FaultLateReply : public ModemFaultTest {
protected:
    // Waits until the modem has sent `bytes` in all, the late reply included.
    void AwaitSent(const std::string& tail) {
        const Stopwatch watch;
        while (!modem->SentBytes().ends_with(tail) && watch.Wall() < 5000ms)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(modem->SentBytes().ends_with(tail)) << "the late reply never went out";
    }
};

TEST_F(FaultLateReply, LateExchangeReplyIsNotTheAnswerToTheNextCommand) {
    Behave([](ModemBehaviour& b) { b.reply_delay = kLate; });
    port.Open();
    EXPECT_THROW(ExchangeCommand(port, op, "TCP"), EAbort);
    AwaitSent("IP 10.20.30.40:5000\r\nOK\r\n");
    Behave([](ModemBehaviour& b) {
        b.reply_delay = 0ms;
        b.connections = {"1.1.1.1:1"};
    });
    port.Open();
    EXPECT_EQ(ExchangeCommand(port, op, "TCP"), "IP 1.1.1.1:1\r\nOK");
    port.Close();
}

TEST_F(FaultLateReply, LateReadyDoesNotSpoilTheNextParameterWrite) {
    Behave([](ModemBehaviour& b) { b.reply_delay = kLate; });
    EXPECT_THROW(WriteModemParameters(session), EAbort);
    EXPECT_EQ(op.Messages(),
              (std::vector<std::string>{messages::kCmdWriteFailed, messages::kCheckConnection}));
    AwaitSent("READY\r");
    // The failed write still started the modem's traffic again.
    EXPECT_TRUE(modem->WaitForCommandLines(3, 1000ms));
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
