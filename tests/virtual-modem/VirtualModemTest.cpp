// The modem on a real pseudo-terminal and in time: whole exchanges through
// the line, pauses, bursts, repeats, hang-ups, pacing, the trace and the
// device's lifetime. The answers' content is checked in ModemProtocolTest.
#include "VirtualModem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "ModemTestData.h"
#include "TestClient.h"
#include "app/Failure.h"
#include "protocol/ModemCommands.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using testing::Block;
using testing::Count;
using testing::kSmallGetReply;
using testing::Packet;
using testing::SmallSet;
using testing::TestClient;
using Clock = std::chrono::steady_clock;

class VirtualModemTest : public ::testing::Test {
protected:
    void Start(ModemBehaviour behaviour = {}, ModemParameters parameters = SmallSet()) {
        ModemSetup setup;
        setup.parameters = std::move(parameters);
        setup.behaviour = std::move(behaviour);
        modem_ = std::make_unique<VirtualModem>(std::move(setup));
        client_ = std::make_unique<TestClient>(modem_->DevicePath());
    }

    std::string Exchange(std::string_view command, std::size_t reply_size) {
        EXPECT_TRUE(client_->WriteLine(command));
        return client_->ReadExactly(reply_size, 5s);
    }

    std::string Get() {
        EXPECT_TRUE(client_->WriteLine(modem::kGet));
        return client_->ReadUntil("OK\r\n", 2s);
    }

    // Runs the loader handshake up to the count; true when all three were "0".
    bool OpenLoader(int blocks) {
        return Exchange(modem::kUpdate, 1) == "0" && client_->Write("S") &&
               client_->ReadExactly(1, 2s) == "0" && client_->Write(Count(blocks)) &&
               client_->ReadExactly(1, 2s) == "0";
    }

    // The trace holds what was sent once the write is done; the client may
    // have read it a moment before.
    void AwaitSentBytes(std::size_t count) const {
        const auto deadline = Clock::now() + 5s;
        while (modem_->SentBytes().size() < count && Clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
    }

    std::string SendPacket(const std::string& packet) {
        EXPECT_TRUE(client_->Write(packet));
        return client_->ReadExactly(1, 2s);
    }

    std::unique_ptr<VirtualModem> modem_;
    std::unique_ptr<TestClient> client_;
};

// ---- the exchanges of a well-behaved modem ----------------------------------

TEST_F(VirtualModemTest, ReadSequenceListsParametersEndedByOkAndTracksStopState) {
    Start();
    ASSERT_TRUE(client_->WriteLine(modem::kStop));
    ASSERT_TRUE(modem_->WaitForCommandLines(1, 10s));
    EXPECT_TRUE(modem_->TrafficStopped());
    EXPECT_EQ(Get(), kSmallGetReply);
    ASSERT_TRUE(client_->WriteLine(modem::kStart));
    ASSERT_TRUE(modem_->WaitForCommandLines(3, 10s));
    EXPECT_FALSE(modem_->TrafficStopped());
    EXPECT_EQ(modem_->CommandLines(), (std::vector<std::string>{"STOP", "GET", "START"}));
    EXPECT_TRUE(client_->ReadUntilQuiet(100ms, 50ms).empty()) << "STOP and START are not answered";
}

TEST_F(VirtualModemTest, WriteSequenceIsAcknowledgedLineByLineAndSaveCommits) {
    Start();
    ASSERT_TRUE(client_->WriteLine(modem::kStop));
    EXPECT_EQ(Exchange(modem::kCmd, modem::kReadyReplySize), modem::kReadyReply);
    EXPECT_TRUE(modem_->InWriteMode());
    for (const char* line :
         {"MODE 0", "SERVERPORT 4500", "IPPING1 10.0.0.9 7000", "APN m2m.test", "LOGIN "}) {
        EXPECT_EQ(Exchange(line, modem::kOkReplySize), modem::kOkReply) << line;
    }
    EXPECT_EQ(modem_->Parameters(), SmallSet()) << "nothing is kept before SAVE";
    EXPECT_EQ(Exchange(modem::kSave, modem::kOkReplySize), modem::kOkReply);
    ASSERT_TRUE(client_->WriteLine(modem::kStart));
    EXPECT_EQ(Get(),
              "MODE 0\r\nAPN m2m.test\r\nLOGIN \r\nCOMFC 0\r\nSERVERPORT 4500\r\n"
              "IPPING1 10.0.0.9 7000\r\nOK\r\n");
    EXPECT_FALSE(modem_->InWriteMode());
}

// ---- the firmware loader ---------------------------------------------------

TEST_F(VirtualModemTest, UploadStoresImageAndAsksAgainForABadChecksum) {
    Start();
    ASSERT_TRUE(OpenLoader(3));
    EXPECT_TRUE(modem_->LoaderActive());
    EXPECT_EQ(SendPacket(Packet(Block(1))), "0");
    EXPECT_EQ(SendPacket(Packet(Block(2), 1)), "1");
    EXPECT_EQ(SendPacket(Packet(Block(2))), "0");
    EXPECT_EQ(SendPacket(Packet(Block(3))), "0");
    EXPECT_EQ(modem_->FirmwareImage(), Block(1) + Block(2) + Block(3));
    EXPECT_EQ(modem_->UploadsCompleted(), 1);
    EXPECT_EQ(modem_->PacketsReceived(), 4);
    EXPECT_EQ(modem_->NaksSent(), 1);
    EXPECT_FALSE(modem_->LoaderActive());
    EXPECT_EQ(Get(), kSmallGetReply) << "after the last packet the modem takes commands again";
}

// ---- behaviour switches ----------------------------------------------------

TEST_F(VirtualModemTest, SilentModemAnswersNothingButStillHearsCommands) {
    ModemBehaviour behaviour;
    behaviour.silent = true;
    Start(behaviour);
    for (const auto command : {modem::kGet, modem::kCmd, modem::kTcp, modem::kUpdate}) {
        ASSERT_TRUE(client_->WriteLine(command));
    }
    EXPECT_TRUE(client_->ReadUntilQuiet(300ms, 50ms).empty());
    EXPECT_TRUE(modem_->WaitForCommandLines(4, 10s));
    EXPECT_TRUE(modem_->SentBytes().empty());
    modem_->SetBehaviour({});
    EXPECT_EQ(Get(), kSmallGetReply) << "switches change at run time";
}

// The delays are checked where the modem keeps them, in its trace: what the
// client sees a busy machine may delay further.

// The answers that went out one after the other with nothing received between.
std::vector<TraceEntry> LastAnswerWrites(const std::vector<TraceEntry>& trace) {
    std::vector<TraceEntry> writes;
    for (const auto& entry : trace) {
        if (entry.direction == TraceDirection::ToModem) writes.clear();
        if (entry.direction == TraceDirection::FromModem) writes.push_back(entry);
    }
    return writes;
}

TEST_F(VirtualModemTest, DelayedReplyArrivesAfterTheDelay) {
    ModemBehaviour behaviour;
    behaviour.reply_delay = 1000ms;
    Start(behaviour);
    EXPECT_EQ(Exchange(modem::kCmd, 6), "READY\r");
    AwaitSentBytes(6);
    const auto trace = modem_->Trace();
    ASSERT_GE(trace.size(), 2u);
    ASSERT_EQ(trace.back().direction, TraceDirection::FromModem);
    const auto delay = trace.back().time - trace.front().time;
    EXPECT_GE(delay, behaviour.reply_delay);
    EXPECT_LT(delay, 2 * behaviour.reply_delay) << "short of a second delay";
}

class BurstTest : public VirtualModemTest, public ::testing::WithParamInterface<std::chrono::milliseconds> {};

TEST_P(BurstTest, ReplyGoesInTwoPartsTheGapApart) {
    ModemBehaviour behaviour;
    behaviour.burst_gap = GetParam();
    behaviour.burst_split = 10;
    Start(behaviour);
    EXPECT_EQ(Get(), kSmallGetReply);
    AwaitSentBytes(kSmallGetReply.size());
    const auto parts = LastAnswerWrites(modem_->Trace());
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].bytes, kSmallGetReply.substr(0, 10));
    EXPECT_GE(parts[1].time - parts[0].time, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Gaps, BurstTest, ::testing::Values(30ms, 400ms),
                         [](const auto& info) { return "Gap" + std::to_string(info.param.count()) + "ms"; });

struct RepeatCase {
    const char* name;
    void (*choose)(ModemBehaviour&);
    std::vector<std::string> sent;     // written one after another
    std::vector<std::string> answers;  // what comes back to each, a repeat included
};

void PrintTo(const RepeatCase& item, std::ostream* out) { *out << item.name; }

class RepeatTest : public VirtualModemTest, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(RepeatTest, ChosenAnswerGoesOutOnceMoreAfterTheDelay) {
    ModemBehaviour behaviour;
    behaviour.repeat_delay = 30ms;
    GetParam().choose(behaviour);
    Start(behaviour);
    std::size_t answered = 0;
    for (std::size_t i = 0; i < GetParam().sent.size(); ++i) {
        ASSERT_TRUE(client_->Write(GetParam().sent[i]));
        EXPECT_EQ(client_->ReadExactly(GetParam().answers[i].size(), 5s), GetParam().answers[i])
            << "step " << i;
        answered += GetParam().answers[i].size();
    }
    AwaitSentBytes(answered);
    // The repeat is the one answer that follows another with no input between them.
    std::vector<std::chrono::microseconds> gaps;
    const auto trace = modem_->Trace();
    for (std::size_t i = 1; i < trace.size(); ++i) {
        if (trace[i - 1].direction != TraceDirection::FromModem) continue;
        if (trace[i].direction != TraceDirection::FromModem) continue;
        EXPECT_EQ(trace[i].bytes, trace[i - 1].bytes);
        gaps.push_back(trace[i].time - trace[i - 1].time);
    }
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_GE(gaps.front(), 30ms);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RepeatTest,
    ::testing::Values(
        RepeatCase{"Ready", [](ModemBehaviour& b) { b.repeat_ready = true; }, {"CMD\r"}, {"READY\rREADY\r"}},
        RepeatCase{"SecondLine",
                   [](ModemBehaviour& b) { b.repeat_line_ack = 2; },
                   {"CMD\r", "MODE 1\r", "APN x\r", "LOGIN y\r"},
                   {"READY\r", "OK\r", "OK\rOK\r", "OK\r"}},
        RepeatCase{"Save",
                   [](ModemBehaviour& b) { b.repeat_save = true; },
                   {"CMD\r", "APN x\r", "SAVE\r"},
                   {"READY\r", "OK\r", "OK\rOK\r"}},
        RepeatCase{"Count",
                   [](ModemBehaviour& b) { b.repeat_count_ack = true; },
                   {"UPDATE\r", "S", Count(1), Packet(Block(1))},
                   {"0", "0", "00", "0"}},
        RepeatCase{"SecondBlock",
                   [](ModemBehaviour& b) { b.repeat_block_ack = 2; },
                   {"UPDATE\r", "S", Count(2), Packet(Block(1)), Packet(Block(2))},
                   {"0", "0", "0", "0", "00"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VirtualModemTest, ClosingTheLineAbandonsAnUnfinishedUpload) {
    Start();
    ASSERT_TRUE(OpenLoader(2));
    EXPECT_EQ(SendPacket(Packet(Block(1))), "0");
    ASSERT_TRUE(client_->Write("GET"));  // part of a packet that must not reach the next client
    client_.reset();
    const auto deadline = Clock::now() + 2s;
    while (modem_->LoaderActive() && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(modem_->LoaderActive());
    client_ = std::make_unique<TestClient>(modem_->DevicePath());
    EXPECT_EQ(Exchange(modem::kCmd, 6), "READY\r");
    EXPECT_EQ(modem_->UploadsCompleted(), 0);
}

TEST_F(VirtualModemTest, EndlessReplyKeepsComingUntilTheNextCommand) {
    ModemBehaviour behaviour;
    behaviour.endless_reply = true;
    Start(behaviour);
    ASSERT_TRUE(client_->WriteLine(modem::kGet));
    const std::string trickle = client_->ReadExactly(200, 3s);
    EXPECT_EQ(trickle.size(), 200u) << "bytes keep arriving well past one quiet step";
    ASSERT_TRUE(client_->WriteLine(modem::kStart));
    ASSERT_TRUE(modem_->WaitForCommandLines(2, 10s));
    client_->ReadUntilQuiet(200ms, 150ms);  // what was on its way
    EXPECT_TRUE(client_->ReadUntilQuiet(300ms, 50ms).empty()) << "the next command ends the trickle";
}

TEST_F(VirtualModemTest, EndlessReplyStopsAtItsLimit) {
    ModemBehaviour behaviour;
    behaviour.endless_reply = true;
    behaviour.endless_limit = 200ms;
    Start(behaviour);
    ASSERT_TRUE(client_->WriteLine(modem::kGet));
    const auto start = Clock::now();
    EXPECT_FALSE(client_->ReadUntilQuiet(1s, 150ms).empty());
    EXPECT_LT(Clock::now() - start, 10 * behaviour.endless_limit);
}

TEST_F(VirtualModemTest, HangUpInTheGetReplyMakesTheDeviceGoAway) {
    ModemBehaviour behaviour;
    behaviour.hang_up_after_get_bytes = 9;
    behaviour.hang_up_linger = 100ms;
    Start(behaviour);
    ASSERT_TRUE(client_->WriteLine(modem::kGet));
    const auto start = Clock::now();
    EXPECT_EQ(client_->ReadExactly(100, 2s), kSmallGetReply.substr(0, 9)) << "the bytes sent stay readable";
    EXPECT_TRUE(client_->WaitForDeviceGone(2s));
    EXPECT_GE(Clock::now() - start, 90ms) << "the line is held for the linger time";
    EXPECT_TRUE(modem_->WaitForHangUp(10s));
    EXPECT_FALSE(client_->WriteLine(modem::kStart)) << "writing to a hung-up line fails";
}

TEST_F(VirtualModemTest, HangUpAfterParameterLines) {
    ModemBehaviour behaviour;
    behaviour.hang_up_after_lines = 2;
    Start(behaviour);
    EXPECT_EQ(Exchange(modem::kCmd, 6), "READY\r");
    EXPECT_EQ(Exchange("MODE 1", 3), "OK\r");
    EXPECT_EQ(Exchange("APN a", 3), "OK\r");
    EXPECT_FALSE(modem_->HungUp()) << "the line is held until the client has had the reply";
    EXPECT_TRUE(client_->WriteLine("LOGIN b"));
    EXPECT_EQ(client_->ReadExactly(3, 2s), "") << "the next line is not answered";
    EXPECT_TRUE(client_->DeviceGone());
    EXPECT_TRUE(modem_->WaitForHangUp(10s));
    EXPECT_FALSE(modem_->PendingParameters().Get("LOGIN").has_value());
}

TEST_F(VirtualModemTest, HangUpAfterPackets) {
    ModemBehaviour behaviour;
    behaviour.hang_up_after_packets = 1;
    Start(behaviour);
    ASSERT_TRUE(OpenLoader(3));
    EXPECT_EQ(SendPacket(Packet(Block(1))), "0");
    EXPECT_EQ(SendPacket(Packet(Block(2))), "");
    EXPECT_TRUE(client_->DeviceGone());
    EXPECT_EQ(modem_->UploadsCompleted(), 0);
    EXPECT_EQ(modem_->PacketsReceived(), 1);
}

TEST_F(VirtualModemTest, RealSpeedPacesTheReplyAtTheLineRate) {
    ModemBehaviour behaviour;
    behaviour.real_speed = true;
    Start(behaviour, ModemParameters::Defaults());
    const std::string reply = Get();
    ASSERT_TRUE(reply.ends_with("OK\r\n"));
    const auto trace = modem_->Trace();
    ASSERT_FALSE(trace.empty());
    ASSERT_EQ(trace.front().direction, TraceDirection::ToModem);
    std::vector<TraceEntry> sent;
    for (const auto& entry : trace) {
        if (entry.direction == TraceDirection::FromModem) sent.push_back(entry);
    }
    ASSERT_GT(sent.size(), 2u);
    for (const auto& entry : sent) EXPECT_LE(entry.bytes.size(), 8u);
    // Measured from the command's arrival: a late first chunk (a busy
    // machine) lets the later ones catch up with the line's schedule, but the
    // last can never be in before the whole reply's ~87 us per byte.
    const auto minimum = std::chrono::microseconds(reply.size() * 80);
    EXPECT_GE(sent.back().time - trace.front().time, minimum);
}

// ---- trace, device, lifetime -------------------------------------------------

TEST_F(VirtualModemTest, TraceRecordsBothDirectionsInOrderAndToAFile) {
    const auto path = std::filesystem::temp_directory_path() / ("vmodem-trace-" + std::to_string(getpid()));
    ModemSetup setup;
    setup.parameters = SmallSet();
    setup.trace_path = path.string();
    modem_ = std::make_unique<VirtualModem>(setup);
    client_ = std::make_unique<TestClient>(modem_->DevicePath());
    EXPECT_EQ(Exchange(modem::kCmd, 6), "READY\r");
    EXPECT_EQ(Exchange("APN z", 3), "OK\r");
    ASSERT_TRUE(modem_->WaitForCommandLines(2, 10s)) << "a handled line has its reply in the trace";
    const auto trace = modem_->Trace();
    ASSERT_GE(trace.size(), 4u);
    EXPECT_EQ(trace.front().direction, TraceDirection::ToModem);
    for (std::size_t i = 1; i < trace.size(); ++i) EXPECT_LE(trace[i - 1].time, trace[i].time);
    EXPECT_EQ(modem_->ReceivedBytes(), "CMD\rAPN z\r");
    EXPECT_EQ(modem_->SentBytes(), "READY\rOK\r");

    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find(" RX \"CMD\\r\""), std::string::npos) << text.str();
    EXPECT_NE(text.str().find(" TX \"READY\\r\""), std::string::npos) << text.str();
    std::filesystem::remove(path);
}

TEST_F(VirtualModemTest, ClientCanCloseAndReopenTheDeviceBetweenOperations) {
    Start();
    for (int round = 0; round < 3; ++round) {
        client_.reset();
        std::this_thread::sleep_for(30ms);  // the modem sees nobody on the line meanwhile
        client_ = std::make_unique<TestClient>(modem_->DevicePath());
        EXPECT_EQ(Get(), kSmallGetReply) << "round " << round;
    }
}

TEST_F(VirtualModemTest, CommandWrittenJustBeforeClosingIsStillAnswered) {
    Start();
    ASSERT_TRUE(client_->WriteLine(modem::kCmd));
    client_.reset();
    EXPECT_TRUE(modem_->WaitForCommandLines(1, 10s));
    EXPECT_TRUE(modem_->InWriteMode());
}

TEST_F(VirtualModemTest, LinkPointsAtTheDeviceAndGoesWithTheModem) {
    const auto link = std::filesystem::temp_directory_path() / ("ttyVMODEM-test-" + std::to_string(getpid()));
    ModemSetup setup;
    setup.link_path = link.string();
    {
        VirtualModem modem(setup);
        EXPECT_EQ(modem.LinkPath(), link.string());
        EXPECT_EQ(std::filesystem::read_symlink(link), modem.DevicePath());
        TestClient client(link.string());
        EXPECT_TRUE(client.WriteLine(modem::kCmd));
        EXPECT_EQ(client.ReadExactly(6, 2s), "READY\r");
    }
    EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST_F(VirtualModemTest, LinkIsNotMadeOverARealFile) {
    const auto path = std::filesystem::temp_directory_path() / ("vmodem-file-" + std::to_string(getpid()));
    std::ofstream(path) << "keep";
    ModemSetup setup;
    setup.link_path = path.string();
    EXPECT_THROW(VirtualModem{setup}, EFCreateError);
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    std::filesystem::remove(path);
}

TEST_F(VirtualModemTest, StopEndsPromptlyEvenDuringALongDelay) {
    ModemBehaviour behaviour;
    behaviour.reply_delay = 10s;
    Start(behaviour);
    ASSERT_TRUE(client_->WriteLine(modem::kGet));
    const auto deadline = Clock::now() + 2s;
    while (modem_->CommandLines().empty() && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(modem_->CommandLines(), std::vector<std::string>{"GET"});
    const auto start = Clock::now();
    modem_.reset();
    EXPECT_LT(Clock::now() - start, behaviour.reply_delay / 2) << "well short of the delay";
}

}  // namespace
}  // namespace nkq
