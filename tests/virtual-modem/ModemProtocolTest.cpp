// The modem's answers, driven straight through its protocol: no line, no
// thread, no clock. What the answers look like on a real pseudo-terminal and
// in time is checked in VirtualModemTest.
#include "ModemProtocol.h"

#include <gtest/gtest.h>

#include "ModemTestData.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using testing::Block;
using testing::Count;
using testing::kSmallGetReply;
using testing::Packet;
using testing::SmallSet;

class ModemProtocolTest : public ::testing::Test {
protected:
    // Feeds `input` as the modem's thread does and gathers the steps in order.
    std::vector<ModemStep> Steps(std::string_view input) {
        std::vector<ModemStep> steps;
        while (!input.empty()) {
            const auto reaction = protocol_.Feed(input);
            if (reaction.consumed == 0) {
                ADD_FAILURE() << "no byte taken";
                break;
            }
            input.remove_prefix(reaction.consumed);
            steps.insert(steps.end(), reaction.steps.begin(), reaction.steps.end());
        }
        return steps;
    }

    // Every byte sent in answer to `input`.
    std::string Answer(std::string_view input) {
        std::string sent;
        for (const auto& step : Steps(input)) {
            if (step.kind == ModemStep::Kind::Send) sent += step.bytes;
        }
        return sent;
    }

    std::string Line(std::string_view text) { return Answer(std::string(text) + "\r"); }

    ModemProtocol protocol_{SmallSet()};
};

// ---- the exchanges of a well-behaved modem ----------------------------------

TEST_F(ModemProtocolTest, EachAnswerIsHandedOutBeforeTheNextByteIsTaken) {
    const std::string_view input = "CMD\rAPN x\r";
    const auto first = protocol_.Feed(input);
    EXPECT_EQ(first.consumed, 4u);
    EXPECT_TRUE(first.line_taken);
    ASSERT_EQ(first.steps.size(), 1u);
    EXPECT_EQ(first.steps.front().bytes, "READY\r");
    const auto second = protocol_.Feed(input.substr(first.consumed));
    EXPECT_EQ(second.consumed, 6u);
    ASSERT_EQ(second.steps.size(), 1u);
    EXPECT_EQ(second.steps.front().bytes, "OK\r");
    EXPECT_EQ(protocol_.CommandLines(), (std::vector<std::string>{"CMD", "APN x"}));
}

TEST_F(ModemProtocolTest, DefaultGetReplyHoldsEveryParameterKeyOnce) {
    protocol_.SetParameters(ModemParameters::Defaults());
    const std::string reply = "\n" + Line("GET");
    for (const char* key :
         {"MODE",         "DESTIP",     "DESTPORT", "SERVERPORT", "IPPING1", "IPPING5", "IDLETIME",
          "APN",          "LOGIN",      "PASSWORD", "COMRATE",    "COMFC",   "COMBITS", "COMPARITY",
          "PARITYSELECT", "COMSTOPBIT", "NAME",     "DEVICE",     "VERSION", "CSQ",     "INTERFACE"}) {
        const std::string line = std::string("\n") + key + " ";
        EXPECT_EQ(reply.find(line), reply.rfind(line)) << key;
        EXPECT_NE(reply.find(line), std::string::npos) << key;
    }
    EXPECT_TRUE(reply.ends_with("\r\nOK\r\n"));
}

TEST_F(ModemProtocolTest, LinesNotSavedAreForgottenWhenTheSessionEnds) {
    EXPECT_EQ(Line("CMD"), "READY\r");
    EXPECT_EQ(Line("APN other"), "OK\r");
    EXPECT_EQ(protocol_.PendingParameters().Get("APN"), "other");
    EXPECT_EQ(Line("START"), "");
    EXPECT_EQ(Line("GET"), kSmallGetReply);
    EXPECT_TRUE(protocol_.PendingParameters().Empty());
}

TEST_F(ModemProtocolTest, CommandsEndedByCrLfOrCrLfAreAllUnderstood) {
    for (const char* ending : {"\r", "\n", "\r\n"}) {
        EXPECT_EQ(Answer(std::string("GET") + ending), kSmallGetReply)
            << "ending " << ::testing::PrintToString(ending);
    }
    EXPECT_EQ(Answer("CMD\r\n"), "READY\r") << "CR LF makes one line, not two";
}

TEST_F(ModemProtocolTest, UnknownCommandIsAnsweredWithError) { EXPECT_EQ(Line("HELLO"), "ERROR\r"); }

TEST_F(ModemProtocolTest, StatusQueryListsConnectionsAsIpLinesThenOk) {
    ModemBehaviour behaviour;
    behaviour.connections = {"192.168.0.5:1234", "10.1.1.1:80"};
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Line("TCP"), "IP 192.168.0.5:1234\r\nIP 10.1.1.1:80\r\nOK\r\n");
    behaviour.connections.clear();
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Line("TCP"), "OK\r\n");
}

// ---- the firmware loader ---------------------------------------------------

TEST_F(ModemProtocolTest, UploadOfNoBlockEndsAfterTheCount) {
    EXPECT_EQ(Answer("UPDATE\rS" + Count(0)), "000");
    EXPECT_EQ(protocol_.UploadsCompleted(), 1);
    EXPECT_TRUE(protocol_.FirmwareImage().empty());
    EXPECT_EQ(Line("GET"), kSmallGetReply);
}

TEST_F(ModemProtocolTest, ByteOtherThanStartLeavesTheLoaderAndCountsAsText) {
    EXPECT_EQ(Line("UPDATE"), "0");
    EXPECT_EQ(Line("GET"), kSmallGetReply);
    EXPECT_FALSE(protocol_.LoaderActive());
}

// ---- behaviour switches ----------------------------------------------------

TEST_F(ModemProtocolTest, LateAcknowledgementWaitsOnTopOfTheReplyDelayAndItsRepeatAfterIt) {
    ModemBehaviour behaviour;
    behaviour.reply_delay = 100ms;
    behaviour.late_ack_block = 1;
    behaviour.late_ack_delay = 300ms;
    behaviour.repeat_block_ack = 1;
    behaviour.repeat_delay = 40ms;
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Answer("UPDATE\rS" + Count(1)), "000");
    const auto steps = Steps(Packet(Block(1)));
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].wait, 400ms);
    EXPECT_EQ(steps[1].wait, 40ms);
    EXPECT_EQ(steps[0].bytes + steps[1].bytes, "00");
}

TEST_F(ModemProtocolTest, Rs485ModemReportsItsInterfaceAndRefusesFlowControl) {
    ModemBehaviour behaviour;
    behaviour.rs485 = true;
    protocol_.SetBehaviour(behaviour);
    protocol_.SetParameters(ModemParameters::FromText("COMFC 0\nINTERFACE RS232\n"));
    EXPECT_EQ(Line("GET"), "COMFC 0\r\nINTERFACE RS485\r\nOK\r\n");
    EXPECT_EQ(Line("CMD"), "READY\r");
    const std::string notice = Line("COMFC 2");
    EXPECT_EQ(notice.size(), modem::kRs485ReplyStart.size() + modem::kRs485TailSize);
    EXPECT_TRUE(notice.starts_with(modem::kRs485ReplyStart));
    EXPECT_EQ(Line("COMBITS 8"), "OK\r");
    EXPECT_EQ(Line("SAVE"), "OK\r");
    EXPECT_EQ(protocol_.Parameters().Get("COMFC"), "0");
}

// Acknowledgements go out a byte a step, 5 to 30 ms apart; a "GET" reply
// stays whole.
TEST_F(ModemProtocolTest, AcknowledgementsByteByByteAreOneStepPerByte) {
    ModemBehaviour behaviour;
    behaviour.acks_byte_by_byte = true;
    protocol_.SetBehaviour(behaviour);
    const auto steps = Steps("CMD\rAPN x\rSAVE\r");
    std::string sent;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        ASSERT_EQ(steps[i].bytes.size(), 1u) << i;
        sent += steps[i].bytes;
        const bool first_of_answer = i == 0 || sent[sent.size() - 2] == '\r';
        if (first_of_answer) {
            EXPECT_EQ(steps[i].wait, 0ms) << i;
        } else {
            EXPECT_GE(steps[i].wait, 5ms) << i;
            EXPECT_LE(steps[i].wait, 30ms) << i;
        }
    }
    EXPECT_EQ(sent, "READY\rOK\rOK\r");
    EXPECT_EQ(Steps("GET\r").size(), 1u);
}

TEST_F(ModemProtocolTest, UnlistedKeysAreLeftOutOfTheGetReply) {
    ModemBehaviour behaviour;
    behaviour.unlisted_keys = {"APN"};
    protocol_.SetBehaviour(behaviour);
    const std::string reply = Line("GET");
    EXPECT_EQ(reply.find("APN"), std::string::npos) << reply;
    EXPECT_NE(reply.find("MODE"), std::string::npos) << reply;
}

TEST_F(ModemProtocolTest, RefusedCmdLeavesTheModemOutOfWriteMode) {
    ModemBehaviour behaviour;
    behaviour.refuse_cmd = true;
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Line("CMD"), "ERROR\r");
    EXPECT_FALSE(protocol_.InWriteMode());
}

TEST_F(ModemProtocolTest, RejectedKeyAndBadSaveKeepNothing) {
    ModemBehaviour behaviour;
    behaviour.reject_key = "APN";
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Line("CMD"), "READY\r");
    EXPECT_EQ(Line("MODE 2"), "OK\r");
    EXPECT_EQ(Line("APN x"), "ER\r");
    EXPECT_EQ(Line("APNX y"), "OK\r") << "the key must match whole";
    behaviour.bad_save = true;
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Line("SAVE"), "ER\r");
    EXPECT_EQ(protocol_.Parameters(), SmallSet());
}

TEST_F(ModemProtocolTest, ChosenBlockIsRefusedTheGivenNumberOfTimes) {
    ModemBehaviour behaviour;
    behaviour.nak_block = 2;
    behaviour.nak_times = 2;
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Answer("UPDATE\rS" + Count(2)), "000");
    EXPECT_EQ(Answer(Packet(Block(1))), "0");
    EXPECT_EQ(Answer(Packet(Block(2))), "1");
    EXPECT_EQ(Answer(Packet(Block(2))), "1");
    EXPECT_EQ(Answer(Packet(Block(2))), "0");
    EXPECT_EQ(protocol_.NaksSent(), 2);
    EXPECT_EQ(protocol_.FirmwareImage(), Block(1) + Block(2));
}

TEST_F(ModemProtocolTest, ChosenBlockGetsAnInvalidAcknowledgement) {
    ModemBehaviour behaviour;
    behaviour.bad_ack_block = 1;
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Answer("UPDATE\rS" + Count(1)), "000");
    EXPECT_EQ(Answer(Packet(Block(1))), "2");
    EXPECT_EQ(protocol_.UploadsCompleted(), 0);
}

struct SilentLoaderCase {
    const char* name;
    bool ModemBehaviour::*flag;
    int answers_before_silence;
};

void PrintTo(const SilentLoaderCase& step, std::ostream* out) { *out << step.name; }

class SilentLoaderTest : public ModemProtocolTest, public ::testing::WithParamInterface<SilentLoaderCase> {};

TEST_P(SilentLoaderTest, LoaderStepGetsNoAnswerAndTheModemTakesCommandsAgain) {
    ModemBehaviour behaviour;
    behaviour.*(GetParam().flag) = true;
    protocol_.SetBehaviour(behaviour);
    EXPECT_EQ(Answer("UPDATE\rS" + Count(1)), std::string(GetParam().answers_before_silence, '0'));
    EXPECT_FALSE(protocol_.LoaderActive());
    Answer("\r");  // ends whatever the loader left as text
    EXPECT_EQ(Line("GET"), kSmallGetReply);
}

INSTANTIATE_TEST_SUITE_P(Steps, SilentLoaderTest,
                         ::testing::Values(SilentLoaderCase{"Update", &ModemBehaviour::no_update_reply, 0},
                                           SilentLoaderCase{"Start", &ModemBehaviour::no_start_reply, 1},
                                           SilentLoaderCase{"Count", &ModemBehaviour::no_count_reply, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nkq
