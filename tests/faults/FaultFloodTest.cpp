// A line that floods bytes without ever ending a line: memory stays bounded
// on both sides. The reply collector stops at its bound, and the virtual
// modem's own line reader drops an endless line instead of holding it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "FaultSupport.h"
#include "ModemLineReader.h"
#include "ReadComThread.h"
#include "Timing.h"
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

// A server on 127.0.0.1 that sends to its one client as fast as the
// connection takes it, until stopped: a network port (socket://) flooded.
class SocketFlood {
public:
    SocketFlood() : listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        ::listen(listener_, 1);
        thread_ = std::thread([this] {
            pollfd entry{listener_, POLLIN, 0};
            while (!stop_ && ::poll(&entry, 1, 10) == 0) {
            }
            if (stop_) return;
            const int client = ::accept(listener_, nullptr, nullptr);
            const std::string chunk(64 * 1024, 'x');
            pollfd room{client, POLLOUT, 0};
            while (!stop_ && ::poll(&room, 1, 10) >= 0) {
                if ((room.revents & POLLOUT) && ::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0)
                    break;
            }
            ::close(client);
        });
    }
    ~SocketFlood() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    std::string Url() const { return "socket://127.0.0.1:" + std::to_string(port_); }

private:
    int listener_;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class FaultFlood : public ::testing::Test {
protected:
    void SetUp() override {
        port.SetPort(line.Path());
        port.Open();
    }

    // Runs `collect` (which returns the reply it took) until it ends with
    // the bound's failure: on a busy machine the flood itself may pause for
    // a quiet step, which ends a reply as it should, short of the bound.
    template <class Collect>
    void UntilTheBound(std::size_t bound, Collect&& collect) {
        for (;;) {
            try {
                ASSERT_LE(collect().size(), bound) << "a reply past the bound was taken";
            } catch (const EReplyTooLong&) {
                return;
            }
        }
    }

    Watchdog watchdog{std::chrono::seconds(100)};
    StalledLine line;
    TComPort port{TComPortSetup::System};
};

// A collector that did not stop would run into the watchdog.
TEST_F(FaultFlood, ReplyCollectorStopsAtItsBound) {
    constexpr std::size_t kBound = 64 * 1024;
    Flood flood(line);
    std::string answer;
    UntilTheBound(kBound, [&] {
        TReadComThread worker(port, 100ms, 100ms, kBound);
        worker.StartCommand("GET");
        try {
            worker.WaitFor();
        } catch (const EReplyTooLong&) {
            answer = worker.FAnswer();
            throw;
        }
        return worker.FAnswer();
    });
    // Past the bound by at most what one look at the line takes in.
    EXPECT_GT(answer.size(), kBound);
    EXPECT_LT(answer.size(), kBound + 256 * 1024);
}

// The exchange's own bound is a mebibyte: through a pseudo-terminal, whose
// reader takes 4 KiB a look, that is some 250 quiet steps without a pause
// of the flood, which a busy machine does not grant. Through a network port
// the kernel keeps the flood waiting by the hundred kibibytes, and a look
// takes up to 64 KiB of it.
TEST_F(FaultFlood, ExchangeEndsWithAFailureInsteadOfCollectingForEver) {
    SocketFlood flood;
    TComPort network(TComPortSetup::System);
    network.SetPort(flood.Url());
    network.Open();
    nkq::testing::RecordingOperator op;
    Stopwatch watch;
    EXPECT_THROW(ExchangeCommand(network, op, "TCP"), EReplyTooLong);
    // The first wait, then no longer than a 115200 bit/s line needs to carry
    // the bound (the window is blocked all that time).
    const auto line_time = std::chrono::milliseconds(kMaxReplySize * 10 * 1000 / 115200);
    const auto wall = watch.Wall();
    EXPECT_LT(wall, nkq::testing::kTimeout + line_time);
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
    nkq::testing::WaitUntil([&] { return modem.ReceivedBytes().size() >= flood.size(); });
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
