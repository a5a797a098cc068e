#include <gtest/gtest.h>

#include "ModemFixture.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/WriteParameters.h"
#include "params/ParameterLines.h"
#include "serial/EComPort.h"

namespace nkq::testing {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

using messages::kCheckConnection;
using messages::kWriteSucceeded;

class WriteParametersTest : public ModemFixture {
protected:
    bool WriteAborted() {
        try {
            WriteModemParameters(session);
            return false;
        } catch (const EAbort&) {
            return true;
        }
    }

    // What the modem received after "CMD" and before "SAVE" (or the end).
    Lines ParameterLinesReceived() const {
        Lines lines = Received(), between;
        bool inside = false;
        for (const auto& line : lines) {
            if (line == "CMD")
                inside = true;
            else if (line == "SAVE" || line == "START")
                inside = false;
            else if (inside)
                between.push_back(line);
        }
        return between;
    }
};

TEST_F(WriteParametersTest, EachModeSendsItsLinesAndTheModemKeepsThem) {
    struct Case {
        Mode mode;
        std::size_t lines;
    };
    for (const Case c : {Case{Mode::Modem, 11}, Case{Mode::Client, 13}, Case{Mode::Server, 17}}) {
        SCOPED_TRACE(c.lines);
        StartModem({});
        set.SelectMode(c.mode);
        set.Fields().APNEdit.SetText("apn.example");
        ASSERT_FALSE(WriteAborted());

        EXPECT_EQ(op.Messages().back(), kWriteSucceeded);
        const Lines sent = ParameterLinesReceived();
        EXPECT_EQ(sent, BuildParameterLines(set));
        EXPECT_EQ(sent.size(), c.lines);
        const Lines all = Received();
        ASSERT_GE(all.size(), 4u);
        EXPECT_EQ((Lines{all[0], all[1]}), (Lines{"STOP", "CMD"}));
        EXPECT_EQ((Lines{all[all.size() - 2], all.back()}), (Lines{"SAVE", "START"}));
        EXPECT_EQ(modem->Parameters().Get("APN"), "apn.example");
        EXPECT_TRUE(PortWasReleased());
    }
    EXPECT_EQ(op.Calls().front(), "cursor: hourglass");
}

TEST_F(WriteParametersTest, LinesGoOutOneAtATimeAfterEachAcknowledgement) {
    ASSERT_FALSE(WriteAborted());
    // Every line the modem received was answered before the next arrived:
    // no trace entry towards the modem holds more than one line.
    for (const auto& entry : modem->Trace()) {
        if (entry.direction != TraceDirection::ToModem) continue;
        EXPECT_LE(std::count(entry.bytes.begin(), entry.bytes.end(), '\r'), 1) << entry.bytes;
    }
}

struct FailureCase {
    const char* name;
    std::function<void(ModemBehaviour&)> behave;
    Lines messages;
    bool save_sent;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class WriteFailures : public WriteParametersTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WriteFailures, ShowTheirMessagesThenStartAndClose) {
    Behave(GetParam().behave);
    EXPECT_TRUE(WriteAborted());
    EXPECT_EQ(op.Messages(), GetParam().messages);
    EXPECT_EQ(op.Calls().back(), "cursor: arrow");
    const Lines all = Received();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back(), "START");  // still written, and nothing after it
    EXPECT_EQ(std::count(all.begin(), all.end(), "SAVE"), GetParam().save_sent ? 1 : 0);
    EXPECT_FALSE(modem->InWriteMode());
    EXPECT_TRUE(PortWasReleased());
}

INSTANTIATE_TEST_SUITE_P(Modem, WriteFailures,
                         ::testing::Values(FailureCase{"RefusedCmd",
                                                       [](ModemBehaviour& b) { b.refuse_cmd = true; },
                                                       {messages::kCmdWriteFailed, kCheckConnection},
                                                       false},
                                           FailureCase{"SilentModem",
                                                       [](ModemBehaviour& b) { b.silent = true; },
                                                       {messages::kCmdWriteFailed, kCheckConnection},
                                                       false},
                                           FailureCase{"RejectedLine",
                                                       [](ModemBehaviour& b) { b.reject_key = "IDLETIME"; },
                                                       {messages::kLineWriteFailed, kCheckConnection},
                                                       false},
                                           FailureCase{"RejectedSave",
                                                       [](ModemBehaviour& b) { b.bad_save = true; },
                                                       {messages::kSaveWriteFailed, kCheckConnection},
                                                       true}),
                         [](const auto& info) { return info.param.name; });

TEST_F(WriteParametersTest, SilentModemFailsAfterTheReadTimeOut) {
    Behave([](ModemBehaviour& b) { b.silent = true; });
    const auto took = Timed([&] { EXPECT_TRUE(WriteAborted()); });
    // 500 ms pause, then the 3000 ms read time-out on the CMD reply.
    EXPECT_TRUE(TookOneWait(took, 500ms + kTimeout - 50ms));
}

TEST_F(WriteParametersTest, AStopRequestSendsNoFurtherLineNorSaveButStillStart) {
    std::size_t asked = 0;
    session.StopRequested = [&] { return ++asked > 3; };  // before CMD and the second and third line: go on
    EXPECT_THROW(WriteModemParameters(session), EOperationStopped);
    EXPECT_TRUE(op.Messages().empty()) << "a stop is not a connection fault";
    const Lines received = Received();
    EXPECT_EQ(ParameterLinesReceived().size(), 3u);
    EXPECT_EQ(std::count(received.begin(), received.end(), "SAVE"), 0);
    EXPECT_EQ(received.back(), "START");
    EXPECT_TRUE(PortWasReleased());
    EXPECT_EQ(op.Calls().back(), "cursor: arrow");
}

TEST_F(WriteParametersTest, Rs485NoticeComesBeforeSuccessAndDisablesFlowControl) {
    Behave([](ModemBehaviour& b) { b.rs485 = true; });
    set.Fields().FlowCombo.SetIndex(2);
    ASSERT_FALSE(WriteAborted());
    EXPECT_EQ(op.Messages(), (Lines{messages::kRs485Notice, kWriteSucceeded}));
    EXPECT_FALSE(set.FlowControlAvailable());
    EXPECT_EQ(set.Fields().FlowCombo.Index(), 0);
    EXPECT_EQ(ParameterLinesReceived().size(), 13u);
}

TEST_F(WriteParametersTest, DeviceGoneMidWayShowsOnlyTheGeneralMessage) {
    Behave([](ModemBehaviour& b) { b.hang_up_after_lines = 3; });
    try {
        WriteModemParameters(session);
        FAIL() << "the write succeeded without a modem";
    } catch (const EAbort&) {
    } catch (const EComPort&) {
        // START cannot go out on a line that is gone; that failure is shown too.
    }
    EXPECT_EQ(op.Messages(), Lines{kCheckConnection});
    EXPECT_FALSE(port.Connected());
}

TEST_F(WriteParametersTest, PortThatCannotBeOpenedRaisesItsErrorAndRestoresTheCursor) {
    port.SetPort("/dev/nkq-no-such-port");
    EXPECT_THROW(WriteModemParameters(session), EComPort);
    EXPECT_EQ(op.Calls(), (Lines{"cursor: hourglass", "cursor: arrow"}));
}

TEST_F(WriteParametersTest, ValueWithALineBreakIsRefusedBeforeThePortOpens) {
    set.Fields().APNEdit.SetText("internet\rSAVE");
    try {
        WriteModemParameters(session);
        FAIL() << "a value with CR went to the modem";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'internet\rSAVE' is not a valid parameter value");
    }
    EXPECT_TRUE(modem->ReceivedBytes().empty());
    EXPECT_FALSE(port.Connected());
    set.Fields().APNEdit.SetText("a\nb");
    EXPECT_THROW(WriteModemParameters(session), EConvertError);
}

TEST_F(WriteParametersTest, CyrillicValuesReachTheModemAsTheyAreHeld) {
    const std::string apn = "\xE8\xED\xF2\xE5\xF0\xED\xE5\xF2";  // "интернет" in Windows-1251
    set.Fields().APNEdit.SetText(apn);
    ASSERT_FALSE(WriteAborted());
    EXPECT_EQ(modem->Parameters().Get("APN"), apn);
}

}  // namespace
}  // namespace nkq::testing
