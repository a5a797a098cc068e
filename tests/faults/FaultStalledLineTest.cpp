// A modem that has stopped reading: the line's buffer fills and stays full.
// A write must end within its own time-out (100 ms a byte plus 1000 ms in the
// workstation) with the count it got out, and closing must never block on
// the bytes stuck in the line.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "serial/CommandExchange.h"

namespace nkq::faults {
namespace {

using nkq::testing::kTimeout;
using nkq::testing::TookOneWait;

// A close that waited for the stuck bytes would wait at least the write
// time-out's constant part.
constexpr auto kCloseBound = 1000ms;

struct WriteCase {
    const char* name;
    int count;
    int multiplier;  // ms a byte
    int constant;    // ms
};

class FaultStalledWrite : public ::testing::TestWithParam<WriteCase> {
protected:
    Watchdog watchdog{std::chrono::seconds(30)};
    StalledLine line;
    TComPort port{TComPortSetup::System};
};

TEST_P(FaultStalledWrite, EndsWithinItsTimeoutAndCloseDoesNotBlock) {
    const WriteCase& c = GetParam();
    ASSERT_GT(line.Fill(), 0u);
    port.SetPort(line.Path());
    port.Timeouts().SetWriteTotalMultiplier(c.multiplier);
    port.Timeouts().SetWriteTotalConstant(c.constant);
    port.Open();
    const std::string bytes(static_cast<std::size_t>(c.count), 'W');
    const auto limit = std::chrono::milliseconds(c.multiplier * c.count + c.constant);

    Stopwatch watch;
    const int written = port.Write(bytes.data(), c.count);
    EXPECT_LT(written, c.count);
    EXPECT_TRUE(TookOneWait(watch.Wall(), limit - 100ms, limit));
    // Waiting for room is waiting, not spinning.
    EXPECT_LT(watch.Cpu(), watch.Wall() / 2);

    Stopwatch closing;
    port.Close();
    EXPECT_LT(closing.Wall(), kCloseBound);
    // The line stays usable: the next open succeeds at once.
    port.Open();
    port.Close();
}

INSTANTIATE_TEST_SUITE_P(Writes, FaultStalledWrite,
                         ::testing::Values(WriteCase{"CommandWithTheSystemTimeouts", 10, 100, 1000},
                                           WriteCase{"PacketWithAShortMultiplier", 513, 2, 500},
                                           WriteCase{"ConstantOnly", 4096, 0, 800}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FaultStalledLine, ExchangeOnAStalledLineEndsWithTheTimeoutMessage) {
    Watchdog watchdog{std::chrono::seconds(30)};
    StalledLine line;
    ASSERT_GT(line.Fill(), 0u);
    TComPort port(TComPortSetup::System);
    port.SetPort(line.Path());
    port.Open();
    nkq::testing::RecordingOperator op;
    Stopwatch watch;
    EXPECT_THROW(ExchangeCommand(port, op, "GET"), EAbort);
    EXPECT_EQ(op.Messages(), std::vector<std::string>{messages::kTimeout});
    // The command's write time-out (1000 ms and 100 ms a byte), then the
    // first wait; short of a second one.
    EXPECT_LT(watch.Wall(), 1400ms + 2 * kTimeout);
    EXPECT_LT(watch.Cpu(), watch.Wall() / 2);
    Stopwatch closing;  // the caller closes the port after its "START"; that must not block either
    port.Close();
    EXPECT_LT(closing.Wall(), kCloseBound);
    EXPECT_FALSE(port.Connected());
}

}  // namespace
}  // namespace nkq::faults
