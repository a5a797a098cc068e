// A reply that ends at its "OK" line (nkq --quick): early when the line has
// come, never less safe than the quiet-line rule when it has not.
#include <gtest/gtest.h>

#include "ModemFixture.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "serial/CommandExchange.h"

namespace nkq::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTcpReply = "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK";

struct QuickCase {
    std::string name;
    std::function<void(ModemBehaviour&)> behave;
    std::string command;
    std::string reply;  // the start of the trimmed reply; empty: a time-out
    std::chrono::milliseconds at_least;
    // Short of the first look when the "OK" line ends the reply, else of a second time-out.
    std::chrono::milliseconds below;
};

void PrintTo(const QuickCase& c, std::ostream* out) { *out << c.name; }

class QuickReplyTest : public ModemFixture, public ::testing::WithParamInterface<QuickCase> {
protected:
    void SetUp() override {
        ModemFixture::SetUp();
        Behave(GetParam().behave);
        port.SetReplyEnd(ReplyEnd::AtOkLine);  // as nkq sets it; the exchange takes it from the port
        port.Open();
    }
    void TearDown() override { port.Close(); }
};

TEST_P(QuickReplyTest, TheReplyEndsAtItsOkLineOrByTheQuietRule) {
    std::string reply;
    const auto took = Timed([&] {
        try {
            reply = ExchangeCommand(port, op, GetParam().command);
        } catch (const EAbort&) {
            reply.clear();
        }
    });
    if (GetParam().reply.empty()) {
        EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kTimeout});
    } else {
        EXPECT_EQ(reply.rfind(GetParam().reply, 0), 0u) << reply;
    }
    EXPECT_GE(took, GetParam().at_least);
    EXPECT_LT(took, GetParam().below);
}

INSTANTIATE_TEST_SUITE_P(Replies, QuickReplyTest,
                         ::testing::Values(QuickCase{"OkLineEndsItEarlyAndWhole", [](ModemBehaviour&) {},
                                                     "TCP", kTcpReply, 0ms, kTimeout},
                                           QuickCase{"APauseBeforeTheOkLineKeepsItWhole",
                                                     [](ModemBehaviour& b) {
                                                         b.burst_gap = 1000ms;
                                                         b.burst_split = std::string(kTcpReply).find("OK");
                                                     },
                                                     "TCP", kTcpReply, 1000ms, kTimeout},
                                           QuickCase{"WithoutAnOkLineTheQuietRuleEndsIt",
                                                     [](ModemBehaviour& b) {
                                                         b.endless_reply =
                                                             true;  // a trickle that stops without "OK"
                                                         b.endless_limit = 500ms;
                                                     },
                                                     "GET", "MODE 1", 2950ms, 2950ms + kTimeout},
                                           QuickCase{"SilenceIsATimeOutAfterTheFirstWait",
                                                     [](ModemBehaviour& b) { b.silent = true; }, "GET", "",
                                                     2950ms, 2950ms + kTimeout}),
                         [](const ::testing::TestParamInfo<QuickCase>& info) { return info.param.name; });

}  // namespace
}  // namespace nkq::testing
