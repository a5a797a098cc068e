// The one rule for a port's name: the device it opens, the name a device
// path stands for, and the file a batch read saves for it. Built into the
// Windows serial suite too, with that platform's cases.
#include <gtest/gtest.h>

#include <string>

#include "serial/PortNames.h"

namespace nkq {
namespace {

struct PortNameCase {
    std::string port;
    std::string device;  // DevicePathForPort(port)
    std::string file;    // PortFileName(port, ".txt")
    std::string name;    // PortForDevicePath(device)
};

class PortNames : public ::testing::TestWithParam<PortNameCase> {};

TEST_P(PortNames, DeviceFileAndNameFollowOneRule) {
    const PortNameCase& c = GetParam();
    EXPECT_EQ(DevicePathForPort(c.port), c.device) << c.port;
    EXPECT_EQ(PortFileName(c.port, ".txt"), c.file) << c.port;
    EXPECT_EQ(PortForDevicePath(c.device), c.name) << c.device;
}

const PortNameCase kCases[] = {
#ifdef _WIN32
    PortNameCase{"COM7", "\\\\.\\COM7", "COM7_.txt", "COM7"},  // Windows keeps COM1.txt..COM9.txt
    PortNameCase{"\\\\.\\COM7", "\\\\.\\COM7", "COM7_.txt", "COM7"},
    PortNameCase{"com3", "\\\\.\\com3", "com3_.txt", "com3"},
    PortNameCase{"COM12", "\\\\.\\COM12", "COM12.txt", "COM12"},
    PortNameCase{"\\\\.\\COM12", "\\\\.\\COM12", "COM12.txt", "COM12"},
#else
    PortNameCase{"ttyUSB0", "/dev/ttyUSB0", "ttyUSB0.txt", "ttyUSB0"},
    PortNameCase{"/dev/ttyUSB0", "/dev/ttyUSB0", "ttyUSB0.txt", "ttyUSB0"},
    PortNameCase{"/dev/pts/3", "/dev/pts/3", "pts-3.txt", "/dev/pts/3"},
    PortNameCase{"/dev/serial/by-id/usb-FTDI-if00", "/dev/serial/by-id/usb-FTDI-if00",
                 "serial-by-id-usb-FTDI-if00.txt", "/dev/serial/by-id/usb-FTDI-if00"},
    PortNameCase{"/tmp/modem", "/tmp/modem", "tmp-modem.txt", "/tmp/modem"},
    PortNameCase{"./link", "./link", ".-link.txt", "./link"},
#endif
    // A network port is its own device; no file name on Windows may hold a colon.
    PortNameCase{"rfc2217://10.0.0.5:4001", "rfc2217://10.0.0.5:4001", "rfc2217-10.0.0.5-4001.txt",
                 "rfc2217://10.0.0.5:4001"},
    PortNameCase{"rfc2217://[::1]:2000", "rfc2217://[::1]:2000", "rfc2217-[--1]-2000.txt",
                 "rfc2217://[::1]:2000"},
    PortNameCase{"socket://box1:4002", "socket://box1:4002", "socket-box1-4002.txt", "socket://box1:4002"},
    PortNameCase{"socket://[fe80::1]:4002", "socket://[fe80::1]:4002", "socket-[fe80--1]-4002.txt",
                 "socket://[fe80::1]:4002"}};

INSTANTIATE_TEST_SUITE_P(Ports, PortNames, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace nkq
