// The list of registered ports, read from fake sysfs and /dev trees.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "FakePortTree.h"
#include "PtyPair.h"
#include "serial/EComPort.h"
#include "serial/PortList.h"

namespace nkq {
namespace {

using Names = std::vector<std::string>;
using test::FakePortTree;

Names ListOf(const FakePortTree& tree) {
    Names names{"stale entry"};
    ListPortNames(names, tree.Roots());
    return names;
}

TEST(PortList, NamesAreSortedCaseInsensitivelyWithoutNumericOrder) {
    const std::vector<std::pair<Names, Names>> rows = {
        {{"COM1", "COM3", "COM10"}, {"COM1", "COM10", "COM3"}},
        {{"ttyS2", "ttyS10", "ttyS0"}, {"ttyS0", "ttyS10", "ttyS2"}},
        {{"com2", "COM10", "Com1"}, {"Com1", "COM10", "com2"}},
        {{"ttyUSB0", "ttyACM0", "ttyS0"}, {"ttyACM0", "ttyS0", "ttyUSB0"}},
    };
    for (const auto& [registered, expected] : rows) {
        FakePortTree tree;
        for (const auto& name : registered) tree.AddKernelPort(name);
        EXPECT_EQ(ListOf(tree), expected);
    }
}

TEST(PortList, OnlyTtysWithADriverAndFittedUartsAreListed) {
    FakePortTree tree;
    tree.AddKernelPort("ttyUSB0", "ftdi_sio");
    tree.AddKernelPort("ttyS0", "serial8250", 4);
    tree.AddKernelPort("ttyS1", "serial8250", 0);
    tree.AddKernelPort("ttyS2", "serial8250");
    // Since Linux 6.5 the lines' device is bound to the serial core's "port"
    // driver: the UART type alone tells a fitted line.
    tree.AddKernelPort("ttyS3", "port", 0);
    tree.AddKernelPort("ttyS4", "port", 4);
    tree.AddDriverlessTty("tty1");
    tree.AddDriverlessTty("console");
    EXPECT_EQ(ListOf(tree), (Names{"ttyS0", "ttyS2", "ttyS4", "ttyUSB0"}));
}

TEST(PortList, DevLinksToPseudoTerminalsAreVirtualPorts) {
    testing::PtyPair pty;
    FakePortTree tree;
    std::ofstream(tree.Dev() / "pts" / "7").put('\n');
    std::ofstream(tree.Dev() / "plainfile").put('\n');
    tree.AddDevLink("ttyV0", pty.SlavePath());
    tree.AddDevLink("ttyV1", "pts/7");
    tree.AddDevLink("ttyV2", "pts/99");  // the pseudo-terminal has gone
    tree.AddDevLink("ttyV3", tree.Dev() / "plainfile");
    tree.AddDevLink("modem0", pty.SlavePath());  // not named tty*
    EXPECT_EQ(ListOf(tree), (Names{"ttyV0", "ttyV1"}));
}

TEST(PortList, SameNameFromBothSourcesStaysTwice) {
    testing::PtyPair pty;
    FakePortTree tree;
    tree.AddKernelPort("ttyV0");
    tree.AddDevLink("ttyV0", pty.SlavePath());
    tree.AddKernelPort("TTYv0");
    EXPECT_EQ(ListOf(tree), (Names{"ttyV0", "TTYv0", "ttyV0"}));
}

TEST(PortList, NoPortsGiveAnEmptyList) {
    FakePortTree tree;
    tree.AddDriverlessTty("tty0");
    EXPECT_TRUE(ListOf(tree).empty());
}

TEST(PortList, UnreadableSourceRaisesRegistryErrorAndKeepsTheList) {
    FakePortTree tree;
    tree.AddKernelPort("ttyS0", "serial8250", 4);
    TPortListRoots missing_sys = tree.Roots();
    missing_sys.SysClassTty /= "absent";
    TPortListRoots missing_dev = tree.Roots();
    missing_dev.Dev /= "absent";
    for (const TPortListRoots& roots : {missing_sys, missing_dev}) {
        Names names{"kept"};
        try {
            ListPortNames(names, roots);
            ADD_FAILURE() << "missing source not reported";
        } catch (const EComPort& error) {
            EXPECT_EQ(error.MessageCode(), kComRegistryFailed);
            EXPECT_EQ(error.SystemError(), ENOENT);
            EXPECT_EQ(error.Message(), "Registry error (win error code: 2)");
        }
        EXPECT_EQ(names, Names{"kept"});
    }
}

TEST(PortList, MachineListIsReadableAndSorted) {
    Names names;
    ASSERT_NO_THROW(ListPortNames(names));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), PortNameLess));
}

TEST(PortNameMatch, WholeTextWithoutRegardToCase) {
    EXPECT_TRUE(SamePortName("com4", "COM4"));
    EXPECT_TRUE(SamePortName("ttyUSB0", "TTYusb0"));
    EXPECT_FALSE(SamePortName("COM1", "COM10"));
    EXPECT_FALSE(SamePortName("COM1", "COM"));
    EXPECT_FALSE(SamePortName("ttyS1", "ttyS2"));
}

}  // namespace
}  // namespace nkq
