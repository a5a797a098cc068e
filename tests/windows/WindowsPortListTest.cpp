// The port list from the registry: keys this test writes under the current
// user, and the machine's own key as .ci/windows.sh filled it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "serial/EComPort.h"
#include "serial/PortList.h"

namespace nkq {
namespace {

using Names = std::vector<std::string>;

// A key of its own under HKEY_CURRENT_USER, deleted again at the end.
class ScratchKey {
public:
    ScratchKey() {
        path_ = "Software\\nkq-tests\\SERIALCOMM-" + std::to_string(GetCurrentProcessId());
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
    }
    ~ScratchKey() {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    void Add(const std::string& device, const std::string& port) {
        RegSetValueExA(key_, device.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                       static_cast<DWORD>(port.size() + 1));
    }
    TPortListRoots Roots() const { return {TPortListRoots::Hive::CurrentUser, path_}; }

private:
    std::string path_;
    HKEY key_ = nullptr;
};

Names ListOf(const TPortListRoots& roots) {
    Names names{"stale entry"};
    ListPortNames(names, roots);
    return names;
}

TEST(WindowsPortList, ValueDataIsSortedCaseInsensitivelyWithoutNumericOrder) {
    ScratchKey key;
    const std::pair<const char*, const char*> registered[] = {{"\\Device\\Serial0", "COM3"},
                                                              {"\\Device\\VCP0", "COM10"},
                                                              {"\\Device\\Serial1", "COM1"},
                                                              {"\\Device\\ProlificSerial0", "com4"},
                                                              {"\\Device\\Serial2", "COM3"}};
    for (const auto& [device, port] : registered) key.Add(device, port);
    EXPECT_EQ(ListOf(key.Roots()), (Names{"COM1", "COM10", "COM3", "COM3", "com4"}));
}

TEST(WindowsPortList, AnEmptyKeyGivesAnEmptyList) {
    ScratchKey key;
    EXPECT_EQ(ListOf(key.Roots()), Names{});
}

TEST(WindowsPortList, AMissingKeyIsARegistryErrorAndLeavesTheListAlone) {
    Names names{"kept"};
    try {
        ListPortNames(names, {TPortListRoots::Hive::CurrentUser, "Software\\nkq-tests\\no-such-key"});
        FAIL() << "no failure raised";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Message(), "Registry error (win error code: 2)");
    }
    EXPECT_EQ(names, Names{"kept"});
}

// A machine with no serial port has no key at all; the network ports named
// for it are still listed.
TEST(WindowsPortList, AMissingKeyListsTheNamedNetworkPorts) {
    _putenv_s("NKQ_REMOTE_PORTS", "socket://127.0.0.1:7001 rfc2217://box:2001");
    Names names;
    ListPortNames(names, {TPortListRoots::Hive::CurrentUser, "Software\\nkq-tests\\no-such-key"});
    _putenv_s("NKQ_REMOTE_PORTS", "");
    EXPECT_EQ(names, (Names{"socket://127.0.0.1:7001", "rfc2217://box:2001"}));
}

TEST(WindowsPortList, DataLongerThanTheRoomIsARegistryError) {
    ScratchKey key;
    key.Add("\\Device\\Serial0", std::string(300, 'C'));
    try {
        ListOf(key.Roots());
        FAIL() << "no failure raised";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.MessageCode(), kComRegistryFailed);
        EXPECT_EQ(error.SystemError(), ERROR_MORE_DATA);
    }
}

TEST(WindowsPortList, TheMachinesKeyListsThePortsRegisteredForTheTests) {
    const char* registered = std::getenv("NKQ_TEST_REGISTERED_PORTS");
    ASSERT_NE(registered, nullptr)
        << "NKQ_TEST_REGISTERED_PORTS must list the ports .ci/windows.sh registered";
    Names expected;
    std::stringstream list(registered);
    for (std::string name; std::getline(list, name, ',');) expected.push_back(name);
    std::stable_sort(expected.begin(), expected.end(), PortNameLess);
    EXPECT_EQ(ListOf({}), expected);
}

}  // namespace
}  // namespace nkq
