// A modem that repeats an acknowledgement 20 ms after the real one. Taken for
// the next answer, the spare one shifts every later answer by one, so that a
// refused line or block could pass as accepted. The operation fails instead,
// and the modem is still sent START after a write. A repeat of the last
// answer follows it at once: the settle time after the last answer is short,
// and on a busy machine the modem's own thread could be held past it (that
// the settle time is waited is checked with the port alone).
#include <gtest/gtest.h>

#include <algorithm>

#include "FaultSupport.h"
#include "app/OperatorMessages.h"
#include "operations/FirmwareUpdate.h"
#include "operations/WriteParameters.h"

namespace nkq::faults {
namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

const Texts kOutOfStep{messages::kExtraAnswer, messages::kCheckConnection};

struct RepeatCase {
    const char* name;
    void (*behave)(ModemBehaviour&);
    bool saved;  // whether the modem's SAVE (or last block) went through before the repeat
};

std::string CaseName(const ::testing::TestParamInfo<RepeatCase>& info) { return info.param.name; }

class RepeatedWriteAnswer : public ModemFaultTest, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(RepeatedWriteAnswer, FailsTheWriteAndStillSendsStart) {
    Behave(GetParam().behave);
    set.Fields().APNEdit.SetText("changed.apn");
    EXPECT_THROW(WriteModemParameters(session), EAbort);
    EXPECT_EQ(op.Messages(), kOutOfStep);
    const auto lines = LinesUpToStart();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "START");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "SAVE"), GetParam().saved ? 1 : 0);
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(Answers, RepeatedWriteAnswer,
                         ::testing::Values(
                             // The repeated "OK" to IDLETIME stands where the refusal of APN would be read.
                             RepeatCase{"LineBeforeARefusedLine",
                                        [](ModemBehaviour& b) {
                                            b.repeat_line_ack = 4;
                                            b.reject_key = "APN";
                                        },
                                        false},
                             RepeatCase{"Ready", [](ModemBehaviour& b) { b.repeat_ready = true; }, false},
                             RepeatCase{"Save",
                                        [](ModemBehaviour& b) {
                                            b.repeat_save = true;
                                            b.repeat_delay = 0ms;
                                        },
                                        true}),
                         CaseName);

constexpr int kBlocks = 4;

class RepeatedLoaderAnswer : public ModemFaultTest, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(RepeatedLoaderAnswer, FailsTheUpdate) {
    MakeImage(kBlocks);
    Behave(GetParam().behave);
    op.QueueAnswer(true);
    EXPECT_EQ(UpdateFirmware(firmware), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), kOutOfStep);
    EXPECT_EQ(modem->UploadsCompleted(), GetParam().saved ? 1 : 0);
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(Answers, RepeatedLoaderAnswer,
                         ::testing::Values(
                             // The repeated "0" to the count stands where block 2's refusals would be read.
                             RepeatCase{"CountBeforeARefusedBlock",
                                        [](ModemBehaviour& b) {
                                            b.repeat_count_ack = true;
                                            b.nak_block = 2;
                                            b.nak_times = 1000;
                                        },
                                        false},
                             RepeatCase{"LastBlock",
                                        [](ModemBehaviour& b) {
                                            b.repeat_block_ack = kBlocks;
                                            b.repeat_delay = 0ms;
                                        },
                                        true}),
                         CaseName);

}  // namespace
}  // namespace nkq::faults
