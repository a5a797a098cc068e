// Configuration of the port and the line it puts on a real pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <thread>

#include "PtyPort.h"
#include "serial/ComPort.h"

namespace nkq {
namespace {

using testing::PtyPair;

class ComPortLine : public testing::PtyPortTest {
protected:
    termios SlaveLine() const {
        termios tio{};
        EXPECT_EQ(tcgetattr(pty.Slave(), &tio), 0);
        return tio;
    }
};

TEST(ComPortConfiguration, ClassDefaultsAreTheDocumentedValues) {
    TComPort port;
    EXPECT_EQ(port.Port(), "ttyS0");
    EXPECT_EQ(port.BaudRate(), TBaudRate::br9600);
    EXPECT_EQ(port.DataBits(), TDataBits::dbEight);
    EXPECT_EQ(port.StopBits(), TStopBits::sbOneStopBit);
    EXPECT_EQ(port.Parity().Bits(), TParityBits::prNone);
    EXPECT_FALSE(port.Parity().Check());
    EXPECT_FALSE(port.Parity().Replace());
    EXPECT_EQ(port.Parity().ReplaceChar(), 0);
    EXPECT_FALSE(port.FlowControl().OutCTSFlow());
    EXPECT_FALSE(port.FlowControl().OutDSRFlow());
    EXPECT_EQ(port.FlowControl().ControlDTR(), TDTRFlowControl::dtrDisable);
    EXPECT_EQ(port.FlowControl().ControlRTS(), TRTSFlowControl::rtsDisable);
    EXPECT_FALSE(port.FlowControl().XonXoffOut());
    EXPECT_FALSE(port.FlowControl().XonXoffIn());
    EXPECT_EQ(port.FlowControl().XonChar(), 0x11);
    EXPECT_EQ(port.FlowControl().XoffChar(), 0x13);
    EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
    EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 0);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 0);
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
    EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
    EXPECT_EQ(port.Buffer().InputSize(), 1024);
    EXPECT_EQ(port.Buffer().OutputSize(), 1024);
    EXPECT_EQ(port.Events(), TComEvents::All());
    EXPECT_EQ(port.EventChar(), 0);
    EXPECT_FALSE(port.DiscardNull());
    EXPECT_EQ(port.SyncMethod(), TSyncMethod::smThreadSync);
    EXPECT_FALSE(port.Connected());
}

TEST(ComPortConfiguration, SystemSetupDiffersOnlyInRateAndReadTimeout) {
    TComPort port(TComPortSetup::System);
    EXPECT_EQ(port.Port(), "ttyS0");
    EXPECT_EQ(port.BaudRate(), TBaudRate::br115200);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 3000);
    EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 0);
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
    EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
    EXPECT_EQ(port.FlowControl().ControlDTR(), TDTRFlowControl::dtrDisable);
    EXPECT_EQ(port.FlowControl().ControlRTS(), TRTSFlowControl::rtsDisable);
    EXPECT_FALSE(port.Connected());
}

TEST(ComPortConfiguration, SettingsObjectsReferToTheirPort) {
    TComPort port;
    TComSettingsOwner* owner = &port;
    EXPECT_EQ(&port.Parity().Owner(), owner);
    EXPECT_EQ(&port.FlowControl().Owner(), owner);
    EXPECT_EQ(&port.Timeouts().Owner(), owner);
    EXPECT_EQ(&port.Buffer().Owner(), owner);
}

TEST(ComPortConfiguration, BaudRateNamesGiveTheirNumber) {
    const std::pair<TBaudRate, int> rows[] = {{TBaudRate::brCustom, 9600},   {TBaudRate::br110, 110},
                                              {TBaudRate::br14400, 14400},   {TBaudRate::br57600, 57600},
                                              {TBaudRate::br115200, 115200}, {TBaudRate::br256000, 256000}};
    for (const auto& [rate, value] : rows) EXPECT_EQ(BaudRateValue(rate), value);
}

TEST_F(ComPortLine, OpenPutsTheDeviceIntoRaw115200EightNOneWithoutFlowControl) {
    termios before = SlaveLine();
    before.c_cflag |= HUPCL | CRTSCTS | PARENB;
    before.c_iflag |= ICRNL | IXON | IXOFF | ISTRIP;
    before.c_oflag |= OPOST | ONLCR;
    before.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
    ASSERT_EQ(tcsetattr(pty.Slave(), TCSANOW, &before), 0);

    port.Open();
    const termios tio = SlaveLine();
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B115200));
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B115200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | IXANY | ISTRIP | INPCK | BRKINT | PARMRK),
              0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN), 0u);
}

TEST_F(ComPortLine, DeviceWithoutModemLinesStillOpensAndLinesAreInactiveWhereReadable) {
    ASSERT_NO_THROW(port.Open());
    EXPECT_TRUE(port.Connected());
    int lines = 0;
    if (ioctl(pty.Slave(), TIOCMGET, &lines) == 0) {
        EXPECT_EQ(lines & (TIOCM_DTR | TIOCM_RTS), 0);
    } else {
        EXPECT_TRUE(errno == ENOTTY || errno == EINVAL) << errno;
    }
}

// The serial core reports each UART's modem lines here without opening the
// device; opening it once more would itself raise DTR and RTS.
std::string UartLineFlags(const std::string& port_name) {
    if (port_name.rfind("ttyS", 0) != 0) return {};
    std::ifstream table("/proc/tty/driver/serial");
    const std::string prefix = port_name.substr(4) + ":";
    for (std::string row; std::getline(table, row);) {
        if (row.rfind(prefix, 0) == 0) return row.substr(row.find_last_of(' ') + 1);
    }
    return {};
}

TEST_F(ComPortLine, RealSerialPortHasDtrAndRtsInactiveWhileOpen) {
    port.SetPort("ttyS0");
    try {
        port.Open();
    } catch (const EComPort& error) {
        GTEST_SKIP() << "no usable " << port.Port() << ": " << error.Message();
    }
    const std::string flags = "|" + UartLineFlags(port.Port()) + "|";
    if (flags == "||") GTEST_SKIP() << "modem lines of " << port.Port() << " not reported";
    EXPECT_EQ(flags.find("|DTR|"), std::string::npos) << flags;
    EXPECT_EQ(flags.find("|RTS|"), std::string::npos) << flags;
}

TEST_F(ComPortLine, ChangedLineSettingReachesTheOpenDeviceAtOnce) {
    port.Open();
    port.SetBaudRate(TBaudRate::br9600);
    port.SetStopBits(TStopBits::sbTwoStopBits);
    port.FlowControl().SetXonXoffIn(true);
    const termios tio = SlaveLine();
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
    EXPECT_NE(tio.c_iflag & IXOFF, 0u);
}

TEST_F(ComPortLine, RejectedLineSettingLeavesTheConfigurationAsItWas) {
    port.Open();
    try {
        port.SetBaudRate(TBaudRate::br14400);
        FAIL() << "a rate without a termios speed was accepted";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.MessageCode(), kComSetStateFailed);
        EXPECT_EQ(error.SystemError(), EINVAL);
        EXPECT_EQ(error.Message(), "SetCommState function failed (win error code: 22)");
    }
    EXPECT_EQ(port.BaudRate(), TBaudRate::br115200);
    EXPECT_TRUE(port.Connected());
    const termios tio = SlaveLine();
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B115200));
}

TEST_F(ComPortLine, LineSettingWhileClosedIsStoredAndRejectedOnlyAtOpen) {
    ASSERT_NO_THROW(port.SetBaudRate(TBaudRate::br14400));
    EXPECT_EQ(port.BaudRate(), TBaudRate::br14400);
    try {
        port.Open();
        FAIL() << "open succeeded with an impossible rate";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.MessageCode(), kComSetStateFailed);
    }
    EXPECT_FALSE(port.Connected());
    // The failed open released the device: another port can take it.
    TComPort other(TComPortSetup::System);
    other.SetPort(pty.SlavePath());
    EXPECT_NO_THROW(other.Open());
}

class ComPortName : public testing::OpenPtyPortTest {};

TEST_F(ComPortName, NewNameReopensAnOpenPortOnTheOtherDevice) {
    PtyPair second;
    port.SetPort(second.SlavePath());
    EXPECT_TRUE(port.Connected());
    port.WriteText("AT\r");
    EXPECT_EQ(second.ReadMaster(3, std::chrono::milliseconds(1000)), "AT\r");
    EXPECT_EQ(pty.ReadMaster(1, std::chrono::milliseconds(100)), "");
}

TEST_F(ComPortName, SameNameLeavesTheOpenPortAlone) {
    pty.WriteMaster("queued");
    AwaitQueued(6);
    int closes = 0;
    port.Handlers.OnBeforeClose = [&] { ++closes; };
    port.SetPort(pty.SlavePath());
    port.Handlers.OnBeforeClose = nullptr;
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(port.BytesWaiting(), 6);
}

TEST_F(ComPortName, NameDifferingOnlyInCaseIsAnotherDevice) {
    std::string upper = pty.SlavePath();
    upper.replace(upper.find("pts"), 3, "PTS");
    try {
        port.SetPort(upper);
        FAIL() << "reopen under a missing name succeeded";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Message(), "Unable to open com port (win error code: 2)");
    }
    EXPECT_EQ(port.Port(), upper);
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortName, NameIsOnlyStoredWhileClosed) {
    TComPort closed;
    closed.SetPort("/nonexistent/modem");
    EXPECT_EQ(closed.Port(), "/nonexistent/modem");
    EXPECT_FALSE(closed.Connected());
}

}  // namespace
}  // namespace nkq
