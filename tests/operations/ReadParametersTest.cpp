#include <gtest/gtest.h>

#include "ModemFixture.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/ReadParameters.h"
#include "serial/EComPort.h"

namespace nkq::testing {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

class ReadParametersTest : public ModemFixture {
protected:
    // Runs the operation; true when it ended with the silent abort.
    bool ReadAborted() {
        try {
            ReadModemParameters(session);
            return false;
        } catch (const EAbort&) {
            return true;
        }
    }
};

TEST_F(ReadParametersTest, SuccessAppliesTheReplyAndSendsStopGetStart) {
    ModemParameters params = ModemParameters::Defaults();
    params.Set("MODE", "0");
    params.Set("SERVERPORT", "4001");
    params.Set("IPPING2", "10.1.2.3 80");
    params.Set("CSQ", "16,0");
    params.Set("NAME", "NKQ-");
    params.Set("DEVICE", "GPRS");
    modem->SetParameters(params);

    const auto took = Timed([&] { EXPECT_FALSE(ReadAborted()); });

    EXPECT_EQ(op.Messages(), Lines{messages::kReadSucceeded});
    EXPECT_EQ(op.Calls().front(), "cursor: hourglass");
    EXPECT_EQ(op.Calls()[1], "cursor: arrow");
    EXPECT_EQ(Received(), (Lines{"STOP", "GET", "START"}));
    EXPECT_EQ(set.GetMode(), Mode::Server);
    EXPECT_EQ(set.Fields().IncomePortEdit.Text(), "4001");
    EXPECT_EQ(set.Fields().IPAddr[1].Text(), "10.1.2.3");
    EXPECT_EQ(set.Fields().Port[1].Text(), "80");
    EXPECT_EQ(set.Level(), 4);
    EXPECT_EQ(set.ModelText(), "NKQ-GPRS");
    // The 500 ms pause after STOP and the 3000 ms first wait of the exchange.
    EXPECT_TRUE(TookOneWait(took, 500ms + kTimeout - 50ms));
    EXPECT_TRUE(PortWasReleased());
}

TEST_F(ReadParametersTest, ReplyOfOnlyOkChangesOnlyTheModelText) {
    modem->SetParameters(ModemParameters{});
    set.SetNameText("A");
    set.SetDeviceText("B");
    ASSERT_FALSE(ReadAborted());
    EXPECT_EQ(set.ModelText(), "AB");
    EXPECT_EQ(set.Fields().APNEdit.Text(), "");
    EXPECT_EQ(op.Messages(), Lines{messages::kReadSucceeded});
}

TEST_F(ReadParametersTest, SilentModemTimesOutAndIsStillSentStartBeforeThePortCloses) {
    Behave([](ModemBehaviour& b) { b.silent = true; });
    const auto took = Timed([&] { EXPECT_TRUE(ReadAborted()); });

    EXPECT_EQ(op.Messages(), (Lines{messages::kTimeout, messages::kCheckConnection}));
    EXPECT_EQ(op.Calls().back(), "cursor: arrow");
    // A modem that got STOP must not be left stopped.
    EXPECT_EQ(Received(), (Lines{"STOP", "GET", "START"}));
    EXPECT_FALSE(modem->TrafficStopped());
    EXPECT_TRUE(TookOneWait(took, 500ms + kTimeout - 50ms));
    EXPECT_TRUE(PortWasReleased());
}

TEST_F(ReadParametersTest, ReplyWithoutFinalOkKeepsWhatItAppliedButNotTheModelText) {
    // A pause longer than the quiet step cuts the reply before its last lines.
    Behave([](ModemBehaviour& b) {
        b.burst_gap = kTimeout + 1000ms;  // past the first look and one quiet step, even a late look
        b.burst_split = 0;
    });
    const std::string before = set.ModelText();

    EXPECT_TRUE(ReadAborted());
    EXPECT_EQ(op.Messages(), Lines{messages::kCheckConnection});
    EXPECT_EQ(set.ModelText(), before);
    // The modem reads START only once its own pause is over.
    EXPECT_TRUE(modem->WaitForCommandLines(3, 10s));
    EXPECT_EQ(Received(), (Lines{"STOP", "GET", "START"}));
    EXPECT_TRUE(PortWasReleased());
}

TEST_F(ReadParametersTest, UnconvertibleValueStopsAtItsLine) {
    ModemParameters params;
    params.Set("APN", "before");
    params.Set("COMBITS", "eight");
    params.Set("LOGIN", "after");
    modem->SetParameters(params);

    EXPECT_TRUE(ReadAborted());
    EXPECT_EQ(op.Messages(), Lines{messages::kCheckConnection});
    EXPECT_EQ(set.Fields().APNEdit.Text(), "before");
    EXPECT_EQ(set.Fields().LoginEdit.Text(), "");
    EXPECT_EQ(Received(), (Lines{"STOP", "GET", "START"}));
}

TEST_F(ReadParametersTest, PortThatCannotBeOpenedRaisesItsOwnErrorAndNothingElse) {
    port.SetPort("/dev/nkq-no-such-port");
    try {
        ReadModemParameters(session);
        FAIL() << "the read went on without a port";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Message(), "Unable to open com port (win error code: 2)");
    }
    EXPECT_TRUE(op.Calls().empty());
}

TEST_F(ReadParametersTest, ReplyInBurstsCloserThanTheQuietStepIsTakenWhole) {
    ModemParameters params = ModemParameters::Defaults();
    params.Set("APN", "whole");
    modem->SetParameters(params);
    Behave([](ModemBehaviour& b) { b.burst_gap = 40ms; });
    ASSERT_FALSE(ReadAborted());
    EXPECT_EQ(set.Fields().APNEdit.Text(), "whole");
    EXPECT_EQ(op.Messages(), Lines{messages::kReadSucceeded});
}

}  // namespace
}  // namespace nkq::testing
