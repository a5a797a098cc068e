// Low-latency mode on open: asked for, a refusal ignored, the driver's
// setting put back on close.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "FaultSupport.h"
#include "LowLatency.h"
#include "serial/EComPort.h"

namespace nkq::faults {
namespace {

constexpr const char* kRealPort = "/dev/ttyS0";

// A second descriptor of the same device, to look at its driver's setting.
class Observer {
public:
    explicit Observer(const char* path) : fd_(open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~Observer() {
        if (fd_ >= 0) close(fd_);
    }
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;

    bool Usable() const { return fd_ >= 0 && LowLatencyFlag(fd_) >= 0; }
    int Flag() const { return LowLatencyFlag(fd_); }
    bool Set(bool on) const {
        serial_struct serial{};
        if (ioctl(fd_, TIOCGSERIAL, &serial) != 0) return false;
        serial.flags = on ? (serial.flags | ASYNC_LOW_LATENCY) : (serial.flags & ~ASYNC_LOW_LATENCY);
        return ioctl(fd_, TIOCSSERIAL, &serial) == 0;
    }

private:
    int fd_;
};

TEST(ComPortLowLatency, PseudoTerminalRefusesAndStillOpensAndWorks) {
    Watchdog watchdog{std::chrono::seconds(20)};
    StalledLine line;
    Observer observer(line.Path().c_str());
    EXPECT_EQ(observer.Flag(), -1);  // no such setting on a pseudo-terminal
    TComPort port(TComPortSetup::System);
    port.SetPort(line.Path());
    port.Open();
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.WriteText("STOP\r"), 5);
    port.Close();
}

// The device's setting as found is put back, whichever it was.
class ComPortLowLatencyReal : public ::testing::TestWithParam<bool> {};

TEST_P(ComPortLowLatencyReal, IsOnWhileOpenAndAsFoundAfterClose) {
    Watchdog watchdog{std::chrono::seconds(30)};
    Observer observer(kRealPort);
    if (!observer.Usable()) GTEST_SKIP() << kRealPort << " missing or without TIOCGSERIAL";
    const int original = observer.Flag();
    if (!observer.Set(GetParam())) GTEST_SKIP() << kRealPort << " refuses TIOCSSERIAL";

    TComPort port(TComPortSetup::System);
    port.SetPort(kRealPort);
    // Other tests open the same port; wait for it rather than fail.
    const Stopwatch watch;
    for (;;) {
        try {
            port.Open();
            break;
        } catch (const EComPort&) {
            if (watch.Wall() > 10000ms) GTEST_SKIP() << kRealPort << " stayed busy";
            std::this_thread::sleep_for(50ms);
        }
    }
    const int while_open = observer.Flag();
    port.Close();
    const int after = observer.Flag();
    observer.Set(original == 1);

    EXPECT_EQ(while_open, 1);
    EXPECT_EQ(after, GetParam() ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(FoundSetting, ComPortLowLatencyReal, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "AlreadyOn" : "Off"; });

}  // namespace
}  // namespace nkq::faults
