// Acknowledgements whose bytes come apart: collected until their line end,
// their count or the read time-out, through a real pseudo-terminal; and the
// quiet line asked for after an operation's last answer.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "PtyPort.h"
#include "Timing.h"
#include "serial/Acknowledgement.h"
#include "serial/InStep.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;
using testing::Clock;
using testing::kTimeout;
using testing::Later;
using testing::Timed;

struct Piece {
    std::chrono::milliseconds at;  // after the read starts; 0: waiting before it
    std::string bytes;
};

struct AckCase {
    const char* name;
    std::vector<Piece> pieces;
    std::size_t count;
    std::string expected;
    bool by_timeout;  // whether the read ends only when the time-out passed
};

void PrintTo(const AckCase& c, std::ostream* out) { *out << c.name; }

class Acknowledgement : public testing::OpenPtyPortTest, public ::testing::WithParamInterface<AckCase> {};

TEST_P(Acknowledgement, IsCollectedUntilItsLineEndCountOrTimeout) {
    std::vector<Piece> later;
    for (const auto& piece : GetParam().pieces) {
        if (piece.at > 0ms) {
            later.push_back(piece);
            continue;
        }
        pty.WriteMaster(piece.bytes);
        AwaitQueued(static_cast<int>(piece.bytes.size()));
    }
    // One thread writes the later pieces in order, each at its time.
    const Later writer(0ms, [this, later, begin = Clock::now()] {
        for (const auto& piece : later) {
            std::this_thread::sleep_until(begin + piece.at);
            pty.WriteMaster(piece.bytes);
        }
    });
    const auto took =
        Timed([&] { EXPECT_EQ(ReadAcknowledgement(port, GetParam().count), GetParam().expected); });
    if (GetParam().by_timeout) {
        EXPECT_TRUE(testing::TookOneWait(took, kTimeout - 100ms));
    } else {
        EXPECT_LT(took, kTimeout) << "ended by the line end or the count, not the time-out";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, Acknowledgement,
    ::testing::Values(
        // The first byte is waiting when the read starts: alone it is no answer.
        AckCase{"OkSplitAfterItsFirstByte", {{0ms, "O"}, {20ms, "K"}, {45ms, "\r"}}, 3, "OK\r", false},
        AckCase{"ReadyByteByByte",
                {{0ms, "R"}, {10ms, "E"}, {35ms, "A"}, {50ms, "D"}, {60ms, "Y"}, {90ms, "\r"}},
                6,
                "READY\r",
                false},
        AckCase{"LineFeedEndsIt", {{0ms, "O"}, {25ms, "K\n"}}, 3, "OK\n", false},
        // A refusal shorter than the count ends at its CR, not after 3 s.
        AckCase{"ShortRefusalEndsAtItsCr", {{15ms, "E"}, {30ms, "R\r"}}, 6, "ER\r", false},
        AckCase{"LongerAnswerStopsAtTheCount", {{0ms, "ERROR\r"}}, 3, "ERR", false},
        AckCase{"Rs485NoticeStartStopsAtTheCount", {{0ms, "CO"}, {20ms, "MFC RS485\r"}}, 3, "COM", false},
        AckCase{"NoLineEndWaitsForTheTimeout", {{0ms, "O"}, {30ms, "K"}}, 3, "OK", true},
        AckCase{"SilenceGivesNothing", {}, 3, "", true}),
    [](const ::testing::TestParamInfo<AckCase>& info) { return std::string(info.param.name); });

class SettleAfterTheLastAnswer : public testing::OpenPtyPortTest {};

TEST_F(SettleAfterTheLastAnswer, TakesItsWholeTimeAndSeesAnAnswerWaiting) {
    EXPECT_GE(Timed([&] { EXPECT_TRUE(LineStaysQuiet(port)); }), kSettleTime);
    pty.WriteMaster("0");
    AwaitQueued(1);
    EXPECT_FALSE(LineStaysQuiet(port));
}

}  // namespace
}  // namespace nkq
