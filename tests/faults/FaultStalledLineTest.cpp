// A modem that has stopped reading: the line's buffer fills and stays full.
// A write must end within its own time-out (100 ms a byte plus 1000 ms in the
// workstation) with the count it got out, and closing must never block on
// the bytes stuck in the line.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "serial/CommandExchange.h"

namespace nkq::faults {
namespace {

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
    EXPECT_GE(watch.Wall(), limit - 100ms);
    EXPECT_LE(watch.Wall(), limit + 1000ms);
    // Waiting for room is waiting, not spinning.
    EXPECT_LT(watch.Cpu(), 200ms);

    Stopwatch closing;
    port.Close();
    EXPECT_LT(closing.Wall(), 200ms);
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
    EXPECT_LE(watch.Wall(), 3000ms + 1100ms + 500ms);
    EXPECT_LT(watch.Cpu(), 200ms);
    Stopwatch closing;  // the caller closes the port after its "START"; that must not block either
    port.Close();
    EXPECT_LE(closing.Wall(), 1000ms);
    EXPECT_FALSE(port.Connected());
}

}  // namespace
}  // namespace nkq::faults
