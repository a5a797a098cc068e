// A modem (or a USB adapter) that delivers every acknowledgement one byte at
// a time, 5 to 30 ms apart: each answer is taken whole before it is judged,
// so a write and an upload succeed, and a doubled answer still fails them.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/WriteParameters.h"

namespace nkq::faults {
namespace {

using Texts = std::vector<std::string>;

class SplitAnswers : public ModemFaultTest {
protected:
    void SetUp() override {
        ModemFaultTest::SetUp();
        Behave([](ModemBehaviour& b) { b.acks_byte_by_byte = true; });
    }
};

TEST_F(SplitAnswers, AWriteOfEveryServerLineSucceeds) {
    set.SelectMode(Mode::Server);
    set.Fields().IncomePortEdit.SetText("7001");
    set.Fields().APNEdit.SetText("split.apn");
    WriteModemParameters(session);
    EXPECT_EQ(op.Messages(), Texts{messages::kWriteSucceeded});
    EXPECT_EQ(modem->Parameters().Get("SERVERPORT"), "7001");
    EXPECT_EQ(modem->Parameters().Get("APN"), "split.apn");
}

// The twelve-byte RS485 notice in single bytes: its three-byte start and
// its nine-byte tail are each taken whole.
TEST_F(SplitAnswers, TheRs485NoticeInPiecesIsStillTheNotice) {
    Behave([](ModemBehaviour& b) { b.rs485 = true; });
    set.Fields().FlowCombo.SetIndex(1);
    WriteModemParameters(session);
    EXPECT_EQ(op.Messages(), (Texts{messages::kRs485Notice, messages::kWriteSucceeded}));
}

TEST_F(SplitAnswers, AnUploadSucceeds) {
    const std::string image = MakeImage(4);
    op.QueueAnswer(true);
    EXPECT_EQ(UpdateFirmware(firmware), UpdateResult::Updated);
    EXPECT_EQ(modem->FirmwareImage(), image);
}

struct DoubledCase {
    const char* name;
    void (*behave)(ModemBehaviour&);
};

class DoubledSplitAnswer : public SplitAnswers, public ::testing::WithParamInterface<DoubledCase> {};

TEST_P(DoubledSplitAnswer, StillFailsTheWrite) {
    Behave(GetParam().behave);
    EXPECT_THROW(WriteModemParameters(session), EAbort);
    EXPECT_EQ(op.Messages(), (Texts{messages::kExtraAnswer, messages::kCheckConnection}));
    const auto lines = LinesUpToStart();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "START");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DoubledSplitAnswer,
    ::testing::Values(DoubledCase{"Ready", [](ModemBehaviour& b) { b.repeat_ready = true; }},
                      DoubledCase{"LineBeforeARefusedLine",
                                  [](ModemBehaviour& b) {
                                      b.repeat_line_ack = 4;
                                      b.reject_key = "APN";
                                  }},
                      DoubledCase{"FifthLine", [](ModemBehaviour& b) { b.repeat_line_ack = 5; }},
                      // After the last answer the repeat follows at once (see FaultRepeatedAnswerTest).
                      DoubledCase{"Save",
                                  [](ModemBehaviour& b) {
                                      b.repeat_save = true;
                                      b.repeat_delay = 0ms;
                                  }}),
    [](const ::testing::TestParamInfo<DoubledCase>& info) { return std::string(info.param.name); });

// The spare byte may come only after the next packet went out, so the
// loader may even have taken every block; the upload is reported failed all
// the same, never as a success it cannot vouch for.
TEST_F(SplitAnswers, ADoubledLoaderAnswerStillFailsTheUpload) {
    MakeImage(4);
    Behave([](ModemBehaviour& b) { b.doubled_ack_block = 2; });
    op.QueueAnswer(true);
    EXPECT_EQ(UpdateFirmware(firmware), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), (Texts{messages::kExtraAnswer, messages::kCheckConnection}));
}

}  // namespace
}  // namespace nkq::faults
