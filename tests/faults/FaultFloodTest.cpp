// A line that floods bytes without ever ending a line: memory stays bounded
// on both sides. The reply collector stops at its bound, and the virtual
// modem's own line reader drops an endless line instead of holding it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FaultSupport.h"
#include "ModemLineReader.h"
#include "ReadComThread.h"
#include "app/Failure.h"
#include "serial/CommandExchange.h"

namespace nkq::faults {
namespace {

// Writes to the master side as fast as the line takes it, until stopped.
class Flood {
public:
    explicit Flood(StalledLine& line)
        : thread_([this, &line] {
              const std::string chunk(4096, 'x');
              while (!stop_) {
                  if (line.WriteMaster(chunk) == 0) std::this_thread::sleep_for(1ms);  // full for now
              }
          }) {}
    ~Flood() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class FaultFlood : public ::testing::Test {
protected:
    void SetUp() override {
        port.SetPort(line.Path());
        port.Open();
    }

    Watchdog watchdog{std::chrono::seconds(100)};
    StalledLine line;
    TComPort port{TComPortSetup::System};
};

TEST_F(FaultFlood, ReplyCollectorStopsAtItsBound) {
    constexpr std::size_t kBound = 64 * 1024;
    Flood flood(line);
    TReadComThread worker(port, 100ms, 100ms, kBound);
    worker.StartCommand("GET");
    Stopwatch watch;
    EXPECT_THROW(worker.WaitFor(), EReplyTooLong);
    // Past the bound by at most what one look at the line takes in.
    EXPECT_GT(worker.FAnswer().size(), kBound);
    EXPECT_LT(worker.FAnswer().size(), kBound + 256 * 1024);
    EXPECT_LT(watch.Wall(), 5000ms);
}

TEST_F(FaultFlood, ExchangeEndsWithAFailureInsteadOfCollectingForEver) {
    Flood flood(line);
    nkq::testing::RecordingOperator op;
    Stopwatch watch;
    EXPECT_THROW(ExchangeCommand(port, op, "TCP"), EReplyTooLong);
    // The first wait, then no longer than a 115200 bit/s line needs to carry
    // the bound (the window is blocked all that time).
    const auto line_time = std::chrono::milliseconds(kMaxReplySize * 10 * 1000 / 115200);
    const auto wall = watch.Wall();
    EXPECT_LT(wall, 3000ms + line_time);
    // The flood itself costs CPU in proportion to its bytes (more so under
    // a sanitizer); a busy loop would cost at least all the time.
    EXPECT_LT(watch.Cpu(), wall / 2);
}

TEST(FaultModemFlood, LineReaderHoldsNoMoreThanOneLineWhateverArrives) {
    ModemLineReader reader;
    for (int i = 0; i < 4 * 1024 * 1024; ++i) {
        EXPECT_FALSE(reader.Feed('A').has_value());
        if (reader.PendingSize() > ModemLineReader::kMaxLineLength) FAIL() << "line grew past its bound";
    }
    // The endless line is dropped whole; the next one is read as usual.
    EXPECT_FALSE(reader.Feed('\r').has_value());
    EXPECT_EQ(reader.PendingSize(), 0u);
    for (const char c : std::string("GET")) EXPECT_FALSE(reader.Feed(c).has_value());
    EXPECT_EQ(reader.Feed('\n'), std::optional<std::string>("GET"));
}

TEST(FaultModemFlood, ModemAnswersAgainAfterMegabytesWithoutALineEnd) {
    Watchdog watchdog{std::chrono::seconds(40)};
    VirtualModem modem;
    TComPort port(TComPortSetup::System);
    port.SetPort(modem.DevicePath());
    port.Open();
    const std::string flood(2 * 1024 * 1024, 'A');
    EXPECT_EQ(port.Write(flood.data(), static_cast<int>(flood.size())), static_cast<int>(flood.size()));
    // The exchange purges what the modem has not read yet; let it read all.
    const Stopwatch watch;
    while (modem.ReceivedBytes().size() < flood.size() && watch.Wall() < 10000ms)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(modem.ReceivedBytes().size(), flood.size());
    nkq::testing::RecordingOperator op;
    const std::string reply = ExchangeCommand(port, op, "\rTCP");
    EXPECT_EQ(reply, "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK");
    // Neither the endless line nor its remains became a command.
    EXPECT_EQ(modem.CommandLines(), std::vector<std::string>{"TCP"});
    port.Close();
}

}  // namespace
}  // namespace nkq::faults
